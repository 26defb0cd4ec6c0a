#include "printing/Editlo.h"

#include "document/Desktop.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleValidator>
#include <QFocusEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
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

constexpr int kMaxAcross = kMaxLayoutAcross;
constexpr int kMaxDown = kMaxLayoutDown;

// Paper size list: Letter, A4, and an empty entry that keeps whatever code
// the record had.
constexpr int kPaperLetterIndex = 0;
constexpr int kPaperA4Index = 1;
constexpr int kPaperKeepIndex = 2;

} // namespace

// ---------------------------------------------------------------------------
// TNumberField

TNumberField::TNumberField(QWidget *parent)
    : QLineEdit(parent)
{
    m_validator = new QDoubleValidator(this);
    m_validator->setNotation(QDoubleValidator::StandardNotation);
    m_validator->setLocale(LayoutNumberLocale());
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
    return FormatLayoutNumber(value, decimals, trimZeros);
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
    const double v = LayoutNumberLocale().toDouble(text(), &ok);
    if (ok)
        m_value = v;
}

// ---------------------------------------------------------------------------
// TEditCardLayout

TEditCardLayout::TEditCardLayout(const TCardLayout &layout, QWidget *parent)
    : QDialog(parent)
    , m_record(layout)
    , m_result(layout)
    , m_catalogue(TStockCatalogue::Load(UserStocksPath()))
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
    // The drawing follows the fields as they are edited.
    for (TNumberField *field : LengthFields())
        connect(field, &QLineEdit::textChanged, this, [this] {
            if (!m_filling && !m_firstActivation)
                ShowChosenStock();
        });
    for (QSpinBox *spin : {enbracross, enbrdown})
        connect(spin, &QSpinBox::valueChanged, this, [this] {
            if (!m_filling && !m_firstActivation)
                ShowChosenStock();
        });

    connect(StockSearch, &QLineEdit::textChanged, this, [this] { FilterStocks(); });
    connect(StockList, &QTreeWidget::currentItemChanged, this, [this] {
        if (m_listing)
            return;
        if (const int index = CurrentStock(); index >= 0)
            ChooseStock(index);
    });
    connect(SaveStockButton, &QPushButton::clicked, this, [this] { SaveStockButtonClick(); });
    connect(RemoveStockButton, &QPushButton::clicked, this, [this] { RemoveStockButtonClick(); });
    FilterStocks();

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
    BuildStockPanel(main);
    main->addWidget(predefLabel);
    main->addWidget(PredefinedLayouts);
    main->addSpacing(6);
    main->addLayout(grid);
    main->addSpacing(6);
    main->addLayout(buttons);
    main->setSizeConstraint(QLayout::SetFixedSize);

    // Tab order follows the form from top to bottom.
    QWidget *order[] = {StockSearch,       StockList,    SaveStockButton, RemoveStockButton,
                        PredefinedLayouts, eCardwidth,   eCardHeight,     Inchesbutton,
                        MMButton,          enbracross,   enbrdown,        eHorizPitch,
                        eVertPitch,        eleftmarg,    etopmarg,        epapersize,
                        OKButton,          Cancelbutton, Helpbutton};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void TEditCardLayout::BuildStockPanel(QVBoxLayout *main)
{
    StockSearch = new QLineEdit(this);
    StockSearch->setObjectName(QStringLiteral("StockSearch"));
    StockSearch->setPlaceholderText(
        QStringLiteral("Brand, part number or size (avery 8373, 85 x 55)"));
    StockSearch->setClearButtonEnabled(true);
    auto *searchLabel = new QLabel(QStringLiteral("&Find card stock"), this);
    searchLabel->setBuddy(StockSearch);

    StockList = new QTreeWidget(this);
    StockList->setObjectName(QStringLiteral("StockList"));
    StockList->setRootIsDecorated(false);
    StockList->setUniformRowHeights(true);
    StockList->setAllColumnsShowFocus(true);
    StockList->setHeaderLabels({QStringLiteral("Brand"), QStringLiteral("Part"),
                                QStringLiteral("Description"), QStringLiteral("Paper"),
                                QStringLiteral("Cards"), QStringLiteral("Card size")});
    const QFontMetrics fm = fontMetrics();
    const int widths[] = {fm.horizontalAdvance(QStringLiteral("DataBecker")) + 12,
                          fm.horizontalAdvance(QStringLiteral("C32011-10")) + 12,
                          fm.horizontalAdvance(QStringLiteral("Business Card 8376 Ink Jet")) + 12,
                          fm.horizontalAdvance(QStringLiteral("US Letter")) + 12,
                          fm.horizontalAdvance(QStringLiteral("Cards")) + 12,
                          fm.horizontalAdvance(QStringLiteral("88.9 x 50.8 mm")) + 12};
    int total = 0;
    for (int i = 0; i < int(std::size(widths)); ++i) {
        StockList->setColumnWidth(i, widths[i]);
        total += widths[i];
    }
    StockList->setMinimumSize(total + 24, fm.height() * 9);

    StockSheet = new TStockSheetView(this);
    StockSheet->setObjectName(QStringLiteral("StockSheet"));
    StockName = new QLabel(this);
    StockName->setObjectName(QStringLiteral("StockName"));
    StockName->setAlignment(Qt::AlignHCenter);
    StockName->setWordWrap(true);
    StockNote = new QLabel(this);
    StockNote->setObjectName(QStringLiteral("StockNote"));
    StockNote->setWordWrap(true);
    StockNote->setStyleSheet(QStringLiteral("color: #a00000"));
    StockNote->setText(m_catalogue.UserProblem());
    StockNote->setVisible(!m_catalogue.UserProblem().isEmpty());

    SaveStockButton = new QPushButton(QStringLiteral("Save as stock..."), this);
    SaveStockButton->setObjectName(QStringLiteral("SaveStockButton"));
    SaveStockButton->setAutoDefault(false);
    RemoveStockButton = new QPushButton(QStringLiteral("Remove stock"), this);
    RemoveStockButton->setObjectName(QStringLiteral("RemoveStockButton"));
    RemoveStockButton->setAutoDefault(false);
    RemoveStockButton->setEnabled(false);

    auto *side = new QVBoxLayout;
    side->addWidget(StockSheet, 0, Qt::AlignHCenter);
    side->addWidget(StockName);
    side->addStretch(1);
    side->addWidget(SaveStockButton);
    side->addWidget(RemoveStockButton);

    auto *row = new QHBoxLayout;
    row->addWidget(StockList, 1);
    row->addLayout(side);

    main->addWidget(searchLabel);
    main->addWidget(StockSearch);
    main->addLayout(row);
    main->addWidget(StockNote);
    main->addSpacing(6);
}

