#include "richtext/RichText.h"

#include "richtext/RtfWriter.h"

#include <QFont>
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
    if (&other != this)
        AssignDocument(other.Document());
}

void TRichText::AssignDocument(const QTextDocument *document)
{
    if (document == m_document.get())
        return;
    m_document.reset(document->clone());
    m_document->setParent(nullptr);
    m_document->setDocumentMargin(0);
    m_document->setUndoRedoEnabled(false);
}

TRtfReadResult TRichText::LoadRtf(const QByteArray &rtf)
{
    if (rtf.isEmpty()) {
        m_document->clear();
        return {};
    }
    return ReadRtf(rtf, m_document.get());
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
