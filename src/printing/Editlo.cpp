#include "printing/Editlo.h"

#include "document/Desktop.h"

#include <QApplication>
#include <QComboBox>
#include <QDoubleValidator>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace {

constexpr double kMMPerInch = 25.4;
constexpr double kInchPerMM = 0.039370078740157480; // 1 / 25.4

constexpr int kHelpContext = 3101;

// Largest length a field takes, in inches; the millimetre display takes the
// same length. Margins may be negative (a sheet fed with an offset), sizes
// and pitches may not.
constexpr double kMaxInches = kMaxLayoutInches;
constexpr double kMaxMM = kMaxLayoutInches * kMMPerInch;

constexpr int kMaxAcross = 10;
constexpr int kMaxDown = 30;

QString RangeMessage(const QString &label, const QString &bottom, const QString &top)
{
    return QStringLiteral("%1 must be a number from %2 to %3").arg(label, bottom, top);
}

// The rules of ValidCard, in its order: the first that fails, with the field
// it is about.
TLayoutProblem ValidCardRules(const TCardLayout &l)
{
    // Written so that a NaN fails every test.
    if (!(l.Height >= 0.3))
        return {QStringLiteral("Height"),
                QStringLiteral("Card Height must be at least .3 inches (or 7mm)")};
    if (!(l.Width >= 0.5))
        return {QStringLiteral("Width"),
                QStringLiteral("Card Width must be at least .5 inch (or 13mm)")};
    if (l.Across >= 2 && !(l.HPitch >= l.Width))
        return {QStringLiteral("HPitch"),
                QStringLiteral("Horizontal Pitch must be at least = Card Width")};
    if (l.Down >= 2 && !(l.VPitch >= l.Height))
        return {QStringLiteral("VPitch"),
                QStringLiteral("Vertical Pitch must be at least = Card Height")};
    return {};
}

struct PredefinedEntry
{
    const char *name;
    TCardLayout layout;
};

constexpr TCardLayout Make(int index, float height, float width, float top, float left, int paper)
{
    TCardLayout l;
    l.Height = height;
    l.Width = width;
    l.Across = 2;
    l.Down = 5;
    l.TopMargin = top;
    l.LeftMargin = left;
    l.HPitch = width;
    l.VPitch = height;
    l.PredefLayout = index;
    l.Papersize = paper;
    l.UseMM = false;
    return l;
}

constexpr int kLetter = TCardLayout::PaperLetter;
constexpr int kA4 = TCardLayout::PaperA4;

const std::array<PredefinedEntry, TCardLayout::PredefinedCount> kPredefined = {{
    {"Avery Business Card 5371 (Letter Size Paper)", Make(0, 2.0f, 3.5f, 0.5f, 0.75f, kLetter)},
    {"Avery Business Card 5372 (Letter Size Paper)", Make(1, 2.0f, 3.5f, 0.5f, 0.75f, kLetter)},
    {"Avery Business Card 5376 - Ivory (Letter Size Paper)",
     Make(2, 2.0f, 3.5f, 0.5f, 0.75f, kLetter)},
    {"Avery Business Card 5377 - Gray (Letter Size Paper)",
     Make(3, 2.0f, 3.5f, 0.5f, 0.75f, kLetter)},
    {"Avery Business Card 5911 (Letter Size Paper)", Make(4, 2.0f, 3.5f, 0.5f, 0.75f, kLetter)},
    {"Avery Business Card 8371 Ink Jet (Letter Size Paper)",
     Make(5, 2.0f, 3.5f, 0.5f, 0.75f, kLetter)},
    {"Avery Business Card 8372 Ink Jet (Letter Size Paper)",
     Make(6, 2.0f, 3.5f, 0.5f, 0.75f, kLetter)},
    {"Avery Business Card 8376 Ink Jet - Ivory (Letter Size Paper)",
     Make(7, 2.0f, 3.5f, 0.5f, 0.75f, kLetter)},
    {"Avery Business Card 8377 Ink Jet - Gray (Letter Size Paper)",
     Make(8, 2.0f, 3.5f, 0.5f, 0.75f, kLetter)},
    {"Avery Business Card L7413 (A4 Size Paper)", Make(9, 2.0f, 3.543f, 0.846f, 0.591f, kA4)},
    {"Avery Business Card L7414 (A4 Size Paper)", Make(10, 2.047f, 3.543f, 0.728f, 0.591f, kA4)},
    {"Avery Business Card L7415 (A4 Size Paper)", Make(11, 2.047f, 3.543f, 0.728f, 0.591f, kA4)},
    {"Avery Business Card L7417 (A4 Size Paper)", Make(12, 2.126f, 3.543f, 0.531f, 0.591f, kA4)},
    {"Avery Business Card L7419 (A4)", Make(13, 2.126f, 3.543f, 0.531f, 0.591f, kA4)},
}};

