#include "shell/IniFile.h"

#include "graphics/RegularFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

namespace {

bool SameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool HasLineBreak(const QString &text)
{
    return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
}

} // namespace

TIniFile::TIniFile(const QString &path)
    : m_path(path)
{
    Load();
}

TIniFile::~TIniFile()
{
    // A batch left open by an early return still reaches the disk.
    if (m_updateDepth > 0 && m_dirty)
        Save();
}

void TIniFile::Load()
{
    // Only a regular file of a size a settings file can have: a FIFO in its
    // place would block the start for good, a device or a huge file would
    // take the memory. Anything else counts as unreadable (defaults), and is
    // never overwritten.
    QByteArray bytes;
    QString why;
    switch (ReadRegularFile(m_path, kMaxPreferencesFileBytes, &bytes, &why)) {
    case TFileReadResult::Read:
        break;
    case TFileReadResult::Missing:
        return; // a missing file reads as empty; writing creates it
    default:
        m_unreadable = true;
        m_readProblem = why;
        m_error = QStringLiteral("Unable to read %1: %2").arg(m_path, why);
        return;
    }
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        m_hadBom = true;
        bytes.remove(0, 3);
    }

    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = QString::fromLatin1(bytes);

    m_lines = text.split(QLatin1Char('\n'));
    if (!m_lines.isEmpty() && m_lines.last().isEmpty())
        m_lines.removeLast(); // the final line end does not start another line
    for (QString &line : m_lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
}

bool TIniFile::IsComment(const QString &trimmed)
{
    return trimmed.startsWith(QLatin1Char(';'));
}

bool TIniFile::IsHeader(const QString &trimmed, QString *name)
{
    if (!trimmed.startsWith(QLatin1Char('[')))
        return false;
    qsizetype close = trimmed.indexOf(QLatin1Char(']'));
    if (close < 0)
        close = trimmed.size();
    if (name)
        *name = trimmed.mid(1, close - 1).trimmed();
    return true;
}

QString TIniFile::KeyOf(const QString &trimmed)
{
    const qsizetype eq = trimmed.indexOf(QLatin1Char('='));
    return (eq < 0 ? trimmed : trimmed.left(eq)).trimmed();
}

void TIniFile::IndexSections() const
{
    if (m_indexed)
        return;
    m_headers.clear();
    m_firstHeader.clear();
    QString name;
    for (int i = 0; i < m_lines.size(); ++i) {
        if (!IsHeader(m_lines[i].trimmed(), &name))
            continue;
        const QString folded = name.toCaseFolded();
        if (!m_firstHeader.contains(folded))
            m_firstHeader.insert(folded, int(m_headers.size()));
        m_headers.push_back({i, name});
    }
    m_indexed = true;
}

void TIniFile::InsertLine(int at, const QString &line)
{
    m_lines.insert(at, line);
    if (!m_indexed)
        return;
    QString name;
    if (IsHeader(line.trimmed(), &name)) {
        if (at + 1 != m_lines.size()) {
            m_indexed = false; // a header amid the file: indexed again when next needed
            return;
        }
        const QString folded = name.toCaseFolded();
        if (!m_firstHeader.contains(folded))
            m_firstHeader.insert(folded, int(m_headers.size()));
        m_headers.push_back({at, name});
        return;
    }
    for (TSectionHeader &header : m_headers)
        if (header.line >= at)
            ++header.line;
}

void TIniFile::RemoveLines(int at, int count)
{
    if (m_indexed) {
        for (int i = at; i < at + count; ++i)
            if (IsHeader(m_lines[i].trimmed(), nullptr))
                m_indexed = false;
        if (m_indexed)
            for (TSectionHeader &header : m_headers)
                if (header.line >= at)
                    header.line -= count;
    }
    m_lines.remove(at, count);
}

TIniFile::TSectionSpan TIniFile::FindSection(const QString &section) const
{
    // The first section of that name runs to the next header of any name.
    IndexSections();
    TSectionSpan span;
    const auto found = m_firstHeader.constFind(section.trimmed().toCaseFolded());
    if (found == m_firstHeader.constEnd())
        return span;
    const size_t k = size_t(*found);
    span.header = m_headers[k].line;
    span.end = k + 1 < m_headers.size() ? m_headers[k + 1].line : int(m_lines.size());
    return span;
}