int TEditCardLayout::CurrentStock() const
{
    const QTreeWidgetItem *item = StockList->currentItem();
    return item ? item->data(0, Qt::UserRole).toInt() : -1;
}

void TEditCardLayout::FilterStocks()
{
    const bool listing = std::exchange(m_listing, true);
    StockList->clear();
    const QList<TCardStock> &stocks = m_catalogue.Stocks();
    QList<QTreeWidgetItem *> items;
    for (const int i : m_catalogue.Search(StockSearch->text())) {
        const TCardStock &s = stocks.at(i);
        QString description = s.Description;
        if (s.User)
            description += QStringLiteral(" (yours)");
        auto *item =
            new QTreeWidgetItem(QStringList{s.Brand, s.Part, description, s.Paper,
                                            QString::number(s.CardsPerSheet()), s.CardSizeText()});
        item->setData(0, Qt::UserRole, i);
        item->setTextAlignment(4, Qt::AlignRight | Qt::AlignVCenter);
        item->setToolTip(2, description);
        items.append(item);
    }
    StockList->addTopLevelItems(items);
    StockList->setCurrentItem(nullptr);
    RemoveStockButton->setEnabled(false);
    m_listing = listing;
}

void TEditCardLayout::ChooseStock(int index)
{
    if (index < 0 || index >= m_catalogue.Stocks().size())
        return;
    const TCardStock &stock = m_catalogue.Stocks().at(index);
    const TCardLayout l = stock.Layout();
    const bool filling = std::exchange(m_filling, true);
    m_record.Height = l.Height;
    m_record.Width = l.Width;
    m_record.Across = l.Across;
    m_record.Down = l.Down;
    m_record.TopMargin = l.TopMargin;
    m_record.LeftMargin = l.LeftMargin;
    m_record.HPitch = l.HPitch;
    m_record.VPitch = l.VPitch;
    m_record.Papersize = l.Papersize;
    m_record.CornerRadius = l.CornerRadius;
    // A predefined layout is named by its index, as when chosen in its list.
    m_record.Stock = stock.Predefined >= 0 ? QString() : l.Stock;
    m_record.PredefLayout = stock.Predefined;
    if (!m_firstActivation) {
        PredefinedLayouts->setCurrentIndex(EntryFor(m_record));
        FillEditsFromValues();
    }
    m_filling = filling;
    // The list shows the stock chosen, also when chosen without a click.
    if (CurrentStock() != index) {
        const bool listing = std::exchange(m_listing, true);
        for (int row = 0; row < StockList->topLevelItemCount(); ++row)
            if (StockList->topLevelItem(row)->data(0, Qt::UserRole).toInt() == index)
                StockList->setCurrentItem(StockList->topLevelItem(row));
        m_listing = listing;
    }
    RemoveStockButton->setEnabled(stock.User);
    ShowChosenStock();
}