// Paper size list: Letter, A4, and an empty entry that keeps whatever code
// the record had.
constexpr int kPaperLetterIndex = 0;
constexpr int kPaperA4Index = 1;
constexpr int kPaperKeepIndex = 2;

QLocale NumberLocale()
{
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
    return c;
}

} // namespace

// ---------------------------------------------------------------------------
// TCardLayout

const TCardLayout &TCardLayout::PredefinedLayout(int index)
{
    if (index < 0 || index >= PredefinedCount)
        index = 0;
    return kPredefined[std::size_t(index)].layout;
}

QString TCardLayout::PredefinedLayoutName(int index)
{
    if (index < 0 || index >= PredefinedCount)
        return QString();
    return QString::fromLatin1(kPredefined[std::size_t(index)].name);
}

TLayoutProblem TCardLayout::Check() const
{
    struct Length
    {
        const char *key;
        const char *label;
        float value;
        bool margin;
    };
    // In the order the dialog checks its fields.
    const Length lengths[] = {
        {"Height", "Card Height", Height, false},
        {"Width", "Card Width", Width, false},
        {"TopMargin", "Top Margin", TopMargin, true},
        {"LeftMargin", "Left Margin", LeftMargin, true},
        {"HPitch", "Horizontal Pitch", HPitch, false},
        {"VPitch", "Vertical Pitch", VPitch, false},
    };
    for (const Length &length : lengths) {
        const double bottom = length.margin ? -kMaxInches : 0.0;
        // A field holds what it shows: three decimals.
        const double shown = std::round(double(length.value) * 1000.0) / 1000.0;
        if (!(shown >= bottom && shown <= kMaxInches))
            return {QString::fromLatin1(length.key),
                    RangeMessage(QString::fromLatin1(length.label),
                                 TNumberField::FormatValue(bottom, 3, true),
                                 TNumberField::FormatValue(kMaxInches, 3, true))};
    }
    if (Across < 1 || Across > kMaxAcross)
        return {QStringLiteral("Across"),
                RangeMessage(QStringLiteral("# across"), QStringLiteral("1"),
                             QString::number(kMaxAcross))};
    if (Down < 1 || Down > kMaxDown)
        return {QStringLiteral("Down"), RangeMessage(QStringLiteral("# down"), QStringLiteral("1"),
                                                     QString::number(kMaxDown))};
    return ValidCardRules(*this);
}

TLayoutProblem TPrinterNudges::Check() const
{
    const std::pair<const char *, int> nudges[] = {
        {"TopMarginNudge", TopMarginNudge},
        {"LeftMarginNudge", LeftMarginNudge},
        {"VerticalSpacing", VerticalSpacing},
        {"HorizontalSpacing", HorizontalSpacing},
    };
    for (const auto &[key, value] : nudges) {
        if (value < -kMaxPrinterNudge || value > kMaxPrinterNudge)
            return {QString::fromLatin1(key),
                    RangeMessage(QString::fromLatin1(key), QString::number(-kMaxPrinterNudge),
                                 QString::number(kMaxPrinterNudge)) +
                        QStringLiteral(" (1/32 inch)")};
    }
    return {};
}

