#include "objects/Gpmlabel.h"

#include "objects/Gmlted.h"

#include <QAction>

TGMultiLineLabel::TGMultiLineLabel(QObject *owner)
    : TGMultiLineBaseLabel(owner)
{
}

bool TGMultiLineLabel::EditText()
{
    TMultiLineTextEditor editor(DialogParent());
    editor.SetEditorFont(Font()->ToQFont());
    editor.SetLines(Lines());
    if (editor.exec() != QDialog::Accepted)
        return false;
    // Re-wraps, repaints and reports once when the lines really changed.
    SetItems(editor.Lines());
    return true;
}

void TGMultiLineLabel::ToggleWordWrap()
{
    SetWordWrap(!WordWrap());
    if (m_wordWrapItem)
        m_wordWrapItem->setChecked(WordWrap());
}

void TGMultiLineLabel::BuildObjectMenu()
{
    Inherited::BuildObjectMenu();
    AddMenuSeparator();
    AddMenuItem(tr("Text"), [this] { EditText(); });
    m_wordWrapItem = AddMenuItem(tr("Word Wrap"), [this] { ToggleWordWrap(); });
    m_wordWrapItem->setCheckable(true);
    m_wordWrapItem->setChecked(WordWrap());
}

void TGMultiLineLabel::RefreshMenu()
{
    Inherited::RefreshMenu();
    // The tick also follows a change made outside the menu (a file, a setter).
    if (m_wordWrapItem)
        m_wordWrapItem->setChecked(WordWrap());
}
