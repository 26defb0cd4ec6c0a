#include "document/CardLayout.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace {

constexpr double kMMPerInch = 25.4;

struct PredefinedEntry
{
    const char *name;
    TCardLayout layout;
};

TCardLayout Make(int index, float height, float width, float top, float left, int paper)
{
    TCardLayout l;
    l.Height = height;
    l.Width = width;
    l.Across = 2;
    l.Down = 5;
    l.TopMargin = top;
    l.LeftMargin = left;
    l.HPitch = width;
    l.VPitch = height;
    l.PredefLayout = index;
    l.Papersize = paper;
    l.UseMM = false;
    return l;
}

constexpr int kLetter = TCardLayout::PaperLetter;
constexpr int kA4 = TCardLayout::PaperA4;

const std::array<PredefinedEntry, TCardLayout::PredefinedCount> kPredefined = {{
    {"Avery Business Card 5371 (Letter Size Paper)", Make(0, 2.0f, 3.5f, 0.5f, 0.75f, kLetter)},
    {"Avery Business Card 5372 (Letter Size Paper)", Make(1, 2.0f, 3.5f, 0.5f, 0.75f, kLetter)},
    {"Avery Business Card 5376 - Ivory (Letter Size Paper)",
     Make(2, 2.0f, 3.5f, 0.5f, 0.75f, kLetter)},
    {"Avery Business Card 5377 - Gray (Letter Size Paper)",
     Make(3, 2.0f, 3.5f, 0.5f, 0.75f, kLetter)},
    {"Avery Business Card 5911 (Letter Size Paper)", Make(4, 2.0f, 3.5f, 0.5f, 0.75f, kLetter)},
    {"Avery Business Card 8371 Ink Jet (Letter Size Paper)",
     Make(5, 2.0f, 3.5f, 0.5f, 0.75f, kLetter)},
    {"Avery Business Card 8372 Ink Jet (Letter Size Paper)",
     Make(6, 2.0f, 3.5f, 0.5f, 0.75f, kLetter)},
    {"Avery Business Card 8376 Ink Jet - Ivory (Letter Size Paper)",
     Make(7, 2.0f, 3.5f, 0.5f, 0.75f, kLetter)},
    {"Avery Business Card 8377 Ink Jet - Gray (Letter Size Paper)",
     Make(8, 2.0f, 3.5f, 0.5f, 0.75f, kLetter)},
    {"Avery Business Card L7413 (A4 Size Paper)", Make(9, 2.0f, 3.543f, 0.846f, 0.591f, kA4)},
    {"Avery Business Card L7414 (A4 Size Paper)", Make(10, 2.047f, 3.543f, 0.728f, 0.591f, kA4)},
    {"Avery Business Card L7415 (A4 Size Paper)", Make(11, 2.047f, 3.543f, 0.728f, 0.591f, kA4)},
    {"Avery Business Card L7417 (A4 Size Paper)", Make(12, 2.126f, 3.543f, 0.531f, 0.591f, kA4)},
    {"Avery Business Card L7419 (A4)", Make(13, 2.126f, 3.543f, 0.531f, 0.591f, kA4)},
}};

} // namespace

const TCardLayout &TCardLayout::PredefinedLayout(int index)
{
    if (index < 0 || index >= PredefinedCount)
        index = 0;
    return kPredefined[std::size_t(index)].layout;
}

QString TCardLayout::PredefinedLayoutName(int index)
{
    if (index < 0 || index >= PredefinedCount)
        return QString();
    return QString::fromLatin1(kPredefined[std::size_t(index)].name);
}

TLayoutProblem TCardLayout::Check() const
{
    struct Length
    {
        const char *key;
        const char *label;
        float value;
        bool margin;
    };
    // In the order the dialog checks its fields.
    const Length lengths[] = {
        {"Height", "Card Height", Height, false},
        {"Width", "Card Width", Width, false},
        {"TopMargin", "Top Margin", TopMargin, true},
        {"LeftMargin", "Left Margin", LeftMargin, true},
        {"HPitch", "Horizontal Pitch", HPitch, false},
        {"VPitch", "Vertical Pitch", VPitch, false},
    };
    for (const Length &length : lengths) {
        const double bottom = length.margin ? -kMaxLayoutInches : 0.0;
        // A field holds what it shows: three decimals.
        const double shown = std::round(double(length.value) * 1000.0) / 1000.0;
        if (!(shown >= bottom && shown <= kMaxLayoutInches))
            return {QString::fromLatin1(length.key),
                    LayoutRangeMessage(QString::fromLatin1(length.label),
                                       FormatLayoutNumber(bottom, 3, true),
                                       FormatLayoutNumber(kMaxLayoutInches, 3, true))};
    }
    if (Across < 1 || Across > kMaxLayoutAcross)
        return {QStringLiteral("Across"),
                LayoutRangeMessage(QStringLiteral("# across"), QStringLiteral("1"),
                                   QString::number(kMaxLayoutAcross))};
    if (Down < 1 || Down > kMaxLayoutDown)
        return {QStringLiteral("Down"),
                LayoutRangeMessage(QStringLiteral("# down"), QStringLiteral("1"),
                                   QString::number(kMaxLayoutDown))};
    // Round corners meet at most in the middle of the card's shorter side.
    if (!(CornerRadius >= 0.0f &&
          double(CornerRadius) <= std::min(double(Width), double(Height)) / 2.0 + 0.0005))
        return {QStringLiteral("CornerRadius"),
                QStringLiteral("The corner radius must be from 0 to half the card's shorter side")};
    return CheckCardRules();
}

