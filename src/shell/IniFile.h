#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <vector>

// Reader and writer of the preferences file format: "[Section]" header lines
// followed by "Key=Value" lines. Section and key names compare without regard
// to letter case; names and values are trimmed on reading. Values are stored
// exactly as given (no quoting, no escapes), which is why QSettings is not
// used: it would rewrite the keys and values of files other programs made.
//
// Every line the program does not change is written back as it was, in its
// place: comments (';'), blank lines, unknown sections, lines before the
// first section. A new key goes to the end of its section, a new section to
// the end of the file. The file is read as UTF-8; a file that is not valid
// UTF-8 (an old 8-bit file) is read as Latin-1 so that a later write does not
// turn its accented characters into replacement marks. It is written as UTF-8
// with '\n' line ends.
//
// Only a regular file of at most kMaxPreferencesFileBytes is read; anything
// else in its place (a FIFO, a device, a huge file) counts as a file that
// cannot be read: it gives the defaults and is never overwritten.
//
// Each change is saved at once through QSaveFile, so a failed write leaves
// the old file as it was. Between BeginUpdate() and the matching EndUpdate()
// changes are only collected, and EndUpdate() saves them in one write.
class TIniFile
{
public:
    explicit TIniFile(const QString &path);
    ~TIniFile();

    TIniFile(const TIniFile &) = delete;
    TIniFile &operator=(const TIniFile &) = delete;

    const QString &FileName() const { return m_path; }

    QString ReadString(const QString &section, const QString &key,
                       const QString &defaultValue) const;
    // Decimal, or hexadecimal after "0x"/"0X", with an optional sign; a value
    // that is empty, not a number or outside the 32-bit range gives the default.
    int ReadInteger(const QString &section, const QString &key, int defaultValue) const;
    // Any integer other than 0 is true; a value that is not an integer gives
    // the default.
    bool ReadBool(const QString &section, const QString &key, bool defaultValue) const;

    // Writers return false when the change was refused or the file could not
    // be saved; LastError() then says why. Names and values must not contain
    // line breaks (they would turn into lines of their own); a key may not
    // contain '=' and a section name may not contain ']'.
    bool WriteString(const QString &section, const QString &key, const QString &value);
    bool WriteInteger(const QString &section, const QString &key, int value);
    bool WriteBool(const QString &section, const QString &key, bool value);

    // Section names in file order, each once, spelled as first found.
    QStringList ReadSections() const;
    // The key names of a section, in file order.
    QStringList ReadSection(const QString &section) const;
    // Every entry line of the section, trimmed, in file order ("Key=Value";
    // comments and blank lines are left out).
    QStringList ReadSectionValues(const QString &section) const;
    // The text after the first '=' of every entry line of the section, in file
    // order, trimmed; the key names are not looked at. Lines without '=' have
    // no value and are left out.
    QStringList ReadSectionLineValues(const QString &section) const;

    bool SectionExists(const QString &section) const;
    bool ValueExists(const QString &section, const QString &key) const;
    // Removes every section of that name with all its lines (comments too).
    // True when the file was saved (or there was no such section).
    bool EraseSection(const QString &section);
    bool DeleteKey(const QString &section, const QString &key);

    // Collect the following changes and save them once, at the outermost
    // EndUpdate(). EndUpdate() returns false when that save failed or a change
    // was refused since BeginUpdate().
    void BeginUpdate();
    bool EndUpdate();

    // Writes the file now, whatever the update state.
    bool Save();

    // False once a read problem or a write failure has been seen; LastError()
    // describes the most recent one.
    bool Ok() const { return m_error.isEmpty(); }
    const QString &LastError() const { return m_error; }
    // Why a file that is there could not be read (it then reads as empty);
    // empty when it was read or there is none.
    const QString &ReadProblem() const { return m_readProblem; }

    // The integer rule of ReadInteger, for other readers of the same format.
    static bool ParseInteger(const QString &text, int *value);

private:
    struct TSectionSpan
    {
        int header = -1; // index of the "[...]" line
        int end = 0;     // one past its last line
    };

    static bool IsComment(const QString &trimmed);
    static bool IsHeader(const QString &trimmed, QString *name);
    static QString KeyOf(const QString &trimmed);

    void Load();
    TSectionSpan FindSection(const QString &section) const;
    int FindKey(const TSectionSpan &span, const QString &key) const;
    bool Changed();
    bool Refuse(const QString &reason);

    // The sections are indexed once, so that a lookup does not scan the file:
    // a file of thousands of printer sections is read in linear time.
    void IndexSections() const;
    void InsertLine(int at, const QString &line);
    void RemoveLines(int at, int count);

    QString m_path;
    QStringList m_lines;
    // Every header line in file order with its name as spelled, and the
    // case-folded name of each section to the first of its headers there.
    struct TSectionHeader
    {
        int line;
        QString name;
    };
    mutable std::vector<TSectionHeader> m_headers;
    mutable QHash<QString, int> m_firstHeader;
    mutable bool m_indexed = false;
    QString m_error;
    QString m_readProblem;
    bool m_unreadable = false; // exists but could not be read: never overwrite it
    bool m_hadBom = false;
    bool m_dirty = false;
    bool m_refusedInUpdate = false;
    int m_updateDepth = 0;
};
