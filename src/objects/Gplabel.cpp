#include "objects/Gplabel.h"

#include "document/Desktop.h"
#include "document/MergeData.h"
#include "objects/Ggettext.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>

TGPLabel::TGPLabel(QObject *owner)
    : TGBaseLabel(owner)
{
}

bool TGPLabel::EditText()
{
    TGetLabelText dialog(DialogParent());
    return EditTextIn(dialog);
}

bool TGPLabel::EditTextIn(TGetLabelText &dialog)
{
    dialog.SetText(Caption());
    if (dialog.exec() != QDialog::Accepted)
        return false;
    SetCaption(dialog.Text());
    FitToText();
    Repaint();
    return true;
}

bool TGPLabel::ChooseFont()
{
    if (!Inherited::ChooseFont())
        return false;
    FitToText();
    return true;
}

void TGPLabel::FillMergeFields(const TMergeValues &values)
{
    const QString text = ExpandMergeFieldsOnOneLine(Caption(), values);
    if (text == Caption())
        return;
    // Grows as for typed text, from the side the text is aligned to.
    const int width = Width();
    SetCaption(text);
    LayoutLabel();
    FitToText();
    const int grown = Width() - width;
    if (grown > 0 && Alignment() == taRightJustify)
        SetLeft(Left() - grown);
    else if (grown > 0 && Alignment() == taCenter)
        SetLeft(Left() - grown / 2);
}

void TGPLabel::BuildObjectMenu()
{
    Inherited::BuildObjectMenu();
    AddMenuSeparator();
    m_textItem = AddMenuItem(tr("Text"), [this] { EditText(); });
    m_textItem->setData(TextItemTag);
    AddMenuSeparator();
    QMenu *rotation = ObjectMenu()->addMenu(tr("Rotation"));
    const QString captions[4] = {tr("No Rotation"), tr("90 Degrees"), tr("180 Degrees"),
                                 tr("270 Degrees")};
    for (int i = 0; i < 4; ++i) {
        QAction *item = rotation->addAction(captions[i]);
        item->setCheckable(true);
        const int angle = i * 90;
        QObject::connect(item, &QAction::triggered, this, [this, angle] { SetAngle(angle); });
        m_rotationItems[size_t(i)] = item;
    }
}

void TGPLabel::RefreshMenu()
{
    Inherited::RefreshMenu();
    for (int i = 0; i < 4; ++i)
        if (m_rotationItems[size_t(i)])
            m_rotationItems[size_t(i)]->setChecked(Angle() == i * 90);
}