TLayoutProblem TPrinterNudges::Check() const
{
    const std::pair<const char *, int> nudges[] = {
        {"TopMarginNudge", TopMarginNudge},
        {"LeftMarginNudge", LeftMarginNudge},
        {"VerticalSpacing", VerticalSpacing},
        {"HorizontalSpacing", HorizontalSpacing},
    };
    for (const auto &[key, value] : nudges) {
        if (value < -kMaxPrinterNudge || value > kMaxPrinterNudge)
            return {QString::fromLatin1(key),
                    LayoutRangeMessage(QString::fromLatin1(key), QString::number(-kMaxPrinterNudge),
                                       QString::number(kMaxPrinterNudge)) +
                        QStringLiteral(" (1/32 inch)")};
    }
    return {};
}

QPointF TCardLayout::PositionCorner(int col, int row) const
{
    return QPointF(double(LeftMargin) + col * double(HPitch),
                   double(TopMargin) + row * double(VPitch));
}

QSizeF TCardLayout::PaperInches() const
{
    if (Papersize == PaperLetter)
        return QSizeF(8.5, 11.0);
    if (Papersize == PaperA4)
        return QSizeF(210.0 / kMMPerInch, 297.0 / kMMPerInch);
    if (Papersize == PaperA3)
        return QSizeF(297.0 / kMMPerInch, 420.0 / kMMPerInch);
    return QSizeF();
}

bool TCardLayout::SameSheet(const TCardLayout &o) const
{
    auto same = [](float a, float b) {
        return std::round(double(a) * 1000.0) == std::round(double(b) * 1000.0);
    };
    return same(Height, o.Height) && same(Width, o.Width) && same(TopMargin, o.TopMargin) &&
           same(LeftMargin, o.LeftMargin) && same(HPitch, o.HPitch) && same(VPitch, o.VPitch) &&
           Across == o.Across && Down == o.Down && Papersize == o.Papersize;
}

QString TCardLayout::PaperFitMessage(bool millimetres) const
{
    const QSizeF paper = PaperInches();
    if (paper.isEmpty())
        return QString();
    const QString paperName = Papersize == PaperA4   ? QStringLiteral("A4")
                              : Papersize == PaperA3 ? QStringLiteral("A3")
                                                     : QStringLiteral("Letter");
    auto length = [millimetres](double inches) {
        return millimetres ? FormatLayoutNumber(inches * kMMPerInch, 2, true) + QStringLiteral("mm")
                           : FormatLayoutNumber(inches, 3, true) + QStringLiteral(" inches");
    };
    // Lengths are kept to a thousandth of an inch: closer than half of that
    // to the edge is on the paper.
    constexpr double tolerance = 0.0005;
    if (double(Width) > paper.width() + tolerance)
        return QStringLiteral("Card Width must be at most %1 to fit on %2 paper")
            .arg(length(paper.width()), paperName);
    if (double(Height) > paper.height() + tolerance)
        return QStringLiteral("Card Height must be at most %1 to fit on %2 paper")
            .arg(length(paper.height()), paperName);
    const QPointF last = PositionCorner(Across - 1, Down - 1);
    const double right = last.x() + double(Width);
    const double bottom = last.y() + double(Height);
    if (right > paper.width() + tolerance)
        return QStringLiteral("The cards across end %1 from the left edge of the %2 paper, which "
                              "is %3 wide: reduce # across, Horizontal Pitch or Left Margin")
            .arg(length(right), paperName, length(paper.width()));
    if (bottom > paper.height() + tolerance)
        return QStringLiteral("The cards down end %1 from the top edge of the %2 paper, which is "
                              "%3 high: reduce # down, Vertical Pitch or Top Margin")
            .arg(length(bottom), paperName, length(paper.height()));
    return QString();
}

TLayoutProblem TCardLayout::CheckCardRules() const
{
    // Written so that a NaN fails every test.
    if (!(Height >= 0.3))
        return {QStringLiteral("Height"),
                QStringLiteral("Card Height must be at least .3 inches (or 7mm)")};
    if (!(Width >= 0.5))
        return {QStringLiteral("Width"),
                QStringLiteral("Card Width must be at least .5 inch (or 13mm)")};
    if (Across >= 2 && !(HPitch >= Width))
        return {QStringLiteral("HPitch"),
                QStringLiteral("Horizontal Pitch must be at least = Card Width")};
    if (Down >= 2 && !(VPitch >= Height))
        return {QStringLiteral("VPitch"),
                QStringLiteral("Vertical Pitch must be at least = Card Height")};
    return {};
}

QLocale LayoutNumberLocale()
{
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
    return c;
}

QString FormatLayoutNumber(double value, int decimals, bool trimZeros)
{
    QString text = QString::number(value, 'f', decimals);
    if (trimZeros && text.contains(QLatin1Char('.'))) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(QLatin1Char('.')))
            text.chop(1);
    }
    // A tiny negative value rounds to "-0" (or "-0.00"); show it unsigned.
    if (text.startsWith(QLatin1Char('-')) && LayoutNumberLocale().toDouble(text) == 0.0)
        text.remove(0, 1);
    return text;
}

QString LayoutRangeMessage(const QString &label, const QString &bottom, const QString &top)
{
    return QStringLiteral("%1 must be a number from %2 to %3").arg(label, bottom, top);
}
