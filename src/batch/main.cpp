// tessaro-batch: reads and writes design files without a window.
#include "document/CardKinds.h"
#include "document/Filer.h"
#include "document/ObjectStream.h"
#include "document/StreamIO.h"
#include "surface/GGraphc.h"

#include <QApplication>
#include <QFileInfo>
#include <QStringList>
#include <cstdio>

namespace {

const char Usage[] =
    "Usage: tessaro-batch COMMAND ...\n"
    "\n"
    "Commands:\n"
    "  dump FILE        print every object of the design FILE with the properties\n"
    "                   a save would write, in the order it would write them\n"
    "  resave IN OUT    read the design IN and write it to OUT, with the\n"
    "                   background sidecar (.TSE) of IN carried over to OUT\n"
    "  --help           show this text\n"
    "\n"
    "Exit status: 0 on success, 1 when a file cannot be read or written\n"
    "(the message goes to standard error), 2 for a wrong command line.\n";

void Print(FILE *to, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), to);
}

// Reads a design as the program opens one: every load renames its objects.
QList<TGGraphicControl *> LoadDesign(QObject *owner, const QString &path)
{
    if (!QFileInfo(path).isFile())
        throw EStreamError(QStringLiteral("Cannot open file %1").arg(path));
    TGLabelObjectFiler filer;
    return filer.LoadObjects(owner, nullptr, path);
}

int Dump(const QString &path)
{
    QObject owner;
    const QList<TGGraphicControl *> objects = LoadDesign(&owner, path);
    QString out;
    for (const TGGraphicControl *object : objects)
        out += DumpObject(*object).join(QLatin1Char('\n')) + QLatin1Char('\n');
    Print(stdout, out);
    std::fflush(stdout);
    return 0;
}

int Resave(const QString &in, const QString &out)
{
    QObject owner;
    const QList<TGGraphicControl *> objects = LoadDesign(&owner, in);
    TGLabelObjectFiler filer;
    filer.SaveObjects(objects, out);
    WriteSidecar(out, ReadSidecar(in));
    return 0;
}

// Standard error carries the tool's own messages; the toolkit's notes about
// its environment are left out, its critical errors are not.
void MessageHandler(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        Print(stderr, message + QLatin1Char('\n'));
}

} // namespace

int main(int argc, char **argv)
{
    qInstallMessageHandler(MessageHandler);
    // Nothing is shown: the tool runs the same with or without a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tessaro"));

    const QStringList args = QApplication::arguments().mid(1);
    const bool help = args.size() == 1 &&
                      (args.at(0) == QLatin1String("--help") || args.at(0) == QLatin1String("-h"));
    if (help) {
        Print(stdout, QString::fromLatin1(Usage));
        return 0;
    }

    RegisterCardObjectKinds();
    try {
        if (args.size() == 2 && args.at(0) == QLatin1String("dump"))
            return Dump(args.at(1));
        if (args.size() == 3 && args.at(0) == QLatin1String("resave"))
            return Resave(args.at(1), args.at(2));
    } catch (const EStreamError &e) {
        Print(stderr, e.Message() + QLatin1Char('\n'));
        return 1;
    } catch (const std::exception &e) {
        Print(stderr, QString::fromLocal8Bit(e.what()) + QLatin1Char('\n'));
        return 1;
    }
    Print(stderr, QString::fromLatin1(Usage));
    return 2;
}
