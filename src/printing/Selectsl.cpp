#include "printing/Selectsl.h"

#include "document/Desktop.h"
#include "printing/MergePrint.h"
#include "report/RPCanvas.h"
#include "surface/ScreenInfo.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace {

constexpr int kHelpContext = 2020;
constexpr QRgb kSelected = 0xFF0000; // red
constexpr QRgb kCleared = 0xFFFFFF;  // white
// The picture area shows this much at most; a larger sheet scrolls.
constexpr int kMaxPictureWidth = 440;
constexpr int kMaxPictureHeight = 480;

// Windows-style rectangle: frame and fill over left..right-1, top..bottom-1.
void DrawFramed(QPainter &painter, const QRect &r, QRgb fill)
{
    painter.setPen(QPen(Qt::black, 0));
    painter.setBrush(QColor(fill));
    painter.drawRect(
        QRect(r.left(), r.top(), std::max(0, r.width() - 1), std::max(0, r.height() - 1)));
}

} // namespace

void TSheetPicture::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (OnPaint)
        OnPaint(painter);
}

void TSheetPicture::mousePressEvent(QMouseEvent *event)
{
    if (OnMouseDown)
        OnMouseDown(event->position().toPoint());
    event->accept();
}

void TSheetPicture::keyPressEvent(QKeyEvent *event)
{
    if (event->modifiers() == Qt::NoModifier && OnKey && OnKey(event->key()))
        event->accept();
    else
        QWidget::keyPressEvent(event);
}

void TSheetPicture::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    update();
}

void TSheetPicture::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    update();
}

