#include "printing/Warnbot.h"

#include "document/Desktop.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

namespace {

constexpr int kHelpContext = 2105;
constexpr double kNudgeUnit = 1.0 / 32.0;
// Layout lengths are kept to a thousandth of an inch; closer than half of
// that counts as touching, not reaching into the strip.
constexpr double kTolerance = 0.0005;

QString CardsText(int cards)
{
    if (cards == 1)
        return QStringLiteral("the last business card");
    if (cards == 2)
        return QStringLiteral("the last two business cards");
    return QStringLiteral("the last %1 business cards").arg(cards);
}

} // namespace

double PaperHeightInches(int papersize)
{
    if (papersize == TCardLayout::PaperA3)
        return 420.0 / 25.4;
    return papersize == TCardLayout::PaperLetter ? 11.0 : double(11.69f);
}

TBottomMarginCheck CheckBottomMargin(const TCardLayout &layout, const TPrinterNudges &nudges,
                                     const QList<bool> &selection, double paperHeight,
                                     double printerBottomMargin)
{
    TBottomMarginCheck check;
    check.PrinterMargin = printerBottomMargin;
    const double top = double(layout.TopMargin) + nudges.TopMarginNudge * kNudgeUnit;
    const double pitch = double(layout.VPitch) + nudges.VerticalSpacing * kNudgeUnit;
    const double limit = paperHeight - printerBottomMargin;
    double lowest = -1.0e9;
    bool any = false;
    for (int row = 0; row < layout.Down; ++row) {
        const double bottom = top + row * pitch + double(layout.Height);
        for (int column = 0; column < layout.Across; ++column) {
            const int index = row * layout.Across + column;
            if (index < selection.size() && !selection.at(index))
                continue;
            any = true;
            lowest = std::max(lowest, bottom);
            if (bottom > limit + kTolerance)
                ++check.CardsCut;
        }
    }
    if (!any)
        return check;
    check.NeededMargin = std::max(0.0, paperHeight - lowest);
    check.Overlap = std::max(0.0, printerBottomMargin - check.NeededMargin);
    check.Due = check.CardsCut > 0;
    return check;
}

TWarnBottomMargin::TWarnBottomMargin(const TBottomMarginCheck &check, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("WarnBottomMargin"));
    setWindowTitle(QStringLiteral("ALERT"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, true);
    SetHelpTopic(this, kHelpContext);

    auto wrapped = [this](const QString &text, const char *name) {
        auto *label = new QLabel(text, this);
        label->setObjectName(QString::fromLatin1(name));
        label->setWordWrap(true);
        label->setMinimumWidth(380);
        return label;
    };
    BotMarg =
        wrapped(QStringLiteral("Business Cards need to print to within %1 inches of the "
                               "bottom, but the current printer has a bottom margin "
                               "setting of :")
                        .arg(TrimmedFigure(check.NeededMargin)) +
                    QStringLiteral(" ") + Figure(check.PrinterMargin) + QStringLiteral(" inches"),
                "BotMarg");
    Difference =
        wrapped(QStringLiteral("This could result in the bottom of %1 being cut off by "
                               "approximately:")
                        .arg(CardsText(check.CardsCut)) +
                    QStringLiteral(" ") + Figure(check.Overlap) + QStringLiteral(" inches"),
                "Difference");
    QLabel *advice = wrapped(QStringLiteral("If your printer driver supports it, you could change "
                                            "the bottom margin to %1 inches. Otherwise, you should "
                                            "design your cards so that the bottom portion of the "
                                            "cards is not used.")
                                 .arg(TrimmedFigure(check.NeededMargin)),
                             "Advice");
    QLabel *note = wrapped(QStringLiteral("(Note: some printers, including some of the HP Deskjet "
                                          "series, cannot print beyond a 0.66 inch bottom margin)"),
                           "Note");
    DontShowCheck = new QCheckBox(QStringLiteral("Don't show this warning again"), this);
    DontShowCheck->setObjectName(QStringLiteral("DontShowCheck"));

    ContinueButton = new QPushButton(QStringLiteral("Continue"), this);
    ContinueButton->setObjectName(QStringLiteral("ContinueButton"));
    ContinueButton->setDefault(true);
    CancelPrintingButton = new QPushButton(QStringLiteral("Cancel Printing"), this);
    CancelPrintingButton->setObjectName(QStringLiteral("CancelPrintingButton"));
    Helpbutton = new QPushButton(QStringLiteral("Help"), this);
    Helpbutton->setObjectName(QStringLiteral("Helpbutton"));
    Helpbutton->setAutoDefault(false);
    connect(ContinueButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelPrintingButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(Helpbutton, &QPushButton::clicked, this, [] { ShowHelpTopic(kHelpContext); });

    auto *icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(32, 32));
    icon->setAlignment(Qt::AlignTop);
    auto *texts = new QVBoxLayout;
    for (QWidget *w : {static_cast<QWidget *>(BotMarg), static_cast<QWidget *>(Difference),
                       static_cast<QWidget *>(advice), static_cast<QWidget *>(note)})
        texts->addWidget(w);
    texts->addSpacing(4);
    texts->addWidget(DontShowCheck);
    auto *top = new QHBoxLayout;
    top->addWidget(icon);
    top->addLayout(texts, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ContinueButton);
    buttons->addWidget(CancelPrintingButton);
    buttons->addWidget(Helpbutton);
    auto *main = new QVBoxLayout(this);
    main->addLayout(top);
    main->addSpacing(6);
    main->addLayout(buttons);
    main->setSizeConstraint(QLayout::SetFixedSize);
}

bool TWarnBottomMargin::DontShowAgain() const
{
    return DontShowCheck->isChecked();
}

QString TWarnBottomMargin::Figure(double inches)
{
    return QString::number(inches, 'f', 3);
}

QString TWarnBottomMargin::TrimmedFigure(double inches)
{
    QString text = Figure(inches);
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text;
}
