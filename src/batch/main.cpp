// tessaro-batch: reads and writes design files without a window.
#include "document/CardModel.h"
#include "document/CardStocks.h"
#include "document/Desktop.h"
#include "document/ObjectStream.h"
#include "document/ProgramFolder.h"
#include "document/StreamIO.h"
#include "effects/Gssprop.h"
#include "effects/gstprop.h"
#include "graphics/Geometry.h"
#include "graphics/RegularFile.h"
#include "printing/CardExport.h"
#include "printing/MergePrint.h"
#include "printing/SheetRenderer.h"
#include "report/RPrinter.h"
#include "richtext/RichTextEngine.h"
#include "shell/Preferences.h"
#include "shell/CardKinds.h"
#include "surface/CardPainter.h"
#include "surface/GGraphc.h"
#include "surface/ScreenInfo.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStringList>
#include <cmath>
#include <cstdio>
#include <optional>
#include <utility>

namespace {

const char Usage[] =
    "Usage: tessaro-batch COMMAND ...\n"
    "\n"
    "Commands:\n"
    "  dump FILE        print every object of the design FILE with the properties\n"
    "                   a save would write, in the order it would write them\n"
    "  resave IN OUT    read the design IN and write it to OUT, with the\n"
    "                   background sidecar (.TSE) of IN carried over to OUT\n"
    "  stocks [SEARCH]  list the card stocks (the shipped ones and the user's own)\n"
    "                   that SEARCH matches: brand, part number or card size such\n"
    "                   as \"avery 8373\" or \"85 x 55\" (default all)\n"
    "  print DESIGN -o FILE.pdf [--copies N] [--outline] [--positions LIST]\n"
    "        [--stock NAME] [--front-only | --back-only] [--flip long|short]\n"
    "        [--merge DATA]\n"
    "  print DESIGN --printer QUEUE [--copies N] [--outline] [--positions LIST]\n"
    "        [--stock NAME] [--front-only | --back-only] [--flip long|short]\n"
    "        [--merge DATA]\n"
    "                   print the sheet of cards of DESIGN into a PDF file or on\n"
    "                   a printer queue, with the layout, paper and printer nudges\n"
    "                   (the queue's own, if it has them) of the user's TSC.INI;\n"
    "                   --copies sheets (default 1); --outline also draws the\n"
    "                   outline of every card position; --positions the card\n"
    "                   positions to print, numbered from 1 row by row, with\n"
    "                   ranges, e.g. 1,3-5 (default all); --stock prints on that\n"
    "                   card stock's layout and paper instead of the user's (a\n"
    "                   name as \"stocks\" lists it, e.g. \"Geha P68\")\n"
    "                   A design with a back side (DESIGN.back.TSC beside it)\n"
    "                   prints both: each sheet's fronts, then its backs on the\n"
    "                   next page, each back where it lands behind its front\n"
    "                   when the sheet turns over the long edge (columns\n"
    "                   mirrored) or the short edge (rows mirrored); --flip\n"
    "                   chooses (default: as set for the printer in the\n"
    "                   program, else long); a queue is asked to print both\n"
    "                   sides; --front-only or --back-only prints one side\n"
    "                   --merge prints one card per record of DATA (a CSV file\n"
    "                   whose first row names the columns, or a vCard .vcf\n"
    "                   file), each ${Column} of the design's text and\n"
    "                   barcodes filled from its record; the cards fill the\n"
    "                   chosen positions of as many sheets as they need, each\n"
    "                   card --copies times in a row\n"
    "  render DESIGN -o CARD.png [--zoom Z]\n"
    "                   paint the card as the design surface shows it (without\n"
    "                   selection) at zoom Z (default 1.0, 0.1 to 8) into a PNG\n"
    "  render DESIGN -o CARD.png|CARD.jpg --dpi N [--bleed LENGTH] [--stock NAME]\n"
    "                   the card as it prints, N pixels per inch (10 to 2400):\n"
    "                   3.5 x 2 in at 300 is 1050 x 600 pixels; --bleed adds\n"
    "                   that much around it; PNG or JPEG by the name's ending\n"
    "  export DESIGN -o OUT.pdf [--bleed LENGTH] [--crop-marks] [--cmyk]\n"
    "        [--back BACK.TSC] [--stock NAME] [--merge DATA]\n"
    "                   a PDF for a print shop: one card per page (the back,\n"
    "                   BACK.TSC or else the design's own back side beside it,\n"
    "                   on page 2) at the card's size plus the bleed on every\n"
    "                   side (default 0.125in; e.g. 3mm, 0.125in, 0), with\n"
    "                   TrimBox and BleedBox; --crop-marks adds cut marks\n"
    "                   outside the bleed; --cmyk makes it PDF/X-3 in CMYK\n"
    "                   (needs Ghostscript); the card size is the layout's\n"
    "                   of TSC.INI, or that of the --stock named; --merge gives\n"
    "                   each record of DATA its own page (and back page)\n"
    "  --help           show this text\n"
    "  --version        show the version\n"
    "\n"
    "Exit status: 0 on success, 1 when a file cannot be read or written or a\n"
    "job fails (the message goes to standard error), 2 for a wrong command line\n"
    "(an unknown card stock, or a name that fits several, among them).\n";

// Everything printed goes through here: text from a file or the command line
// cannot reach the terminal as control characters (an escape sequence in a
// design would otherwise set the terminal's title or clear its screen). Line
// ends and the tabs between columns are the tool's own.
void Print(FILE *to, const QString &text)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString &line : lines) {
        QStringList columns = line.split(QLatin1Char('\t'));
        for (QString &column : columns)
            column = PrintableText(column);
        line = columns.join(QLatin1Char('\t'));
    }
    const QByteArray bytes = lines.join(QLatin1Char('\n')).toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), to);
}