int TIniFile::FindKey(const TSectionSpan &span, const QString &key) const
{
    if (span.header < 0)
        return -1;
    const QString wanted = key.trimmed();
    for (int i = span.header + 1; i < span.end; ++i) {
        const QString trimmed = m_lines[i].trimmed();
        if (trimmed.isEmpty() || IsComment(trimmed))
            continue;
        if (SameName(KeyOf(trimmed), wanted))
            return i;
    }
    return -1;
}

QString TIniFile::ReadString(const QString &section, const QString &key,
                             const QString &defaultValue) const
{
    const int line = FindKey(FindSection(section), key);
    if (line < 0)
        return defaultValue;
    const QString &text = m_lines[line];
    const qsizetype eq = text.indexOf(QLatin1Char('='));
    if (eq < 0)
        return QString(); // a bare key: present, with an empty value
    return text.mid(eq + 1).trimmed();
}

bool TIniFile::ParseInteger(const QString &text, int *value)
{
    const QString t = text.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-'))) {
        negative = t[i] == QLatin1Char('-');
        ++i;
    }
    int base = 10;
    if (i + 1 < t.size() && t[i] == QLatin1Char('0') &&
        (t[i + 1] == QLatin1Char('x') || t[i + 1] == QLatin1Char('X'))) {
        base = 16;
        i += 2;
    }
    if (i >= t.size())
        return false;

    // The limit of the magnitude: one more on the negative side.
    const qint64 limit = negative ? qint64(2147483648LL) : qint64(2147483647LL);
    qint64 magnitude = 0;
    for (; i < t.size(); ++i) {
        const char16_t c = t[i].unicode();
        int d = -1;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (base == 16) {
            if (c >= 'a' && c <= 'f')
                d = c - 'a' + 10;
            else if (c >= 'A' && c <= 'F')
                d = c - 'A' + 10;
        }
        if (d < 0)
            return false;
        magnitude = magnitude * base + d;
        if (magnitude > limit)
            return false;
    }
    if (value)
        *value = static_cast<int>(negative ? -magnitude : magnitude);
    return true;
}

int TIniFile::ReadInteger(const QString &section, const QString &key, int defaultValue) const
{
    int value = 0;
    return ParseInteger(ReadString(section, key, QString()), &value) ? value : defaultValue;
}

bool TIniFile::ReadBool(const QString &section, const QString &key, bool defaultValue) const
{
    int value = 0;
    return ParseInteger(ReadString(section, key, QString()), &value) ? value != 0 : defaultValue;
}

bool TIniFile::Refuse(const QString &reason)
{
    m_error = reason;
    if (m_updateDepth > 0)
        m_refusedInUpdate = true;
    return false;
}

bool TIniFile::WriteString(const QString &section, const QString &key, const QString &value)
{
    const QString sectionName = section.trimmed();
    const QString keyName = key.trimmed();
    if (sectionName.isEmpty() || keyName.isEmpty())
        return Refuse(
            QStringLiteral("Unable to write to %1: empty section or key name").arg(m_path));
    if (HasLineBreak(sectionName) || HasLineBreak(keyName) || HasLineBreak(value))
        return Refuse(QStringLiteral("Unable to write to %1: the value of %2 in [%3] contains a "
                                     "line break")
                          .arg(m_path, keyName, sectionName));
    if (keyName.contains(QLatin1Char('=')) || sectionName.contains(QLatin1Char(']')) ||
        keyName.startsWith(QLatin1Char('[')) || IsComment(keyName))
        return Refuse(QStringLiteral("Unable to write to %1: %2 in [%3] is not a valid name")
                          .arg(m_path, keyName, sectionName));

    TSectionSpan span = FindSection(sectionName);
    if (span.header < 0) {
        if (!m_lines.isEmpty() && !m_lines.last().trimmed().isEmpty())
            InsertLine(int(m_lines.size()), QString()); // keep sections apart
        InsertLine(int(m_lines.size()), QLatin1Char('[') + sectionName + QLatin1Char(']'));
        InsertLine(int(m_lines.size()), keyName + QLatin1Char('=') + value);
        return Changed();
    }

    const int line = FindKey(span, keyName);
    if (line >= 0) {
        // Keep the key as the file spells it.
        const QString existingKey = KeyOf(m_lines[line].trimmed());
        const QString replacement = existingKey + QLatin1Char('=') + value;
        if (m_lines[line] == replacement && !m_dirty)
            return !m_unreadable || Refuse(m_error);
        m_lines[line] = replacement;
        return Changed();
    }

    // After the section's last non-blank line, so blank separators stay below it.
    int insertAt = span.header + 1;
    for (int i = span.end - 1; i > span.header; --i) {
        if (!m_lines[i].trimmed().isEmpty()) {
            insertAt = i + 1;
            break;
        }
    }
    InsertLine(insertAt, keyName + QLatin1Char('=') + value);
    return Changed();
}

