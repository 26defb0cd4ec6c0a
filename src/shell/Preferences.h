#pragma once

#include "printing/Editlo.h"

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

// Everything the program keeps in TSC.INI besides window placements and the
// recent files.
struct TPreferences
{
    static constexpr int PersonalInfoCount = 10;

    TPrinterNudges Nudges;
    bool ShowBottomMarginWarning = true;
    // Name, Company, Title, Address 1-3, Phone 1-2, EMail, Fax.
    QStringList PersonalInfo = QStringList(PersonalInfoCount, QString());
    TDefaultFontSetting DefaultFont;
    TCardLayout Layout;

    // Empty when the stored layout and printer nudges can be used. Otherwise
    // the first value that cannot, with its key, section and file, and why
    // (LayoutProblem); the layout or the nudges it belongs to are then the
    // standard ones, as LayoutFallback says.
    QString LayoutProblem;
    QString LayoutFallback;
};

// The keys of section "Personal", in the order of PersonalInfo.
const QStringList &PersonalInfoKeys();

// Reads the four sections; missing values and values that are not numbers
// give their defaults. A layout or nudges that the layout dialog would refuse
// are replaced by the standard ones and reported in LayoutProblem.
TPreferences LoadPreferences(const QString &iniPath);
// Writes the four sections; false (with the reason) when the file cannot be written.
bool SavePreferences(const QString &iniPath, const TPreferences &preferences,
                     QString *error = nullptr);

// Lengths are kept in thousandths of an inch.
int InchesToThousandths(float inches);
float ThousandthsToInches(int thousandths);
