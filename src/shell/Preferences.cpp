#include "shell/Preferences.h"

#include "shell/IniFile.h"
#include "graphics/Geometry.h"

namespace {

const QString kPrinter = QStringLiteral("Printer");
const QString kPersonal = QStringLiteral("Personal");
const QString kFont = QStringLiteral("Default Font");
const QString kLayout = QStringLiteral("Layout");

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

} // namespace

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

    p.Nudges.TopMarginNudge = ini.ReadInteger(kPrinter, QStringLiteral("TopMarginNudge"), 0);
    p.Nudges.LeftMarginNudge = ini.ReadInteger(kPrinter, QStringLiteral("LeftMarginNudge"), 0);
    p.Nudges.VerticalSpacing = ini.ReadInteger(kPrinter, QStringLiteral("VerticalSpacing"), 0);
    p.Nudges.HorizontalSpacing = ini.ReadInteger(kPrinter, QStringLiteral("HorizontalSpacing"), 0);
    // Values that read but make no sense would print blank or stacked sheets.
    if (const TLayoutProblem problem = p.Nudges.Check(); !problem.IsNone()) {
        p.LayoutProblem = ProblemText(iniPath, kPrinter, problem);
        p.LayoutFallback = QStringLiteral("The printer nudges are not used.");
        p.Nudges = TPrinterNudges();
    }
    p.ShowBottomMarginWarning = ini.ReadBool(kPrinter, QStringLiteral("ShowBottomMarginWarning"), true);

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
    if (l.Papersize != 1 && l.Papersize != 9)
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
    }

    TDefaultFontSetting &f = p.DefaultFont;
    const QString name = ini.ReadString(kFont, QStringLiteral("Name"), d.DefaultFont.Name);
    f.Name = name.trimmed().isEmpty() ? d.DefaultFont.Name : name;
    f.Size = IntegerInRange(ini, kFont, QStringLiteral("Size"), d.DefaultFont.Size, 1, 1638);
    f.Bold = ini.ReadBool(kFont, QStringLiteral("Bold"), false);
    f.Italic = ini.ReadBool(kFont, QStringLiteral("Italic"), false);
    f.Underline = ini.ReadBool(kFont, QStringLiteral("Underline"), false);
    return p;
}

bool SavePreferences(const QString &iniPath, const TPreferences &p, QString *error)
{
    TIniFile ini(iniPath);
    ini.BeginUpdate();
    ini.WriteInteger(kPrinter, QStringLiteral("TopMarginNudge"), p.Nudges.TopMarginNudge);
    ini.WriteInteger(kPrinter, QStringLiteral("LeftMarginNudge"), p.Nudges.LeftMarginNudge);
    ini.WriteInteger(kPrinter, QStringLiteral("VerticalSpacing"), p.Nudges.VerticalSpacing);
    ini.WriteInteger(kPrinter, QStringLiteral("HorizontalSpacing"), p.Nudges.HorizontalSpacing);
    for (int i = 0; i < TPreferences::PersonalInfoCount; ++i)
        ini.WriteString(kPersonal, PersonalInfoKeys().at(i), p.PersonalInfo.value(i));
    ini.WriteBool(kPrinter, QStringLiteral("ShowBottomMarginWarning"), p.ShowBottomMarginWarning);
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
    const bool ok = ini.EndUpdate();
    if (!ok && error)
        *error = ini.LastError();
    return ok;
}
