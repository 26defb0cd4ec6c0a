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

    TRtfReadResult LoadRtf(const QByteArray &rtf);
    QByteArray SaveRtf() const;

    bool IsEmpty() const;
    QString PlainText() const;

private:
    std::unique_ptr<QTextDocument> m_document;
};

// The font a new, empty rich text starts in.
void SetRichTextDefaults(QTextDocument *document);
