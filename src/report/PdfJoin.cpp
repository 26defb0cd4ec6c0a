#include "report/PdfJoin.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QHash>
#include <QIODevice>
#include <QSet>

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

namespace {

// Limits of what is read.
constexpr qint64 kTailBytes = 1024;                // where "startxref" is looked for
constexpr qint64 kMaxTableBytes = qint64(64) << 20; // the cross-reference table and trailer
constexpr qint64 kMaxParsedObject = qint64(4) << 20; // a catalog, page tree, page or resources
constexpr int kMaxDepth = 32;                       // nesting of arrays and dictionaries
constexpr qint64 kCopyChunk = qint64(1) << 20;
constexpr qint64 kMaxStreamHead = 4096; // a content stream's dictionary

struct TJoinFailed
{
    QString why;
};
struct TWriteFailed
{
};

[[noreturn]] void Refuse(const QString &why)
{
    throw TJoinFailed{why};
}

// ---------------------------------------------------------------- objects

// A PDF value as far as the join needs to look into it: dictionaries, arrays
// and references are taken apart; everything else stays as written.
struct TValue
{
    enum class Kind { Token, Ref, Array, Dict };
    Kind kind = Kind::Token;
    QByteArray token;               // a number, name, string or keyword
    int number = 0, generation = 0; // of a reference
    QList<QByteArray> keys;         // of a dictionary, with their slashes
    QList<TValue> items;            // array items, or the dictionary's values

    static TValue Ref(int number, int generation)
    {
        TValue v;
        v.kind = Kind::Ref;
        v.number = number;
        v.generation = generation;
        return v;
    }
    static TValue Array(QList<TValue> items = {})
    {
        TValue v;
        v.kind = Kind::Array;
        v.items = std::move(items);
        return v;
    }
    const TValue *Get(const QByteArray &key) const
    {
        const qsizetype i = keys.indexOf(key);
        return i < 0 ? nullptr : &items.at(i);
    }
    void Set(const QByteArray &key, TValue value)
    {
        const qsizetype i = keys.indexOf(key);
        if (i >= 0) {
            items[i] = std::move(value);
        } else {
            keys.append(key);
            items.append(std::move(value));
        }
    }
    void Remove(const QByteArray &key)
    {
        const qsizetype i = keys.indexOf(key);
        if (i >= 0) {
            keys.removeAt(i);
            items.removeAt(i);
        }
    }
    bool IsDict() const { return kind == Kind::Dict; }
};

void Serialize(QByteArray &out, const TValue &v)
{
    switch (v.kind) {
    case TValue::Kind::Token:
        out += v.token;
        break;
    case TValue::Kind::Ref:
        out += QByteArray::number(v.number) + ' ' + QByteArray::number(v.generation) + " R";
        break;
    case TValue::Kind::Array:
        out += '[';
        for (qsizetype i = 0; i < v.items.size(); ++i) {
            if (i > 0)
                out += ' ';
            Serialize(out, v.items.at(i));
        }
        out += ']';
        break;
    case TValue::Kind::Dict:
        out += "<<\n";
        for (qsizetype i = 0; i < v.keys.size(); ++i) {
            out += v.keys.at(i) + ' ';
            Serialize(out, v.items.at(i));
            out += '\n';
        }
        out += ">>";
        break;
    }
}

QByteArray Serialized(const TValue &v)
{
    QByteArray out;
    Serialize(out, v);
    return out;
}

// The resources of a joined page, gathered part by part. Each category
// (fonts, patterns, pictures, ...) keeps an index of its names, so a part
// costs what it holds however many came before it.
class TMergedResources
{
public:
    void Add(const QByteArray &category, const TValue &value)
    {
        auto found = m_categories.find(category);
        if (found == m_categories.end()) {
            m_order.append(category);
            TCategory fresh;
            fresh.value.kind = value.kind;
            fresh.value.token = value.token;
            found = m_categories.insert(category, std::move(fresh));
            if (value.kind == TValue::Kind::Dict || value.kind == TValue::Kind::Array) {
                AddItems(*found, value);
                return;
            }
            found->value = value;
            return;
        }
        TCategory &have = *found;
        const bool sameKind = have.value.kind == value.kind;
        if (sameKind &&
            (value.kind == TValue::Kind::Dict || value.kind == TValue::Kind::Array))
            AddItems(have, value);
        else if (Serialized(have.value) != Serialized(value))
            Refuse(QStringLiteral("two parts give one resource name two meanings"));
    }

