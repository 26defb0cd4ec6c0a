#pragma once

#include <QLayout>
#include <QList>

// The main window's bottom bar: a few leading items on the left (the zoom
// control) and the buttons on the right, on one row while the window is wide
// enough. In a narrower window the buttons wrap onto further rows, each row's
// buttons flush right, so they never cover one another; the bar grows taller
// by as many rows as that takes.
class TButtonBarLayout : public QLayout
{
public:
    explicit TButtonBarLayout(QWidget *parent = nullptr);
    ~TButtonBarLayout() override;

    // The first `count` items stay on the left of the first row.
    void SetLeadingCount(int count) { m_leading = count; }
    // Space between the leading items and the first button of their row.
    void SetGroupGap(int gap) { m_groupGap = gap; }

    void addItem(QLayoutItem *item) override;
    int count() const override;
    QLayoutItem *itemAt(int index) const override;
    QLayoutItem *takeAt(int index) override;
    Qt::Orientations expandingDirections() const override;
    bool hasHeightForWidth() const override;
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    void setGeometry(const QRect &rect) override;

private:
    // Places the items in the rectangle when `apply`; returns the height used.
    int Arrange(const QRect &rect, bool apply) const;
    int Spacing() const;

    QList<QLayoutItem *> m_items;
    int m_leading = 0;
    int m_groupGap = 16;
};
