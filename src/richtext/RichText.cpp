#include "richtext/RichText.h"

#include "richtext/RtfWriter.h"

#include <QFont>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

void SetRichTextDefaults(QTextDocument *document)
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(12);
    document->setDefaultFont(font);
    document->setDocumentMargin(0);
    document->setUndoRedoEnabled(false);
}

TRichText::TRichText()
    : m_document(std::make_unique<QTextDocument>())
{
    SetRichTextDefaults(m_document.get());
}

TRichText::~TRichText() = default;

void TRichText::Assign(const TRichText &other)
{
    if (&other == this)
        return;
    AssignDocument(other.Document());
    m_formatsLimited = other.m_formatsLimited;
    m_textCut = other.m_textCut;
}

void TRichText::AssignDocument(const QTextDocument *document)
{
    if (document == m_document.get())
        return;
    m_document.reset(document->clone());
    m_formatsLimited = false;
    m_textCut = false;
    m_document->setParent(nullptr);
    m_document->setDocumentMargin(0);
    m_document->setUndoRedoEnabled(false);
}

bool LimitFormatRuns(QTextDocument *document, int maxRuns)
{
    int runs = 0;
    QTextCharFormat last;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid())
                continue;
            const QTextCharFormat format = fragment.charFormat();
            if (runs > 0 && format == last)
                continue;
            if (++runs > maxRuns) {
                QTextCursor rest(document);
                rest.setPosition(fragment.position());
                rest.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
                rest.setCharFormat(last);
                return true;
            }
            last = format;
        }
    }
    return false;
}

TRtfReadResult TRichText::LoadRtf(const QByteArray &rtf)
{
    m_formatsLimited = false;
    m_textCut = false;
    if (rtf.isEmpty()) {
        m_document->clear();
        return {};
    }
    const TRtfReadResult result = ReadRtf(rtf, m_document.get());
    // The last position is the final paragraph's end, not a character.
    if (m_document->characterCount() - 1 > TRtfLimits::MaxLaidOutCharacters) {
        QTextCursor rest(m_document.get());
        rest.setPosition(TRtfLimits::MaxLaidOutCharacters);
        rest.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        rest.removeSelectedText();
        m_textCut = true;
    }
    m_formatsLimited = LimitFormatRuns(m_document.get(), TRtfLimits::MaxFormatRuns);
    m_document->setModified(false);
    return result;
}

QByteArray TRichText::SaveRtf() const
{
    return IsEmpty() ? QByteArray() : WriteRtf(m_document.get());
}

bool TRichText::IsEmpty() const
{
    return m_document->isEmpty();
}

QString TRichText::PlainText() const
{
    return m_document->toPlainText();
}