TCardLayout TEditCardLayout::FieldsLayout() const
{
    TCardLayout l = m_record;
    if (m_firstActivation)
        return l;
    const double factor = m_showingMM ? kInchPerMM : 1.0;
    auto take = [factor](const TNumberField *field, float &value) {
        if (field->HasNumber())
            value = float(field->Value() * factor);
    };
    take(eCardHeight, l.Height);
    take(eCardwidth, l.Width);
    take(etopmarg, l.TopMargin);
    take(eleftmarg, l.LeftMargin);
    take(eHorizPitch, l.HPitch);
    take(eVertPitch, l.VPitch);
    l.Across = enbracross->value();
    l.Down = enbrdown->value();
    if (epapersize->currentIndex() == kPaperLetterIndex)
        l.Papersize = TCardLayout::PaperLetter;
    else if (epapersize->currentIndex() == kPaperA4Index)
        l.Papersize = TCardLayout::PaperA4;
    return l;
}

void TEditCardLayout::ShowChosenStock()
{
    const TCardLayout l = FieldsLayout();
    StockSheet->SetLayout(l);
    const int entry = PredefinedLayouts->currentIndex();
    StockName->setText(!m_record.Stock.isEmpty() ? m_record.Stock
                       : entry >= 0 && entry < TCardLayout::PredefinedCount
                           ? PredefinedLayouts->currentText()
                           : QStringLiteral("Custom"));
    QStringList notes;
    if (!m_catalogue.UserProblem().isEmpty())
        notes.append(m_catalogue.UserProblem());
    // Designs are placed at the card's top-left as they are, never scaled.
    const double tolerance = 0.0005;
    if (!m_designSize.isEmpty() && (m_designSize.width() > double(l.Width) + tolerance ||
                                    m_designSize.height() > double(l.Height) + tolerance)) {
        auto length = [this](double inches) {
            return m_showingMM
                       ? FormatLayoutNumber(inches * kMMPerInch, 1, true) + QStringLiteral(" mm")
                       : FormatLayoutNumber(inches, 3, true) + QStringLiteral(" in");
        };
        notes.append(QStringLiteral("The design (%1 x %2) is larger than this card (%3 x %4): "
                                    "it is printed from the card's top-left corner as it is, "
                                    "and what lies past the card is cut off.")
                         .arg(length(m_designSize.width()), length(m_designSize.height()),
                              length(double(l.Width)), length(double(l.Height))));
    }
    StockNote->setText(notes.join(QLatin1Char('\n')));
    StockNote->setVisible(!notes.isEmpty());
}

void TEditCardLayout::SetDesignSize(const QSizeF &inches)
{
    m_designSize = inches;
    ShowChosenStock();
}

bool TEditCardLayout::SaveAsStock(const QString &brand, const QString &part,
                                  const QString &description)
{
    if (brand.trimmed().isEmpty() || part.trimmed().isEmpty()) {
        ShowInformation(QStringLiteral("A card stock needs a brand and a part number or name."));
        return false;
    }
    TCardLayout l = FieldsLayout();
    if (const QString rule = ValidationMessage(l, m_showingMM); !rule.isEmpty()) {
        ShowInformation(rule);
        return false;
    }
    TCardStock stock =
        StockFromLayout(l, brand.simplified(), part.simplified(), description.simplified());
    QString why;
    if (!m_catalogue.AddUserStock(stock, &why)) {
        ShowInformation(why);
        return false;
    }
    // The fields are now that stock.
    const int index = int(m_catalogue.Stocks().size()) - 1;
    StockSearch->setText(m_catalogue.Stocks().at(index).Name());
    ChooseStock(index);
    return true;
}

