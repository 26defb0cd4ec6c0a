#include "shell/Preferences.h"

#include "document/CardStocks.h"
#include "graphics/Geometry.h"
#include "shell/IniFile.h"

#include <utility>
#include <QDir>
#include <QFileInfo>

namespace {

const QString kPrinter = QStringLiteral("Printer");
const QString kPersonal = QStringLiteral("Personal");
const QString kFont = QStringLiteral("Default Font");
const QString kLayout = QStringLiteral("Layout");
const QString kExport = QStringLiteral("Export");
const QString kView = QStringLiteral("View");
const QString kPrintShopGuides = QStringLiteral("PrintShopGuides");

void WriteExport(TIniFile &ini, const TPreferences &p)
{
    ini.WriteString(kExport, QStringLiteral("Bleed"),
                    BleedText(p.Export.Bleed, p.ExportInMillimetres));
    ini.WriteBool(kExport, QStringLiteral("CropMarks"), p.Export.CropMarks);
    ini.WriteBool(kExport, QStringLiteral("Cmyk"), p.Export.Cmyk);
    ini.WriteInteger(kExport, QStringLiteral("ImageDpi"), p.ImageDpi);
    ini.WriteBool(kExport, QStringLiteral("ImageBleed"), p.ImageWithBleed);
}

float Length(const TIniFile &ini, const QString &key, float def)
{
    return ThousandthsToInches(ini.ReadInteger(kLayout, key, InchesToThousandths(def)));
}

int IntegerInRange(const TIniFile &ini, const QString &section, const QString &key, int def,
                   int low, int high)
{
    const int v = ini.ReadInteger(section, key, def);
    return (v < low || v > high) ? def : v;
}

QString ProblemText(const QString &iniPath, const QString &section, const TLayoutProblem &problem)
{
    return QStringLiteral("The value of %1 in section [%2] of %3 cannot be used: %4.")
        .arg(problem.Key, section, iniPath, problem.Message);
}

const char *const kNudgeKeys[] = {"TopMarginNudge", "LeftMarginNudge", "VerticalSpacing",
                                  "HorizontalSpacing"};

int *NudgeField(TPrinterNudges &n, int i)
{
    int *fields[] = {&n.TopMarginNudge, &n.LeftMarginNudge, &n.VerticalSpacing,
                     &n.HorizontalSpacing};
    return fields[i];
}

// Missing keys take the values of `base`.
TPrinterNudges ReadNudges(const TIniFile &ini, const QString &section, const TPrinterNudges &base)
{
    TPrinterNudges n = base;
    for (int i = 0; i < 4; ++i)
        *NudgeField(n, i) =
            ini.ReadInteger(section, QLatin1String(kNudgeKeys[i]), *NudgeField(n, i));
    return n;
}

void WriteNudges(TIniFile &ini, const QString &section, TPrinterNudges n)
{
    for (int i = 0; i < 4; ++i)
        ini.WriteInteger(section, QLatin1String(kNudgeKeys[i]), *NudgeField(n, i));
}

const char *const kBackNudgeKeys[] = {"BackTopMarginNudge", "BackLeftMarginNudge",
                                      "BackVerticalSpacing", "BackHorizontalSpacing"};
const QString kFlipShortEdge = QStringLiteral("FlipShortEdge");
const QString kManualDuplex = QStringLiteral("ManualDuplex");
const QString kFeedFaceUp = QStringLiteral("FeedFaceUp");

// Missing keys take the values of `base`; back nudges out of range are not used.
TDuplexSettings ReadDuplex(const TIniFile &ini, const QString &section, const TDuplexSettings &base)
{
    TDuplexSettings d = base;
    for (int i = 0; i < 4; ++i)
        *NudgeField(d.BackNudges, i) = ini.ReadInteger(section, QLatin1String(kBackNudgeKeys[i]),
                                                       *NudgeField(d.BackNudges, i));
    if (!d.BackNudges.Check().IsNone())
        d.BackNudges = base.BackNudges;
    d.ShortEdge = ini.ReadBool(section, kFlipShortEdge, base.ShortEdge);
    d.Manual = ini.ReadBool(section, kManualDuplex, base.Manual);
    d.FeedFaceUp = ini.ReadBool(section, kFeedFaceUp, base.FeedFaceUp);
    return d;
}

// Only settings that differ from what a missing key gives are written.
void WriteDuplex(TIniFile &ini, const QString &section, const TDuplexSettings &d,
                 const TDuplexSettings &base)
{
    if (d == base) {
        for (const char *key : kBackNudgeKeys)
            ini.DeleteKey(section, QLatin1String(key));
        for (const QString &key : {kFlipShortEdge, kManualDuplex, kFeedFaceUp})
            ini.DeleteKey(section, key);
        return;
    }
    TPrinterNudges back = d.BackNudges;
    for (int i = 0; i < 4; ++i)
        ini.WriteInteger(section, QLatin1String(kBackNudgeKeys[i]), *NudgeField(back, i));
    ini.WriteBool(section, kFlipShortEdge, d.ShortEdge);
    ini.WriteBool(section, kManualDuplex, d.Manual);
    ini.WriteBool(section, kFeedFaceUp, d.FeedFaceUp);
}

const QString kPrinterSectionPrefix = QStringLiteral("Printer ");

} // namespace

