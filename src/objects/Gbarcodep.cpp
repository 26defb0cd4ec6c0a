#include "objects/Gbarcodep.h"

#include "document/Desktop.h"
#include "surface/ScreenInfo.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// Modules smaller than this (inches, about 0.25 mm) are beyond what card
// printers and phone cameras resolve.
constexpr double MinModuleInches = 0.01;

void ShowColor(QPushButton *button, const QColor &color)
{
    QPixmap swatch(28, 14);
    swatch.fill(color);
    // Framed, so white shows on a light button.
    QPainter painter(&swatch);
    painter.setPen(Qt::gray);
    painter.drawRect(swatch.rect().adjusted(0, 0, -1, -1));
    painter.end();
    button->setIcon(QIcon(swatch));
}

} // namespace

TBarcodeSample::TBarcodeSample(QWidget *parent)
    : QWidget(parent)
{
    setMinimumSize(200, 200);
}

void TBarcodeSample::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    // The object's proportions, as large as the sample allows.
    QSizeF size = ObjectSize.isEmpty() ? QSizeF(1, 1) : QSizeF(ObjectSize);
    size.scale(QSizeF(width() - 8, height() - 8), Qt::KeepAspectRatio);
    const QRectF area(QPointF((width() - size.width()) / 2, (height() - size.height()) / 2), size);
    painter.fillRect(area, Qt::white);
    TGBarcode::DrawSymbol(painter, area, Symbol, Fore, Back, Transparent);
}

TBarcodeProperties::TBarcodeProperties(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("BarcodeProperties"));
    setWindowTitle(tr("Barcode Properties"));

    SymbologyBox = new QComboBox(this);
    SymbologyBox->setObjectName(QStringLiteral("SymbologyBox"));
    SymbologyBox->addItems(TGBarcode::SymbologyNames());
    SourceBox = new QComboBox(this);
    SourceBox->setObjectName(QStringLiteral("SourceBox"));
    SourceBox->addItems({tr("Text"), tr("My contact details")});
    DataEdit = new QPlainTextEdit(this);
    DataEdit->setObjectName(QStringLiteral("DataEdit"));
    DataEdit->setTabChangesFocus(true);
    DataEdit->setFixedHeight(72);
    CheckLabel = new QLabel(this);
    CheckLabel->setObjectName(QStringLiteral("CheckLabel"));
    CheckLabel->setWordWrap(true);
    CheckLabel->setMinimumHeight(36);
    ErrorLevelBox = new QComboBox(this);
    ErrorLevelBox->setObjectName(QStringLiteral("ErrorLevelBox"));
    ErrorLevelBox->addItems(
        {tr("Low (7 %)"), tr("Medium (15 %)"), tr("Quartile (25 %)"), tr("High (30 %)")});
    ForeButton = new QPushButton(tr("Bars..."), this);
    ForeButton->setObjectName(QStringLiteral("ForeButton"));
    BackButton = new QPushButton(tr("Background..."), this);
    BackButton->setObjectName(QStringLiteral("BackButton"));
    TransparentBox = new QCheckBox(tr("Transparent background"), this);
    TransparentBox->setObjectName(QStringLiteral("TransparentBox"));
    ShowTextBox = new QCheckBox(tr("Show the digits under the bars"), this);
    ShowTextBox->setObjectName(QStringLiteral("ShowTextBox"));
    Sample = new TBarcodeSample(this);
    Sample->setObjectName(QStringLiteral("Sample"));

    auto *form = new QFormLayout;
    form->addRow(tr("Code:"), SymbologyBox);
    form->addRow(tr("Source:"), SourceBox);
    form->addRow(tr("Data:"), DataEdit);
    form->addRow(QString(), CheckLabel);
    form->addRow(tr("Error correction:"), ErrorLevelBox);
    auto *colors = new QHBoxLayout;
    colors->addWidget(ForeButton);
    colors->addWidget(BackButton);
    colors->addStretch();
    form->addRow(tr("Colors:"), colors);
    form->addRow(QString(), TransparentBox);
    form->addRow(QString(), ShowTextBox);
    auto *columns = new QHBoxLayout;
    columns->addLayout(form, 3);
    columns->addWidget(Sample, 2);
    auto *buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    buttons->setObjectName(QStringLiteral("Buttons"));
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this, [] { ShowHelpTopic(HelpTopic); });
    SetHelpTopic(this, HelpTopic);
    auto update = [this] { Update(); };
    connect(SymbologyBox, &QComboBox::currentIndexChanged, this, update);
    connect(SourceBox, &QComboBox::currentIndexChanged, this, update);
    connect(ErrorLevelBox, &QComboBox::currentIndexChanged, this, update);
    connect(DataEdit, &QPlainTextEdit::textChanged, this, update);
    connect(TransparentBox, &QCheckBox::toggled, this, update);
    connect(ShowTextBox, &QCheckBox::toggled, this, update);
    connect(ForeButton, &QPushButton::clicked, this,
            [this] { ChooseColor(m_fore, tr("Bar Color")); });
    connect(BackButton, &QPushButton::clicked, this,
            [this] { ChooseColor(m_back, tr("Background Color")); });
    PlaceDialog(this, parent);
}

