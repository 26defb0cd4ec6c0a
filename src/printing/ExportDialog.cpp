#include "printing/ExportDialog.h"

#include "document/Desktop.h"
#include "report/RPBase.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>
#include <cmath>

namespace {

// The preview's page fits this many pixels across.
constexpr int PreviewWidth = 420;
// The help page of both exports.
constexpr int HelpContext = 2040;

void AddHelpButton(QDialogButtonBox *buttons)
{
    QPushButton *help = buttons->addButton(QDialogButtonBox::Help);
    help->setObjectName(QStringLiteral("HelpButton"));
    QObject::connect(help, &QPushButton::clicked, help, [] { ShowHelpTopic(HelpContext); });
}

QString PageSizeText(const QSizeF &inches, bool millimetres)
{
    return millimetres ? QObject::tr("Page %1 x %2 mm")
                             .arg(inches.width() * 25.4, 0, 'f', 1)
                             .arg(inches.height() * 25.4, 0, 'f', 1)
                       : QObject::tr("Page %1 x %2 in")
                             .arg(inches.width(), 0, 'f', 3)
                             .arg(inches.height(), 0, 'f', 3);
}

} // namespace

TPrintShopExportDialog::TPrintShopExportDialog(const TCardModel &front, const QSizeF &cardInches,
                                               const TExportSettings &settings, bool millimetres,
                                               QWidget *parent)
    : QDialog(parent)
    , m_front(front)
    , m_card(cardInches)
    , m_settings(settings)
    , m_millimetres(millimetres)
{
    setWindowTitle(tr("Export for Print Shop"));
    setObjectName(QStringLiteral("PrintShopExportDialog"));

    m_bleed = new QComboBox(this);
    m_bleed->setObjectName(QStringLiteral("Bleed"));
    m_bleed->setEditable(true);
    m_bleed->setInsertPolicy(QComboBox::NoInsert);
    m_bleed->addItems({QStringLiteral("3 mm"), QStringLiteral("0.125 in"), QStringLiteral("0")});
    m_bleed->setEditText(BleedText(settings.Bleed, millimetres));
    m_bleed->setToolTip(tr("How far the background runs past the card's edge on every side, "
                           "e.g. 3 mm or 0.125 in; the print shop cuts inside it."));
    m_cropMarks = new QCheckBox(tr("&Crop marks"), this);
    m_cropMarks->setObjectName(QStringLiteral("CropMarks"));
    m_cropMarks->setChecked(settings.CropMarks);
    m_cmyk = new QCheckBox(tr("C&MYK colours (PDF/X-3)"), this);
    m_cmyk->setObjectName(QStringLiteral("Cmyk"));
    const bool canConvert = !CmykProfilePath().isEmpty();
    m_cmyk->setEnabled(canConvert);
    m_cmyk->setChecked(settings.Cmyk && canConvert);
    m_cmyk->setToolTip(canConvert ? tr("Colours converted by Ghostscript with its CMYK profile, "
                                       "for a print shop that asks for PDF/X.")
                                  : tr("Needs Ghostscript and its CMYK profile, which are not "
                                       "installed."));
    m_pageSize = new QLabel(this);
    m_pageSize->setObjectName(QStringLiteral("PageSize"));
    m_problem = new QLabel(this);
    m_problem->setObjectName(QStringLiteral("BleedProblem"));
    m_problem->setStyleSheet(QStringLiteral("color: #b00000"));
    m_problem->setWordWrap(true);
    m_picture = new QLabel(this);
    m_picture->setObjectName(QStringLiteral("Preview"));
    m_picture->setAlignment(Qt::AlignCenter);
    m_picture->setMinimumSize(PreviewWidth, PreviewWidth * 2 / 3);
    m_picture->setStyleSheet(QStringLiteral("background: #808080"));

    auto *form = new QFormLayout;
    form->addRow(tr("&Bleed:"), m_bleed);
    form->addRow(QString(), m_cropMarks);
    form->addRow(QString(), m_cmyk);
    form->addRow(QString(), m_pageSize);
    auto *buttons = new QDialogButtonBox(this);
    m_export = buttons->addButton(tr("&Export..."), QDialogButtonBox::AcceptRole);
    m_export->setObjectName(QStringLiteral("ExportButton"));
    buttons->addButton(QDialogButtonBox::Cancel);
    AddHelpButton(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_picture, 1);
    layout->addLayout(form);
    layout->addWidget(m_problem);
    layout->addWidget(buttons);

    // Typing redraws once it pauses; the copy of a large card is not made per key.
    m_redraw = new QTimer(this);
    m_redraw->setSingleShot(true);
    m_redraw->setInterval(150);
    connect(m_redraw, &QTimer::timeout, this, &TPrintShopExportDialog::DrawPreview);
    connect(m_bleed, &QComboBox::editTextChanged, this, &TPrintShopExportDialog::ReadChoices);
    connect(m_cropMarks, &QCheckBox::toggled, this, &TPrintShopExportDialog::ReadChoices);
    connect(m_cmyk, &QCheckBox::toggled, this, &TPrintShopExportDialog::ReadChoices);
    ReadChoices();
    DrawPreview();
}