TSelectSpecificLabels::TSelectSpecificLabels(int papersize, TCanvasReport *report, QWidget *parent)
    : QDialog(parent)
    , m_report(report)
{
    setObjectName(QStringLiteral("SelectSpecificLabels"));
    setWindowTitle(QStringLiteral("Print Cards"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, true);
    SetHelpTopic(this, kHelpContext);
    m_ppi = ScreenPixelsPerInch();
    m_paper = papersize == TCardLayout::PaperLetter ? QSizeF(double(8.5f), double(11.0f))
              : papersize == TCardLayout::PaperA3   ? QSizeF(297.0 / 25.4, 420.0 / 25.4)
                                                    : QSizeF(double(8.268f), double(11.69f));

    auto *heading = new QLabel(QStringLiteral(" Select Cards To Print"), this);
    PaintBox1 = new TSheetPicture;
    PaintBox1->setObjectName(QStringLiteral("PaintBox1"));
    PaintBox1->OnPaint = [this](QPainter &painter) {
        PaintBox1Paint(painter);
        // Every change of the positions repaints the sheet.
        ShowMergeSummary();
    };
    PaintBox1->OnMouseDown = [this](const QPoint &point) { PaintBox1MouseDown(point); };
    PaintBox1->OnKey = [this](int key) { return PaintBox1Key(key); };
    PaintBox1->setFocusPolicy(Qt::StrongFocus);
    auto *scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("PictureArea"));
    scroll->setWidget(PaintBox1);
    scroll->setWidgetResizable(false);
    scroll->setAlignment(Qt::AlignCenter);
    scroll->setBackgroundRole(QPalette::Button);

    SelectAll = new QPushButton(QStringLiteral("&All"), this);
    SelectAll->setObjectName(QStringLiteral("SelectAll"));
    Selectnone = new QPushButton(QStringLiteral("&None"), this);
    Selectnone->setObjectName(QStringLiteral("Selectnone"));

    auto *printerBox = new QGroupBox(QStringLiteral("Printer"), this);
    PrinterLabel = new QLabel(printerBox);
    PrinterLabel->setObjectName(QStringLiteral("PrinterLabel"));
    PrinterLabel->setTextFormat(Qt::PlainText);
    PrinterLabel->setMinimumWidth(180);
    PrinterSetupButton = new QPushButton(QStringLiteral("Print &Setup"), printerBox);
    PrinterSetupButton->setObjectName(QStringLiteral("PrinterSetupButton"));
    // A PDF file has no printer to set up (and must not turn into one).
    PrinterSetupButton->setEnabled(m_report && m_report->OutputFile().isEmpty());
    auto *printerLayout = new QVBoxLayout(printerBox);
    printerLayout->addWidget(PrinterLabel);
    printerLayout->addWidget(PrinterSetupButton, 0, Qt::AlignLeft);

    auto *pagesBox = new QGroupBox(QStringLiteral("Pages"), this);
    pages = new QSpinBox(pagesBox);
    pages->setObjectName(QStringLiteral("pages"));
    pages->setRange(1, 99);
    pages->setValue(1);
    PagesLabel = new QLabel(QStringLiteral("Number of &pages:"), pagesBox);
    PagesLabel->setBuddy(pages);
    MergeSummary = new QLabel(pagesBox);
    MergeSummary->setObjectName(QStringLiteral("MergeSummary"));
    MergeSummary->hide();
    auto *pagesLayout = new QHBoxLayout(pagesBox);
    pagesLayout->addWidget(PagesLabel);
    pagesLayout->addWidget(pages);
    pagesLayout->addWidget(MergeSummary);
    pagesLayout->addStretch(1);
    connect(pages, &QSpinBox::valueChanged, this, [this] { ShowMergeSummary(); });

    // Two-sided designs only.
    SidesBox = new QGroupBox(QStringLiteral("Sides"), this);
    SidesBox->setObjectName(QStringLiteral("SidesBox"));
    SidesCombo = new QComboBox(SidesBox);
    SidesCombo->setObjectName(QStringLiteral("SidesCombo"));
    SidesCombo->addItems(
        {QStringLiteral("Both sides"), QStringLiteral("Front only"), QStringLiteral("Back only")});
    FlipLong = new QRadioButton(QStringLiteral("Turn over the &long edge"), SidesBox);
    FlipLong->setObjectName(QStringLiteral("FlipLong"));
    FlipShort = new QRadioButton(QStringLiteral("Turn over the s&hort edge"), SidesBox);
    FlipShort->setObjectName(QStringLiteral("FlipShort"));
    FlipLong->setChecked(true);
    ManualDuplex =
        new QCheckBox(QStringLiteral("&Manual duplex (turn the sheets by hand)"), SidesBox);
    ManualDuplex->setObjectName(QStringLiteral("ManualDuplex"));
    auto *feedLabel = new QLabel(QStringLiteral("The printer prints the side"), SidesBox);
    FeedCombo = new QComboBox(SidesBox);
    FeedCombo->setObjectName(QStringLiteral("FeedCombo"));
    FeedCombo->addItems(
        {QStringLiteral("facing down in its tray"), QStringLiteral("facing up in its tray")});
    feedLabel->setBuddy(FeedCombo);
    auto *sidesLayout = new QVBoxLayout(SidesBox);
    sidesLayout->addWidget(SidesCombo);
    sidesLayout->addWidget(FlipLong);
    sidesLayout->addWidget(FlipShort);
    sidesLayout->addWidget(ManualDuplex);
    sidesLayout->addWidget(feedLabel);
    sidesLayout->addWidget(FeedCombo);
    SidesBox->hide();
    connect(SidesCombo, &QComboBox::currentIndexChanged, this, [this] { UpdateSides(); });
    connect(ManualDuplex, &QCheckBox::toggled, this, [this] { UpdateSides(); });

    OKbutton = new QPushButton(QStringLiteral("Ok"), this);
    OKbutton->setObjectName(QStringLiteral("OKbutton"));
    OKbutton->setDefault(true);
    Cancelbutton = new QPushButton(QStringLiteral("Cancel"), this);
    Cancelbutton->setObjectName(QStringLiteral("Cancelbutton"));
    Helpbutton = new QPushButton(QStringLiteral("Help"), this);
    Helpbutton->setObjectName(QStringLiteral("Helpbutton"));

    connect(SelectAll, &QPushButton::clicked, this, [this] { SelectAllClick(); });
    connect(Selectnone, &QPushButton::clicked, this, [this] { SelectnoneClick(); });
    connect(PrinterSetupButton, &QPushButton::clicked, this, [this] { PrinterSetupButtonClick(); });
    connect(OKbutton, &QPushButton::clicked, this, [this] { OKbuttonClick(); });
    connect(Cancelbutton, &QPushButton::clicked, this, &QDialog::reject);
    connect(Helpbutton, &QPushButton::clicked, this, [] { ShowHelpTopic(kHelpContext); });

    auto *left = new QVBoxLayout;
    left->addWidget(heading);
    left->addWidget(scroll, 1);
    auto *selectRow = new QHBoxLayout;
    selectRow->addWidget(SelectAll);
    selectRow->addWidget(Selectnone);
    selectRow->addStretch(1);
    left->addLayout(selectRow);
    auto *right = new QVBoxLayout;
    right->addWidget(printerBox);
    right->addWidget(pagesBox);
    right->addWidget(SidesBox);
    right->addStretch(1);
    for (QPushButton *b : {OKbutton, Cancelbutton, Helpbutton})
        right->addWidget(b);
    auto *main = new QHBoxLayout(this);
    main->addLayout(left, 1);
    main->addLayout(right);

    // The dialog sees Enter and Escape before its controls do.
    for (QWidget *child : findChildren<QWidget *>())
        child->installEventFilter(this);

    ShowPrinterName();
    SetLayout(TCardLayout());
    PlaceDialog(this, parent ? parent->window() : nullptr);
}

