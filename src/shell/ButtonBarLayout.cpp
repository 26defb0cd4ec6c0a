#include "shell/ButtonBarLayout.h"

#include <QStyle>
#include <QWidget>
#include <algorithm>

TButtonBarLayout::TButtonBarLayout(QWidget *parent)
    : QLayout(parent)
{
}

TButtonBarLayout::~TButtonBarLayout()
{
    while (QLayoutItem *item = takeAt(0))
        delete item;
}

void TButtonBarLayout::addItem(QLayoutItem *item)
{
    m_items.append(item);
}

int TButtonBarLayout::count() const
{
    return int(m_items.size());
}

QLayoutItem *TButtonBarLayout::itemAt(int index) const
{
    return m_items.value(index);
}

QLayoutItem *TButtonBarLayout::takeAt(int index)
{
    if (index < 0 || index >= m_items.size())
        return nullptr;
    return m_items.takeAt(index);
}

Qt::Orientations TButtonBarLayout::expandingDirections() const
{
    return {};
}

bool TButtonBarLayout::hasHeightForWidth() const
{
    return true;
}

int TButtonBarLayout::heightForWidth(int width) const
{
    return Arrange(QRect(0, 0, width, 0), false);
}

QSize TButtonBarLayout::sizeHint() const
{
    // Everything on one row.
    int width = 0;
    int height = 0;
    bool leading = false; // a leading item is shown
    bool buttons = false; // a button is shown
    for (int i = 0; i < m_items.size(); ++i) {
        const QLayoutItem *item = m_items.at(i);
        if (item->isEmpty())
            continue;
        const bool isButton = i >= m_leading;
        if (leading || buttons)
            width += isButton && !buttons ? m_groupGap : Spacing();
        width += item->sizeHint().width();
        height = std::max(height, item->sizeHint().height());
        (isButton ? buttons : leading) = true;
    }
    const QMargins m = contentsMargins();
    return QSize(width + m.left() + m.right(), height + m.top() + m.bottom());
}

QSize TButtonBarLayout::minimumSize() const
{
    // One item a row at worst.
    QSize size;
    for (const QLayoutItem *item : m_items)
        if (!item->isEmpty())
            size = size.expandedTo(item->minimumSize());
    const QMargins m = contentsMargins();
    return size + QSize(m.left() + m.right(), m.top() + m.bottom());
}

void TButtonBarLayout::setGeometry(const QRect &rect)
{
    QLayout::setGeometry(rect);
    Arrange(rect, true);
}

int TButtonBarLayout::Spacing() const
{
    if (spacing() >= 0)
        return spacing();
    const QWidget *parent = parentWidget();
    const int gap =
        parent ? parent->style()->pixelMetric(QStyle::PM_LayoutHorizontalSpacing, nullptr, parent)
               : -1;
    return gap >= 0 ? gap : 6;
}

int TButtonBarLayout::Arrange(const QRect &rect, bool apply) const
{
    const QRect area = rect.marginsRemoved(contentsMargins());
    const int spacing = Spacing();

    struct TRow
    {
        QList<int> items;
        int leadingEnd = 0; // items before this index in `items` sit on the left
        int height = 0;
    };
    QList<TRow> rows(1);
    int x = 0; // width used on the current row
    for (int i = 0; i < m_items.size(); ++i) {
        const QLayoutItem *item = m_items.at(i);
        if (item->isEmpty())
            continue;
        const int width = std::min(item->sizeHint().width(), std::max(0, area.width()));
        TRow *row = &rows.last();
        const bool firstButton = i >= m_leading && row->leadingEnd == row->items.size();
        const int gap = row->items.isEmpty() ? 0 : (firstButton ? m_groupGap : spacing);
        if (!row->items.isEmpty() && x + gap + width > area.width()) {
            rows.append(TRow());
            row = &rows.last();
            x = width;
        } else {
            x += gap + width;
        }
        row->items.append(i);
        if (i < m_leading)
            row->leadingEnd = int(row->items.size());
        row->height = std::max(row->height, item->sizeHint().height());
    }

    int used = 0;
    for (const TRow &row : rows)
        used += row.height;
    used += spacing * int(rows.size() - 1);
    // Centred when the bar is taller than its rows.
    int y = area.top() + std::max(0, (area.height() - used) / 2);
    for (int r = 0; r < rows.size(); ++r) {
        const TRow &row = rows.at(r);
        if (r > 0)
            y += spacing;
        if (apply) {
            auto widthOf = [&](int index) {
                return std::min(m_items.at(index)->sizeHint().width(), std::max(0, area.width()));
            };
            auto place = [&](int index, int left) {
                QLayoutItem *item = m_items.at(index);
                const int w = widthOf(index);
                const int h = std::min(item->sizeHint().height(), row.height);
                item->setGeometry(QRect(left, y + (row.height - h) / 2, w, h));
                return w;
            };
            // Leading items from the left edge ...
            int left = area.left();
            for (int k = 0; k < row.leadingEnd; ++k)
                left += place(row.items.at(k), left) + spacing;
            // ... the buttons flush right.
            int buttons = 0;
            for (int k = row.leadingEnd; k < row.items.size(); ++k)
                buttons += widthOf(row.items.at(k)) + (k > row.leadingEnd ? spacing : 0);
            left = std::max(left - spacing + (row.leadingEnd > 0 ? m_groupGap : 0),
                            area.right() + 1 - buttons);
            for (int k = row.leadingEnd; k < row.items.size(); ++k)
                left += place(row.items.at(k), left) + spacing;
        }
        y += row.height;
    }
    const QMargins m = contentsMargins();
    return used + m.top() + m.bottom();
}