    TValue Result() const
    {
        TValue dict;
        dict.kind = TValue::Kind::Dict;
        for (const QByteArray &category : m_order) {
            dict.keys.append(category);
            dict.items.append(m_categories.value(category).value);
        }
        return dict;
    }

private:
    struct TCategory
    {
        TValue value;
        QHash<QByteArray, qsizetype> names; // a dictionary's, to their place
        QSet<QByteArray> items;             // an array's, as written
    };

    static void AddItems(TCategory &into, const TValue &from)
    {
        if (from.kind == TValue::Kind::Array) {
            for (const TValue &item : from.items)
                if (const QByteArray text = Serialized(item); !into.items.contains(text)) {
                    into.items.insert(text);
                    into.value.items.append(item);
                }
            return;
        }
        for (qsizetype k = 0; k < from.keys.size(); ++k) {
            const QByteArray &name = from.keys.at(k);
            const qsizetype at = into.names.value(name, -1);
            if (at < 0) {
                into.names.insert(name, into.value.keys.size());
                into.value.keys.append(name);
                into.value.items.append(from.items.at(k));
            } else if (Serialized(into.value.items.at(at)) != Serialized(from.items.at(k))) {
                Refuse(QStringLiteral("two parts give one resource name two meanings"));
            }
        }
    }

    QList<QByteArray> m_order;
    QHash<QByteArray, TCategory> m_categories;
};

// ---------------------------------------------------------------- lexer

bool IsSpace(char c)
{
    return c == '\0' || c == '\t' || c == '\n' || c == '\f' || c == '\r' || c == ' ';
}

bool IsDelimiter(char c)
{
    return c != '\0' && std::strchr("()<>[]{}/%", c) != nullptr;
}

bool IsRegular(char c)
{
    return !IsSpace(c) && !IsDelimiter(c);
}

bool IsCount(const QByteArray &t)
{
    return !t.isEmpty() && t.size() <= 9 &&
           std::all_of(t.cbegin(), t.cend(), [](char c) { return c >= '0' && c <= '9'; });
}

class TLexer
{
public:
    explicit TLexer(const QByteArray &text)
        : m_text(text)
    {
    }
    qsizetype Pos() const { return m_pos; }
    void Seek(qsizetype pos) { m_pos = pos; }

    // The next token; empty at the end of the text.
    QByteArray Next()
    {
        SkipSpace();
        const qsizetype n = m_text.size();
        if (m_pos >= n)
            return {};
        const qsizetype start = m_pos;
        const char c = m_text.at(m_pos++);
        const char next = m_pos < n ? m_text.at(m_pos) : '\0';
        if ((c == '<' && next == '<') || (c == '>' && next == '>')) {
            ++m_pos;
        } else if (c == '<') {
            const qsizetype end = m_text.indexOf('>', m_pos);
            if (end < 0)
                Refuse(QStringLiteral("a string is not closed"));
            m_pos = end + 1;
        } else if (c == '(') {
            SkipLiteralString();
        } else if (c == '/') {
            while (m_pos < n && IsRegular(m_text.at(m_pos)))
                ++m_pos;
        } else if (c == ')' || c == '>' || c == '{' || c == '}') {
            Refuse(QStringLiteral("an unexpected '%1'").arg(QLatin1Char(c)));
        } else if (c != '[' && c != ']') {
            while (m_pos < n && IsRegular(m_text.at(m_pos)))
                ++m_pos;
        }
        return m_text.mid(start, m_pos - start);
    }

private:
    void SkipSpace()
    {
        const qsizetype n = m_text.size();
        while (m_pos < n) {
            const char c = m_text.at(m_pos);
            if (c == '%') {
                while (m_pos < n && m_text.at(m_pos) != '\n' && m_text.at(m_pos) != '\r')
                    ++m_pos;
            } else if (IsSpace(c)) {
                ++m_pos;
            } else {
                break;
            }
        }
    }
    void SkipLiteralString()
    {
        int open = 1;
        const qsizetype n = m_text.size();
        while (m_pos < n && open > 0) {
            const char c = m_text.at(m_pos++);
            if (c == '\\')
                ++m_pos;
            else if (c == '(')
                ++open;
            else if (c == ')')
                --open;
        }
        if (open > 0 || m_pos > n)
            Refuse(QStringLiteral("a string is not closed"));
    }