QPointF TCardLayout::PositionCorner(int col, int row) const
{
    return QPointF(double(LeftMargin) + col * double(HPitch),
                   double(TopMargin) + row * double(VPitch));
}

QSizeF TCardLayout::PaperInches() const
{
    if (Papersize == PaperLetter)
        return QSizeF(8.5, 11.0);
    if (Papersize == PaperA4)
        return QSizeF(210.0 / kMMPerInch, 297.0 / kMMPerInch);
    return QSizeF();
}

QString TCardLayout::PaperFitMessage(bool millimetres) const
{
    const QSizeF paper = PaperInches();
    if (paper.isEmpty())
        return QString();
    const QString paperName =
        Papersize == PaperA4 ? QStringLiteral("A4") : QStringLiteral("Letter");
    auto length = [millimetres](double inches) {
        return millimetres
                   ? TNumberField::FormatValue(inches * kMMPerInch, 2, true) + QStringLiteral("mm")
                   : TNumberField::FormatValue(inches, 3, true) + QStringLiteral(" inches");
    };
    // Lengths are kept to a thousandth of an inch: closer than half of that
    // to the edge is on the paper.
    constexpr double tolerance = 0.0005;
    if (double(Width) > paper.width() + tolerance)
        return QStringLiteral("Card Width must be at most %1 to fit on %2 paper")
            .arg(length(paper.width()), paperName);
    if (double(Height) > paper.height() + tolerance)
        return QStringLiteral("Card Height must be at most %1 to fit on %2 paper")
            .arg(length(paper.height()), paperName);
    const QPointF last = PositionCorner(Across - 1, Down - 1);
    const double right = last.x() + double(Width);
    const double bottom = last.y() + double(Height);
    if (right > paper.width() + tolerance)
        return QStringLiteral("The cards across end %1 from the left edge of the %2 paper, which "
                              "is %3 wide: reduce # across, Horizontal Pitch or Left Margin")
            .arg(length(right), paperName, length(paper.width()));
    if (bottom > paper.height() + tolerance)
        return QStringLiteral("The cards down end %1 from the top edge of the %2 paper, which is "
                              "%3 high: reduce # down, Vertical Pitch or Top Margin")
            .arg(length(bottom), paperName, length(paper.height()));
    return QString();
}

// ---------------------------------------------------------------------------
// TNumberField

TNumberField::TNumberField(QWidget *parent)
    : QLineEdit(parent)
{
    m_validator = new QDoubleValidator(this);
    m_validator->setNotation(QDoubleValidator::StandardNotation);
    m_validator->setLocale(NumberLocale());
    setValidator(m_validator);
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    SetFormat(3, true, 0.0, kMaxInches);
    connect(this, &QLineEdit::textChanged, this, [this] { Remember(); });
    SetValue(0.0);
}

void TNumberField::SetFormat(int decimals, bool trimZeros, double bottom, double top)
{
    m_decimals = decimals;
    m_trimZeros = trimZeros;
    m_bottom = bottom;
    m_top = top;
    m_validator->setRange(bottom, top, decimals);
    SetValue(m_value);
}

QString TNumberField::Format(double value) const
{
    return FormatValue(value, m_decimals, m_trimZeros);
}

QString TNumberField::FormatValue(double value, int decimals, bool trimZeros)
{
    QString text = QString::number(value, 'f', decimals);
    if (trimZeros && text.contains(QLatin1Char('.'))) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(QLatin1Char('.')))
            text.chop(1);
    }
    // A tiny negative value rounds to "-0" (or "-0.00"); show it unsigned.
    if (text.startsWith(QLatin1Char('-')) && NumberLocale().toDouble(text) == 0.0)
        text.remove(0, 1);
    return text;
}

void TNumberField::SetValue(double value)
{
    m_value = value;
    setText(Format(value)); // Remember() then keeps what the text shows
}

double TNumberField::Value() const
{
    return m_value;
}