// A message about a file starts with its name ("FILE: Invalid property
// value"), unless it names the file already.
QString AboutFile(const QString &path, const QString &message)
{
    const QString shown = PrintableText(path);
    return message.contains(shown) ? message : shown + QStringLiteral(": ") + message;
}

// Runs work that reads or writes `path`; its failures name the file.
template <typename Work> auto OnFile(const QString &path, Work &&work)
{
    try {
        return work();
    } catch (const EStreamError &e) {
        throw EStreamError(AboutFile(path, e.Message()));
    } catch (const EReportError &e) {
        throw EReportError(AboutFile(path, e.Message()));
    } catch (const std::exception &e) {
        throw EStreamError(AboutFile(path, QString::fromLocal8Bit(e.what())));
    }
}

// Opens a design as the program does (every load renames its objects); a
// file that is not there is an error here, not an empty design.
void OpenDesign(TCardModel &design, const QString &path)
{
    // Looked at by the name's bytes: a name that is not UTF-8 is still found.
    QByteArray none;
    if (ReadRegularFileHead(path, 0, &none) != TFileReadResult::Read)
        throw EStreamError(QStringLiteral("Cannot open file %1").arg(PrintableText(path)));
    // Rich text draws through one engine that the objects' owner carries.
    TRichTextEngine::EnsureMaster(design.Owner());
    // Contact codes are drawn from the user's details, as in the program.
    design.SetPersonalInfo(LoadPreferences(PreferencesPath()).PersonalInfo);
    OnFile(path, [&] { design.Open(path); });
}

int Dump(const QString &path)
{
    TCardModel design;
    OpenDesign(design, path);
    QString out;
    for (const TStoredObject *object : design.Objects())
        out += DumpObject(*object).join(QLatin1Char('\n')) + QLatin1Char('\n');
    Print(stdout, out);
    std::fflush(stdout);
    return 0;
}

int Resave(const QString &in, const QString &out)
{
    TCardModel design;
    OpenDesign(design, in);
    // Nothing is changed without being asked: text the design file's 8-bit
    // characters cannot hold stops the command.
    if (const QStringList lost = design.TextLostBySaving(); !lost.isEmpty()) {
        Print(stderr, QStringLiteral("tessaro-batch: %1 would lose characters a design file "
                                     "cannot hold (Windows-1252 only):\n%2\n")
                          .arg(out, lost.join(QLatin1Char('\n'))));
        return 1;
    }
    OnFile(out, [&] { design.Save(out); });
    return 0;
}

// A command line error: the message, then exit status 2.
struct EUsage
{
    QString message;
};

