// Feeds arbitrary bytes to the merge data readers, as CSV and as vCards, and
// fills the fields of the same bytes (as text) from what was read. A table
// that is read must be rectangular and within bounds; every field name the
// text has must be the one the expansion reports unknown.
#include "document/MergeData.h"

#include <cstdio>
#include <cstdlib>

namespace {

void Fail(const char *why)
{
    std::fprintf(stderr, "%s\n", why);
    std::abort();
}

void Check(const TMergeTable &t)
{
    if (t.Columns.size() > kMaxMergeColumns)
        Fail("more columns than the bound");
    for (const QStringList &r : t.Records) {
        if (r.size() != t.Columns.size())
            Fail("a record without one value per column");
        for (const QString &v : r)
            if (v.size() > kMaxMergeValueLength * 2)
                Fail("a value over the bound");
    }
}

TMergeTable Read(TMergeTable (*read)(const QByteArray &), const QByteArray &bytes)
{
    try {
        TMergeTable t = read(bytes);
        Check(t);
        return t;
    } catch (const EMergeDataError &e) {
        if (e.Line() < 0)
            Fail("a negative line");
    }
    return TMergeTable();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const TMergeTable csv = Read(ReadCsv, bytes);
    Read(ReadVCards, bytes);

    const QString text = QString::fromUtf8(bytes);
    QStringList unknown;
    const auto none = [](const QString &) { return std::optional<QString>(); };
    const QString empty = ExpandMergeFields(text, none, &unknown);
    if (unknown != MergeFieldNames(text))
        Fail("the unknown names are not the field names");
    if (empty.size() > text.size())
        Fail("fields replaced by nothing made the text longer");
    if (!csv.IsEmpty())
        ExpandMergeFields(text, RecordValues(csv, 0));
    return 0;
}