void TPrintShopExportDialog::ReadChoices()
{
    QString why;
    const std::optional<double> bleed = ParseBleed(m_bleed->currentText(), &why);
    m_problem->setText(bleed ? QString() : why);
    m_problem->setVisible(!bleed);
    m_export->setEnabled(bleed.has_value());
    if (!bleed)
        return;
    m_settings.Bleed = *bleed;
    m_settings.CropMarks = m_cropMarks->isChecked();
    m_settings.Cmyk = m_cmyk->isChecked();
    if (m_bleed->currentText().contains(QLatin1String("mm"), Qt::CaseInsensitive))
        m_millimetres = true;
    else if (m_bleed->currentText().contains(QLatin1String("in"), Qt::CaseInsensitive))
        m_millimetres = false;
    m_pageSize->setText(PageSizeText(TCardPage::For(m_card, m_settings).Size(), m_millimetres));
    m_redraw->start();
}

void TPrintShopExportDialog::DrawPreview()
{
    TCardExport card(m_card, m_settings);
    card.AddSide(m_front);
    const TCardPage &page = card.Page();
    const int dpi = std::max(10, int(PreviewWidth / page.Size().width()));
    try {
        m_preview = card.RenderSide(0, dpi);
    } catch (const EReportError &e) {
        m_problem->setText(e.Message());
        m_problem->setVisible(true);
        return;
    }
    // The cut, where the print shop trims: on the preview only.
    QImage shown = m_preview;
    QPainter painter(&shown);
    QPen cut(QColor(0, 160, 220), 1, Qt::DashLine);
    painter.setPen(cut);
    const QRectF trim = page.Trim();
    painter.drawRect(
        QRectF(trim.left() * dpi, trim.top() * dpi, trim.width() * dpi, trim.height() * dpi));
    painter.end();
    m_picture->setPixmap(QPixmap::fromImage(shown));
}

// ---- the card as an image --------------------------------------------------

TCardImageDialog::TCardImageDialog(const QSizeF &cardInches, int dpi, double bleedInches,
                                   bool millimetres, bool withBleed, QWidget *parent)
    : QDialog(parent)
    , m_card(cardInches)
    , m_bleed(bleedInches)
{
    setWindowTitle(tr("Export Card as Image"));
    setObjectName(QStringLiteral("CardImageDialog"));
    m_dpi = new QSpinBox(this);
    m_dpi->setObjectName(QStringLiteral("Dpi"));
    m_dpi->setRange(10, 2400);
    m_dpi->setSuffix(tr(" pixels per inch"));
    m_dpi->setValue(dpi);
    m_withBleed =
        new QCheckBox(tr("Include the &bleed (%1)").arg(BleedText(bleedInches, millimetres)), this);
    m_withBleed->setObjectName(QStringLiteral("WithBleed"));
    m_withBleed->setChecked(withBleed && bleedInches > 0);
    m_withBleed->setEnabled(bleedInches > 0);
    m_size = new QLabel(this);
    m_size->setObjectName(QStringLiteral("ImageSize"));
    auto *form = new QFormLayout;
    form->addRow(tr("&Resolution:"), m_dpi);
    form->addRow(QString(), m_withBleed);
    form->addRow(tr("Size:"), m_size);
    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(tr("&Export..."), QDialogButtonBox::AcceptRole)
        ->setObjectName(QStringLiteral("ExportButton"));
    buttons->addButton(QDialogButtonBox::Cancel);
    AddHelpButton(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    connect(m_dpi, &QSpinBox::valueChanged, this, &TCardImageDialog::ShowSize);
    connect(m_withBleed, &QCheckBox::toggled, this, &TCardImageDialog::ShowSize);
    ShowSize();
}

int TCardImageDialog::Dpi() const
{
    return m_dpi->value();
}

bool TCardImageDialog::WithBleed() const
{
    return m_withBleed->isChecked();
}

void TCardImageDialog::ShowSize()
{
    const double around = WithBleed() ? 2 * m_bleed : 0.0;
    m_size->setText(tr("%1 x %2 pixels")
                        .arg(std::lround((m_card.width() + around) * Dpi()))
                        .arg(std::lround((m_card.height() + around) * Dpi())));
}
