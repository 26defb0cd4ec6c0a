#pragma once

#include <QByteArray>
#include <QString>

class QTextDocument;

// How far a reading got.
enum class TRtfReadStatus {
    Rtf,       // read to its closing brace
    Truncated, // ended early (missing braces, \bin past the end): what was read is kept
    PlainText, // not RTF: shown as plain text
    Refused    // past a limit: the document is left empty
};

struct TRtfReadResult
{
    TRtfReadStatus status = TRtfReadStatus::Rtf;
    QString problem; // why it was truncated or refused

    bool Readable() const { return status != TRtfReadStatus::Refused; }
};

// The bounds that keep hostile input from exhausting the stack, memory or time.
struct TRtfLimits
{
    static constexpr int MaxDepth = 128;       // groups open at once
    static constexpr int MaxGroups = 250000;   // groups in all
    static constexpr int MaxFonts = 1024;      // font table entries
    static constexpr int MaxColors = 1024;     // colour table entries
    static constexpr int MaxUnicodeSkip = 16;  // \ucN: fallback characters after \u
    static constexpr int MaxCellsPerRow = 256; // table cells kept in one row
    // Changes of format a rich text lays out: Qt's line layout slows down
    // with the square of the runs in a paragraph (25,000 take seconds). A
    // card's text has a few dozen; even a rainbow of one colour per letter
    // across a whole card stays far below this.
    static constexpr int MaxFormatRuns = 2000;
    // Characters a rich text lays out: Qt wraps a word longer than its line
    // in time that grows with the square of the word, and even at 2 points
    // a whole card holds fewer letters than this.
    static constexpr int MaxLaidOutCharacters = 20000;
    static constexpr qsizetype MaxBytes = 64 * 1024 * 1024;
};

// Replaces the document's content by what the RTF bytes hold: runs with font,
// size, bold, italic, underline, strike-out, colours, and paragraphs with
// their alignment. Destinations other programs add (style sheets, document
// information, pictures, generators) are skipped; table cells become
// tab-separated text, one paragraph per row. Bytes that do not begin with
// "{\rtf" are taken as plain text.
TRtfReadResult ReadRtf(const QByteArray &bytes, QTextDocument *document);

// True when the bytes begin like an RTF document.
bool LooksLikeRtf(const QByteArray &bytes);