QString PrinterSectionName(const QString &printer)
{
    // The reader trims names and ends a section name at ']'.
    if (printer.isEmpty() || printer.trimmed() != printer)
        return QString();
    for (const QChar c : printer)
        if (c == QLatin1Char(']') || c.category() == QChar::Other_Control)
            return QString();
    return kPrinterSectionPrefix + printer;
}

const TPrinterNudgeEntry *TPreferences::EntryFor(const QString &printer) const
{
    if (!printer.isEmpty())
        for (const TPrinterNudgeEntry &entry : PrinterNudges)
            if (entry.Printer.compare(printer, Qt::CaseInsensitive) == 0)
                return &entry;
    return nullptr;
}

TPrinterNudgeEntry *TPreferences::EntryFor(const QString &printer)
{
    return const_cast<TPrinterNudgeEntry *>(std::as_const(*this).EntryFor(printer));
}

TPrinterNudges TPreferences::NudgesFor(const QString &printer) const
{
    const TPrinterNudgeEntry *entry = EntryFor(printer);
    return entry ? entry->Nudges : Nudges;
}

void TPreferences::SetNudgesFor(const QString &printer, bool isDefaultPrinter,
                                const TPrinterNudges &nudges)
{
    if (isDefaultPrinter || printer.isEmpty())
        Nudges = nudges;
    if (TPrinterNudgeEntry *entry = EntryFor(printer))
        entry->Nudges = nudges;
    else if (!isDefaultPrinter && !printer.isEmpty())
        PrinterNudges.append({printer, nudges, Duplex});
}

TDuplexSettings TPreferences::DuplexFor(const QString &printer) const
{
    const TPrinterNudgeEntry *entry = EntryFor(printer);
    return entry ? entry->Duplex : Duplex;
}

void TPreferences::SetDuplexFor(const QString &printer, bool isDefaultPrinter,
                                const TDuplexSettings &duplex)
{
    if (isDefaultPrinter || printer.isEmpty())
        Duplex = duplex;
    if (TPrinterNudgeEntry *entry = EntryFor(printer))
        entry->Duplex = duplex;
    // A queue's own section carries its front nudges too: the default ones.
    else if (!isDefaultPrinter && !printer.isEmpty())
        PrinterNudges.append({printer, Nudges, duplex});
}

const QStringList &PersonalInfoKeys()
{
    static const QStringList keys{
        QStringLiteral("Name"),     QStringLiteral("Company"),  QStringLiteral("Title"),
        QStringLiteral("Address1"), QStringLiteral("Address2"), QStringLiteral("Address3"),
        QStringLiteral("Phone1"),   QStringLiteral("Phone2"),   QStringLiteral("Email"),
        QStringLiteral("Fax"),
    };
    return keys;
}

int InchesToThousandths(float inches)
{
    return RoundEven(double(inches) * 1000.0);
}

float ThousandthsToInches(int thousandths)
{
    return static_cast<float>(thousandths * 0.001);
}

