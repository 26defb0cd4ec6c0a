#include "surface/ObjectFont.h"

#include "graphics/SymbolFonts.h"
#include "surface/ColDrop.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QScopedValueRollback>
#include <QStringListModel>

TObjectFont::TObjectFont(const QString &name, int points, uint32_t style,
                         std::function<void()> changed)
    : m_changed(std::move(changed))
{
    m_font.SetName(name);
    m_font.SetSize(points);
    m_font.SetStyle(style);
    m_font.SetColor(0);
    m_font.OnChange = [this] {
        m_parentFont = false;
        if (!m_quiet && m_changed)
            m_changed();
    };
}

void TObjectFont::Set(const TGFont &font)
{
    m_parentFont = false;
    m_font.Assign(font);
}

void TObjectFont::Set(const QFont &font)
{
    m_parentFont = false;
    m_font.Assign(font);
}

void TObjectFont::SetQuietly(const TGFont &font)
{
    QScopedValueRollback<bool> quiet(m_quiet, true);
    m_font.Assign(font);
}

void TObjectFont::Set(const QFont &font, std::optional<TColor> color)
{
    TGFont chosen;
    chosen.Assign(m_font);
    chosen.Assign(font);
    if (color)
        chosen.SetColor(*color);
    Set(chosen);
}

// ---- font dialog --------------------------------------------------------------

namespace {

bool Installed(const QString &family)
{
    return QFontDatabase::families().contains(family, Qt::CaseInsensitive);
}

QIcon CustomSwatch(TColor color)
{
    QPixmap pixmap(20, 12);
    pixmap.fill(ColorFromTColor(color));
    QPainter painter(&pixmap);
    painter.setPen(Qt::black);
    painter.drawRect(QRect(0, 0, 19, 11));
    return QIcon(pixmap);
}

} // namespace

TFontDialog::TFontDialog(const QFont &initial, QWidget *parent)
    : QFontDialog(initial, parent)
{
    setObjectName(QStringLiteral("FontDialog"));
    setOption(QFontDialog::DontUseNativeDialog);
    // The standard dialog's parts, in the order it creates them.
    const QList<QListView *> lists = findChildren<QListView *>();
    if (lists.size() >= 3) {
        m_families = lists[0];
        m_styles = lists[1];
        m_sizes = lists[2];
    }
    QList<QLineEdit *> shown; // the family's and the style's
    for (QLineEdit *edit : findChildren<QLineEdit *>()) {
        if (edit->objectName() == QLatin1String("qt_fontDialog_sampleEdit"))
            m_sample = edit;
        else if (edit->validator())
            m_sizeEdit = edit;
        else if (edit->isReadOnly())
            shown << edit;
    }
    m_styleEdit = shown.value(1);
    const QList<QCheckBox *> boxes = findChildren<QCheckBox *>();
    if (boxes.size() >= 2) {
        m_strikeOut = boxes[0];
        m_underline = boxes[1];
    }
    m_writingSystem = findChild<QComboBox *>();
    if (m_sample)
        m_sampleText = m_sample->text();

    // The colour goes under the effects, as in the font dialog designs were made with.
    m_colorLabel = new QLabel(tr("&Color:"));
    m_colorLabel->setObjectName(QStringLiteral("ColorLabel"));
    ColorBox = new TColorDropDown;
    ColorBox->setObjectName(QStringLiteral("ColorBox"));
    m_colorLabel->setBuddy(ColorBox);
    auto *effects = m_underline ? qobject_cast<QGroupBox *>(m_underline->parentWidget()) : nullptr;
    QLayout *effectsLayout = effects ? effects->layout() : layout();
    effectsLayout->addWidget(m_colorLabel);
    effectsLayout->addWidget(ColorBox);
    m_colorLabel->setVisible(false);
    ColorBox->setVisible(false);
    connect(ColorBox, &TColorDropDown::ColorChanged, this, [this] { UpdateSampleColor(); });

    m_points = initial.pointSize() > 0 ? initial.pointSize() : QFontInfo(initial).pointSize();
    m_bold = initial.bold();
    m_italic = initial.italic();
    if (!m_families || !m_styles || !m_sizes || !m_sizeEdit || !m_sample || !m_strikeOut)
        return; // a dialog of another make: only what it lists itself
    AddSymbolFamilies();
    const auto follow = [this] { FollowAddedFamily(); };
    connect(m_families->selectionModel(), &QItemSelectionModel::currentChanged, this, follow);
    connect(m_styles->selectionModel(), &QItemSelectionModel::currentChanged, this, follow);
    connect(m_sizes->selectionModel(), &QItemSelectionModel::currentChanged, this, follow);
    connect(m_sizeEdit, &QLineEdit::textChanged, this, follow);
    connect(m_strikeOut, &QCheckBox::clicked, this, follow);
    connect(m_underline, &QCheckBox::clicked, this, follow);
    if (m_writingSystem)
        connect(m_writingSystem, &QComboBox::activated, this, follow);
    if (m_added.contains(initial.family(), Qt::CaseInsensitive))
        SelectFamily(initial.family());
}

QString TFontDialog::ListedFamily(const QString &family)
{
    if (IsSymbolFamily(family) && !Installed(family)) {
        for (const QString &name : SymbolFamilies())
            if (name.compare(family.trimmed(), Qt::CaseInsensitive) == 0)
                return name;
    }
    return QFontInfo(QFont(family)).family();
}

