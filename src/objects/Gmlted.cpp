#include "objects/Gmlted.h"

#include "document/Desktop.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>

TMultiLineTextEditor::TMultiLineTextEditor(QWidget *mainWindow)
    : QDialog(mainWindow)
{
    setObjectName(QStringLiteral("MultiLineTextEditor"));
    setWindowTitle(tr("Multi-line Text Editor"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, true);

    Memo = new QPlainTextEdit(this);
    Memo->setObjectName(QStringLiteral("Memo"));
    Memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo->setTabChangesFocus(true);
    connect(Memo->document(), &QTextDocument::contentsChange, this,
            &TMultiLineTextEditor::ContentsChanged);

    OKButton = new QPushButton(tr("Ok"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    CancelButton = new QPushButton(tr("Cancel"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    HelpButton = new QPushButton(tr("Help"), this);
    HelpButton->setObjectName(QStringLiteral("HelpButton"));
    HelpButton->setAutoDefault(false);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OKButton);
    buttons->addWidget(CancelButton);
    buttons->addWidget(HelpButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Memo, 1);
    layout->addLayout(buttons);

    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(HelpButton, &QPushButton::clicked, this, [] { ShowHelpTopic(HelpTopic); });
    SetHelpTopic(this, HelpTopic);
    Memo->setFocus();
    PlaceDialog(this, mainWindow);
}

void TMultiLineTextEditor::SetEditorFont(const QFont &font)
{
    Memo->setFont(font);
}

QStringList TMultiLineTextEditor::Lines() const
{
    QString text = Memo->toPlainText();
    if (text.isEmpty())
        return {};
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    return text.split(QLatin1Char('\n'));
}

void TMultiLineTextEditor::SetLines(const QStringList &lines)
{
    // Lines read from a file may be longer than the memo takes; they are
    // shown whole, and only new input is refused.
    m_limiting = true;
    Memo->setPlainText(lines.join(QLatin1Char('\n')));
    m_limiting = false;
    Memo->moveCursor(QTextCursor::End);
}

void TMultiLineTextEditor::ContentsChanged(int position, int removed, int added)
{
    Q_UNUSED(removed);
    if (m_limiting || added <= 0)
        return;
    // The document counts one paragraph end more than the text has.
    const int length = Memo->document()->characterCount() - 1;
    const int excess = std::min(length - MaxLength, added);
    if (excess <= 0)
        return;
    m_limiting = true;
    QTextCursor cursor(Memo->document());
    cursor.setPosition(position + added - excess);
    cursor.setPosition(position + added, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    m_limiting = false;
}
