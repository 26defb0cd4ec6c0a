#include "objects/gbclabel32.h"

#include "document/CardModel.h"
#include "document/Desktop.h"
#include "objects/Ggbctext.h"
#include "surface/Gbcpanel32.h"

#include <QAction>
#include <QMenu>

TGBusinessCardLabel::TGBusinessCardLabel(QObject *owner)
    : TGPLabel(owner)
{
}

const QStringList &TGBusinessCardLabel::PersonalInfoCaptions()
{
    static const QStringList captions = {QStringLiteral("Name"),      QStringLiteral("Company"),
                                         QStringLiteral("Title"),     QStringLiteral("Address 1"),
                                         QStringLiteral("Address 2"), QStringLiteral("Address 3"),
                                         QStringLiteral("Phone 1"),   QStringLiteral("Phone 2"),
                                         QStringLiteral("EMail"),     QStringLiteral("Fax")};
    return captions;
}

TGBusinessCardPanel32 *TGBusinessCardLabel::CardSurface() const
{
    return Parent() ? qobject_cast<TGBusinessCardPanel32 *>(Parent()->Widget()) : nullptr;
}

bool TGBusinessCardLabel::EditText()
{
    TGetBCLabelText dialog(Model() ? Model()->PersonalInfo() : QStringList(), DialogParent());
    return EditTextIn(dialog);
}

void TGBusinessCardLabel::PickPersonalInfo(const QString &itemCaption)
{
    const qsizetype tab = itemCaption.indexOf(QLatin1Char('\t'));
    const QString value = tab < 0 ? QString() : itemCaption.mid(tab + 1).left(255);
    SetCaption(value);
    FitToText();
    ReportChange();
    Repaint();
}

void TGBusinessCardLabel::FillPersonalInfoMenu()
{
    if (!m_personalInfoMenu)
        return;
    m_personalInfoMenu->clear();
    const QStringList info = Model() ? Model()->PersonalInfo() : QStringList();
    const QStringList &captions = PersonalInfoCaptions();
    for (int i = 0; i < captions.size(); ++i) {
        const QString value = info.value(i);
        const QString caption = captions.at(i) + QLatin1Char('\t') + value;
        // Shown with '&' doubled so a value is not read as a mnemonic; the pick
        // takes the caption as written.
        QAction *item = m_personalInfoMenu->addAction(
            captions.at(i) + QLatin1Char('\t') +
            QString(value).replace(QLatin1Char('&'), QStringLiteral("&&")));
        item->setData(caption);
        // An empty value would leave an invisible label: nothing to pick.
        item->setEnabled(!value.isEmpty());
        QObject::connect(item, &QAction::triggered, this,
                         [this, caption] { PickPersonalInfo(caption); });
    }
}

void TGBusinessCardLabel::BuildObjectMenu()
{
    Inherited::BuildObjectMenu();
    if (CardSurface()) {
        QMenu *menu = ObjectMenu();
        QAction *first = menu->actions().value(0);
        m_personalInfoMenu = new QMenu(tr("Personal Information"), menu);
        m_personalInfoMenu->setObjectName(QStringLiteral("PersonalInfoMenu"));
        menu->insertMenu(first, m_personalInfoMenu);
        menu->insertSeparator(first);
        FillPersonalInfoMenu();
    }
    if (m_transparentItem)
        m_transparentItem->setChecked(Transparent());
}

void TGBusinessCardLabel::RefreshMenu()
{
    Inherited::RefreshMenu();
    FillPersonalInfoMenu();
}