int TSelectSpecificLabels::Scaled(double inches) const
{
    return int(std::trunc(inches * 0.2 * m_ppi));
}

QRect TSelectSpecificLabels::SheetRect() const
{
    return QRect(QPoint(m_origin.x(), m_origin.y()),
                 QPoint(Scaled(m_paper.width()) + m_origin.x() - 1,
                        Scaled(m_paper.height()) + m_origin.y() - 1));
}

void TSelectSpecificLabels::SetLayout(const TCardLayout &layout)
{
    m_layout = layout;
    // A layout from elsewhere is held to the layout dialog's counts.
    m_layout.Across = std::clamp(m_layout.Across, 1, 10);
    m_layout.Down = std::clamp(m_layout.Down, 1, 30);
    const QList<bool> old = m_selection;
    SetSelection(old);
}

void TSelectSpecificLabels::SetMergeRecords(int records)
{
    m_mergeRecords = records;
    PagesLabel->setText(QStringLiteral("Copies of each &card:"));
    MergeSummary->show();
    ShowMergeSummary();
}

void TSelectSpecificLabels::ShowMergeSummary()
{
    if (m_mergeRecords <= 0)
        return;
    const int chosen = int(std::count(m_selection.cbegin(), m_selection.cend(), true));
    const qint64 cards = qint64(m_mergeRecords) * pages->value();
    const int sheets = chosen == 0 ? 0 : int((cards + chosen - 1) / chosen);
    MergeSummary->setText(::MergeSummary(m_mergeRecords, sheets));
}

void TSelectSpecificLabels::SetSelection(const QList<bool> &flags)
{
    const int count = m_layout.Across * m_layout.Down;
    m_selection = QList<bool>(count, true);
    for (int i = 0; i < count && i < flags.size(); ++i)
        m_selection[i] = flags.at(i);
    DetermineRectangles();
}

