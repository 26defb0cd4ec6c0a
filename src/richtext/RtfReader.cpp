#include "richtext/RtfReader.h"

#include "richtext/RtfCodePage.h"

#include <QColor>
#include <QHash>
#include <QList>
#include <QStringDecoder>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <cstring>

namespace {

// Destinations whose text is not part of the visible content.
bool IsSkippedDestination(const QByteArray &word)
{
    // clang-format off
    static const char *const skipped[] = {
        "stylesheet", "info",        "pict",       "object",      "header",    "headerl",
        "headerr",    "headerf",     "footer",     "footerl",     "footerr",   "footerf",
        "footnote",   "annotation",  "fldinst",    "xe",          "tc",        "bkmkstart",
        "bkmkend",    "template",    "filetbl",    "revtbl",      "listtable", "listoverridetable",
        "rsidtbl",    "generator",   "themedata",  "colorschememapping",      "latentstyles",
        "datastore",  "xmlnstbl",    "pgdsctbl",   "userprops",   "docvar",    "nonshppict",
        "shppict",    "shp",         "pn",         "ftnsep",      "ftnsepc",   "aftnsep",
        "aftnsepc",   "atnid",       "atnauthor",  "private",     "txe",       "pgptbl",
        "mmathPr",    "wgrffmtfilter", "listpicture", "fchars",    "lchars",    "background",
        "operator",   "author",      "title",      "subject",     "keywords",  "comment",
        "doccomm",    "creatim",     "revtim",     "printim",     "buptim",    "company"};
    // clang-format on
    for (const char *name : skipped)
        if (word == name)
            return true;
    return false;
}

bool IsTextUnit(char16_t unit)
{
    return !((unit < 0x20 && unit != u'\t') || unit == 0x7F || unit == 0xFFFC || unit == 0xFDD0 ||
             unit == 0xFDD1 || unit == 0x2029);
}

struct TCharState
{
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool hidden = false;
    int halfPoints = 24;
    int font = -1;      // -1: the default font
    int foreground = 0; // colour table index; 0 is "auto"
    int background = 0; // 0: none
    int vertical = 0;   // -1 subscript, 1 superscript

    bool operator==(const TCharState &) const = default;
};

enum class TDestination { Text, Skip, FontTable, ColorTable };

struct TGroup
{
    TCharState chr;
    TDestination destination = TDestination::Text;
    int unicodeSkip = 1;
    int codePage = 1252;    // of the current font, for \'hh
    bool fresh = true;      // nothing but control words seen yet
    bool ignorable = false; // "\*" seen
};

struct TFontEntry
{
    QString name;
    int codePage = 0; // 0: the document's
};

class TRtfParser
{
public:
    TRtfParser(const QByteArray &bytes, QTextDocument *document)
        : m_data(bytes.constData())
        , m_size(bytes.size())
        , m_document(document)
        , m_cursor(document)
    {
    }

    TRtfReadResult Run();

private:
    // ---- tokens
    void ControlWord(const QByteArray &word, bool hasParam, int param);
    void ControlSymbol(char c);
    void OpenGroup();
    void CloseGroup();
    void TextByte(char c);
    void TextUnit(char16_t unit);

    // ---- output
    void FlushBytes();
    void Flush();
    // Text in state follows: what is pending is written first when it looks
    // different, so that runs of one look stay one run.
    void SwitchState(const TCharState &state);
    void EndParagraph();
    QTextCharFormat Format(const TCharState &state) const;

    // ---- tables
    void FontTableWord(const QByteArray &word, bool hasParam, int param);
    void FontTableText(char c);
    void ColorTableWord(const QByteArray &word, int param);
    void ColorTableText(char c);

    TGroup &Top() { return m_groups.back(); }
    bool Skipping() const { return m_groups.back().destination == TDestination::Skip; }
    int FontCodePage(int font) const;
    void Fail(TRtfReadStatus status, const QString &problem)
    {
        if (m_status == TRtfReadStatus::Rtf || status == TRtfReadStatus::Refused) {
            m_status = status;
            m_problem = problem;
        }
        m_stop = true;
    }

