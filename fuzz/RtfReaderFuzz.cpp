// Feeds arbitrary bytes to the RTF reader. It must never crash or hang; what it
// reads must survive our writer: reading the written RTF gives the same text
// and the same paragraphs.
#include "richtext/RichText.h"
#include "richtext/RtfReader.h"
#include "richtext/RtfWriter.h"

#include <QGuiApplication>
#include <QTextBlock>
#include <QTextDocument>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    static QGuiApplication app(*argc, *argv);
    return 0;
}

// A paragraph without an alignment of its own is left-aligned.
static Qt::Alignment Horizontal(Qt::Alignment a)
{
    a &= Qt::AlignHorizontal_Mask;
    return a ? a : Qt::Alignment(Qt::AlignLeft);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QTextDocument first;
    const TRtfReadResult result = ReadRtf(bytes, &first);
    if (!result.Readable()) {
        if (!first.isEmpty()) {
            std::fprintf(stderr, "refused RTF left text behind\n");
            std::abort();
        }
        return 0;
    }
    const QByteArray written = WriteRtf(&first);
    QTextDocument second;
    const TRtfReadResult again = ReadRtf(written, &second);
    if (again.status != TRtfReadStatus::Rtf || second.toPlainText() != first.toPlainText() ||
        second.blockCount() != first.blockCount()) {
        std::fprintf(stderr, "written RTF reads back differently:\n%s\n", written.constData());
        std::abort();
    }
    for (QTextBlock a = first.begin(), b = second.begin(); a.isValid(); a = a.next(), b = b.next())
        if (Horizontal(a.blockFormat().alignment()) != Horizontal(b.blockFormat().alignment())) {
            std::fprintf(stderr, "paragraph alignment lost:\n%s\n", written.constData());
            std::abort();
        }
    // Bounding the changes of format keeps every letter and paragraph.
    const QString text = first.toPlainText();
    const int blocks = first.blockCount();
    LimitFormatRuns(&first, 3);
    if (first.toPlainText() != text || first.blockCount() != blocks) {
        std::fprintf(stderr, "bounding the formats changed the text\n");
        std::abort();
    }
    return 0;
}