TPreferences LoadPreferences(const QString &iniPath)
{
    const TIniFile ini(iniPath);
    TPreferences p;
    const TPreferences d;
    if (!ini.ReadProblem().isEmpty())
        p.SettingsProblem = QStringLiteral("The settings file %1 cannot be read (%2); the "
                                           "standard settings are used.")
                                .arg(iniPath, ini.ReadProblem());

    p.Nudges = ReadNudges(ini, kPrinter, TPrinterNudges());
    // Values that read but make no sense would print blank or stacked sheets.
    if (const TLayoutProblem problem = p.Nudges.Check(); !problem.IsNone()) {
        p.LayoutProblem = ProblemText(iniPath, kPrinter, problem);
        p.LayoutFallback = QStringLiteral("The printer nudges are not used.");
        p.Nudges = TPrinterNudges();
    }
    p.ShowBottomMarginWarning = ini.ReadBool(kPrinter, QStringLiteral("ShowBottomMarginWarning"), true);
    p.Duplex = ReadDuplex(ini, kPrinter, TDuplexSettings());
    // Each printer's own section; one with a value that cannot be used is
    // left out (that printer takes the default nudges) and left in the file.
    for (const QString &section : ini.ReadSections()) {
        if (!section.startsWith(kPrinterSectionPrefix, Qt::CaseInsensitive))
            continue;
        const QString printer = section.mid(kPrinterSectionPrefix.size()).trimmed();
        if (printer.isEmpty() || PrinterSectionName(printer).isEmpty())
            continue;
        const TPrinterNudges nudges = ReadNudges(ini, section, p.Nudges);
        if (nudges.Check().IsNone())
            p.PrinterNudges.append({printer, nudges, ReadDuplex(ini, section, p.Duplex)});
    }

    for (int i = 0; i < TPreferences::PersonalInfoCount; ++i)
        p.PersonalInfo[i] = ini.ReadString(kPersonal, PersonalInfoKeys().at(i), QString());

    TCardLayout &l = p.Layout;
    const TCardLayout &dl = d.Layout;
    l.Height = Length(ini, QStringLiteral("Height"), dl.Height);
    l.Width = Length(ini, QStringLiteral("Width"), dl.Width);
    l.Across = ini.ReadInteger(kLayout, QStringLiteral("Across"), dl.Across);
    l.Down = ini.ReadInteger(kLayout, QStringLiteral("Down"), dl.Down);
    l.TopMargin = Length(ini, QStringLiteral("TopMargin"), dl.TopMargin);
    l.LeftMargin = Length(ini, QStringLiteral("LeftMargin"), dl.LeftMargin);
    l.HPitch = Length(ini, QStringLiteral("HPitch"), dl.HPitch);
    l.VPitch = Length(ini, QStringLiteral("VPitch"), dl.VPitch);
    l.PredefLayout = IntegerInRange(ini, kLayout, QStringLiteral("PredefLayout"), dl.PredefLayout,
                                    -1, 13);
    l.Papersize = ini.ReadInteger(kLayout, QStringLiteral("Papersize"), dl.Papersize);
    if (l.Papersize != TCardLayout::PaperLetter && l.Papersize != TCardLayout::PaperA4 &&
        l.Papersize != TCardLayout::PaperA3)
        l.Papersize = dl.Papersize;
    l.UseMM = ini.ReadBool(kLayout, QStringLiteral("UseMM"), dl.UseMM);
    // Checked as the layout dialog checks what is typed into it; a layout it
    // would refuse is not used at all, rather than value by value.
    if (const TLayoutProblem problem = l.Check(); !problem.IsNone()) {
        if (p.LayoutProblem.isEmpty()) {
            p.LayoutProblem = ProblemText(iniPath, kLayout, problem);
            p.LayoutFallback = QStringLiteral("The standard card layout is used until the layout "
                                              "is changed (Edit, Change Business Card Layout).");
        } else {
            p.LayoutFallback = QStringLiteral(
                "The standard card layout is used until the layout is changed (Edit, Change "
                "Business Card Layout), and the printer nudges are not used.");
        }
        l = TCardLayout();
    } else if (const QString stock = ini.ReadString(kLayout, QStringLiteral("Stock"), QString());
               !stock.isEmpty()) {
        // The stock the layout was chosen from gives its corners, while the
        // layout is still that stock's; the user's stocks sit beside TSC.INI.
        const TStockCatalogue catalogue = TStockCatalogue::Load(
            QFileInfo(iniPath).absoluteDir().filePath(QStringLiteral("stocks.csv")));
        if (const int i = catalogue.Matching(stock, l); i >= 0) {
            l.Stock = stock;
            l.CornerRadius = catalogue.Stocks().at(i).Layout().CornerRadius;
        }
    }

    TDefaultFontSetting &f = p.DefaultFont;
    const QString name = ini.ReadString(kFont, QStringLiteral("Name"), d.DefaultFont.Name);
    f.Name = name.trimmed().isEmpty() ? d.DefaultFont.Name : name;
    f.Size = IntegerInRange(ini, kFont, QStringLiteral("Size"), d.DefaultFont.Size, 1, 1638);
    f.Bold = ini.ReadBool(kFont, QStringLiteral("Bold"), false);
    f.Italic = ini.ReadBool(kFont, QStringLiteral("Italic"), false);
    f.Underline = ini.ReadBool(kFont, QStringLiteral("Underline"), false);
    const QString bleed = ini.ReadString(kExport, QStringLiteral("Bleed"), QString());
    if (const std::optional<double> inches = ParseBleed(bleed)) {
        p.Export.Bleed = *inches;
        p.ExportInMillimetres = bleed.contains(QLatin1String("mm"), Qt::CaseInsensitive);
    }
    p.Export.CropMarks = ini.ReadBool(kExport, QStringLiteral("CropMarks"), d.Export.CropMarks);
    p.Export.Cmyk = ini.ReadBool(kExport, QStringLiteral("Cmyk"), d.Export.Cmyk);
    p.ImageDpi = IntegerInRange(ini, kExport, QStringLiteral("ImageDpi"), d.ImageDpi, 10, 2400);
    p.ImageWithBleed = ini.ReadBool(kExport, QStringLiteral("ImageBleed"), d.ImageWithBleed);
    p.PrintShopGuides = ini.ReadBool(kView, kPrintShopGuides, false);
    return p;
}