bool TIniFile::WriteInteger(const QString &section, const QString &key, int value)
{
    return WriteString(section, key, QString::number(value));
}

bool TIniFile::WriteBool(const QString &section, const QString &key, bool value)
{
    return WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

QStringList TIniFile::ReadSections() const
{
    IndexSections();
    QStringList sections;
    for (size_t k = 0; k < m_headers.size(); ++k)
        if (m_firstHeader.value(m_headers[k].name.toCaseFolded()) == int(k))
            sections.append(m_headers[k].name);
    return sections;
}

QStringList TIniFile::ReadSection(const QString &section) const
{
    QStringList keys;
    for (const QString &line : ReadSectionValues(section))
        keys.append(KeyOf(line));
    return keys;
}

QStringList TIniFile::ReadSectionValues(const QString &section) const
{
    QStringList lines;
    const TSectionSpan span = FindSection(section);
    if (span.header < 0)
        return lines;
    for (int i = span.header + 1; i < span.end; ++i) {
        const QString trimmed = m_lines[i].trimmed();
        if (!trimmed.isEmpty() && !IsComment(trimmed))
            lines.append(trimmed);
    }
    return lines;
}

QStringList TIniFile::ReadSectionLineValues(const QString &section) const
{
    QStringList values;
    for (const QString &line : ReadSectionValues(section)) {
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq >= 0)
            values.append(line.mid(eq + 1).trimmed());
    }
    return values;
}

bool TIniFile::SectionExists(const QString &section) const
{
    return FindSection(section).header >= 0;
}

bool TIniFile::ValueExists(const QString &section, const QString &key) const
{
    return FindKey(FindSection(section), key) >= 0;
}

bool TIniFile::EraseSection(const QString &section)
{
    // Every section of that name, the last first so that the earlier spans stay put.
    IndexSections();
    const QString wanted = section.trimmed().toCaseFolded();
    bool erased = false;
    for (size_t k = m_headers.size(); k-- > 0;) {
        if (m_headers[k].name.toCaseFolded() != wanted)
            continue;
        const int end = k + 1 < m_headers.size() ? m_headers[k + 1].line : int(m_lines.size());
        m_lines.remove(m_headers[k].line, end - m_headers[k].line);
        erased = true;
    }
    if (!erased)
        return !m_unreadable || Refuse(m_error);
    m_indexed = false;
    return Changed();
}

bool TIniFile::DeleteKey(const QString &section, const QString &key)
{
    const int line = FindKey(FindSection(section), key);
    if (line < 0)
        return !m_unreadable || Refuse(m_error);
    RemoveLines(line, 1);
    return Changed();
}

bool TIniFile::Changed()
{
    m_dirty = true;
    if (m_updateDepth > 0)
        return true;
    return Save();
}

void TIniFile::BeginUpdate()
{
    if (m_updateDepth++ == 0)
        m_refusedInUpdate = false;
}

bool TIniFile::EndUpdate()
{
    if (m_updateDepth == 0)
        return Ok();
    if (--m_updateDepth > 0)
        return true;
    const bool refused = m_refusedInUpdate;
    m_refusedInUpdate = false;
    if (m_dirty && !Save())
        return false;
    return !refused;
}

bool TIniFile::Save()
{
    if (m_unreadable) {
        // Writing what little we know would destroy the settings we could not read.
        m_error = QStringLiteral("Unable to write to %1: the file exists but could not be read")
                      .arg(m_path);
        return false;
    }

    QByteArray bytes;
    if (m_hadBom)
        bytes.append("\xEF\xBB\xBF");
    for (const QString &line : std::as_const(m_lines)) {
        bytes.append(line.toUtf8());
        bytes.append('\n');
    }

    QSaveFile file(m_path);
    // Unbuffered: a short write (disk full) then shows in write()'s count. A
    // buffered QSaveFile can lose it in the final flush and still commit a
    // truncated file.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        m_error = QStringLiteral("Unable to write to %1: %2").arg(m_path, file.errorString());
        return false;
    }
    if (file.write(bytes) != bytes.size()) {
        m_error = QStringLiteral("Unable to write to %1: %2").arg(m_path, file.errorString());
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        m_error = QStringLiteral("Unable to write to %1: %2").arg(m_path, file.errorString());
        return false;
    }
    m_dirty = false;
    return true;
}
