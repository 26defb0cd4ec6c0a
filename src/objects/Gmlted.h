#pragma once

#include <QDialog>
#include <QStringList>

class QFont;
class QPlainTextEdit;
class QPushButton;

// The text editor of a multi-line label: a memo of at most MaxLength
// characters in the label's font, Enter starting a new line.
class TMultiLineTextEditor : public QDialog
{
    Q_OBJECT

public:
    static constexpr int HelpTopic = 40001;
    // Characters the memo takes, a line break counting as one.
    static constexpr int MaxLength = 254;

    explicit TMultiLineTextEditor(QWidget *mainWindow = nullptr);

    // Its opening size; the window can be resized.
    QSize sizeHint() const override { return QSize(342, 243); }

    void SetEditorFont(const QFont &font);
    // The memo's text, one entry per line; a final line break adds no line.
    QStringList Lines() const;
    void SetLines(const QStringList &lines);

    QPlainTextEdit *Memo = nullptr;
    QPushButton *OKButton = nullptr;
    QPushButton *CancelButton = nullptr;
    QPushButton *HelpButton = nullptr;

private:
    // Cuts what an insertion (typing, pasting, dropping) put past MaxLength.
    void ContentsChanged(int position, int removed, int added);
    bool m_limiting = false;
};