bool TNumberField::HasNumber() const
{
    return hasAcceptableInput();
}

void TNumberField::Remember()
{
    if (!HasNumber())
        return;
    bool ok = false;
    const double v = NumberLocale().toDouble(text(), &ok);
    if (ok)
        m_value = v;
}

// ---------------------------------------------------------------------------
// TEditCardLayout

TEditCardLayout::TEditCardLayout(const TCardLayout &layout, QWidget *parent)
    : QDialog(parent)
    , m_record(layout)
    , m_result(layout)
{
    setObjectName(QStringLiteral("EditCardLayout"));
    setWindowTitle(QStringLiteral("Business Card Layout"));
    BuildForm();

    // Only the unit is shown at once; the fields are filled on first show.
    MMButton->setChecked(layout.UseMM);
    SetUnitDisplay(false);
    for (TNumberField *field : LengthFields())
        field->clear();

    connect(Inchesbutton, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            InchesbuttonClick();
    });
    connect(MMButton, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            MMButtonClick();
    });
    connect(PredefinedLayouts, &QComboBox::activated, this,
            [this](int) { PredefinedLayoutsChange(); });
    connect(OKButton, &QPushButton::clicked, this, [this] { OKButtonClick(); });
    connect(Cancelbutton, &QPushButton::clicked, this, &QDialog::reject);
    connect(Helpbutton, &QPushButton::clicked, this, [] { ShowHelpTopic(kHelpContext); });
    eCardwidth->installEventFilter(this);
    eCardHeight->installEventFilter(this);
    // Any edit of the values makes the layout the user's own.
    for (TNumberField *field : LengthFields())
        connect(field, &QLineEdit::textEdited, this, [this] { MarkCustom(); });
    for (QSpinBox *spin : {enbracross, enbrdown})
        connect(spin, &QSpinBox::valueChanged, this, [this] {
            if (!m_filling)
                MarkCustom();
        });
    connect(epapersize, &QComboBox::activated, this, [this] { MarkCustom(); });

    PlaceDialog(this, parent ? parent->window() : nullptr);
}

