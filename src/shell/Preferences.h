#pragma once

#include "document/CardLayout.h"
#include "printing/CardExport.h"

#include <QList>
#include <QString>
#include <QStringList>

struct TDefaultFontSetting
{
    QString Name = QStringLiteral("Arial");
    int Size = 10;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
};

// The nudges one printer queue keeps for itself, in section "Printer QUEUE".
struct TPrinterNudgeEntry
{
    QString Printer;
    TPrinterNudges Nudges;
    TDuplexSettings Duplex;
};

// Everything the program keeps in TSC.INI besides window placements and the
// recent files.
struct TPreferences
{
    static constexpr int PersonalInfoCount = 10;

    // The default printer's nudges (section "Printer"), also the nudges of
    // every printer without its own section.
    TPrinterNudges Nudges;
    // Printers with nudges of their own, as read or set.
    QList<TPrinterNudgeEntry> PrinterNudges;
    // The default printer's way with the backs of two-sided designs (also in
    // section "Printer"; its keys are written only when they differ from the
    // standard, so a file of single-sided printing stays as it was).
    TDuplexSettings Duplex;
    bool ShowBottomMarginWarning = true;
    // Name, Company, Title, Address 1-3, Phone 1-2, EMail, Fax.
    QStringList PersonalInfo = QStringList(PersonalInfoCount, QString());
    TDefaultFontSetting DefaultFont;
    TCardLayout Layout;
    // The last exports for a print shop and as an image (section "Export",
    // which older versions pass over). The bleed is kept as its text.
    TExportSettings Export;
    bool ExportInMillimetres = false;
    int ImageDpi = 300;
    bool ImageWithBleed = false;
    // The print shop's bleed and safe line on the card (section "View").
    bool PrintShopGuides = false;

    // Empty when the stored layout and printer nudges can be used. Otherwise
    // the first value that cannot, with its key, section and file, and why
    // (LayoutProblem); the layout or the nudges it belongs to are then the
    // standard ones, as LayoutFallback says.
    QString LayoutProblem;
    QString LayoutFallback;
    // Empty unless the settings file is there but cannot be read (a folder,
    // a FIFO, a file too large): then it says so, and every setting is the
    // standard one.
    QString SettingsProblem;

    // The nudges that apply on a printer queue: its own when it has them,
    // else those of section "Printer". An empty name is the default printer.
    TPrinterNudges NudgesFor(const QString &printer) const;
    // Keeps new nudges for a printer. The default printer's go to section
    // "Printer" (and to its own section too when it has one, which would
    // otherwise override them); another printer's to its own section.
    void SetNudgesFor(const QString &printer, bool isDefaultPrinter, const TPrinterNudges &nudges);
    // The same for the back side's settings.
    TDuplexSettings DuplexFor(const QString &printer) const;
    void SetDuplexFor(const QString &printer, bool isDefaultPrinter, const TDuplexSettings &duplex);
    // The queue's own entry (names in any case), or null.
    const TPrinterNudgeEntry *EntryFor(const QString &printer) const;
    TPrinterNudgeEntry *EntryFor(const QString &printer);
};

// "Printer QUEUE", or empty for a queue name that cannot be a section name
// (the printer then uses the default nudges).
QString PrinterSectionName(const QString &printer);

// The keys of section "Personal", in the order of PersonalInfo.
const QStringList &PersonalInfoKeys();

// Reads the sections above; missing values and values that are not numbers
// give their defaults. A layout or nudges that the layout dialog would refuse
// are replaced by the standard ones and reported in LayoutProblem.
TPreferences LoadPreferences(const QString &iniPath);
// Writes the sections above; false (with the reason) when the file cannot be written.
bool SavePreferences(const QString &iniPath, const TPreferences &preferences,
                     QString *error = nullptr);
// Write section "View" or "Export" alone: switching a view or exporting a
// card must not write back the other settings (a layout that could not be
// used, say) as they are held.
bool SaveViewPreferences(const QString &iniPath, const TPreferences &preferences,
                         QString *error = nullptr);
bool SaveExportPreferences(const QString &iniPath, const TPreferences &preferences,
                           QString *error = nullptr);

// Lengths are kept in thousandths of an inch.
int InchesToThousandths(float inches);
float ThousandthsToInches(int thousandths);
