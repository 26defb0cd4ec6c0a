#include "surface/ColDrop.h"

#include <QPainter>
#include <QPixmap>

const std::vector<TColorDropDown::TEntry> &TColorDropDown::Entries()
{
    static const std::vector<TEntry> entries = {
        {QStringLiteral("Black"), 0x000000},     {QStringLiteral("Maroon"), 0x000080},
        {QStringLiteral("Green"), 0x008000},     {QStringLiteral("Olive"), 0x008080},
        {QStringLiteral("Navy"), 0x800000},      {QStringLiteral("Purple"), 0x800080},
        {QStringLiteral("Teal"), 0x808000},      {QStringLiteral("Gray"), 0x808080},
        {QStringLiteral("Silver"), 0xC0C0C0},    {QStringLiteral("Red"), 0x0000FF},
        {QStringLiteral("Lime"), 0x00FF00},      {QStringLiteral("Yellow"), 0x00FFFF},
        {QStringLiteral("Blue"), 0xFF0000},      {QStringLiteral("Fuchsia"), 0xFF00FF},
        {QStringLiteral("Aqua"), 0xFFFF00},      {QStringLiteral("Light Gray"), 0xC0C0C0},
        {QStringLiteral("Dark Gray"), 0x808080}, {QStringLiteral("White"), 0xFFFFFF},
    };
    return entries;
}

namespace {

QIcon Swatch(TColor color)
{
    QPixmap pixmap(20, 12);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.fillRect(QRect(0, 0, 20, 12), ColorFromTColor(color));
    painter.setPen(Qt::black);
    painter.drawRect(QRect(0, 0, 19, 11));
    painter.end();
    return QIcon(pixmap);
}

} // namespace

TColorDropDown::TColorDropDown(QWidget *parent)
    : QComboBox(parent)
{
    setEditable(false);
    setIconSize(QSize(20, 12));
    for (const TEntry &entry : Entries())
        addItem(Swatch(entry.value), entry.name, QVariant::fromValue<uint>(entry.value));
    // Nothing is selected until a colour is set or chosen.
    setCurrentIndex(-1);
    connect(this, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index < 0)
            return;
        m_color = itemData(index).value<uint>();
        Q_EMIT ColorChanged(m_color);
    });
}

TColor TColorDropDown::Color() const
{
    return m_color;
}

void TColorDropDown::SetColor(TColor color)
{
    const std::vector<TEntry> &entries = Entries();
    for (size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].value == color) {
            setCurrentIndex(int(i));
            m_color = color;
            return;
        }
    }
}