void TSelectSpecificLabels::DetermineRectangles()
{
    // Negative margins would put positions outside the picture; move the
    // whole picture so that they stay visible and clickable.
    m_origin = QPoint(10 + std::max(0, -Scaled(m_layout.LeftMargin)),
                      10 + std::max(0, -Scaled(m_layout.TopMargin)));
    m_rects.clear();
    m_rects.reserve(m_selection.size());
    m_current = std::clamp(m_current, 0, int(m_selection.size()) - 1);
    QRect extent = SheetRect();
    for (int row = 0; row < m_layout.Down; ++row) {
        for (int column = 0; column < m_layout.Across; ++column) {
            const int left =
                Scaled(m_layout.LeftMargin) + column * Scaled(m_layout.HPitch) + m_origin.x();
            const int top =
                Scaled(m_layout.TopMargin) + row * Scaled(m_layout.VPitch) + m_origin.y();
            const QRect r(QPoint(left, top), QPoint(left + Scaled(m_layout.Width) - 1,
                                                    top + Scaled(m_layout.Height) - 1));
            m_rects.append(r);
            extent = extent.united(r);
        }
    }
    if (PaintBox1) {
        PaintBox1->setFixedSize(extent.right() + 11, extent.bottom() + 11);
        if (auto *scroll = findChild<QScrollArea *>(QStringLiteral("PictureArea"))) {
            const int frame = 2 * scroll->frameWidth();
            scroll->setMinimumSize(std::min(PaintBox1->width(), kMaxPictureWidth) + frame + 2,
                                   std::min(PaintBox1->height(), kMaxPictureHeight) + frame + 2);
        }
        PaintBox1->update();
    }
}

void TSelectSpecificLabels::PaintBox1Paint(QPainter &painter)
{
    DrawFramed(painter, SheetRect(), kCleared);
    for (int i = 0; i < m_rects.size(); ++i)
        FillLabelRect(painter, i);
    if (PaintBox1 && PaintBox1->hasFocus() && m_current < m_rects.size()) {
        painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        // Inside the position when it has room, so no neighbour is drawn over.
        const QRect r = m_rects.at(m_current);
        painter.drawRect(r.width() > 10 && r.height() > 10 ? r.adjusted(3, 3, -4, -4)
                                                           : r.adjusted(-2, -2, 1, 1));
    }
}

void TSelectSpecificLabels::FillLabelRect(QPainter &painter, int index)
{
    if (index < 0 || index >= m_rects.size() || index >= m_selection.size())
        return;
    DrawFramed(painter, m_rects.at(index), m_selection.at(index) ? kSelected : kCleared);
}

void TSelectSpecificLabels::PaintBox1MouseDown(const QPoint &point)
{
    for (int i = 0; i < m_rects.size() && i < m_selection.size(); ++i) {
        if (m_rects.at(i).contains(point)) {
            m_selection[i] = !m_selection.at(i);
            PaintBox1->update(m_rects.at(i));
            return;
        }
    }
}

bool TSelectSpecificLabels::PaintBox1Key(int key)
{
    if (m_selection.isEmpty())
        return false;
    const int across = m_layout.Across;
    const int count = int(m_selection.size());
    int next = m_current;
    switch (key) {
    case Qt::Key_Left:
        next = m_current % across > 0 ? m_current - 1 : m_current;
        break;
    case Qt::Key_Right:
        next = m_current % across < across - 1 && m_current + 1 < count ? m_current + 1 : m_current;
        break;
    case Qt::Key_Up:
        next = m_current - across >= 0 ? m_current - across : m_current;
        break;
    case Qt::Key_Down:
        next = m_current + across < count ? m_current + across : m_current;
        break;
    case Qt::Key_Space:
        m_selection[m_current] = !m_selection.at(m_current);
        PaintBox1->update();
        return true;
    default:
        return false;
    }
    m_current = next;
    PaintBox1->update();
    if (auto *scroll = findChild<QScrollArea *>(QStringLiteral("PictureArea")))
        scroll->ensureVisible(m_rects.at(m_current).center().x(),
                              m_rects.at(m_current).center().y(), 20, 20);
    return true;
}

void TSelectSpecificLabels::SelectAllClick()
{
    m_selection.fill(true);
    PaintBox1->update();
}