    const QByteArray &m_text;
    qsizetype m_pos = 0;
};

TValue ParseValue(TLexer &lexer, int depth = 0)
{
    if (depth > kMaxDepth)
        Refuse(QStringLiteral("values are nested too deeply"));
    const QByteArray t = lexer.Next();
    if (t.isEmpty())
        Refuse(QStringLiteral("an object ends early"));
    TValue v;
    if (t == "<<") {
        v.kind = TValue::Kind::Dict;
        for (QByteArray key = lexer.Next(); key != ">>"; key = lexer.Next()) {
            if (!key.startsWith('/'))
                Refuse(QStringLiteral("a dictionary key is not a name"));
            v.keys.append(key);
            v.items.append(ParseValue(lexer, depth + 1));
        }
        return v;
    }
    if (t == "[") {
        v.kind = TValue::Kind::Array;
        for (;;) {
            const qsizetype mark = lexer.Pos();
            const QByteArray next = lexer.Next();
            if (next == "]")
                return v;
            lexer.Seek(mark);
            v.items.append(ParseValue(lexer, depth + 1));
        }
    }
    if (t == ">>" || t == "]")
        Refuse(QStringLiteral("a value is missing"));
    if (IsCount(t)) {
        // Two counts and R make a reference.
        const qsizetype mark = lexer.Pos();
        const QByteArray generation = lexer.Next();
        if (IsCount(generation) && lexer.Next() == "R")
            return TValue::Ref(t.toInt(), generation.toInt());
        lexer.Seek(mark);
    }
    v.token = t;
    return v;
}

// ---------------------------------------------------------------- the file

struct TEntry
{
    qint64 offset = 0;
    int generation = 0;
    bool used = false;
    qint64 end = 0; // where the next object (or the table) starts
};

class TJoin
{
public:
    TJoin(QIODevice &input, QIODevice &output, const QList<int> &parts,
          const TPdfPageBoxes *boxes)
        : m_in(input)
        , m_out(output)
        , m_parts(parts)
        , m_boxes(boxes)
    {
    }

    void Run()
    {
        qint64 pages = 0;
        qsizetype made = 0; // pages of the result so far
        for (int n : m_parts) {
            if (n == 0)
                Refuse(QStringLiteral("a page is made of no parts"));
            if (n < 0 && -qint64(n) > made)
                Refuse(QStringLiteral("a page copies one that does not come before it"));
            pages += std::max(n, 0);
            ++made;
        }
        m_size = m_in.size();
        ReadTable();
        ReadPageTree(pages);
        if (!m_boxes &&
            std::all_of(m_parts.cbegin(), m_parts.cend(), [](int n) { return n == 1; }) &&
            !PagesRepeat()) {
            CopyBytes(0, m_size);
            return;
        }
        PlanJoinedPages();
        WriteJoined();
    }

private:
    QByteArray Read(qint64 at, qint64 length)
    {
        if (at < 0 || length < 0 || at + length > m_size || !m_in.seek(at))
            Refuse(QStringLiteral("the file is shorter than its table says"));
        QByteArray data = m_in.read(length);
        if (data.size() != length)
            Refuse(QStringLiteral("the file could not be read"));
        return data;
    }