void TBarcodeProperties::SetSampleSize(const QSize &size)
{
    Sample->ObjectSize = size;
    Update();
}

void TBarcodeProperties::TakeFrom(const TGBarcode &object)
{
    const QSignalBlocker a(SymbologyBox), b(SourceBox), c(ErrorLevelBox), d(DataEdit),
        e(TransparentBox), f(ShowTextBox);
    SymbologyBox->setCurrentIndex(int(object.Symbology()));
    SourceBox->setCurrentIndex(int(object.Source()));
    ErrorLevelBox->setCurrentIndex(int(object.ErrorLevel()));
    DataEdit->setPlainText(object.Data());
    TransparentBox->setChecked(object.Transparent());
    ShowTextBox->setChecked(object.ShowText());
    m_fore = ColorFromTColor(object.ForeColor());
    m_back = ColorFromTColor(object.BackColor());
    Update();
}

void TBarcodeProperties::GiveTo(TGBarcode &object) const
{
    object.SetSymbology(CurrentSymbology());
    object.SetSource(TGBarcode::TDataSource(SourceBox->currentIndex()));
    object.SetErrorLevel(TGBarcode::TErrorLevel(ErrorLevelBox->currentIndex()));
    object.SetData(DataEdit->toPlainText());
    object.SetForeColor(TColorFromColor(m_fore));
    object.SetBackColor(TColorFromColor(m_back));
    object.SetTransparent(TransparentBox->isChecked());
    object.SetShowText(ShowTextBox->isChecked());
}

QString TBarcodeProperties::CheckMessage() const
{
    return m_message;
}

TGBarcode::TSymbology TBarcodeProperties::CurrentSymbology() const
{
    return TGBarcode::TSymbology(std::max(0, SymbologyBox->currentIndex()));
}

void TBarcodeProperties::Update()
{
    const TGBarcode::TSymbology symbology = CurrentSymbology();
    const bool contact = SourceBox->currentIndex() == TGBarcode::dsContact;
    DataEdit->setEnabled(!contact);
    ErrorLevelBox->setEnabled(symbology == TGBarcode::bsQRCode);
    ShowTextBox->setEnabled(TGBarcode::IsLinear(symbology));
    ShowColor(ForeButton, m_fore);
    ShowColor(BackButton, m_back);

    const QString text = contact ? TGBarcode::ContactCard(m_personalInfo) : DataEdit->toPlainText();
    Sample->Symbol =
        TGBarcode::Encode(symbology, text, TGBarcode::TErrorLevel(ErrorLevelBox->currentIndex()),
                          ShowTextBox->isChecked());
    Sample->Fore = m_fore;
    Sample->Back = m_back;
    Sample->Transparent = TransparentBox->isChecked();
    Sample->update();

    const TBarcodeSymbol &symbol = Sample->Symbol;
    if (!symbol.Valid) {
        m_message = contact && text.isEmpty()
                        ? tr("Fill in Edit > Personal Information for the contact details")
                        : symbol.Reason;
    } else {
        // The module is one unit of the symbol; at the object's size it must
        // stay large enough to print and scan.
        const QSizeF size(Sample->ObjectSize);
        const double scale =
            std::min(size.width() / symbol.Size.width(), size.height() / symbol.Size.height());
        const double moduleInches = scale * symbol.ModuleSize / ScreenPixelsPerInch();
        m_message = moduleInches < MinModuleInches
                        ? tr("Too much data for the size: make the code larger or the data "
                             "shorter")
                        : QString();
    }
    CheckLabel->setText(m_message.isEmpty() ? tr("The code is fine.") : m_message);
    CheckLabel->setStyleSheet(m_message.isEmpty() ? QString() : QStringLiteral("color: #c00000;"));
}

void TBarcodeProperties::ChooseColor(QColor &color, const QString &title)
{
    const QColor chosen = QColorDialog::getColor(color, this, title);
    if (!chosen.isValid())
        return;
    color = chosen;
    Update();
}