// Options after the design's name: "-o FILE", "--printer Q", "--copies N",
// "--zoom Z", "--outline".
struct TOptions
{
    QString design;
    QString output;
    QString printer;
    bool hasPrinter = false;
    int copies = 1;
    double zoom = 1.0;
    bool outline = false;
    QString positions; // empty: all
    QString stock;     // empty: the layout of TSC.INI
    bool hasStock = false;
    bool hasZoom = false;
    int dpi = 0;       // render: 0 as the surface shows it, else as it prints
    std::optional<double> bleed; // inches
    bool cropMarks = false;
    bool cmyk = false;
    QString back;
    bool frontOnly = false;
    bool backOnly = false;
    std::optional<bool> shortEdge; // --flip
    QString merge; // merge data file; empty: none
};

enum class TCommand { Print, Render, Export };

// "1,3-5": the positions (numbered from 1) to print out of `count`.
QList<bool> ParsePositions(const QString &list, int count)
{
    QList<bool> chosen(count, list.isEmpty());
    if (list.isEmpty())
        return chosen;
    const auto bad = [&](const QString &why) {
        return EUsage{QStringLiteral("--positions %1: %2").arg(list, why)};
    };
    for (const QString &part : list.split(QLatin1Char(','))) {
        const QString item = part.trimmed();
        const qsizetype dash = item.indexOf(QLatin1Char('-'));
        bool okFirst = false;
        bool okLast = false;
        const int first = (dash < 0 ? item : item.left(dash)).trimmed().toInt(&okFirst);
        const int last = dash < 0 ? first : item.mid(dash + 1).trimmed().toInt(&okLast);
        if (!okFirst || (dash >= 0 && !okLast))
            throw bad(QStringLiteral("\"%1\" is not a position or a range like 3-5").arg(item));
        if (first > last)
            throw bad(QStringLiteral("the range %1 runs backwards").arg(item));
        if (first < 1 || last > count)
            throw bad(QStringLiteral("the layout has positions 1 to %1").arg(count));
        for (int p = first; p <= last; ++p)
            chosen[p - 1] = true;
    }
    return chosen;
}

TOptions ParseOptions(const QStringList &args, TCommand command)
{
    const bool printCommand = command == TCommand::Print;
    const bool renderCommand = command == TCommand::Render;
    const bool exportCommand = command == TCommand::Export;
    TOptions o;
    if (args.isEmpty())
        throw EUsage{QStringLiteral("missing design file")};
    o.design = args.at(0);
    for (int i = 1; i < args.size(); ++i) {
        const QString &a = args.at(i);
        auto value = [&]() -> QString {
            if (i + 1 >= args.size())
                throw EUsage{QStringLiteral("%1 needs a value").arg(a)};
            return args.at(++i);
        };
        bool ok = true;
        if (a == QLatin1String("-o")) {
            o.output = value();
        } else if (printCommand && a == QLatin1String("--printer")) {
            o.printer = value();
            o.hasPrinter = true;
        } else if (printCommand && a == QLatin1String("--copies")) {
            o.copies = value().toInt(&ok);
            if (!ok || o.copies < 1 || o.copies > 999)
                throw EUsage{QStringLiteral("--copies must be a number from 1 to 999")};
        } else if (printCommand && a == QLatin1String("--outline")) {
            o.outline = true;
        } else if (printCommand && a == QLatin1String("--front-only")) {
            o.frontOnly = true;
        } else if (printCommand && a == QLatin1String("--back-only")) {
            o.backOnly = true;
        } else if (printCommand && a == QLatin1String("--flip")) {
            const QString edge = value();
            if (edge != QLatin1String("long") && edge != QLatin1String("short"))
                throw EUsage{QStringLiteral("--flip must be long or short")};
            o.shortEdge = edge == QLatin1String("short");
        } else if ((printCommand || exportCommand) && a == QLatin1String("--merge")) {
            o.merge = value();
            if (o.merge.isEmpty())
                throw EUsage{QStringLiteral("--merge needs a CSV or vCard file")};
        } else if (printCommand && a == QLatin1String("--positions")) {
            o.positions = value();
            if (o.positions.trimmed().isEmpty())
                throw EUsage{QStringLiteral("--positions needs a list such as 1,3-5")};
        } else if ((renderCommand || exportCommand) && a == QLatin1String("--bleed")) {
            const QString text = value();
            QString why;
            o.bleed = ParseBleed(text, &why);
            if (!o.bleed)
                throw EUsage{QStringLiteral("--bleed: %1").arg(why)};
        } else if (renderCommand && a == QLatin1String("--dpi")) {
            o.dpi = value().toInt(&ok);
            if (!ok || o.dpi < 10 || o.dpi > 2400)
                throw EUsage{QStringLiteral("--dpi must be a number from 10 to 2400")};
        } else if (exportCommand && a == QLatin1String("--crop-marks")) {
            o.cropMarks = true;
        } else if (exportCommand && a == QLatin1String("--cmyk")) {
            o.cmyk = true;
        } else if (exportCommand && a == QLatin1String("--back")) {
            o.back = value();
        } else if (a == QLatin1String("--stock")) {
            o.stock = value();
            o.hasStock = true;
            if (o.stock.trimmed().isEmpty())
                throw EUsage{QStringLiteral("--stock needs the name of a card stock")};
        } else if (renderCommand && a == QLatin1String("--zoom")) {
            o.hasZoom = true;
            o.zoom = value().toDouble(&ok);
            if (!ok || !std::isfinite(o.zoom) || o.zoom < 0.1 || o.zoom > 8.0)
                throw EUsage{QStringLiteral("--zoom must be a number from 0.1 to 8")};
        } else {
            throw EUsage{QStringLiteral("unknown option %1").arg(a)};
        }
    }
    if (printCommand && o.output.isEmpty() == !o.hasPrinter)
        throw EUsage{QStringLiteral("print needs either -o FILE.pdf or --printer QUEUE")};
    if (o.frontOnly && o.backOnly)
        throw EUsage{QStringLiteral("give either --front-only or --back-only")};
    if (renderCommand && o.output.isEmpty())
        throw EUsage{QStringLiteral("render needs -o CARD.png")};
    if (exportCommand && o.output.isEmpty())
        throw EUsage{QStringLiteral("export needs -o OUT.pdf")};
    if (renderCommand && o.dpi == 0 && (o.bleed || o.hasStock))
        throw EUsage{QStringLiteral("--bleed and --stock render the card as it prints: give "
                                    "--dpi too")};
    if (renderCommand && o.dpi > 0 && o.hasZoom)
        throw EUsage{QStringLiteral("give either --zoom or --dpi")};
    if (o.hasPrinter && o.printer.isEmpty())
        throw EUsage{QStringLiteral("--printer needs a queue name")};
    return o;
}

