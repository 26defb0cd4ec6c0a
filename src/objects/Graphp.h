#pragma once

#include <QWidget>

// A light panel with a caption, bevels and a frame, drawn in one colour; it
// passes clicks and double-clicks to its handlers.
class TGraphicPanel : public QWidget
{
    Q_OBJECT

public:
    enum TBevelCut { bvNone, bvLowered, bvRaised };
    enum TPanelBorderStyle { bsNone, bsSingle };

    explicit TGraphicPanel(QWidget *parent = nullptr);

    QString Caption() const { return m_caption; }
    void SetCaption(const QString &caption);
    Qt::Alignment Alignment() const { return m_alignment; }
    void SetAlignment(Qt::Alignment alignment);
    TBevelCut BevelInner() const { return m_bevelInner; }
    void SetBevelInner(TBevelCut cut);
    TBevelCut BevelOuter() const { return m_bevelOuter; }
    void SetBevelOuter(TBevelCut cut);
    int BevelWidth() const { return m_bevelWidth; }
    void SetBevelWidth(int width);
    int BorderWidth() const { return m_borderWidth; }
    void SetBorderWidth(int width);
    TPanelBorderStyle BorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(TPanelBorderStyle style);
    QColor Color() const { return m_color; }
    void SetColor(const QColor &color);
    bool Locked() const { return m_locked; }
    void SetLocked(bool locked) { m_locked = locked; }

    std::function<void()> OnClick;
    std::function<void()> OnDblClick;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    template <class V> void Store(V &field, const V &value)
    {
        if (field == value)
            return;
        field = value;
        update();
    }

    QString m_caption;
    Qt::Alignment m_alignment = Qt::AlignHCenter;
    TBevelCut m_bevelInner = bvNone;
    TBevelCut m_bevelOuter = bvRaised;
    int m_bevelWidth = 1;
    int m_borderWidth = 0;
    TPanelBorderStyle m_borderStyle = bsNone;
    QColor m_color;
    bool m_locked = false;
};