    const char *m_data;
    qsizetype m_size;
    qsizetype m_pos = 0;
    QTextDocument *m_document;
    QTextCursor m_cursor;
    QList<TGroup> m_groups;
    int m_groupCount = 0;
    bool m_stop = false;
    bool m_finished = false;
    TRtfReadStatus m_status = TRtfReadStatus::Rtf;
    QString m_problem;

    int m_documentCodePage = 1252;
    int m_defaultFont = 0;
    QHash<int, TFontEntry> m_fonts;
    int m_fontNumber = 0;
    QByteArray m_fontName;
    int m_fontCharsetPage = 0;
    QList<QColor> m_colors; // index 0 is "auto" (invalid colour)
    int m_red = 0, m_green = 0, m_blue = 0;
    bool m_colorSet = false;

    int m_fallbackLeft = 0; // characters still to skip after \u
    Qt::Alignment m_alignment = Qt::AlignLeft;
    int m_cellsInRow = 0;
    bool m_firstBlock = true;

    QByteArray m_pendingBytes; // \'hh bytes not yet decoded
    int m_pendingBytesPage = 1252;
    QString m_pendingText;
    TCharState m_pendingState;
};

TRtfReadResult TRtfParser::Run()
{
    // One edit block: the cursor does not lay the growing paragraph out again
    // after every insertion (that is quadratic in the paragraph's length).
    m_cursor.beginEditBlock();
    // The caller checked the "{\rtf" start; the outer group is read like any other.
    while (!m_stop && m_pos < m_size) {
        const char c = m_data[m_pos++];
        if (c == '{') {
            OpenGroup();
        } else if (c == '}') {
            CloseGroup();
        } else if (c == '\\') {
            if (m_pos >= m_size)
                break;
            const char n = m_data[m_pos];
            const bool letter = (n >= 'a' && n <= 'z') || (n >= 'A' && n <= 'Z');
            if (!letter) {
                ++m_pos;
                ControlSymbol(n);
                continue;
            }
            QByteArray word;
            while (m_pos < m_size) {
                const char l = m_data[m_pos];
                if (!((l >= 'a' && l <= 'z') || (l >= 'A' && l <= 'Z')))
                    break;
                if (word.size() < 32) // longer words are no words we know
                    word.append(l);
                ++m_pos;
            }
            bool negative = false;
            bool hasParam = false;
            long long value = 0;
            if (m_pos < m_size && m_data[m_pos] == '-') {
                negative = true;
                ++m_pos;
            }
            while (m_pos < m_size && m_data[m_pos] >= '0' && m_data[m_pos] <= '9') {
                hasParam = true;
                value = std::min(value * 10 + (m_data[m_pos] - '0'), 1LL << 40);
                ++m_pos;
            }
            if (m_pos < m_size && m_data[m_pos] == ' ')
                ++m_pos;
            value = std::clamp(negative ? -value : value, -2147483647LL, 2147483647LL);
            ControlWord(word, hasParam, int(value));
        } else if (c == '\r' || c == '\n' || c == '\0') {
            continue;
        } else {
            TextByte(c);
        }
    }
    Flush();
    if (!m_stop && !m_finished)
        Fail(TRtfReadStatus::Truncated,
             QStringLiteral("The rich text ends before its last group closes."));
    if (m_status != TRtfReadStatus::Refused) {
        // The last paragraph takes the alignment in effect at its end.
        QTextBlockFormat block = m_cursor.blockFormat();
        block.setAlignment(m_alignment);
        m_cursor.setBlockFormat(block);
    }
    m_cursor.endEditBlock();
    return {m_status, m_problem};
}

void TRtfParser::OpenGroup()
{
    FlushBytes();
    if (m_groups.size() >= TRtfLimits::MaxDepth) {
        Fail(TRtfReadStatus::Refused, QStringLiteral("The rich text nests its groups too deeply."));
        return;
    }
    if (++m_groupCount > TRtfLimits::MaxGroups) {
        Fail(TRtfReadStatus::Refused, QStringLiteral("The rich text holds too many groups."));
        return;
    }
    TGroup group = m_groups.isEmpty() ? TGroup() : m_groups.back();
    group.fresh = true;
    group.ignorable = false;
    m_groups.append(group);
    m_fallbackLeft = 0;
}

void TRtfParser::CloseGroup()
{
    FlushBytes();
    m_fallbackLeft = 0;
    if (m_groups.isEmpty()) {
        m_stop = true;
        return;
    }
    const TGroup closing = m_groups.takeLast();
    if (closing.destination == TDestination::FontTable && !m_fontName.isEmpty())
        FontTableText(';'); // an entry whose name lacks its semicolon
    if (m_groups.isEmpty()) {
        m_finished = true;
        m_stop = true; // anything after the document's closing brace is not read
    }
}

int TRtfParser::FontCodePage(int font) const
{
    const auto it = m_fonts.constFind(font < 0 ? m_defaultFont : font);
    if (it != m_fonts.constEnd() && it->codePage != 0)
        return it->codePage;
    return m_documentCodePage;
}

void TRtfParser::ControlSymbol(char c)
{
    if (m_groups.isEmpty())
        return;
    if (c == '*') {
        Top().ignorable = true;
        return;
    }
    if (c == '\'') {
        // Two hex digits; a damaged escape is dropped.
        int value = 0;
        int digits = 0;
        while (digits < 2 && m_pos < m_size) {
            const char h = m_data[m_pos];
            int v = -1;
            if (h >= '0' && h <= '9')
                v = h - '0';
            else if (h >= 'a' && h <= 'f')
                v = h - 'a' + 10;
            else if (h >= 'A' && h <= 'F')
                v = h - 'A' + 10;
            if (v < 0)
                break;
            value = value * 16 + v;
            ++digits;
            ++m_pos;
        }
        if (digits == 0)
            return;
        if (m_fallbackLeft > 0) {
            --m_fallbackLeft;
            return;
        }
        if (Skipping())
            return;
        if (Top().destination == TDestination::FontTable) {
            m_fontName.append(char(value));
            return;
        }
        if (Top().destination != TDestination::Text || Top().chr.hidden)
            return;
        const int page = Top().codePage;
        SwitchState(Top().chr);
        if (!m_pendingBytes.isEmpty() && page != m_pendingBytesPage)
            FlushBytes();
        m_pendingBytesPage = page;
        m_pendingBytes.append(char(value));
        return;
    }
    switch (c) {
    case '\\':
    case '{':
    case '}':
        TextByte(c);
        return;
    case '~':
        TextUnit(0x00A0);
        return;
    case '_':
        TextUnit(0x2011);
        return;
    case '-': // optional hyphen: nothing to show
        return;
    case '\r':
    case '\n':
        ControlWord(QByteArrayLiteral("par"), false, 0);
        return;
    case '\t':
        ControlWord(QByteArrayLiteral("tab"), false, 0);
        return;
    default:
        return;
    }
}

void TRtfParser::ControlWord(const QByteArray &word, bool hasParam, int param)
{
    if (m_groups.isEmpty())
        return;
    TGroup &group = Top();
    const bool wasFresh = group.fresh;
    group.fresh = false;

    if (word == "bin") {
        // Raw bytes follow; their count is checked against what is left.
        const qsizetype count = hasParam ? std::max(param, 0) : 0;
        FlushBytes();
        if (count > m_size - m_pos) {
            Fail(TRtfReadStatus::Truncated, QStringLiteral("A binary block runs past the end."));
            m_pos = m_size;
            return;
        }
        m_pos += count;
        if (m_fallbackLeft > 0)
            --m_fallbackLeft;
        return;
    }
    if (group.destination == TDestination::Skip)
        return;

    // Destinations.
    if (word == "fonttbl") {
        group.destination = TDestination::FontTable;
        return;
    }
    if (word == "colortbl") {
        group.destination = TDestination::ColorTable;
        m_colors.clear();
        m_colorSet = false;
        return;
    }
    // "\*" marks a destination a reader may skip when it does not know it.
    const bool keptDestination = word == "fldrslt" || word == "listtext" || word == "pntext";
    if ((wasFresh && IsSkippedDestination(word)) || (group.ignorable && !keptDestination)) {
        FlushBytes();
        Flush();
        group.destination = TDestination::Skip;
        return;
    }
    if (group.destination == TDestination::FontTable) {
        FontTableWord(word, hasParam, param);
        return;
    }
    if (group.destination == TDestination::ColorTable) {
        ColorTableWord(word, hasParam ? param : 0);
        return;
    }

    // A control word counts as one fallback character after \u.
    if (m_fallbackLeft > 0 && word != "u") {
        --m_fallbackLeft;
        return;
    }

    TCharState &chr = group.chr;
    const bool on = !hasParam || param != 0;
    if (word == "u") {
        if (!hasParam)
            return;
        const int unit = param < 0 ? param + 65536 : param;
        TextUnit(char16_t(unit & 0xFFFF));
        m_fallbackLeft = group.unicodeSkip;
    } else if (word == "uc") {
        group.unicodeSkip = std::clamp(hasParam ? param : 1, 0, TRtfLimits::MaxUnicodeSkip);
    } else if (word == "par" || word == "sect" || word == "page") {
        EndParagraph();
    } else if (word == "row" || word == "nestrow") {
        m_cellsInRow = 0;
        EndParagraph();
    } else if (word == "cell" || word == "nestcell") {
        // Cells become tab-separated text; a row of absurd width is cut.
        if (++m_cellsInRow < TRtfLimits::MaxCellsPerRow)
            TextUnit(u'\t');
    } else if (word == "line") {
        TextUnit(0x2028);
    } else if (word == "tab") {
        TextUnit(u'\t');
    } else if (word == "emdash") {
        TextUnit(0x2014);
    } else if (word == "endash") {
        TextUnit(0x2013);
    } else if (word == "bullet") {
        TextUnit(0x2022);
    } else if (word == "lquote") {
        TextUnit(0x2018);
    } else if (word == "rquote") {
        TextUnit(0x2019);
    } else if (word == "ldblquote") {
        TextUnit(0x201C);
    } else if (word == "rdblquote") {
        TextUnit(0x201D);
    } else if (word == "emspace" || word == "enspace" || word == "qmspace") {
        TextUnit(u' ');
    } else if (word == "pard") {
        m_alignment = Qt::AlignLeft;
    } else if (word == "ql") {
        m_alignment = Qt::AlignLeft;
    } else if (word == "qr") {
        m_alignment = Qt::AlignRight;
    } else if (word == "qc") {
        m_alignment = Qt::AlignHCenter;
    } else if (word == "qj") {
        m_alignment = Qt::AlignJustify;
    } else if (word == "plain") {
        chr = TCharState();
        group.codePage = FontCodePage(-1);
    } else if (word == "b") {
        chr.bold = on;
    } else if (word == "i") {
        chr.italic = on;
    } else if (word == "ul" || word == "uld" || word == "uldb" || word == "ulw" ||
               word == "uldash" || word == "ulwave" || word == "ulth" || word == "uldashd") {
        chr.underline = on;
    } else if (word == "ulnone") {
        chr.underline = false;
    } else if (word == "strike" || word == "striked") {
        chr.strike = on;
    } else if (word == "v") {
        chr.hidden = on;
    } else if (word == "fs") {
        if (hasParam && param > 0)
            chr.halfPoints = std::clamp(param, 2, 3276);
    } else if (word == "f") {
        if (hasParam && param >= 0) {
            chr.font = param;
            group.codePage = FontCodePage(param);
        }
    } else if (word == "cf") {
        chr.foreground = hasParam ? std::max(param, 0) : 0;
    } else if (word == "cb" || word == "highlight" || word == "chcbpat") {
        chr.background = hasParam ? std::max(param, 0) : 0;
    } else if (word == "super") {
        chr.vertical = on ? 1 : 0;
    } else if (word == "sub") {
        chr.vertical = on ? -1 : 0;
    } else if (word == "nosupersub") {
        chr.vertical = 0;
    } else if (word == "ansicpg") {
        if (hasParam && param > 0)
            m_documentCodePage = param;
        group.codePage = FontCodePage(chr.font);
    } else if (word == "mac") {
        m_documentCodePage = 10000;
    } else if (word == "pc") {
        m_documentCodePage = 437;
    } else if (word == "pca") {
        m_documentCodePage = 850;
    } else if (word == "deff") {
        if (hasParam && param >= 0)
            m_defaultFont = param;
    }
    // Every other control word (page setup, spacing, table geometry, ...) is ignored.
}

void TRtfParser::FontTableWord(const QByteArray &word, bool hasParam, int param)
{
    if (word == "f" && hasParam) {
        if (!m_fontName.isEmpty())
            FontTableText(';');
        m_fontNumber = param;
        m_fontCharsetPage = 0;
    } else if (word == "fcharset" && hasParam) {
        m_fontCharsetPage = CodePageOfCharset(param);
    } else if (word == "cpg" && hasParam) {
        m_fontCharsetPage = param;
    } else if (word == "u" && hasParam) {
        // A font name in Unicode: kept as UTF-8 until the entry ends.
        const char16_t unit = char16_t((param < 0 ? param + 65536 : param) & 0xFFFF);
        if (m_fontName.size() < 256)
            m_fontName.append(QString(QChar(unit)).toUtf8().prepend('\x01'));
    }
}

void TRtfParser::FontTableText(char c)
{
    if (c != ';') {
        if (m_fontName.size() < 256)
            m_fontName.append(c);
        return;
    }
    if (m_fonts.size() < TRtfLimits::MaxFonts || m_fonts.contains(m_fontNumber)) {
        TFontEntry entry;
        entry.codePage = m_fontCharsetPage;
        // Bytes marked \x01 carry a UTF-8 character from \u; the rest are in
        // the font's code page.
        QString name;
        QByteArray run;
        const int page = m_fontCharsetPage ? m_fontCharsetPage : m_documentCodePage;
        for (qsizetype i = 0; i < m_fontName.size(); ++i) {
            if (m_fontName.at(i) == '\x01') {
                name += DecodeCodePage(run, page);
                run.clear();
                qsizetype j = i + 1;
                while (j < m_fontName.size() && m_fontName.at(j) != '\x01' &&
                       (uchar(m_fontName.at(j)) & 0x80))
                    ++j;
                name += QString::fromUtf8(m_fontName.mid(i + 1, j - i - 1));
                i = j - 1;
            } else {
                run.append(m_fontName.at(i));
            }
        }
        name += DecodeCodePage(run, page);
        entry.name = name.trimmed();
        m_fonts.insert(m_fontNumber, entry);
    }
    m_fontName.clear();
}

void TRtfParser::ColorTableWord(const QByteArray &word, int param)
{
    const int v = std::clamp(param, 0, 255);
    if (word == "red")
        m_red = v;
    else if (word == "green")
        m_green = v;
    else if (word == "blue")
        m_blue = v;
    else
        return;
    m_colorSet = true;
}

void TRtfParser::ColorTableText(char c)
{
    if (c != ';')
        return;
    if (m_colors.size() < TRtfLimits::MaxColors)
        m_colors.append(m_colorSet ? QColor(m_red, m_green, m_blue) : QColor());
    m_red = m_green = m_blue = 0;
    m_colorSet = false;
}

void TRtfParser::TextByte(char c)
{
    if (m_groups.isEmpty())
        return;
    TGroup &group = Top();
    group.fresh = false;
    switch (group.destination) {
    case TDestination::Skip:
        return;
    case TDestination::FontTable:
        FontTableText(c);
        return;
    case TDestination::ColorTable:
        ColorTableText(c);
        return;
    case TDestination::Text:
        break;
    }
    if (m_fallbackLeft > 0) {
        --m_fallbackLeft;
        return;
    }
    if (group.chr.hidden)
        return;
    if (uchar(c) >= 0x80) {
        // Raw 8-bit text: in the code page, like \'hh.
        SwitchState(group.chr);
        if (!m_pendingBytes.isEmpty() && group.codePage != m_pendingBytesPage)
            FlushBytes();
        m_pendingBytesPage = group.codePage;
        m_pendingBytes.append(c);
        return;
    }
    TextUnit(char16_t(uchar(c)));
}

void TRtfParser::TextUnit(char16_t unit)
{
    if (m_groups.isEmpty() || Top().destination != TDestination::Text || Top().chr.hidden)
        return;
    // Control characters and the document's own markers (object, frame and
    // paragraph separators) are not text; a paragraph separator ends one.
    if (unit == 0x2029) {
        EndParagraph();
        return;
    }
    if (!IsTextUnit(unit))
        return;
    FlushBytes();
    SwitchState(Top().chr);
    m_pendingText.append(QChar(unit));
}

void TRtfParser::FlushBytes()
{
    if (m_pendingBytes.isEmpty())
        return;
    for (const QChar c : DecodeCodePage(m_pendingBytes, m_pendingBytesPage))
        if (IsTextUnit(c.unicode()))
            m_pendingText.append(c);
    m_pendingBytes.clear();
}

QTextCharFormat TRtfParser::Format(const TCharState &state) const
{
    QTextCharFormat format;
    const auto font = m_fonts.constFind(state.font < 0 ? m_defaultFont : state.font);
    if (font != m_fonts.constEnd() && !font->name.isEmpty())
        format.setFontFamilies(QStringList{font->name});
    format.setFontPointSize(state.halfPoints / 2.0);
    format.setFontWeight(state.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(state.italic);
    format.setFontUnderline(state.underline);
    format.setFontStrikeOut(state.strike);
    if (state.foreground > 0 && state.foreground < m_colors.size() &&
        m_colors.at(state.foreground).isValid())
        format.setForeground(m_colors.at(state.foreground));
    if (state.background > 0 && state.background < m_colors.size() &&
        m_colors.at(state.background).isValid())
        format.setBackground(m_colors.at(state.background));
    if (state.vertical != 0)
        format.setVerticalAlignment(state.vertical > 0 ? QTextCharFormat::AlignSuperScript
                                                       : QTextCharFormat::AlignSubScript);
    return format;
}

void TRtfParser::SwitchState(const TCharState &state)
{
    if (state == m_pendingState)
        return;
    FlushBytes(); // bytes read so far belong to the state they were read in
    // States that differ can look the same: \f0 and \f1 of one face, two
    // colour table entries of one colour, \ul and \ulw.
    if (!m_pendingText.isEmpty() && Format(state) != Format(m_pendingState))
        Flush();
    m_pendingState = state;
}

void TRtfParser::Flush()
{
    FlushBytes();
    if (m_pendingText.isEmpty())
        return;
    // Tabs and line breaks are plain characters in the document's text.
    m_cursor.insertText(m_pendingText, Format(m_pendingState));
    m_pendingText.clear();
}

void TRtfParser::EndParagraph()
{
    Flush();
    QTextBlockFormat block = m_cursor.blockFormat();
    block.setAlignment(m_alignment);
    m_cursor.setBlockFormat(block);
    // The new paragraph's mark carries the current character format, so an
    // empty paragraph keeps its size.
    m_cursor.insertBlock(QTextBlockFormat(), Format(Top().chr));
}

} // namespace

bool LooksLikeRtf(const QByteArray &bytes)
{
    qsizetype i = 0;
    while (i < bytes.size() && (bytes.at(i) == ' ' || bytes.at(i) == '\r' || bytes.at(i) == '\n' ||
                                bytes.at(i) == '\t'))
        ++i;
    return bytes.mid(i, 5) == "{\\rtf";
}

TRtfReadResult ReadRtf(const QByteArray &bytes, QTextDocument *document)
{
    document->clear();
    if (bytes.size() > TRtfLimits::MaxBytes)
        return {TRtfReadStatus::Refused, QStringLiteral("The rich text is too large.")};
    if (!LooksLikeRtf(bytes)) {
        // UTF-8 when it is valid UTF-8, else the Windows code page.
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString text = utf8(bytes);
        if (utf8.hasError())
            text = DecodeCodePage(bytes, 1252);
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        QString kept;
        kept.reserve(text.size());
        for (const QChar c : text)
            if (c == u'\n' || IsTextUnit(c.unicode()))
                kept.append(c);
        document->setPlainText(kept);
        return {TRtfReadStatus::PlainText, QString()};
    }
    TRtfReadResult result;
    {
        TRtfParser parser(bytes, document);
        result = parser.Run();
    }
    if (result.status == TRtfReadStatus::Refused)
        document->clear();
    document->setModified(false);
    return result;
}