// The user's settings; a settings file that is there but cannot be read is
// said once, as the standard settings then print.
TPreferences LoadSettings()
{
    static bool told = false;
    TPreferences preferences = LoadPreferences(PreferencesPath());
    if (!preferences.SettingsProblem.isEmpty() && !std::exchange(told, true))
        Print(stderr, preferences.SettingsProblem + QLatin1Char('\n'));
    return preferences;
}

// The catalogue, with a note on standard error when the user's own stocks
// cannot be read.
TStockCatalogue LoadCatalogue()
{
    TStockCatalogue catalogue = TStockCatalogue::Load(UserStocksPath());
    if (!catalogue.UserProblem().isEmpty())
        Print(stderr, catalogue.UserProblem() + QLatin1Char('\n'));
    return catalogue;
}

int ListStocks(const QStringList &words)
{
    const TStockCatalogue catalogue = LoadCatalogue();
    const QString query = words.join(QLatin1Char(' '));
    const QList<int> found = catalogue.Search(query);
    QString out;
    for (const int i : found) {
        const TCardStock &s = catalogue.Stocks().at(i);
        const TCardLayout l = s.Layout();
        out += QStringLiteral("%1\t%2%3, %4, %5 cards (%6 x %7), %8\n")
                   .arg(s.Name(), s.Description, s.User ? QStringLiteral(" (yours)") : QString(),
                        s.Paper)
                   .arg(s.CardsPerSheet())
                   .arg(l.Across)
                   .arg(l.Down)
                   .arg(s.CardSizeText());
    }
    Print(stdout, out);
    std::fflush(stdout);
    if (found.isEmpty()) {
        Print(stderr, QStringLiteral("No card stock matches \"%1\".\n").arg(query));
        return 1;
    }
    return 0;
}