    void ReadTable()
    {
        const qint64 tailStart = std::max<qint64>(0, m_size - kTailBytes);
        const QByteArray tail = Read(tailStart, m_size - tailStart);
        const qsizetype at = tail.lastIndexOf("startxref");
        if (at < 0)
            Refuse(QStringLiteral("it has no cross-reference table"));
        TLexer tailLexer(tail);
        tailLexer.Seek(at + 9);
        const QByteArray offset = tailLexer.Next();
        bool ok = false;
        m_tableOffset = offset.toLongLong(&ok);
        if (!ok || m_tableOffset <= 0 || m_tableOffset >= m_size)
            Refuse(QStringLiteral("its cross-reference table is not where it says"));
        if (m_size - m_tableOffset > kMaxTableBytes)
            Refuse(QStringLiteral("its cross-reference table is too large"));

        const QByteArray table = Read(m_tableOffset, m_size - m_tableOffset);
        TLexer lexer(table);
        if (lexer.Next() != "xref")
            Refuse(QStringLiteral("its cross-reference table is not where it says"));
        const QByteArray first = lexer.Next();
        const QByteArray count = lexer.Next();
        // Qt writes one section for all objects; a file updated since has more.
        if (first != "0" || !IsCount(count) || count.toLongLong() > table.size() / 18)
            Refuse(QStringLiteral("its cross-reference table is not a single section"));
        m_entries.resize(size_t(count.toInt()));
        for (TEntry &e : m_entries) {
            const QByteArray where = lexer.Next();
            const QByteArray generation = lexer.Next();
            const QByteArray kind = lexer.Next();
            // Ten digits of place, five of generation, as the format fixes them.
            if (where.size() != 10 || generation.size() != 5 || !IsCount(generation) ||
                generation.toInt() > 65535 || (kind != "n" && kind != "f"))
                Refuse(QStringLiteral("its cross-reference table is damaged"));
            e.offset = where.toLongLong(&ok);
            e.generation = generation.toInt();
            e.used = kind == "n";
            if (!ok || (e.used && (e.offset <= 0 || e.offset >= m_tableOffset)))
                Refuse(QStringLiteral("its cross-reference table is damaged"));
        }
        if (lexer.Next() != "trailer")
            Refuse(QStringLiteral("its cross-reference table is not a single section"));
        m_trailer = ParseValue(lexer);
        if (!m_trailer.IsDict() || m_trailer.Get("/Prev") || m_trailer.Get("/XRefStm") ||
            m_trailer.Get("/Encrypt"))
            Refuse(QStringLiteral("it is updated or encrypted"));
        const TValue *size = m_trailer.Get("/Size");
        if (!size || size->token != count)
            Refuse(QStringLiteral("its trailer does not match its table"));

        // Each object runs up to the next one; the first one ends the header.
        std::vector<int> order;
        for (size_t i = 0; i < m_entries.size(); ++i)
            if (m_entries[i].used)
                order.push_back(int(i));
        std::sort(order.begin(), order.end(),
                  [&](int a, int b) { return m_entries[a].offset < m_entries[b].offset; });
        for (size_t i = 0; i < order.size(); ++i) {
            TEntry &e = m_entries[order[i]];
            e.end = i + 1 < order.size() ? m_entries[order[i + 1]].offset : m_tableOffset;
            if (e.end <= e.offset)
                Refuse(QStringLiteral("two objects share a place"));
        }
        m_order = std::move(order);
        m_headerEnd = m_order.empty() ? m_tableOffset : m_entries[m_order.front()].offset;
    }

    const TEntry &Entry(const TValue &ref) const
    {
        if (ref.kind != TValue::Kind::Ref || ref.number <= 0 ||
            size_t(ref.number) >= m_entries.size() || !m_entries[ref.number].used ||
            m_entries[ref.number].generation != ref.generation)
            Refuse(QStringLiteral("it refers to an object it does not hold"));
        return m_entries[ref.number];
    }

    // An object that is a value (a dictionary or array), not a stream. Each
    // is parsed once, so the parsing never exceeds the input's size.
    TValue ReadObject(const TValue &ref)
    {
        const TEntry &e = Entry(ref);
        if (const auto parsed = m_parsed.constFind(ref.number); parsed != m_parsed.cend())
            return *parsed;
        if (e.end - e.offset > kMaxParsedObject)
            Refuse(QStringLiteral("a page object is too large"));
        const QByteArray text = Read(e.offset, e.end - e.offset);
        TLexer lexer(text);
        if (lexer.Next() != QByteArray::number(ref.number) ||
            lexer.Next() != QByteArray::number(ref.generation) || lexer.Next() != "obj")
            Refuse(QStringLiteral("an object is not where its table says"));
        TValue value = ParseValue(lexer);
        if (lexer.Next() != "endobj")
            Refuse(QStringLiteral("a page object is not a plain value"));
        m_parsed.insert(ref.number, value);
        return value;
    }

    // A value that may be given by reference.
    TValue Resolve(const TValue &v)
    {
        return v.kind == TValue::Kind::Ref ? ReadObject(v) : v;
    }

    void ReadPageTree(qint64 expectedPages)
    {
        const TValue *root = m_trailer.Get("/Root");
        if (!root)
            Refuse(QStringLiteral("it has no catalog"));
        m_catalog = ReadObject(*root);
        const TValue *pages = m_catalog.IsDict() ? m_catalog.Get("/Pages") : nullptr;
        if (!pages || pages->kind != TValue::Kind::Ref)
            Refuse(QStringLiteral("it has no page tree"));
        m_treeRef = *pages;
        m_tree = ReadObject(m_treeRef);
        const TValue *kids = m_tree.IsDict() ? m_tree.Get("/Kids") : nullptr;
        if (!kids || kids->kind != TValue::Kind::Array)
            Refuse(QStringLiteral("it has no page tree"));
        if (kids->items.size() != expectedPages)
            Refuse(QStringLiteral("the document has %1 pages, not %2")
                       .arg(kids->items.size())
                       .arg(expectedPages));
        QSet<int> seen;
        for (const TValue &kid : kids->items) {
            if (kid.kind != TValue::Kind::Ref || seen.contains(kid.number))
                Refuse(QStringLiteral("its page tree lists a page twice"));
            seen.insert(kid.number);
            TValue page = ReadObject(kid);
            const TValue *type = page.IsDict() ? page.Get("/Type") : nullptr;
            if (!type || type->token != "/Page")
                Refuse(QStringLiteral("its page tree has more than one level"));
            m_pageRefs.append(kid);
            m_pages.append(std::move(page));
        }
        const TValue *count = m_tree.Get("/Count");
        if (!count || count->token != QByteArray::number(m_pages.size()))
            Refuse(QStringLiteral("its page tree miscounts its pages"));
    }