void TEditCardLayout::SaveStockButtonClick()
{
    QDialog ask(this);
    ask.setObjectName(QStringLiteral("SaveStockDialog"));
    ask.setWindowTitle(QStringLiteral("Save as stock"));
    auto *brand = new QLineEdit(&ask);
    brand->setObjectName(QStringLiteral("StockBrand"));
    auto *part = new QLineEdit(&ask);
    part->setObjectName(QStringLiteral("StockPart"));
    auto *description = new QLineEdit(QStringLiteral("Business cards"), &ask);
    description->setObjectName(QStringLiteral("StockDescription"));
    for (QLineEdit *edit : {brand, part, description})
        edit->setMaxLength(kMaxStockTextLength);
    if (!m_record.Stock.isEmpty() && CurrentStock() >= 0) {
        const TCardStock &chosen = m_catalogue.Stocks().at(CurrentStock());
        if (chosen.User) {
            brand->setText(chosen.Brand);
            part->setText(chosen.Part);
            description->setText(chosen.Description);
        }
    }
    auto *form = new QFormLayout(&ask);
    form->addRow(QStringLiteral("&Brand"), brand);
    form->addRow(QStringLiteral("&Part number or name"), part);
    form->addRow(QStringLiteral("&Description"), description);
    form->addRow(new QLabel(QStringLiteral("Kept in %1").arg(m_catalogue.UserPath()), &ask));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &ask);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, &ask, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &ask, &QDialog::reject);
    PlaceDialog(&ask, this);
    while (ask.exec() == QDialog::Accepted) {
        if (SaveAsStock(brand->text(), part->text(), description->text()))
            return;
    }
}

void TEditCardLayout::RemoveStockButtonClick()
{
    const int index = CurrentStock();
    if (index < 0 || !m_catalogue.Stocks().at(index).User)
        return;
    const QString name = m_catalogue.Stocks().at(index).Name();
    QString why;
    if (!m_catalogue.RemoveUserStock(name, &why)) {
        ShowInformation(why);
        return;
    }
    FilterStocks();
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
    // No longer the stock chosen: its name and round corners go (the
    // preferences keep only the name of a stock the layout still is).
    m_record.Stock.clear();
    m_record.CornerRadius = 0.0f;
    if (!m_listing) {
        const bool listing = std::exchange(m_listing, true);
        StockList->setCurrentItem(nullptr);
        RemoveStockButton->setEnabled(false);
        m_listing = listing;
    }
    ShowChosenStock();
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
    else if (m_record.Papersize == TCardLayout::PaperA3)
        epapersize->setCurrentIndex(kPaperKeepIndex); // "Letter" would replace it on "Ok"
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
        m_record.CornerRadius = 0.0f;
        m_record.Stock.clear(); // the list's index names it
    }
    FillEditsFromValues();
    ShowChosenStock();
}

QString TEditCardLayout::ValidationMessage(const TCardLayout &l, bool millimetres)
{
    const QString rule = l.CheckCardRules().Message;
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
            ShowInformation(LayoutRangeMessage(FieldLabel(field), field->Format(field->Bottom()),
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
    // The stock the layout came from, shown in the list.
    if (const int stock = m_catalogue.Matching(m_record.Stock, m_record); stock >= 0) {
        const bool listing = std::exchange(m_listing, true);
        for (int row = 0; row < StockList->topLevelItemCount(); ++row)
            if (StockList->topLevelItem(row)->data(0, Qt::UserRole).toInt() == stock)
                StockList->setCurrentItem(StockList->topLevelItem(row));
        RemoveStockButton->setEnabled(m_catalogue.Stocks().at(stock).User);
        m_listing = listing;
    } else {
        m_record.Stock.clear();
    }
    ShowChosenStock();
}

// ---------------------------------------------------------------------------
// TStockSheetView

TStockSheetView::TStockSheetView(QWidget *parent)
    : QWidget(parent)
{
    setMinimumSize(sizeHint());
}

void TStockSheetView::SetLayout(const TCardLayout &layout)
{
    m_layout = layout;
    update();
}

void TStockSheetView::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QSizeF paper = m_layout.PaperInches();
    if (paper.isEmpty())
        paper = QSizeF(8.5, 11.0);
    const double scale = std::min((width() - 8) / paper.width(), (height() - 8) / paper.height());
    const QPointF origin((width() - paper.width() * scale) / 2,
                         (height() - paper.height() * scale) / 2);
    p.translate(origin);
    p.setPen(QPen(Qt::darkGray, 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(0, 0, paper.width() * scale, paper.height() * scale));
    p.setClipRect(QRectF(0, 0, paper.width() * scale, paper.height() * scale));
    p.setPen(QPen(QColor(40, 80, 160), 0.8));
    p.setBrush(QColor(200, 220, 245));
    const double radius = double(m_layout.CornerRadius) * scale;
    const int across = std::clamp(m_layout.Across, 0, kMaxLayoutAcross);
    const int down = std::clamp(m_layout.Down, 0, kMaxLayoutDown);
    for (int row = 0; row < down; ++row)
        for (int col = 0; col < across; ++col) {
            const QPointF corner = m_layout.PositionCorner(col, row) * scale;
            p.drawRoundedRect(QRectF(corner, QSizeF(double(m_layout.Width) * scale,
                                                    double(m_layout.Height) * scale)),
                              radius, radius);
        }
}