// The layout of the stock --stock names; an unknown name or one that fits
// several layouts is a command line error that names the candidates.
TCardStock FindStock(const QString &name)
{
    const TStockCatalogue catalogue = LoadCatalogue();
    const TStockCatalogue::TLookup found = catalogue.Find(name);
    if (found.Found >= 0)
        return catalogue.Stocks().at(found.Found);
    if (found.Candidates.isEmpty())
        throw EUsage{QStringLiteral("there is no card stock named \"%1\" (tessaro-batch stocks "
                                    "lists them)")
                         .arg(name)};
    QStringList shown = found.Candidates.mid(0, 20);
    if (found.Candidates.size() > shown.size())
        shown.append(QStringLiteral("... (%1 in all)").arg(found.Candidates.size()));
    throw EUsage{QStringLiteral("\"%1\" fits card stocks of different layouts; name one of "
                                "them:\n  %2")
                     .arg(name, shown.join(QStringLiteral("\n  ")))};
}

TCardLayout StockLayout(const QString &name)
{
    return FindStock(name).Layout();
}

// The cards of --merge: the data read whole first, so that a damaged file
// prints nothing; fields without a column and characters no font draws are
// said. Null (said why) when nothing is to print.
std::unique_ptr<TMergeCards> MergeCardsFor(const TOptions &o, const TCardModel &front,
                                           const TCardModel *back)
{
    TMergeTable table;
    try {
        table = ReadMergeFile(o.merge);
    } catch (const EMergeDataError &e) {
        Print(stderr, AboutFile(o.merge, QString::fromUtf8(e.what())) +
                          QStringLiteral(" Nothing was printed.\n"));
        return nullptr;
    }
    if (table.Records.isEmpty()) {
        Print(stderr, AboutFile(o.merge, QStringLiteral("the file holds no records; nothing was "
                                                        "printed.\n")));
        return nullptr;
    }
    auto cards = std::make_unique<TMergeCards>(front, back, table, AllRecords(table));
    if (const QStringList unknown = cards->UnknownFields(); !unknown.isEmpty())
        Print(stderr, QStringLiteral("These fields name no column of %1 and print empty:\n  %2\n")
                          .arg(PrintableText(o.merge), unknown.join(QStringLiteral("\n  "))));
    if (const QStringList boxes = cards->UndrawableText(); !boxes.isEmpty())
        Print(stderr, QStringLiteral("No installed font draws some characters of these records; "
                                     "they print as empty boxes:\n  %1\n")
                          .arg(boxes.mid(0, 20).join(QStringLiteral("\n  "))));
    return cards;
}