    static void CountReferences(const TValue &v, QHash<int, int> &uses)
    {
        if (v.kind == TValue::Kind::Ref)
            ++uses[v.number];
        for (const TValue &item : v.items)
            CountReferences(item, uses);
    }

    // How often the trailer, catalog, page tree and pages refer to each
    // object: a page's resources or annotation list that nothing else
    // refers to goes with the page.
    QHash<int, int> ReferenceCounts() const
    {
        QHash<int, int> uses;
        for (const TValue *v : {&m_trailer, &m_catalog, &m_tree})
            CountReferences(*v, uses);
        for (const TValue &page : m_pages)
            CountReferences(page, uses);
        return uses;
    }

    // The categories of a part's resources, each given by reference or not.
    void AddResources(TMergedResources &into, const TValue &resources)
    {
        for (qsizetype i = 0; i < resources.keys.size(); ++i)
            into.Add(resources.keys.at(i), Resolve(resources.items.at(i)));
    }

    // What a content stream draws: its dictionary, with the length it may
    // give by reference written out, and a digest of its data. Streams of
    // one key draw the same.
    QByteArray StreamKey(const TValue &ref)
    {
        if (ref.number == m_qObject && m_qObject > 0)
            return QByteArrayLiteral("q");
        if (ref.number == m_qqObject && m_qqObject > 0)
            return QByteArrayLiteral("Q");
        if (const auto known = m_streamKeys.constFind(ref.number); known != m_streamKeys.cend())
            return *known;
        const TEntry &e = Entry(ref);
        const QByteArray head = Read(e.offset, std::min(e.end - e.offset, kMaxStreamHead));
        TLexer lexer(head);
        if (lexer.Next() != QByteArray::number(ref.number) ||
            lexer.Next() != QByteArray::number(ref.generation) || lexer.Next() != "obj")
            Refuse(QStringLiteral("an object is not where its table says"));
        TValue dict = ParseValue(lexer);
        if (!dict.IsDict() || lexer.Next() != "stream")
            Refuse(QStringLiteral("a page's contents are not streams"));
        // The data starts on the line after the keyword.
        qsizetype at = lexer.Pos();
        if (at < head.size() && head.at(at) == '\r')
            ++at;
        if (at < head.size() && head.at(at) == '\n')
            ++at;
        const TValue *length = dict.Get("/Length");
        const TValue size = length ? Resolve(*length) : TValue();
        bool ok = false;
        const qint64 bytes = size.kind == TValue::Kind::Token ? size.token.toLongLong(&ok) : 0;
        const qint64 start = e.offset + at;
        if (!ok || bytes < 0 || bytes > e.end - start)
            Refuse(QStringLiteral("a page's contents are longer than their object"));
        QCryptographicHash digest(QCryptographicHash::Sha256);
        for (qint64 from = start; from < start + bytes; from += kCopyChunk)
            digest.addData(Read(from, std::min(kCopyChunk, start + bytes - from)));
        if (length->kind == TValue::Kind::Ref)
            m_streamLengths.insert(ref.number, length->number);
        dict.Remove("/Length");
        const QByteArray key =
            Serialized(dict) + ' ' + QByteArray::number(bytes) + ' ' + digest.result().toHex();
        m_streamKeys.insert(ref.number, key);
        return key;
    }

    // The content streams of a page, as a list.
    static TValue ContentList(const TValue &page)
    {
        const TValue *c = page.Get("/Contents");
        return TValue::Array(c ? Streams(*c) : QList<TValue>());
    }
    // A page's /Contents, one stream or a list of them, as a list.
    static QList<TValue> Streams(const TValue &contents)
    {
        const TValue streams =
            contents.kind == TValue::Kind::Array ? contents : TValue::Array({contents});
        for (const TValue &s : streams.items)
            if (s.kind != TValue::Kind::Ref)
                Refuse(QStringLiteral("a page's contents are not streams"));
        return streams.items;
    }

    // What a page shows: its content streams in turn under its resources.
    QByteArray PageKey(const TValue &contents, const TValue &resources)
    {
        QByteArray key = Serialized(resources);
        for (const TValue &s : contents.items)
            key += '\n' + StreamKey(s);
        return key;
    }