bool SavePreferences(const QString &iniPath, const TPreferences &p, QString *error)
{
    TIniFile ini(iniPath);
    ini.BeginUpdate();
    WriteNudges(ini, kPrinter, p.Nudges);
    WriteDuplex(ini, kPrinter, p.Duplex, TDuplexSettings());
    for (int i = 0; i < TPreferences::PersonalInfoCount; ++i)
        ini.WriteString(kPersonal, PersonalInfoKeys().at(i), p.PersonalInfo.value(i));
    ini.WriteBool(kPrinter, QStringLiteral("ShowBottomMarginWarning"), p.ShowBottomMarginWarning);
    for (const TPrinterNudgeEntry &entry : p.PrinterNudges) {
        // A queue whose name cannot be a section keeps its nudges for this run.
        const QString section = PrinterSectionName(entry.Printer);
        if (!section.isEmpty()) {
            WriteNudges(ini, section, entry.Nudges);
            WriteDuplex(ini, section, entry.Duplex, p.Duplex);
        }
    }
    ini.WriteString(kFont, QStringLiteral("Name"), p.DefaultFont.Name);
    ini.WriteInteger(kFont, QStringLiteral("Size"), p.DefaultFont.Size);
    ini.WriteBool(kFont, QStringLiteral("Bold"), p.DefaultFont.Bold);
    ini.WriteBool(kFont, QStringLiteral("Italic"), p.DefaultFont.Italic);
    ini.WriteBool(kFont, QStringLiteral("Underline"), p.DefaultFont.Underline);
    const TCardLayout &l = p.Layout;
    ini.WriteInteger(kLayout, QStringLiteral("Height"), InchesToThousandths(l.Height));
    ini.WriteInteger(kLayout, QStringLiteral("Width"), InchesToThousandths(l.Width));
    ini.WriteInteger(kLayout, QStringLiteral("TopMargin"), InchesToThousandths(l.TopMargin));
    ini.WriteInteger(kLayout, QStringLiteral("LeftMargin"), InchesToThousandths(l.LeftMargin));
    ini.WriteInteger(kLayout, QStringLiteral("HPitch"), InchesToThousandths(l.HPitch));
    ini.WriteInteger(kLayout, QStringLiteral("VPitch"), InchesToThousandths(l.VPitch));
    ini.WriteInteger(kLayout, QStringLiteral("PredefLayout"), l.PredefLayout);
    ini.WriteInteger(kLayout, QStringLiteral("Papersize"), l.Papersize);
    ini.WriteInteger(kLayout, QStringLiteral("Across"), l.Across);
    ini.WriteInteger(kLayout, QStringLiteral("Down"), l.Down);
    ini.WriteBool(kLayout, QStringLiteral("UseMM"), l.UseMM);
    if (!l.Stock.isEmpty())
        ini.WriteString(kLayout, QStringLiteral("Stock"), l.Stock);
    else
        ini.DeleteKey(kLayout, QStringLiteral("Stock"));
    WriteExport(ini, p);
    ini.WriteBool(kView, kPrintShopGuides, p.PrintShopGuides);
    const bool ok = ini.EndUpdate();
    if (!ok && error)
        *error = ini.LastError();
    return ok;
}

bool SaveViewPreferences(const QString &iniPath, const TPreferences &p, QString *error)
{
    TIniFile ini(iniPath);
    const bool ok = ini.WriteBool(kView, kPrintShopGuides, p.PrintShopGuides);
    if (!ok && error)
        *error = ini.LastError();
    return ok;
}

bool SaveExportPreferences(const QString &iniPath, const TPreferences &p, QString *error)
{
    TIniFile ini(iniPath);
    ini.BeginUpdate();
    WriteExport(ini, p);
    const bool ok = ini.EndUpdate();
    if (!ok && error)
        *error = ini.LastError();
    return ok;
}
