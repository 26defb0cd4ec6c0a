#pragma once

#include <QByteArray>

class QTextDocument;

// Writes the document as RTF 1.x that word processors read: a font table, a
// colour table, runs with \f \fs \b \i \ul \strike \cf \cb, paragraphs with
// \ql \qr \qc \qj and \par, \tab and \line; characters outside ASCII as \'hh
// in Windows-1252 or as \uN with a "?" for readers without Unicode.
QByteArray WriteRtf(const QTextDocument *document);