void TFontDialog::ShowColor(TColor color)
{
    if (!m_colorShown) {
        // Taller by the two rows, so that the lists keep their length.
        resize(width(), height() + m_colorLabel->sizeHint().height() +
                            ColorBox->sizeHint().height() + 2 * layout()->spacing());
    }
    m_colorShown = true;
    m_colorLabel->setVisible(true);
    ColorBox->setVisible(true);
    ColorBox->SetColor(color);
    if (ColorBox->currentIndex() < 0 || ColorBox->Color() != color) {
        // A colour the list does not name is kept as it is unless another is chosen.
        ColorBox->addItem(CustomSwatch(color), tr("Custom"), QVariant::fromValue<uint>(color));
        ColorBox->setCurrentIndex(ColorBox->count() - 1);
    }
    UpdateSampleColor();
}

TColor TFontDialog::Color() const
{
    return ColorBox->Color();
}

QFont TFontDialog::ChosenFont() const
{
    return AddedFamilyShown() ? CurrentAddedFont() : selectedFont();
}

bool TFontDialog::AddedFamilyShown() const
{
    return m_families && m_families->currentIndex().isValid() &&
           m_added.contains(m_families->currentIndex().data().toString());
}

void TFontDialog::AddSymbolFamilies()
{
    auto *model = qobject_cast<QStringListModel *>(m_families->model());
    if (!model)
        return;
    // Listed with every script, and with symbol fonts; not with another script's fonts.
    if (m_writingSystem && m_writingSystem->currentIndex() != QFontDatabase::Any &&
        m_writingSystem->currentIndex() != QFontDatabase::Symbol)
        return;
    m_added.clear();
    QStringList names = model->stringList();
    for (const QString &family : SymbolFamilies()) {
        if (Installed(family))
            continue; // the dialog lists it itself
        m_added << family;
        if (names.contains(family))
            continue;
        qsizetype row = 0;
        while (row < names.size() && names[row].compare(family, Qt::CaseInsensitive) < 0)
            ++row;
        model->insertRows(int(row), 1);
        model->setData(model->index(int(row)), family);
        names.insert(row, family);
    }
}

void TFontDialog::SelectFamily(const QString &family)
{
    const QStringList names = qobject_cast<QStringListModel *>(m_families->model())->stringList();
    for (qsizetype row = 0; row < names.size(); ++row)
        if (names[row].compare(family, Qt::CaseInsensitive) == 0) {
            m_families->setCurrentIndex(m_families->model()->index(int(row), 0));
            m_families->scrollTo(m_families->currentIndex());
            return;
        }
}

void TFontDialog::FollowAddedFamily()
{
    if (m_following)
        return;
    QScopedValueRollback<bool> following(m_following, true);
    // The dialog lists the installed families anew when told a font to show.
    AddSymbolFamilies();
    if (!m_sampleShowsPictures)
        m_sampleText = m_sample->text(); // the writing system's sample
    // The last style and size shown carry over to a family the dialog adds.
    const QString style = m_styles->currentIndex().data().toString();
    if (!style.isEmpty()) {
        m_bold = style.contains(QLatin1String("Bold"), Qt::CaseInsensitive);
        m_italic = style.contains(QLatin1String("Italic"), Qt::CaseInsensitive) ||
                   style.contains(QLatin1String("Oblique"), Qt::CaseInsensitive);
    }
    if (const int points = m_sizeEdit->text().toInt(); points > 0)
        m_points = points;
    if (!AddedFamilyShown()) {
        if (m_sampleShowsPictures) {
            m_sample->setText(m_sampleText);
            m_sampleShowsPictures = false;
        }
        return;
    }
    // The desktop knows neither styles nor sizes of the family: offer the usual ones.
    const QStringList styles{QStringLiteral("Regular"), QStringLiteral("Italic"),
                             QStringLiteral("Bold"), QStringLiteral("Bold Italic")};
    auto *styleModel = qobject_cast<QStringListModel *>(m_styles->model());
    if (styleModel && styleModel->stringList() != styles) {
        const QSignalBlocker quiet(m_styles->selectionModel());
        styleModel->setStringList(styles);
        m_styles->setCurrentIndex(styleModel->index((m_bold ? 2 : 0) + (m_italic ? 1 : 0)));
    }
    if (m_styleEdit)
        m_styleEdit->setText(m_styles->currentIndex().data().toString());
    auto *sizeModel = qobject_cast<QStringListModel *>(m_sizes->model());
    if (sizeModel && sizeModel->rowCount() == 0) {
        const QSignalBlocker quiet(m_sizes->selectionModel());
        QStringList sizes;
        for (int size : QFontDatabase::standardSizes())
            sizes << QString::number(size);
        sizeModel->setStringList(sizes);
        if (const qsizetype row = sizes.indexOf(QString::number(m_points)); row >= 0)
            m_sizes->setCurrentIndex(sizeModel->index(int(row)));
    }
    if (m_sizeEdit->text().isEmpty()) {
        const QSignalBlocker quiet(m_sizeEdit);
        m_sizeEdit->setText(QString::number(m_points));
    }
    // The sample shows the pictures the card will show, drawn by the fonts
    // that have them, and is the dialog's current font.
    QFont sample = CurrentAddedFont();
    sample.setFamilies(QStringList{sample.family()} + SymbolPictureFamilies());
    m_sample->setFont(sample);
    m_sample->setText(SymbolTextToUnicode(SymbolSetOf(sample.family()), m_sampleText));
    m_sampleShowsPictures = true;
}

void TFontDialog::UpdateSampleColor()
{
    if (!m_sample || !m_colorShown)
        return;
    QPalette palette = m_sample->palette();
    palette.setColor(QPalette::Text, ColorFromTColor(ColorBox->Color()));
    m_sample->setPalette(palette);
}

QFont TFontDialog::CurrentAddedFont() const
{
    QFont font(m_families->currentIndex().data().toString());
    font.setPointSize(m_points);
    font.setBold(m_bold);
    font.setItalic(m_italic);
    font.setUnderline(m_underline->isChecked());
    font.setStrikeOut(m_strikeOut->isChecked());
    return font;
}
