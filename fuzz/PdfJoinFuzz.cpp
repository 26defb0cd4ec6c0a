// Feeds arbitrary bytes to the page joiner as the document the PDF writer
// left, asking for several ways of joining its pages. Whatever it joins must
// be a document it reads again: its table and page tree must be sound.
#include "report/PdfJoin.h"

#include <QBuffer>
#include <cstdio>
#include <cstdlib>

namespace {

bool Join(const QByteArray &document, const QList<int> &parts, QByteArray *out,
          const TPdfPageBoxes *boxes = nullptr)
{
    QBuffer in;
    in.setData(document);
    in.open(QIODevice::ReadOnly);
    QBuffer result;
    result.open(QIODevice::WriteOnly);
    QString error;
    const bool ok = JoinPdfPages(in, result, parts, &error, boxes);
    if (!ok && error.isEmpty()) {
        std::fprintf(stderr, "a refusal without a reason\n");
        std::abort();
    }
    *out = result.data();
    return ok;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    // Negative counts are copies of earlier pages of the result.
    const QList<QList<int>> ways = {{1},     {2},        {3},        {1, 1},          {1, 2},
                                    {2, 1},  {1, 1, 1},  {4, 1},     {1, -1, -2},     {2, -1},
                                    {1, 1, -2, -2}};
    for (const QList<int> &parts : ways) {
        QByteArray joined;
        if (!Join(bytes, parts, &joined))
            continue;
        QByteArray again;
        if (!Join(joined, QList<int>(parts.size(), 1), &again) || again != joined) {
            std::fprintf(stderr, "a joined document does not read back as it was written\n");
            std::abort();
        }
    }
    // Page boxes rewrite every page.
    const TPdfPageBoxes boxes{QRectF(0, 0, 318, 210), QRectF(33, 33, 252, 144),
                              QRectF(24, 24, 270, 162)};
    for (const QList<int> &parts : ways) {
        QByteArray boxed;
        if (!Join(bytes, parts, &boxed, &boxes))
            continue;
        // Read back, it can be rewritten again (the free entries of objects a
        // join dropped move on a generation each time, so not byte for byte).
        QByteArray again;
        if (!Join(boxed, QList<int>(parts.size(), 1), &again, &boxes)) {
            std::fprintf(stderr, "a document with page boxes does not read back\n");
            std::abort();
        }
    }
    return 0;
}
