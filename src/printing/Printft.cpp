#include "printing/Printft.h"

#include "document/Desktop.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <cstdlib>

namespace {

constexpr int kHelpContext = 2103;
constexpr int kLowest = -8;
constexpr int kHighest = 8;

} // namespace

TPrintFineTune::TPrintFineTune(const TPrinterNudges &nudges, const QString &printer,
                               QWidget *parent)
    : QDialog(parent)
    , m_values(nudges)
{
    setObjectName(QStringLiteral("PrintFineTune"));
    setWindowTitle(QStringLiteral("Printer Fine-Tuning"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, true);
    SetHelpTopic(this, kHelpContext);

    PrinterLabel = new QLabel(printer.isEmpty() ? QStringLiteral("Printer: none (Print to PDF)")
                                                : QStringLiteral("Printer: %1").arg(printer),
                              this);
    PrinterLabel->setObjectName(QStringLiteral("PrinterLabel"));
    PrinterLabel->setTextFormat(Qt::PlainText);

    struct Group
    {
        const char *title;
        const char *name;      // the spinner
        const char *valueName; // the value text
        QLabel **value;
        void (TPrintFineTune::*up)();
        void (TPrintFineTune::*down)();
        const char *explanation;
    };
    const Group groups[] = {
        {"Top Margin nudge", "TopMarginSpinner", "lTopMarginNudge", &lTopMarginNudge,
         &TPrintFineTune::TopMarginSpinnerUpClick, &TPrintFineTune::TopMarginSpinnerDownClick,
         "Increase or decrease to adjust where vertical printing starts. "},
        {"Left Margin nudge", "LeftMarginSpinner", "LLeftMarginNudge", &LLeftMarginNudge,
         &TPrintFineTune::LeftMarginSpinnerUpClick, &TPrintFineTune::LeftMarginSpinnerDownClick,
         "Increase or decrease to adjust where horizontal printing starts. "},
        {"Vertical Spacing", "VerticalSpacingSpinner", "LVerticalSpacing", &LVerticalSpacing,
         &TPrintFineTune::VerticalSpacingSpinnerUpClick,
         &TPrintFineTune::VerticalSpacingSpinnerDownClick,
         "Increase or decrease to adjust vertical spacing between cards.( You may need to adjust "
         "this if printing \"creeps\" between the top and bottom cards.)"},
        {"Horizontal Spacing", "HorizontalSpacingSpinner", "LHorizontalSpacing",
         &LHorizontalSpacing, &TPrintFineTune::HorizontalSpacingSpinnerUpClick,
         &TPrintFineTune::HorizontalSpacingSpinnerDownClick,
         "Increase or decrease to adjust horizontal spacing between cards "},
    };

    // One page of the four nudges per side; the back's arrows work on its own set.
    SideTabs = new QTabWidget(this);
    SideTabs->setObjectName(QStringLiteral("SideTabs"));
    for (const bool back : {false, true}) {
        auto *page = new QWidget(SideTabs);
        auto *grid = new QGridLayout(page);
        const QString prefix = back ? QStringLiteral("Back") : QString();
        int index = 0;
        for (const Group &g : groups) {
            auto *box = new QGroupBox(QString::fromLatin1(g.title), page);
            auto *boxLayout = new QHBoxLayout(box);
            // The spinner: two arrows, and the arrow keys while it has the focus.
            auto *spinner = new QWidget(box);
            const QString name = prefix + QString::fromLatin1(g.name);
            spinner->setObjectName(name);
            spinner->setFocusPolicy(Qt::StrongFocus);
            spinner->installEventFilter(this);
            auto *arrows = new QVBoxLayout(spinner);
            arrows->setContentsMargins(0, 0, 0, 0);
            arrows->setSpacing(0);
            for (bool upArrow : {true, false}) {
                auto *arrow = new QToolButton(spinner);
                arrow->setObjectName(name +
                                     (upArrow ? QStringLiteral("Up") : QStringLiteral("Down")));
                arrow->setArrowType(upArrow ? Qt::UpArrow : Qt::DownArrow);
                arrow->setFocusPolicy(Qt::NoFocus);
                arrow->setAutoRepeat(true);
                arrow->setFixedSize(22, 14);
                if (back) {
                    connect(arrow, &QToolButton::clicked, this, [this, index, upArrow] {
                        int *fields[] = {&m_back.TopMarginNudge, &m_back.LeftMarginNudge,
                                         &m_back.VerticalSpacing, &m_back.HorizontalSpacing};
                        upArrow ? Up(*fields[index]) : Down(*fields[index]);
                        ShowValues();
                    });
                } else {
                    const auto handler = upArrow ? g.up : g.down;
                    connect(arrow, &QToolButton::clicked, this,
                            [this, handler] { (this->*handler)(); });
                }
                arrows->addWidget(arrow);
            }
            QLabel *value = new QLabel(box);
            value->setObjectName(prefix.isEmpty() ? QString::fromLatin1(g.valueName)
                                                  : name + QStringLiteral("Value"));
            value->setMinimumWidth(
                fontMetrics().horizontalAdvance(QStringLiteral("Decrease by 8/32\"")) + 8);
            (back ? BackValues[index] : *g.value) = value;
            auto *explanation = new QLabel(QString::fromLatin1(g.explanation), box);
            explanation->setWordWrap(true);
            explanation->setMinimumWidth(180);
            spinner->setFixedSize(22, 28);
            boxLayout->addWidget(spinner, 0, Qt::AlignVCenter);
            boxLayout->addWidget(value);
            boxLayout->addWidget(explanation, 1);
            grid->addWidget(box, index / 2, index % 2);
            ++index;
        }
        if (back) {
            auto *note = new QLabel(
                QStringLiteral("The backs of two-sided designs, as seen on the back of the "
                               "sheet. Print the two-sided test page and hold the sheet to the "
                               "light: the crosses of both sides meet when these are right."),
                page);
            note->setWordWrap(true);
            grid->addWidget(note, 2, 0, 1, 2);
        }
        SideTabs->addTab(page, back ? QStringLiteral("Back") : QStringLiteral("Front"));
    }

    OKButton = new QPushButton(QStringLiteral("Ok"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    Cancelbutton = new QPushButton(QStringLiteral("Cancel"), this);
    Cancelbutton->setObjectName(QStringLiteral("Cancelbutton"));
    DefaultButton = new QPushButton(QStringLiteral("Default"), this);
    DefaultButton->setObjectName(QStringLiteral("DefaultButton"));
    Helpbutton = new QPushButton(QStringLiteral("Help"), this);
    Helpbutton->setObjectName(QStringLiteral("Helpbutton"));
    TestPageButton = new QPushButton(QStringLiteral("Two-Sided &Test Page"), this);
    TestPageButton->setObjectName(QStringLiteral("TestPageButton"));
    connect(TestPageButton, &QPushButton::clicked, this, [this] {
        if (OnTwoSidedTestPage)
            OnTwoSidedTestPage(m_values, m_back);
    });
    for (QPushButton *b : {Cancelbutton, DefaultButton, Helpbutton, TestPageButton})
        b->setAutoDefault(false);
    connect(OKButton, &QPushButton::clicked, this, [this] { OKButtonClick(); });
    connect(Cancelbutton, &QPushButton::clicked, this, [this] { CancelbuttonClick(); });
    connect(DefaultButton, &QPushButton::clicked, this, [this] { DefaultButtonClick(); });
    connect(Helpbutton, &QPushButton::clicked, this, [] { ShowHelpTopic(kHelpContext); });

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(TestPageButton);
    buttons->addStretch(1);
    for (QPushButton *b : {OKButton, Cancelbutton, DefaultButton, Helpbutton})
        buttons->addWidget(b);
    auto *main = new QVBoxLayout(this);
    main->addWidget(PrinterLabel);
    main->addWidget(SideTabs);
    main->addSpacing(6);
    main->addLayout(buttons);
    main->setSizeConstraint(QLayout::SetFixedSize);
    ShowValues();
}

QString TPrintFineTune::ValueText(int nudge)
{
    if (nudge == 0)
        return QStringLiteral("None");
    return (nudge < 0 ? QStringLiteral("Decrease by %1/32\"")
                      : QStringLiteral("Increase by %1/32\""))
        .arg(std::abs(nudge));
}

void TPrintFineTune::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    ShowValues();
}

bool TPrintFineTune::eventFilter(QObject *watched, QEvent *event)
{
    // A spinner with the focus takes the arrow keys as its arrows.
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            const QString name = watched->objectName();
            auto *arrow = findChild<QToolButton *>(
                name + (key == Qt::Key_Up ? QStringLiteral("Up") : QStringLiteral("Down")));
            if (arrow) {
                arrow->click();
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TPrintFineTune::ShowValues()
{
    lTopMarginNudge->setText(ValueText(m_values.TopMarginNudge));
    LLeftMarginNudge->setText(ValueText(m_values.LeftMarginNudge));
    LVerticalSpacing->setText(ValueText(m_values.VerticalSpacing));
    LHorizontalSpacing->setText(ValueText(m_values.HorizontalSpacing));
    const int back[] = {m_back.TopMarginNudge, m_back.LeftMarginNudge, m_back.VerticalSpacing,
                        m_back.HorizontalSpacing};
    for (int i = 0; i < 4; ++i)
        BackValues[i]->setText(ValueText(back[i]));
}

void TPrintFineTune::SetBackNudges(const TPrinterNudges &nudges)
{
    m_back = nudges;
    ShowValues();
}

void TPrintFineTune::Up(int &value)
{
    if (value >= kLowest + 1)
        --value;
}

void TPrintFineTune::Down(int &value)
{
    if (value < kHighest)
        ++value;
}

void TPrintFineTune::TopMarginSpinnerUpClick()
{
    Up(m_values.TopMarginNudge);
    ShowValues();
}

void TPrintFineTune::TopMarginSpinnerDownClick()
{
    Down(m_values.TopMarginNudge);
    ShowValues();
}

void TPrintFineTune::LeftMarginSpinnerUpClick()
{
    Up(m_values.LeftMarginNudge);
    ShowValues();
}

void TPrintFineTune::LeftMarginSpinnerDownClick()
{
    Down(m_values.LeftMarginNudge);
    ShowValues();
}

void TPrintFineTune::VerticalSpacingSpinnerUpClick()
{
    Up(m_values.VerticalSpacing);
    ShowValues();
}

void TPrintFineTune::VerticalSpacingSpinnerDownClick()
{
    Down(m_values.VerticalSpacing);
    ShowValues();
}

void TPrintFineTune::HorizontalSpacingSpinnerUpClick()
{
    Up(m_values.HorizontalSpacing);
    ShowValues();
}

void TPrintFineTune::HorizontalSpacingSpinnerDownClick()
{
    Down(m_values.HorizontalSpacing);
    ShowValues();
}

void TPrintFineTune::DefaultButtonClick()
{
    // The side shown.
    if (SideTabs->currentIndex() == 1)
        m_back = TPrinterNudges();
    else
        m_values = TPrinterNudges();
    ShowValues();
}

void TPrintFineTune::OKButtonClick()
{
    accept();
}

void TPrintFineTune::CancelbuttonClick()
{
    reject();
}
