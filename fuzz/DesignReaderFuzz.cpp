// Feeds arbitrary bytes to the design file reader. Every failure must be a
// stream error; whatever reads must paint (on an image and on a PDF page),
// print on a recorded page, and write, read and write again stably.
#include "document/CardLayout.h"
#include "document/Filer.h"
#include "document/ObjectStream.h"
#include "document/StreamIO.h"
#include "printing/SheetRenderer.h"
#include "report/RPFiler.h"
#include "richtext/RichTextEngine.h"
#include "shell/CardKinds.h"
#include "surface/GGraphc.h"

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    // Never torn down: libFuzzer leaves through exit(), where Qt's font and
    // paint caches may no longer be destroyed in order.
    static QApplication *app = new QApplication(*argc, *argv);
    (void)app;
    RegisterCardObjectKinds();
    return 0;
}

namespace {

// Each object draws what it read (pictures, metafiles, rich text, fills) into
// a small card, clipped as the surface clips it.
void PaintEach(const QList<TStoredObject *> &objects)
{
    QImage card(64, 48, QImage::Format_ARGB32_Premultiplied);
    for (TStoredObject *stored : objects) {
        auto *object = qobject_cast<TGGraphicControl *>(stored);
        if (!object)
            continue;
        card.fill(Qt::white);
        QPainter painter(&card);
        painter.setClipRect(card.rect());
        object->Paint(painter);
    }
    // A PDF page draws text its own way (glyphs placed at 64 times the size).
    QBuffer file;
    file.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&file);
    QPainter page(&pdf);
    for (TStoredObject *stored : objects) {
        auto *object = qobject_cast<TGGraphicControl *>(stored);
        if (!object)
            continue;
        page.save();
        page.setClipRect(0, 0, 64, 48);
        object->Paint(page);
        page.restore();
    }
}

// The objects also print as a sheet does, at two card positions (the second
// places what the first prepared), onto the page the preview records.
void PrintAll(const QList<TStoredObject *> &objects)
{
    TSheetRenderer sheet;
    sheet.Objects = CardObjects(objects);
    sheet.SetLayout(TCardLayout(), TPrinterNudges());
    sheet.PrintSelection = QList<bool>(10, false);
    sheet.PrintSelection[0] = sheet.PrintSelection[3] = true;
    TReportFiler page;
    try {
        sheet.Render(page);
    } catch (const EReportError &) {
        // A report failure is reported to the user; what matters here is that
        // nothing reads or writes out of bounds on the way.
    }
}

QByteArray ReadAndWrite(const QByteArray &bytes, bool *ok, bool paint)
{
    QObject owner;
    // Rich text objects draw through the engine their owner carries.
    TRichTextEngine::EnsureMaster(&owner);
    try {
        const QList<TStoredObject *> objects =
            TGLabelObjectFiler().ReadObjects(bytes, &owner, nullptr);
        for (const TStoredObject *object : objects)
            DumpObject(*object);
        if (paint) {
            PaintEach(objects);
            PrintAll(objects);
        }
        *ok = true;
        return WriteObjectList(objects);
    } catch (const EStreamError &) {
        *ok = false;
        return QByteArray();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    bool ok = false;
    const QByteArray written =
        ReadAndWrite(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)), &ok, true);
    if (!ok)
        return 0;
    // What the writer wrote must read back. An empty string is not written,
    // so a value the data set to empty comes back as the kind's own; from the
    // second round on nothing may change any more.
    bool again = false;
    const QByteArray second = ReadAndWrite(written, &again, false);
    bool third = false;
    const QByteArray rewritten = again ? ReadAndWrite(second, &third, false) : QByteArray();
    if (!again || !third || rewritten != second) {
        std::fprintf(stderr, "round trip changed the stream (%s)\n",
                     again ? "different bytes" : "second read failed");
        std::abort();
    }
    return 0;
}