    // Whether a page of the input draws the same as one before it with
    // streams of its own.
    bool PagesRepeat()
    {
        if (m_pages.size() < 2)
            return false;
        QHash<QByteArray, QByteArray> seen; // key to the streams that drew it
        for (const TValue &page : std::as_const(m_pages)) {
            const TValue *r = page.Get("/Resources");
            const TValue contents = ContentList(page);
            const QByteArray key = PageKey(contents, r ? Resolve(*r) : TValue());
            const QByteArray streams = Serialized(contents);
            if (const auto first = seen.constFind(key); first != seen.cend()) {
                if (*first != streams)
                    return true;
            } else {
                seen.insert(key, streams);
            }
        }
        return false;
    }

    // A page that draws the same as one before it takes that page's content
    // streams and resources; its own go, where nothing else refers to them.
    // True when the page was so shared; else the page's drawing is kept for
    // those after it: its contents as they are to be written, and resources.
    bool SharePage(TValue &page, const TValue &contents, const TValue &written,
                   const QByteArray &key, const TValue &resources, const QHash<int, int> &uses)
    {
        if (const auto first = m_shownPages.constFind(key); first != m_shownPages.cend()) {
            QSet<int> kept;
            for (const TValue &s : Streams(first->contents))
                kept.insert(s.number);
            // A page that shares them already stays as it is.
            if (std::all_of(contents.items.cbegin(), contents.items.cend(),
                            [&](const TValue &s) { return kept.contains(s.number); }))
                return false;
            for (const TValue &s : contents.items) {
                if (kept.contains(s.number) || uses.value(s.number) > 1)
                    continue;
                m_dropped.insert(s.number);
                if (const int length = m_streamLengths.value(s.number); length > 0)
                    m_dropped.insert(length);
            }
            page.Set("/Contents", first->contents);
            if (first->resources.kind == TValue::Kind::Token && first->resources.token.isEmpty())
                page.Remove("/Resources");
            else
                page.Set("/Resources", first->resources);
            return true;
        }
        m_shownPages.insert(key, {written, resources});
        return false;
    }