void TEditCardLayout::BuildForm()
{
    auto numberField = [this](const char *name) {
        auto *field = new TNumberField(this);
        field->setObjectName(QString::fromLatin1(name));
        field->setFixedWidth(field->fontMetrics().horizontalAdvance(QStringLiteral("000000.000")) +
                             16);
        return field;
    };
    auto unitLabel = [this]() {
        auto *label = new QLabel(QStringLiteral("in"), this);
        label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QStringLiteral("mm")) + 2);
        m_unitLabels.append(label);
        return label;
    };
    auto spinField = [this](const char *name, int top) {
        auto *spin = new QSpinBox(this);
        spin->setObjectName(QString::fromLatin1(name));
        spin->setRange(1, top);
        spin->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        spin->setMinimumWidth(spin->fontMetrics().horizontalAdvance(QStringLiteral("000")) + 36);
        return spin;
    };
    // Label, field and unit in three columns of a group's grid.
    auto addRow = [](QGridLayout *grid, int row, const QString &text, QWidget *field,
                     QLabel *unit) {
        auto *label = new QLabel(text, field->parentWidget());
        label->setBuddy(field);
        grid->addWidget(label, row, 0);
        grid->addWidget(field, row, 1);
        if (unit)
            grid->addWidget(unit, row, 2);
    };

    PredefinedLayouts = new QComboBox(this);
    PredefinedLayouts->setObjectName(QStringLiteral("PredefinedLayouts"));
    for (int i = 0; i < TCardLayout::PredefinedCount; ++i)
        PredefinedLayouts->addItem(TCardLayout::PredefinedLayoutName(i));
    // A layout of the user's own, or one of the above after an edit.
    PredefinedLayouts->addItem(QStringLiteral("Custom"));
    PredefinedLayouts->setMaxVisibleItems(13);

    Inchesbutton = new QRadioButton(QStringLiteral("Use &Inches"), this);
    Inchesbutton->setObjectName(QStringLiteral("Inchesbutton"));
    Inchesbutton->setChecked(true);
    MMButton = new QRadioButton(QStringLiteral("Use &Millimeters"), this);
    MMButton->setObjectName(QStringLiteral("MMButton"));

    eCardwidth = numberField("eCardwidth");
    eCardHeight = numberField("eCardHeight");
    eHorizPitch = numberField("eHorizPitch");
    eVertPitch = numberField("eVertPitch");
    eleftmarg = numberField("eleftmarg");
    etopmarg = numberField("etopmarg");
    enbracross = spinField("enbracross", kMaxAcross);
    enbrdown = spinField("enbrdown", kMaxDown);

    epapersize = new QComboBox(this);
    epapersize->setObjectName(QStringLiteral("epapersize"));
    epapersize->addItem(QStringLiteral("Letter (8.5 x 11\")"));
    epapersize->addItem(QStringLiteral("A4 (210 x 297mm)"));
    epapersize->addItem(QString());
    // Until the record is shown, the entry that keeps the paper code.
    epapersize->setCurrentIndex(kPaperKeepIndex);

    OKButton = new QPushButton(QStringLiteral("Ok"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    Cancelbutton = new QPushButton(QStringLiteral("Cancel"), this);
    Cancelbutton->setObjectName(QStringLiteral("Cancelbutton"));
    Helpbutton = new QPushButton(QStringLiteral("Help"), this);
    Helpbutton->setObjectName(QStringLiteral("Helpbutton"));

    auto *predefLabel = new QLabel(QStringLiteral("Predefined Layouts"), this);
    predefLabel->setBuddy(PredefinedLayouts);

    auto *sizeBox = new QGroupBox(QStringLiteral("Card Size"), this);
    auto *sizeGrid = new QGridLayout(sizeBox);
    addRow(sizeGrid, 0, QStringLiteral("Card Width"), eCardwidth, unitLabel());
    addRow(sizeGrid, 1, QStringLiteral("Card Height"), eCardHeight, unitLabel());
    sizeGrid->setColumnStretch(3, 1);

    auto *unitBox = new QGroupBox(QStringLiteral("Units"), this);
    auto *unitColumn = new QVBoxLayout(unitBox);
    unitColumn->addWidget(Inchesbutton);
    unitColumn->addWidget(MMButton);
    unitColumn->addStretch(1);

    auto *gridBox = new QGroupBox(QStringLiteral("Cards on the Sheet"), this);
    auto *gridGrid = new QGridLayout(gridBox);
    addRow(gridGrid, 0, QStringLiteral("# across"), enbracross, nullptr);
    addRow(gridGrid, 1, QStringLiteral("# down"), enbrdown, nullptr);
    gridGrid->setColumnMinimumWidth(2, 16);
    {
        auto *pitchGrid = new QGridLayout;
        addRow(pitchGrid, 0, QStringLiteral("Horizontal Pitch"), eHorizPitch, unitLabel());
        addRow(pitchGrid, 1, QStringLiteral("Vertical Pitch"), eVertPitch, unitLabel());
        gridGrid->addLayout(pitchGrid, 0, 3, 2, 1);
    }
    gridGrid->setColumnStretch(4, 1);

    auto *marginBox = new QGroupBox(QStringLiteral("Margins"), this);
    auto *marginGrid = new QGridLayout(marginBox);
    addRow(marginGrid, 0, QStringLiteral("Left Margin"), eleftmarg, unitLabel());
    addRow(marginGrid, 1, QStringLiteral("Top Margin"), etopmarg, unitLabel());
    marginGrid->setColumnStretch(3, 1);

    auto *paperBox = new QGroupBox(QStringLiteral("Paper"), this);
    auto *paperGrid = new QGridLayout(paperBox);
    addRow(paperGrid, 0, QStringLiteral("Paper size"), epapersize, nullptr);
    paperGrid->setRowStretch(1, 1);

    // The left-hand labels of the three groups line up in one column.
    int labelWidth = 0;
    for (const char *text :
         {"Card Width", "Card Height", "# across", "# down", "Left Margin", "Top Margin"})
        labelWidth = std::max(labelWidth, fontMetrics().horizontalAdvance(QLatin1String(text)));
    for (QGridLayout *g : {sizeGrid, gridGrid, marginGrid})
        g->setColumnMinimumWidth(0, labelWidth + 4);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OKButton);
    buttons->addWidget(Cancelbutton);
    buttons->addWidget(Helpbutton);

    auto *grid = new QGridLayout;
    grid->addWidget(sizeBox, 0, 0);
    grid->addWidget(unitBox, 0, 1);
    grid->addWidget(gridBox, 1, 0, 1, 2);
    grid->addWidget(marginBox, 2, 0);
    grid->addWidget(paperBox, 2, 1);

    auto *main = new QVBoxLayout(this);
    main->addWidget(predefLabel);
    main->addWidget(PredefinedLayouts);
    main->addSpacing(6);
    main->addLayout(grid);
    main->addSpacing(6);
    main->addLayout(buttons);
    main->setSizeConstraint(QLayout::SetFixedSize);

    // Tab order follows the form from top to bottom.
    QWidget *order[] = {PredefinedLayouts, eCardwidth, eCardHeight, Inchesbutton, MMButton,
                        enbracross,        enbrdown,   eHorizPitch, eVertPitch,   eleftmarg,
                        etopmarg,          epapersize, OKButton,    Cancelbutton, Helpbutton};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

QList<TNumberField *> TEditCardLayout::LengthFields() const
{
    return {eCardHeight, eCardwidth, etopmarg, eleftmarg, eHorizPitch, eVertPitch};
}

QString TEditCardLayout::FieldLabel(const TNumberField *field) const
{
    if (field == eCardwidth)
        return QStringLiteral("Card Width");
    if (field == eCardHeight)
        return QStringLiteral("Card Height");
    if (field == eHorizPitch)
        return QStringLiteral("Horizontal Pitch");
    if (field == eVertPitch)
        return QStringLiteral("Vertical Pitch");
    if (field == eleftmarg)
        return QStringLiteral("Left Margin");
    return QStringLiteral("Top Margin");
}

void TEditCardLayout::TakeLengthsFromFields(double factor)
{
    m_record.Height = float(eCardHeight->Value() * factor);
    m_record.Width = float(eCardwidth->Value() * factor);
    m_record.TopMargin = float(etopmarg->Value() * factor);
    m_record.LeftMargin = float(eleftmarg->Value() * factor);
    m_record.HPitch = float(eHorizPitch->Value() * factor);
    m_record.VPitch = float(eVertPitch->Value() * factor);
}

void TEditCardLayout::ShowLengths(bool millimetres)
{
    auto shown = [millimetres](float inches) {
        return millimetres ? InchesToShownMM(inches) : double(inches);
    };
    eCardHeight->SetValue(shown(m_record.Height));
    eCardwidth->SetValue(shown(m_record.Width));
    etopmarg->SetValue(shown(m_record.TopMargin));
    eleftmarg->SetValue(shown(m_record.LeftMargin));
    eHorizPitch->SetValue(shown(m_record.HPitch));
    eVertPitch->SetValue(shown(m_record.VPitch));
}

double TEditCardLayout::InchesToShownMM(double inches)
{
    const double mm = inches * kMMPerInch;
    const double thousandths = std::round(inches * 1000.0);
    // A figure in whole or tenths of millimetres that reads back as the same
    // thousandth of an inch, as "Ok" reads millimetres; else the field shows
    // the nearest hundredth.
    for (const double scale : {1.0, 10.0}) {
        const double candidate = std::round(mm * scale) / scale;
        if (std::round(candidate * kInchPerMM * 1000.0) == thousandths)
            return candidate;
    }
    return mm;
}

void TEditCardLayout::MarkCustom()
{
    if (m_filling || m_firstActivation)
        return;
    PredefinedLayouts->setCurrentIndex(CustomEntry);
}

int TEditCardLayout::EntryFor(const TCardLayout &l)
{
    if (l.PredefLayout < 0 || l.PredefLayout >= TCardLayout::PredefinedCount)
        return CustomEntry;
    const TCardLayout &p = TCardLayout::PredefinedLayout(l.PredefLayout);
    auto same = [](float a, float b) {
        return std::round(double(a) * 1000.0) == std::round(double(b) * 1000.0);
    };
    const bool unchanged = same(l.Height, p.Height) && same(l.Width, p.Width) &&
                           same(l.TopMargin, p.TopMargin) && same(l.LeftMargin, p.LeftMargin) &&
                           same(l.HPitch, p.HPitch) && same(l.VPitch, p.VPitch) &&
                           l.Across == p.Across && l.Down == p.Down && l.Papersize == p.Papersize;
    return unchanged ? l.PredefLayout : CustomEntry;
}

void TEditCardLayout::SetUnitDisplay(bool millimetres)
{
    m_showingMM = millimetres;
    const double top = millimetres ? kMaxMM : kMaxInches;
    const int decimals = millimetres ? 2 : 3;
    for (TNumberField *field : LengthFields()) {
        const bool margin = field == eleftmarg || field == etopmarg;
        field->SetFormat(decimals, !millimetres, margin ? -top : 0.0, top);
    }
    for (QLabel *label : std::as_const(m_unitLabels))
        label->setText(millimetres ? QStringLiteral("mm") : QStringLiteral("in"));
}

void TEditCardLayout::ConvertDisplayToMM()
{
    TakeLengthsFromFields(1.0);
    SetUnitDisplay(true);
    ShowLengths(true);
}

void TEditCardLayout::FillEditsFromValues()
{
    const bool filling = std::exchange(m_filling, true);
    SetUnitDisplay(false);
    ShowLengths(false);
    enbracross->setValue(m_record.Across);
    enbrdown->setValue(m_record.Down);
    if (m_record.Papersize == TCardLayout::PaperLetter)
        epapersize->setCurrentIndex(kPaperLetterIndex);
    else if (m_record.Papersize == TCardLayout::PaperA4)
        epapersize->setCurrentIndex(kPaperA4Index);
    if (MMButton->isChecked())
        ConvertDisplayToMM();
    m_filling = filling;
}

void TEditCardLayout::MMButtonClick()
{
    if (!MMButton->isChecked())
        MMButton->setChecked(true); // its toggled signal comes back here
    if (m_showingMM || m_firstActivation)
        return;
    ConvertDisplayToMM();
}

void TEditCardLayout::InchesbuttonClick()
{
    if (!Inchesbutton->isChecked())
        Inchesbutton->setChecked(true);
    if (!m_showingMM || m_firstActivation)
        return;
    TakeLengthsFromFields(kInchPerMM);
    SetUnitDisplay(false);
    ShowLengths(false);
}

void TEditCardLayout::eCardwidthExit()
{
    m_widthExitPending = false;
    if (eCardwidth->HasNumber() && eCardwidth->Value() > eHorizPitch->Value())
        eHorizPitch->SetValue(eCardwidth->Value());
}

void TEditCardLayout::eCardHeightExit()
{
    m_heightExitPending = false;
    if (eCardHeight->HasNumber() && eCardHeight->Value() > eVertPitch->Value())
        eVertPitch->SetValue(eCardHeight->Value());
}

bool TEditCardLayout::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == eCardwidth || watched == eCardHeight) {
        const bool width = watched == eCardwidth;
        if (event->type() == QEvent::FocusIn) {
            (width ? m_widthExitPending : m_heightExitPending) = true;
        } else if (event->type() == QEvent::FocusOut) {
            // Only moving to another control of this dialog leaves the field;
            // switching windows or opening a popup does not.
            const auto reason = static_cast<QFocusEvent *>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
                if (width)
                    eCardwidthExit();
                else
                    eCardHeightExit();
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TEditCardLayout::PredefinedLayoutsChange()
{
    if (m_firstActivation)
        return;
    const int index = PredefinedLayouts->currentIndex();
    // "Custom" names the values in the fields, whatever they are.
    if (index == CustomEntry)
        return;
    if (index >= 0 && index < TCardLayout::PredefinedCount) {
        const TCardLayout &p = TCardLayout::PredefinedLayout(index);
        m_record.Height = p.Height;
        m_record.Width = p.Width;
        m_record.Across = p.Across;
        m_record.Down = p.Down;
        m_record.TopMargin = p.TopMargin;
        m_record.LeftMargin = p.LeftMargin;
        m_record.HPitch = p.HPitch;
        m_record.VPitch = p.VPitch;
        m_record.Papersize = p.Papersize;
    }
    FillEditsFromValues();
}

QString TEditCardLayout::ValidationMessage(const TCardLayout &l, bool millimetres)
{
    const QString rule = ValidCardRules(l).Message;
    return rule.isEmpty() ? l.PaperFitMessage(millimetres) : rule;
}

bool TEditCardLayout::ValidCard()
{
    const QString message = ValidationMessage(m_record, m_showingMM);
    if (message.isEmpty())
        return true;
    ShowInformation(message);
    return false;
}

void TEditCardLayout::OKButtonClick()
{
    // Leave the field being edited first, so its exit step (the pitch
    // follow-up) sees the value typed.
    enbrdown->setFocus(Qt::OtherFocusReason);
    QCoreApplication::processEvents();
    // Without an active window no focus events are sent; run the exit step
    // of a field that was entered but not left.
    if (m_widthExitPending)
        eCardwidthExit();
    if (m_heightExitPending)
        eCardHeightExit();

    for (TNumberField *field : LengthFields()) {
        if (!field->HasNumber()) {
            ShowInformation(RangeMessage(FieldLabel(field), field->Format(field->Bottom()),
                                         field->Format(field->Top())));
            field->setFocus(Qt::OtherFocusReason);
            field->selectAll();
            return;
        }
    }

    enbrdown->interpretText();
    enbracross->interpretText();
    m_record.Down = enbrdown->value();
    m_record.Across = enbracross->value();
    const int entry = PredefinedLayouts->currentIndex();
    m_record.PredefLayout = entry >= 0 && entry < TCardLayout::PredefinedCount ? entry : -1;

    if (m_showingMM) {
        // Millimetres become inches rounded to 3 decimals.
        auto inches = [](const TNumberField *field) {
            const QString text = QString::number(field->Value() * kInchPerMM, 'f', 3);
            return float(text.toDouble());
        };
        m_record.Height = inches(eCardHeight);
        m_record.Width = inches(eCardwidth);
        m_record.TopMargin = inches(etopmarg);
        m_record.LeftMargin = inches(eleftmarg);
        m_record.HPitch = inches(eHorizPitch);
        m_record.VPitch = inches(eVertPitch);
    } else {
        TakeLengthsFromFields(1.0);
    }

    if (epapersize->currentIndex() == kPaperLetterIndex)
        m_record.Papersize = TCardLayout::PaperLetter;
    else if (epapersize->currentIndex() == kPaperA4Index)
        m_record.Papersize = TCardLayout::PaperA4;
    // Values that are no longer the chosen layout's are a layout of its own.
    if (EntryFor(m_record) == CustomEntry) {
        m_record.PredefLayout = -1;
        PredefinedLayouts->setCurrentIndex(CustomEntry);
    }

    if (!ValidCard())
        return;
    m_record.UseMM = MMButton->isChecked();
    m_result = m_record;
    accept();
}

void TEditCardLayout::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_firstActivation)
        return;
    PredefinedLayouts->setCurrentIndex(EntryFor(m_record));
    FillEditsFromValues();
    m_firstActivation = false;
}