void TSelectSpecificLabels::SelectnoneClick()
{
    m_selection.fill(false);
    PaintBox1->update();
}

void TSelectSpecificLabels::ShowPrinterName()
{
    QString name;
    if (m_report) {
        if (!m_report->OutputFile().isEmpty())
            name = QStringLiteral("PDF file %1").arg(m_report->OutputFile());
        else if (QPrinter *printer = m_report->Printer())
            name = printer->printerName();
    }
    PrinterLabel->setText(name.isEmpty() ? QStringLiteral("(no printer)") : name);
}

void TSelectSpecificLabels::PrinterSetupButtonClick()
{
    if (!m_report)
        return;
    m_report->PrinterSetupDialog(this);
    ShowPrinterName();
    UpdateSides();
}

bool TSelectSpecificLabels::PrinterHasDuplexUnit() const
{
    QPrinter *printer =
        m_report && m_report->OutputFile().isEmpty() ? m_report->Printer() : nullptr;
    if (!printer)
        return false;
    const QList<QPrinter::DuplexMode> modes = QPrinterInfo(*printer).supportedDuplexModes();
    return modes.contains(QPrinter::DuplexLongSide) || modes.contains(QPrinter::DuplexShortSide);
}

void TSelectSpecificLabels::SetTwoSided(const TDuplexSettings &duplex)
{
    m_twoSided = true;
    m_duplex = duplex;
    SidesCombo->setCurrentIndex(0);
    (duplex.ShortEdge ? FlipShort : FlipLong)->setChecked(true);
    ManualDuplex->setChecked(duplex.Manual);
    FeedCombo->setCurrentIndex(duplex.FeedFaceUp ? 1 : 0);
    SidesBox->show();
    UpdateSides();
}

void TSelectSpecificLabels::UpdateSides()
{
    // A PDF file holds fronts and backs as pages: nothing is turned there.
    const bool toFile = m_report && !m_report->OutputFile().isEmpty();
    const bool both = SidesCombo->currentIndex() == 0;
    const bool unit = PrinterHasDuplexUnit();
    FlipLong->setEnabled(both);
    FlipShort->setEnabled(both);
    // Without a duplex unit the sheets can only be turned by hand.
    ManualDuplex->setEnabled(both && !toFile && unit);
    if (!toFile && !unit)
        ManualDuplex->setChecked(true);
    FeedCombo->setEnabled(both && !toFile && ManualDuplex->isChecked());
}

TPrintSides TSelectSpecificLabels::Sides() const
{
    if (!m_twoSided)
        return TPrintSides::FrontOnly;
    switch (SidesCombo->currentIndex()) {
    case 1:
        return TPrintSides::FrontOnly;
    case 2:
        return TPrintSides::BackOnly;
    default:
        return TPrintSides::Both;
    }
}

TDuplexSettings TSelectSpecificLabels::Duplex() const
{
    TDuplexSettings duplex = m_duplex;
    if (!m_twoSided)
        return duplex;
    duplex.ShortEdge = FlipShort->isChecked();
    // What a printer without a unit forces is not its user's choice.
    if (ManualDuplex->isEnabled())
        duplex.Manual = ManualDuplex->isChecked();
    duplex.FeedFaceUp = FeedCombo->currentIndex() == 1;
    return duplex;
}

void TSelectSpecificLabels::OKbuttonClick()
{
    pages->interpretText();
    if (m_report) {
        m_report->SetOrientation(poPortrait);
        m_report->SetCopies(pages->value());
    }
    if (std::find(m_selection.cbegin(), m_selection.cend(), true) != m_selection.cend())
        accept();
    else
        ShowInformation(QStringLiteral("You must select at least one card to print"));
}

void TSelectSpecificLabels::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    DetermineRectangles();
}

bool TSelectSpecificLabels::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            OKbuttonClick();
            return true;
        }
        if (key == Qt::Key_Escape) {
            reject();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
