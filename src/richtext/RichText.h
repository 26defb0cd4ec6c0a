#pragma once

#include "richtext/RtfReader.h"

#include <QByteArray>
#include <QString>
#include <memory>

class QTextDocument;

// The rich text container: formatted text held in a QTextDocument, read from
// and written to RTF.
class TRichText
{
public:
    TRichText();
    ~TRichText();
    TRichText(const TRichText &) = delete;
    TRichText &operator=(const TRichText &) = delete;

    QTextDocument *Document() const { return m_document.get(); }
    // Takes a copy of the other container's content.
    void Assign(const TRichText &other);
    void AssignDocument(const QTextDocument *document);

    // Reads the RTF; a text of more than TRtfLimits::MaxFormatRuns changes of
    // format shows the rest in its last format (FormatsLimited), and one of
    // more than TRtfLimits::MaxLaidOutCharacters is cut there (TextCut).
    TRtfReadResult LoadRtf(const QByteArray &rtf);
    bool FormatsLimited() const { return m_formatsLimited; }
    bool TextCut() const { return m_textCut; }
    QByteArray SaveRtf() const;

    bool IsEmpty() const;
    QString PlainText() const;

private:
    std::unique_ptr<QTextDocument> m_document;
    bool m_formatsLimited = false;
    bool m_textCut = false;
};

// Lets the document change its character format at most maxRuns times
// (adjacent runs that look the same count as one); from there on the text
// takes the format it had then. True when it had more.
bool LimitFormatRuns(QTextDocument *document, int maxRuns);

// The font a new, empty rich text starts in.
void SetRichTextDefaults(QTextDocument *document);