// The card surface as the program sets it up, sized from the layout at 100 %,
// with the design and its background art on it.
int PrintSheet(const TOptions &o)
{
    const TPreferences preferences = LoadSettings();
    TCardLayout layout = preferences.Layout;
    if (o.hasStock) {
        layout = StockLayout(o.stock);
        // Only the printer nudges come from the settings then.
        if (!preferences.LayoutProblem.isEmpty())
            Print(stderr, preferences.LayoutProblem + QLatin1Char(' ') +
                              preferences.LayoutFallback + QLatin1Char('\n'));
    } else if (!preferences.LayoutProblem.isEmpty()) {
        // A sheet from a layout that makes no sense would come out blank or
        // with the cards on top of each other; the user is to mend the
        // setting first.
        Print(stderr, preferences.LayoutProblem + QStringLiteral(" Nothing was printed.\n"));
        return 1;
    }
    const QList<bool> positions = ParsePositions(o.positions, layout.Across * layout.Down);
    TCardModel design;
    OpenDesign(design, o.design);
    // The back side beside the design, unless only the front is asked for.
    TCardModel back;
    const QString backPath = BackSidePath(o.design);
    if (!o.frontOnly && QFileInfo::exists(backPath))
        OpenDesign(back, backPath);
    const bool hasBack = back.HasContent();
    if (o.backOnly && !hasBack) {
        Print(stderr, AboutFile(o.design, QStringLiteral("the design has no back side (%1); "
                                                         "nothing was printed.")
                                              .arg(QFileInfo(backPath).fileName())) +
                          QLatin1Char('\n'));
        return 1;
    }
    TDuplexSettings duplex = preferences.DuplexFor(o.hasPrinter ? o.printer : QString());
    if (o.shortEdge)
        duplex.ShortEdge = *o.shortEdge;

    TReportPrinter report;
    report.SetTitle(QStringLiteral("Tessaro"));
    if (o.hasPrinter) {
        if (QPrinterInfo::printerInfo(o.printer).isNull()) {
            Print(stderr, QStringLiteral("There is no printer queue named \"%1\".\n").arg(o.printer));
            return 1;
        }
        report.SetPrinterName(o.printer);
    } else {
        report.SetOutputFile(QFileInfo(o.output).absoluteFilePath());
    }
    report.SetPaperSize(layout.Papersize);
    report.SetOrientation(poPortrait);
    // Both sides go to a queue as one two-sided job.
    if (o.hasPrinter && hasBack && !o.backOnly)
        if (QPrinter *printer = report.Printer())
            printer->setDuplex(duplex.ShortEdge ? QPrinter::DuplexShortSide
                                                : QPrinter::DuplexLongSide);

    std::unique_ptr<TMergeCards> merged;
    if (!o.merge.isEmpty()) {
        merged = MergeCardsFor(o, design, hasBack ? &back : nullptr);
        if (!merged)
            return 1;
    }

    TSheetRenderer sheet;
    sheet.Objects = CardObjects(design.Objects());
    sheet.Copies = o.copies;
    sheet.PrintSelection = positions;
    // A queue with nudges of its own prints with them.
    sheet.SetLayout(layout, preferences.NudgesFor(o.hasPrinter ? o.printer : QString()));
    sheet.BackgroundFile = design.BackgroundArtFile();
    if (hasBack) {
        sheet.HasBack = true;
        sheet.BackObjects = CardObjects(back.Objects());
        sheet.BackBackgroundFile = back.BackgroundArtFile();
        sheet.Sides = o.backOnly ? TPrintSides::BackOnly : TPrintSides::Both;
        sheet.SetBackLayout(layout, duplex);
    }
    sheet.ToPrinter = true;
    sheet.DrawOutlines = o.outline;
    if (merged) {
        sheet.Objects = merged->FrontObjects();
        sheet.BackObjects = merged->BackObjects();
        sheet.MergeCards = merged->Count();
        sheet.OnMergeCard = [&](int card) { merged->Show(card); };
        Print(stdout, MergeSummary(merged->Count(), sheet.SheetCount()) + QLatin1Char('\n'));
    }
    // A printer's failures name its queue, a file's the file.
    const QString target = o.hasPrinter ? o.printer : o.output;
    if (!OnFile(target, [&] { return sheet.Render(report); })) {
        const QString reason = report.Aborted() ? QStringLiteral("The print job was cancelled.")
                                                : QString::fromLatin1(NoPrintersDefinedMessage);
        Print(stderr, AboutFile(target, reason) + QLatin1Char('\n'));
        return 1;
    }
    return 0;
}

// The card size the layout of TSC.INI gives, or that of the --stock named.
QSizeF CardInches(const TOptions &o)
{
    if (o.hasStock) {
        // The stock's own measure, not the layout's three decimals.
        const TCardStock stock = FindStock(o.stock);
        return QSizeF(stock.CardWidthPt / 72.0, stock.CardHeightPt / 72.0);
    }
    const TPreferences preferences = LoadSettings();
    if (!preferences.LayoutProblem.isEmpty())
        Print(stderr, preferences.LayoutProblem + QLatin1Char(' ') + preferences.LayoutFallback +
                          QLatin1Char('\n'));
    return QSizeF(double(preferences.Layout.Width), double(preferences.Layout.Height));
}

void SaveImage(const QImage &image, const QString &path)
{
    if (const QString why = WriteImageFile(image, path); !why.isEmpty())
        throw EStreamError(AboutFile(path, QStringLiteral("Cannot write the image (%1)").arg(why)));
}

// The card as it prints, at a resolution, with a bleed when asked.
int RenderCardAtDpi(const TOptions &o)
{
    TCardModel design;
    OpenDesign(design, o.design);
    TExportSettings settings;
    settings.Bleed = o.bleed.value_or(0.0);
    settings.CropMarks = false;
    TCardExport card(CardInches(o), settings);
    card.AddSide(design);
    SaveImage(OnFile(o.output, [&] { return card.RenderSide(0, o.dpi); }), o.output);
    return 0;
}