    void PlanJoinedPages()
    {
        int next = int(m_entries.size());
        // The state each part starts from and leaves behind, for pages made of
        // several parts (a rewrite for page boxes alone adds nothing).
        if (std::any_of(m_parts.cbegin(), m_parts.cend(), [](int n) { return n > 1; })) {
            m_qObject = next++;
            m_qqObject = next++;
        }
        const QHash<int, int> uses = ReferenceCounts();
        auto dropIfOwned = [&](const TValue *v) {
            if (v && v->kind == TValue::Kind::Ref && uses.value(v->number) == 1)
                m_dropped.insert(v->number);
        };

        qsizetype first = 0;
        // Each page of the result as written, for the copies of it.
        QList<QByteArray> resultPages;
        for (int count : m_parts) {
            if (count < 0) {
                // The same page once more: the same drawing, a page object
                // of its own in the tree.
                const int copy = next++;
                m_added.append({copy, resultPages.at(resultPages.size() + count)});
                m_newKids.append(TValue::Ref(copy, 0));
                resultPages.append(m_added.last().second);
                continue;
            }
            const qsizetype end = first + count;
            if (count == 1) {
                TValue page = m_pages.at(first);
                const TValue *r = page.Get("/Resources");
                const TValue contents = ContentList(page);
                const TValue *written = page.Get("/Contents");
                const bool shared = SharePage(page, contents, written ? *written : contents,
                                              PageKey(contents, r ? Resolve(*r) : TValue()),
                                              r ? *r : TValue(), uses);
                if (shared)
                    dropIfOwned(r);
                if (m_boxes)
                    SetBoxes(page);
                if (shared || m_boxes)
                    m_replaced.insert(m_pageRefs.at(first).number, Serialized(page));
                m_newKids.append(m_pageRefs.at(first));
                resultPages.append(Serialized(page));
                first = end;
                continue;
            }
            TValue page = m_pages.at(first);
            const QByteArray box = Serialized(page.Get("/MediaBox") ? *page.Get("/MediaBox") : TValue());
            const QByteArray turn = Serialized(page.Get("/Rotate") ? *page.Get("/Rotate") : TValue());
            TValue contents = TValue::Array();
            TMergedResources resources;
            TValue annots = TValue::Array();
            for (qsizetype i = first; i < end; ++i) {
                const TValue &part = m_pages.at(i);
                const TValue *partBox = part.Get("/MediaBox");
                const TValue *partTurn = part.Get("/Rotate");
                if (Serialized(partBox ? *partBox : TValue()) != box ||
                    Serialized(partTurn ? *partTurn : TValue()) != turn)
                    Refuse(QStringLiteral("the parts of a page differ in size"));
                contents.items.append(TValue::Ref(m_qObject, 0));
                if (const TValue *c = part.Get("/Contents")) {
                    const TValue streams = c->kind == TValue::Kind::Array ? *c : TValue::Array({*c});
                    for (const TValue &s : streams.items) {
                        if (s.kind != TValue::Kind::Ref)
                            Refuse(QStringLiteral("a page's contents are not streams"));
                        Entry(s);
                        contents.items.append(s);
                    }
                }
                contents.items.append(TValue::Ref(m_qqObject, 0));
                if (const TValue *r = part.Get("/Resources")) {
                    const TValue partResources = Resolve(*r);
                    if (!partResources.IsDict())
                        Refuse(QStringLiteral("a page's resources are not a dictionary"));
                    AddResources(resources, partResources);
                    dropIfOwned(r);
                }
                if (const TValue *a = part.Get("/Annots")) {
                    const TValue list = Resolve(*a);
                    if (list.kind != TValue::Kind::Array)
                        Refuse(QStringLiteral("a page's annotations are not a list"));
                    annots.items.append(list.items);
                    dropIfOwned(a);
                }
                if (i > first) {
                    // The page tree's is the only way to it, or it could not go.
                    if (uses.value(m_pageRefs.at(i).number) != 1)
                        Refuse(QStringLiteral("a page is referred to from elsewhere"));
                    m_dropped.insert(m_pageRefs.at(i).number);
                }
            }
            const TValue merged = resources.Result();
            if (!SharePage(page, contents, contents, PageKey(contents, merged),
                           TValue::Ref(next, 0), uses)) {
                const int resourcesObject = next++;
                m_added.append({resourcesObject, Serialized(merged)});
                page.Set("/Contents", contents);
                page.Set("/Resources", TValue::Ref(resourcesObject, 0));
            }
            if (m_boxes)
                SetBoxes(page);
            if (annots.items.isEmpty())
                page.Remove("/Annots");
            else
                page.Set("/Annots", annots);
            m_replaced.insert(m_pageRefs.at(first).number, Serialized(page));
            m_newKids.append(m_pageRefs.at(first));
            resultPages.append(Serialized(page));
            first = end;
        }
        TValue tree = m_tree;
        tree.Set("/Kids", TValue::Array(m_newKids));
        tree.Set("/Count", [&] {
            TValue n;
            n.token = QByteArray::number(m_newKids.size());
            return n;
        }());
        m_replaced.insert(m_treeRef.number, Serialized(tree));
        m_objectCount = next;
    }

    static TValue Box(const QRectF &r)
    {
        auto number = [](double v) {
            TValue n;
            n.token = QByteArray::number(v, 'f', 4);
            // Trailing zeros say nothing: 270.0000 is written 270.
            while (n.token.endsWith('0'))
                n.token.chop(1);
            if (n.token.endsWith('.'))
                n.token.chop(1);
            return n;
        };
        return TValue::Array({number(r.left()), number(r.top()), number(r.right()),
                              number(r.bottom())});
    }

    void SetBoxes(TValue &page) const
    {
        page.Set("/MediaBox", Box(m_boxes->Media));
        page.Set("/TrimBox", Box(m_boxes->Trim));
        page.Set("/BleedBox", Box(m_boxes->Bleed));
    }

    void Write(const QByteArray &data)
    {
        if (m_out.write(data) != data.size())
            throw TWriteFailed{};
        m_written += data.size();
    }

    void CopyBytes(qint64 from, qint64 to)
    {
        for (qint64 at = from; at < to; at += kCopyChunk)
            Write(Read(at, std::min(kCopyChunk, to - at)));
    }

    void WriteObject(int number, int generation, const QByteArray &body)
    {
        Write(QByteArray::number(number) + ' ' + QByteArray::number(generation) + " obj\n" +
              body + "\nendobj\n");
    }

