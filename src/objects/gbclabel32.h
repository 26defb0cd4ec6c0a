#pragma once

#include "objects/Gplabel.h"

#include <QPointer>

class TGBusinessCardPanel32;

// The text object of the card surface's text tool; it also offers the
// personal information as ready-made captions.
class TGBusinessCardLabel : public TGPLabel
{
    Q_OBJECT

public:
    using Inherited = TGPLabel;

    explicit TGBusinessCardLabel(QObject *owner = nullptr);

    // The captions of the "Personal Information" items, in menu order.
    static const QStringList &PersonalInfoCaptions();

    // Opens the business-card text dialog, which also lists the personal
    // information of the card surface.
    bool EditText() override;
    // Takes the text after the first tab of a menu item's caption (at most
    // 255 characters) as the caption, then fits, reports and repaints.
    void PickPersonalInfo(const QString &itemCaption);

    void BuildObjectMenu() override;
    void RefreshMenu() override;

    // The "Personal Information" submenu; null unless the label sits on a card surface.
    QMenu *PersonalInfoMenu() const { return m_personalInfoMenu; }

private:
    TGBusinessCardPanel32 *CardSurface() const;
    void FillPersonalInfoMenu();

    QPointer<QMenu> m_personalInfoMenu;
};