int ExportCard(const TOptions &o)
{
    TCardModel front;
    OpenDesign(front, o.design);
    TCardModel back;
    // Without --back, the design's own back side beside it.
    QString backPath = o.back;
    if (backPath.isEmpty() && QFileInfo::exists(BackSidePath(o.design)))
        backPath = BackSidePath(o.design);
    if (!backPath.isEmpty())
        OpenDesign(back, backPath);
    TExportSettings settings;
    settings.Bleed = o.bleed.value_or(0.125);
    settings.CropMarks = o.cropMarks;
    settings.Cmyk = o.cmyk;
    TCardExport card(CardInches(o), settings);
    card.AddSide(front);
    const bool hasBack = !o.back.isEmpty() || back.HasContent();
    if (hasBack)
        card.AddSide(back);
    std::unique_ptr<TMergeCards> merged;
    if (!o.merge.isEmpty()) {
        merged = MergeCardsFor(o, front, hasBack ? &back : nullptr);
        if (!merged)
            return 1;
        card.SetMergeCards(merged.get());
    }
    card.WritePdf(o.output);
    if (merged)
        Print(stdout, QStringLiteral("%1 %2: %3 pages\n")
                          .arg(merged->Count())
                          .arg(merged->Count() == 1 ? "record" : "records")
                          .arg(merged->Count() * (hasBack ? 2 : 1)));
    return 0;
}

int RenderCard(const TOptions &o)
{
    if (o.dpi > 0)
        return RenderCardAtDpi(o);
    const TPreferences preferences = LoadSettings();
    if (!preferences.LayoutProblem.isEmpty())
        Print(stderr, preferences.LayoutProblem + QLatin1Char(' ') + preferences.LayoutFallback +
                          QLatin1Char('\n'));
    TCardModel design;
    OpenDesign(design, o.design);
    // The card as the window shows it at 100 %: a rectangle with its outline,
    // the size the layout gives it on this screen.
    TCardLook look;
    look.Shape = lsRectangle;
    look.Art = &design.BackgroundArt();
    const TCardLayout &layout = preferences.Layout;
    const int ppi = ScreenPixelsPerInch();
    look.CornerRadius = double(layout.CornerRadius) * ppi * o.zoom;
    const QSize card(std::max(1, RoundEven(double(ppi) * double(layout.Width))),
                     std::max(1, RoundEven(double(ppi) * double(layout.Height))));
    const QImage image = RenderCard(design, look, card, float(o.zoom));
    SaveImage(image, o.output);
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
    // No widget toolkit: a window, a dialog or a menu made by any command
    // would stop the tool at once instead of going unnoticed.
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("Tessaro"));
    // Messages go to standard error; nothing waits for an answer.
    InstallDesktop(std::make_unique<TConsoleDesktop>());

    // The arguments as their bytes give them (QGuiApplication has taken its
    // own options out of argv): a file name that is not UTF-8 keeps its bytes.
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args.append(DecodeFileName(QByteArray(argv[i])));
    const bool help = args.size() == 1 &&
                      (args.at(0) == QLatin1String("--help") || args.at(0) == QLatin1String("-h"));
    if (help) {
        Print(stdout, QString::fromLatin1(Usage));
        return 0;
    }
    if (args.size() == 1 && args.at(0) == QLatin1String("--version")) {
        Print(stdout, QStringLiteral("tessaro-batch " TESSARO_VERSION "\n"));
        return 0;
    }

    RegisterCardObjectKinds();
    InstallSuperShapePropertiesDialog();
    InstallSuperTextPropertiesDialog();
    try {
        if (args.size() == 2 && args.at(0) == QLatin1String("dump"))
            return Dump(args.at(1));
        if (args.size() == 3 && args.at(0) == QLatin1String("resave"))
            return Resave(args.at(1), args.at(2));
        if (!args.isEmpty() && args.at(0) == QLatin1String("stocks"))
            return ListStocks(args.mid(1));
        if (!args.isEmpty() && args.at(0) == QLatin1String("print"))
            return PrintSheet(ParseOptions(args.mid(1), TCommand::Print));
        if (!args.isEmpty() && args.at(0) == QLatin1String("export"))
            return ExportCard(ParseOptions(args.mid(1), TCommand::Export));
        if (!args.isEmpty() && args.at(0) == QLatin1String("render"))
            return RenderCard(ParseOptions(args.mid(1), TCommand::Render));
    } catch (const EUsage &e) {
        Print(stderr, QStringLiteral("tessaro-batch: %1\n\n").arg(e.message) +
                          QString::fromLatin1(Usage));
        return 2;
    } catch (const EReportError &e) {
        Print(stderr, e.Message() + QLatin1Char('\n'));
        return 1;
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