    void WriteJoined()
    {
        std::vector<qint64> offsets(size_t(m_objectCount), -1);
        CopyBytes(0, m_headerEnd);
        for (int number : m_order) {
            const TEntry &e = m_entries[number];
            if (m_dropped.contains(number))
                continue;
            offsets[number] = m_written;
            if (m_replaced.contains(number)) {
                WriteObject(number, e.generation, m_replaced.value(number));
                continue;
            }
            // Copied as it is, from where the table says it starts.
            const QByteArray head = QByteArray::number(number) + ' ' +
                                    QByteArray::number(e.generation) + " obj";
            if (e.end - e.offset < head.size() || Read(e.offset, head.size()) != head)
                Refuse(QStringLiteral("an object is not where its table says"));
            CopyBytes(e.offset, e.end);
        }
        // The state each part starts from, and the one it leaves behind.
        if (m_qObject > 0) {
            offsets[m_qObject] = m_written;
            WriteObject(m_qObject, 0, "<<\n/Length 2\n>>\nstream\nq\n\nendstream");
            offsets[m_qqObject] = m_written;
            WriteObject(m_qqObject, 0, "<<\n/Length 2\n>>\nstream\nQ\n\nendstream");
        }
        for (const auto &[number, body] : m_added) {
            offsets[number] = m_written;
            WriteObject(number, 0, body);
        }

        const qint64 table = m_written;
        QByteArray out = "xref\n0 " + QByteArray::number(m_objectCount) + '\n';
        // Free entries chain from entry 0; a dropped object's number would
        // next be used one generation on.
        std::vector<int> free;
        for (int i = 1; i < m_objectCount; ++i)
            if (offsets[i] < 0)
                free.push_back(i);
        auto entry = [](qint64 field, int generation, char kind) {
            return QByteArray::number(field).rightJustified(10, '0') + ' ' +
                   QByteArray::number(generation).rightJustified(5, '0') + ' ' + kind + " \n";
        };
        out += entry(free.empty() ? 0 : free.front(), 65535, 'f');
        size_t nextFree = 0;
        for (int i = 1; i < m_objectCount; ++i) {
            const int generation = size_t(i) < m_entries.size() ? m_entries[i].generation : 0;
            if (offsets[i] >= 0) {
                out += entry(offsets[i], generation, 'n');
            } else {
                ++nextFree;
                out += entry(nextFree < free.size() ? free[nextFree] : 0,
                             std::min(65535, generation + 1), 'f');
            }
            if (out.size() >= kCopyChunk) {
                Write(out);
                out.clear();
            }
        }
        TValue trailer = m_trailer;
        trailer.Set("/Size", [&] {
            TValue n;
            n.token = QByteArray::number(m_objectCount);
            return n;
        }());
        out += "trailer\n" + Serialized(trailer) + "\nstartxref\n" + QByteArray::number(table) +
               "\n%%EOF\n";
        Write(out);
    }

    QIODevice &m_in;
    QIODevice &m_out;
    const QList<int> &m_parts;
    const TPdfPageBoxes *m_boxes = nullptr;
    qint64 m_size = 0;
    qint64 m_tableOffset = 0;
    qint64 m_headerEnd = 0;
    std::vector<TEntry> m_entries;
    std::vector<int> m_order; // used objects by place in the file
    TValue m_trailer;
    TValue m_catalog;
    TValue m_treeRef;
    TValue m_tree;
    QList<TValue> m_pageRefs;
    QList<TValue> m_pages;
    QHash<int, TValue> m_parsed; // objects by number

    // The plan: new page tree, objects rewritten, left out and added.
    QList<TValue> m_newKids;
    QHash<int, QByteArray> m_replaced;
    QSet<int> m_dropped;
    QList<std::pair<int, QByteArray>> m_added;
    // Pages already planned, by what they show, and what the content streams
    // read for that: each one's key and the object holding its length.
    struct TShownPage
    {
        TValue contents;
        TValue resources;
    };
    QHash<QByteArray, TShownPage> m_shownPages;
    QHash<int, QByteArray> m_streamKeys;
    QHash<int, int> m_streamLengths;
    int m_qObject = 0, m_qqObject = 0, m_objectCount = 0;
    qint64 m_written = 0;
};

} // namespace

bool JoinPdfPages(QIODevice &input, QIODevice &output, const QList<int> &parts, QString *error,
                  const TPdfPageBoxes *boxes)
{
    try {
        TJoin(input, output, parts, boxes).Run();
        return true;
    } catch (const TJoinFailed &failed) {
        if (error)
            *error = QStringLiteral("the printed document could not be put together: %1")
                         .arg(failed.why);
    } catch (const TWriteFailed &) {
        if (error)
            *error = output.errorString().isEmpty() ? QStringLiteral("a write failed")
                                                    : output.errorString();
    } catch (const std::bad_alloc &) {
        if (error)
            *error = QStringLiteral("the printed document could not be put together: "
                                    "there was not enough memory");
    }
    return false;
}
