#include "document/CardStocks.h"

#include "document/MergeData.h"
#include "document/ProgramFolder.h"
#include "graphics/RegularFile.h"

#include <QFile>
#include <QLocale>
#include <QRegularExpression>
#include <QSaveFile>
#include <algorithm>
#include <cmath>

// Outside any namespace: Q_INIT_RESOURCE declares the registration function.
static void InitStockResource()
{
    Q_INIT_RESOURCE(stocks);
}

namespace {

constexpr double kPtPerInch = 72.0;
constexpr double kMMPerPt = 25.4 / 72.0;
constexpr int kFieldCount = 16;
// Largest paper the catalogue takes (A3 is 1190.55 points long) and the
// longest card length or pitch (the layout dialog's limit).
constexpr double kMaxPaperPt = 1300.0;
constexpr double kMaxLengthPt = kMaxLayoutInches * kPtPerInch;

const char kHeader[] = "brand,part,same_as,description,paper,paper_width_pt,paper_height_pt,"
                       "card_width_pt,card_height_pt,corner_radius_pt,columns,rows,left_pt,"
                       "top_pt,column_pitch_pt,row_pitch_pt";

struct TPaperName
{
    const char *name;
    int code;
};
const TPaperName kPapers[] = {
    {"US Letter", TCardLayout::PaperLetter},
    {"A4", TCardLayout::PaperA4},
    {"A3", TCardLayout::PaperA3},
};

int PaperCode(const QString &name)
{
    for (const TPaperName &p : kPapers)
        if (name.compare(QLatin1String(p.name), Qt::CaseInsensitive) == 0)
            return p.code;
    return 0;
}

QString PaperName(int code)
{
    for (const TPaperName &p : kPapers)
        if (p.code == code)
            return QString::fromLatin1(p.name);
    return QString();
}

float Inches(double points)
{
    // To the thousandth the dialog shows and the preferences file keeps, so
    // that a chosen stock reads back as the same layout.
    return float(std::round(points / kPtPerInch * 1000.0) / 1000.0);
}

double Points(float inches)
{
    return std::round(double(inches) * kPtPerInch * 100.0) / 100.0;
}

QString Quoted(const QString &text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        text.trimmed() == text)
        return text;
    return QLatin1Char('"') + QString(text).replace(QLatin1String("\""), QLatin1String("\"\"")) +
           QLatin1Char('"');
}

// Two decimals at least, as the shipped list has them; more when the value
// has them, so that what is written reads back the same.
QString Number(double value)
{
    const QString fixed = QString::number(value, 'f', 2);
    if (fixed.toDouble() == value)
        return fixed;
    return QString::number(value, 'f', QLocale::FloatingPointShortest);
}

// One line's fields as a stock, or why not.
QString ParseStock(const QStringList &f, TCardStock *s)
{
    if (f.size() != kFieldCount)
        return QStringLiteral("%1 fields where %2 are expected").arg(f.size()).arg(kFieldCount);
    for (int i = 0; i < 5; ++i) {
        if (f.at(i).size() > kMaxStockTextLength)
            return QStringLiteral("a text longer than %1 characters").arg(kMaxStockTextLength);
        for (const QChar c : f.at(i))
            if (c.category() == QChar::Other_Control || c.isNonCharacter() || c.isSurrogate())
                return QStringLiteral("a control character in a text");
    }
    s->Brand = f.at(0).trimmed();
    s->Part = f.at(1).trimmed();
    s->SameAs = f.at(2).trimmed();
    s->Description = f.at(3).trimmed();
    s->Paper = f.at(4).trimmed();
    if (s->Brand.isEmpty() || s->Part.isEmpty())
        return QStringLiteral("a stock without brand or part");
    const int paper = PaperCode(s->Paper);
    if (paper == 0)
        return QStringLiteral("the paper \"%1\" (US Letter, A4 or A3 are known)").arg(s->Paper);
    s->Paper = PaperName(paper);

    struct TNumber
    {
        const char *name;
        double *value;
        double bottom;
        double top;
    };
    const TNumber numbers[] = {
        {"paper_width_pt", &s->PaperWidthPt, 1.0, kMaxPaperPt},
        {"paper_height_pt", &s->PaperHeightPt, 1.0, kMaxPaperPt},
        {"card_width_pt", &s->CardWidthPt, 1.0, kMaxLengthPt},
        {"card_height_pt", &s->CardHeightPt, 1.0, kMaxLengthPt},
        {"corner_radius_pt", &s->CornerRadiusPt, 0.0, kMaxLengthPt / 2},
        {"left_pt", &s->LeftPt, -kMaxLengthPt, kMaxLengthPt},
        {"top_pt", &s->TopPt, -kMaxLengthPt, kMaxLengthPt},
        {"column_pitch_pt", &s->ColumnPitchPt, 0.0, kMaxLengthPt},
        {"row_pitch_pt", &s->RowPitchPt, 0.0, kMaxLengthPt},
    };
    const int columns[] = {5, 6, 7, 8, 9, 12, 13, 14, 15};
    for (int i = 0; i < int(std::size(numbers)); ++i) {
        bool ok = false;
        const double v = f.at(columns[i]).trimmed().toDouble(&ok);
        if (!ok || !std::isfinite(v) || v < numbers[i].bottom || v > numbers[i].top)
            return QStringLiteral("%1 is \"%2\", not a number from %3 to %4")
                .arg(QLatin1String(numbers[i].name), f.at(columns[i]).left(20))
                .arg(numbers[i].bottom)
                .arg(numbers[i].top);
        *numbers[i].value = v;
    }
    bool okColumns = false;
    bool okRows = false;
    s->Columns = f.at(10).trimmed().toInt(&okColumns);
    s->Rows = f.at(11).trimmed().toInt(&okRows);
    if (!okColumns || s->Columns < 1 || s->Columns > kMaxLayoutAcross)
        return QStringLiteral("columns must be a number from 1 to %1").arg(kMaxLayoutAcross);
    if (!okRows || s->Rows < 1 || s->Rows > kMaxLayoutDown)
        return QStringLiteral("rows must be a number from 1 to %1").arg(kMaxLayoutDown);
    // The paper named and its size agree, to a point.
    const QSizeF paperInches = s->Layout().PaperInches();
    if (std::abs(paperInches.width() * kPtPerInch - s->PaperWidthPt) > 1.0 ||
        std::abs(paperInches.height() * kPtPerInch - s->PaperHeightPt) > 1.0)
        return QStringLiteral("the paper size is not that of %1").arg(s->Paper);
    const TCardLayout layout = s->Layout();
    if (const TLayoutProblem problem = layout.Check(); !problem.IsNone())
        return problem.Message;
    return layout.PaperFitMessage(true);
}

TCardStock PredefinedStock(int index)
{
    const TCardLayout &l = TCardLayout::PredefinedLayout(index);
    const QString name = TCardLayout::PredefinedLayoutName(index);
    TCardStock s = StockFromLayout(l, QStringLiteral("Avery"), QString(), name);
    // "Avery Business Card 5371 (Letter ..." / "... L7419 (A4)": the part
    // number is the word after "Business Card".
    static const QRegularExpression part(QStringLiteral("Business Card (\\S+)"));
    s.Part = part.match(name).captured(1);
    s.Predefined = index;
    return s;
}

QList<TCardStock> ReadBuiltIn()
{
    InitStockResource();
    QList<TCardStock> stocks;
    for (int i = 0; i < TCardLayout::PredefinedCount; ++i)
        stocks.append(PredefinedStock(i));
    // The installed list when there is one, else the one built in.
    const QString data = InstalledDataFolder();
    const QString installed = data + QStringLiteral("stocks/card-stocks.csv");
    QFile file(!data.isEmpty() && QFile::exists(installed)
                   ? installed
                   : QStringLiteral(":/stocks/card-stocks.csv"));
    if (file.open(QIODevice::ReadOnly)) {
        const TStockReadResult read = ReadCardStocks(file.readAll());
        stocks += read.Stocks;
    }
    return stocks;
}

// Lower case, runs of blanks as one space.
QString Simplified(const QString &text)
{
    return text.simplified().toLower();
}

// A "W x H" size in the query: width and height in millimetres.
struct TSizeWord
{
    double widthMM = 0.0;
    double heightMM = 0.0;
    double toleranceMM = 0.0;
    QString text; // as typed: a part number such as "A4 5x9" matches it as text
};

} // namespace

QString TCardStock::Name() const
{
    return Brand + QLatin1Char(' ') + Part;
}

TCardLayout TCardStock::Layout() const
{
    TCardLayout l;
    if (Predefined >= 0)
        l = TCardLayout::PredefinedLayout(Predefined);
    else {
        l.Height = Inches(CardHeightPt);
        l.Width = Inches(CardWidthPt);
        l.Across = Columns;
        l.Down = Rows;
        l.TopMargin = Inches(TopPt);
        l.LeftMargin = Inches(LeftPt);
        // A single column or row has no pitch in the data; the card's size
        // keeps the layout valid.
        l.HPitch = Columns > 1 ? Inches(ColumnPitchPt) : Inches(CardWidthPt);
        l.VPitch = Rows > 1 ? Inches(RowPitchPt) : Inches(CardHeightPt);
        // A pitch a hair under the card (Zweckform 32010: 153 pt apart, 153.07
        // high) is the figures' rounding, not cards on top of each other: the
        // card takes the pitch, and the positions stay where the sheet has them.
        constexpr double kHairPt = 0.5;
        if (Columns > 1 && ColumnPitchPt < CardWidthPt && CardWidthPt - ColumnPitchPt <= kHairPt)
            l.Width = l.HPitch;
        if (Rows > 1 && RowPitchPt < CardHeightPt && CardHeightPt - RowPitchPt <= kHairPt)
            l.Height = l.VPitch;
        l.PredefLayout = -1;
        l.Papersize = PaperCode(Paper);
    }
    l.CornerRadius = Inches(CornerRadiusPt);
    l.Stock = Name();
    return l;
}

QString TCardStock::CardSizeText() const
{
    if (Paper == QLatin1String("US Letter"))
        return QStringLiteral("%1 x %2 in")
            .arg(FormatLayoutNumber(CardWidthPt / kPtPerInch, 3, true),
                 FormatLayoutNumber(CardHeightPt / kPtPerInch, 3, true));
    return QStringLiteral("%1 x %2 mm")
        .arg(FormatLayoutNumber(CardWidthPt * kMMPerPt, 1, true),
             FormatLayoutNumber(CardHeightPt * kMMPerPt, 1, true));
}

TCardStock StockFromLayout(const TCardLayout &l, const QString &brand, const QString &part,
                           const QString &description)
{
    TCardStock s;
    s.Brand = brand;
    s.Part = part;
    s.Description = description;
    s.Paper = PaperName(l.Papersize);
    if (s.Paper.isEmpty())
        s.Paper = PaperName(TCardLayout::PaperLetter);
    TCardLayout paper;
    paper.Papersize = PaperCode(s.Paper);
    s.PaperWidthPt = std::round(paper.PaperInches().width() * kPtPerInch * 100.0) / 100.0;
    s.PaperHeightPt = std::round(paper.PaperInches().height() * kPtPerInch * 100.0) / 100.0;
    s.CardWidthPt = Points(l.Width);
    s.CardHeightPt = Points(l.Height);
    s.CornerRadiusPt = Points(l.CornerRadius);
    s.Columns = l.Across;
    s.Rows = l.Down;
    s.LeftPt = Points(l.LeftMargin);
    s.TopPt = Points(l.TopMargin);
    s.ColumnPitchPt = Points(l.HPitch);
    s.RowPitchPt = Points(l.VPitch);
    return s;
}

TStockReadResult ReadCardStocks(const QByteArray &bytes)
{
    TStockReadResult result;
    if (bytes.size() > kMaxStockFileBytes) {
        result.Problem =
            QStringLiteral("The file is larger than %1 bytes.").arg(kMaxStockFileBytes);
        return result;
    }
    const QString text = QString::fromUtf8(bytes);
    const QStringList lines = text.split(QLatin1Char('\n'));
    TCsvRecord record;
    int lineNumber = 0;
    bool header = true;
    for (QString line : lines) {
        ++lineNumber;
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.trimmed().isEmpty())
            continue;
        if (header) {
            header = false;
            if (line.trimmed().compare(QLatin1String(kHeader), Qt::CaseInsensitive) != 0) {
                result.Problem = QStringLiteral("Line 1 is not the header line of a list of "
                                                "card stocks.");
                result.Stocks.clear();
                return result;
            }
            continue;
        }
        TCardStock stock;
        QString why;
        // The line is one record: a line break cannot be quoted in a catalogue.
        TCsvScanner scanner(line, u',', false);
        switch (scanner.Next(&record, kFieldCount, line.size())) {
        case TCsvFault::None:
            if (record.Count != kFieldCount)
                why = QStringLiteral("%1 fields where %2 are expected")
                          .arg(record.Count)
                          .arg(kFieldCount);
            else
                why = ParseStock(record.Fields, &stock);
            break;
        case TCsvFault::UnclosedQuote:
        case TCsvFault::TextAfterQuote:
        case TCsvFault::FieldTooLong:
            why = QStringLiteral("a quoted text that is not closed");
            break;
        }
        if (why.isEmpty() && result.Stocks.size() >= kMaxStocks)
            why = QStringLiteral("more than %1 stocks").arg(kMaxStocks);
        if (!why.isEmpty()) {
            result.Problem = QStringLiteral("Line %1: %2.").arg(lineNumber).arg(why);
            result.Stocks.clear();
            return result;
        }
        result.Stocks.append(stock);
    }
    if (header)
        result.Problem = QStringLiteral("The file is empty.");
    return result;
}

QByteArray WriteCardStocks(const QList<TCardStock> &stocks)
{
    QString out = QLatin1String(kHeader) + QLatin1Char('\n');
    for (const TCardStock &s : stocks) {
        QStringList f = {Quoted(s.Brand), Quoted(s.Part), Quoted(s.SameAs), Quoted(s.Description),
                         Quoted(s.Paper)};
        for (double v :
             {s.PaperWidthPt, s.PaperHeightPt, s.CardWidthPt, s.CardHeightPt, s.CornerRadiusPt})
            f.append(Number(v));
        f.append(QString::number(s.Columns));
        f.append(QString::number(s.Rows));
        for (double v : {s.LeftPt, s.TopPt, s.ColumnPitchPt, s.RowPitchPt})
            f.append(Number(v));
        out += f.join(QLatin1Char(',')) + QLatin1Char('\n');
    }
    return out.toUtf8();
}

QString UserStocksPath()
{
    return ProgramFolder() + QStringLiteral("stocks.csv");
}

const QList<TCardStock> &TStockCatalogue::BuiltIn()
{
    static const QList<TCardStock> stocks = ReadBuiltIn();
    return stocks;
}

TStockCatalogue TStockCatalogue::Load(const QString &userPath)
{
    TStockCatalogue c;
    c.m_stocks = BuiltIn();
    c.m_userPath = userPath;
    if (userPath.isEmpty())
        return c;
    QByteArray bytes;
    QString why;
    switch (ReadRegularFile(userPath, kMaxStockFileBytes, &bytes, &why)) {
    case TFileReadResult::Missing:
        return c;
    case TFileReadResult::Read: {
        TStockReadResult read = ReadCardStocks(bytes);
        if (!read.Problem.isEmpty()) {
            c.m_userProblem = QStringLiteral("Your card stocks in %1 cannot be used: %2")
                                  .arg(userPath, read.Problem);
            return c;
        }
        for (TCardStock &s : read.Stocks)
            s.User = true;
        c.m_stocks += read.Stocks;
        return c;
    }
    case TFileReadResult::TooLarge:
        c.m_userProblem = QStringLiteral("Your card stocks in %1 cannot be used: the file is "
                                         "larger than %2 bytes.")
                              .arg(userPath)
                              .arg(kMaxStockFileBytes);
        return c;
    default:
        c.m_userProblem =
            QStringLiteral("Your card stocks in %1 cannot be used: %2").arg(userPath, why);
        return c;
    }
}

QList<int> TStockCatalogue::Search(const QString &query) const
{
    QString rest = Simplified(query);
    QList<TSizeWord> sizes;
    static const QRegularExpression size(
        QStringLiteral("(\\d+(?:\\.\\d+)?|\\.\\d+)\\s*[x\\x{00d7}*]\\s*(\\d+(?:\\.\\d+)?|\\.\\d+)"
                       "\\s*(mm|in|\")?"));
    for (auto it = size.globalMatch(rest); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const double a = m.captured(1).toDouble();
        const double b = m.captured(2).toDouble();
        const QString unit = m.captured(3);
        const bool inches = unit == QLatin1String("in") || unit == QLatin1String("\"") ||
                            (unit.isEmpty() && a <= kMaxLayoutInches && b <= kMaxLayoutInches);
        const double scale = inches ? 25.4 : 1.0;
        sizes.append({a * scale, b * scale, inches ? 0.02 * 25.4 : 0.5, m.captured(0).trimmed()});
    }
    rest.replace(size, QStringLiteral(" "));
    const QStringList words = rest.split(QLatin1Char(' '), Qt::SkipEmptyParts);

    QList<int> first;
    QList<int> others;
    for (int i = 0; i < m_stocks.size(); ++i) {
        const TCardStock &s = m_stocks.at(i);
        const QString text =
            Simplified(QStringList{s.Brand, s.Part, s.SameAs, s.Description, s.Paper,
                                   s.User ? QStringLiteral("user") : QString()}
                           .join(QLatin1Char(' ')));
        bool all = true;
        bool partWord = false;
        for (const QString &w : words) {
            if (!text.contains(w)) {
                all = false;
                break;
            }
            partWord = partWord || s.Part.compare(w, Qt::CaseInsensitive) == 0;
        }
        const double w = s.CardWidthPt * kMMPerPt;
        const double h = s.CardHeightPt * kMMPerPt;
        for (const TSizeWord &z : sizes) {
            const bool across = std::abs(w - z.widthMM) <= z.toleranceMM &&
                                std::abs(h - z.heightMM) <= z.toleranceMM;
            const bool turned = std::abs(h - z.widthMM) <= z.toleranceMM &&
                                std::abs(w - z.heightMM) <= z.toleranceMM;
            all = all && (across || turned || text.contains(z.text));
        }
        if (all)
            (partWord ? first : others).append(i);
    }
    return first + others;
}

TStockCatalogue::TLookup TStockCatalogue::Find(const QString &name) const
{
    const QString wanted = Simplified(name);
    auto decide = [this](const QList<int> &found) {
        TLookup lookup;
        if (found.isEmpty())
            return lookup;
        const TCardLayout first = m_stocks.at(found.first()).Layout();
        bool one = true;
        for (int i : found) {
            const TCardLayout l = m_stocks.at(i).Layout();
            one = one && l.SameSheet(first) && l.CornerRadius == first.CornerRadius;
        }
        if (one) {
            lookup.Found = found.first();
            return lookup;
        }
        for (int i : found)
            if (!lookup.Candidates.contains(m_stocks.at(i).Name()))
                lookup.Candidates.append(m_stocks.at(i).Name());
        return lookup;
    };
    QList<int> whole;
    QList<int> part;
    for (int i = 0; i < m_stocks.size(); ++i) {
        if (Simplified(m_stocks.at(i).Name()) == wanted)
            whole.append(i);
        if (Simplified(m_stocks.at(i).Part) == wanted)
            part.append(i);
    }
    if (!whole.isEmpty())
        return decide(whole);
    if (!part.isEmpty())
        return decide(part);
    return decide(Search(name));
}

int TStockCatalogue::Matching(const QString &name, const TCardLayout &layout) const
{
    if (name.isEmpty())
        return -1;
    for (int i = 0; i < m_stocks.size(); ++i)
        if (m_stocks.at(i).Name() == name && m_stocks.at(i).Layout().SameSheet(layout))
            return i;
    return -1;
}

bool TStockCatalogue::WriteUserStocks(QString *why) const
{
    QList<TCardStock> user;
    for (const TCardStock &s : m_stocks)
        if (s.User)
            user.append(s);
    QSaveFile file(m_userPath);
    if (!file.open(QIODevice::WriteOnly) || file.write(WriteCardStocks(user)) < 0 ||
        !file.commit()) {
        if (why)
            *why = QStringLiteral("Cannot write %1: %2").arg(m_userPath, file.errorString());
        return false;
    }
    return true;
}

bool TStockCatalogue::AddUserStock(const TCardStock &stock, QString *why)
{
    if (!m_userProblem.isEmpty() || m_userPath.isEmpty()) {
        // What could not be read is not overwritten: the user may mend it.
        if (why)
            *why = m_userPath.isEmpty() ? QStringLiteral("There is no file for your card stocks.")
                                        : m_userProblem;
        return false;
    }
    TCardStock s = stock;
    s.User = true;
    s.Predefined = -1;
    s.Brand = s.Brand.simplified();
    s.Part = s.Part.simplified();
    // What is written must read back: the same checks as reading.
    const QByteArray line = WriteCardStocks({s});
    const TStockReadResult check = ReadCardStocks(line);
    if (!check.Problem.isEmpty()) {
        if (why)
            *why = check.Problem.section(QLatin1String(": "), 1);
        return false;
    }
    // A shipped stock's name would make that name mean two stocks.
    for (const TCardStock &o : m_stocks) {
        if (!o.User && o.Name().compare(s.Name(), Qt::CaseInsensitive) == 0) {
            if (why)
                *why = QStringLiteral("\"%1\" is the name of a card stock that comes with the "
                                      "program: choose another name.")
                           .arg(o.Name());
            return false;
        }
    }
    const QList<TCardStock> before = m_stocks;
    m_stocks.removeIf([&](const TCardStock &o) { return o.User && o.Name() == s.Name(); });
    m_stocks.append(s);
    if (!WriteUserStocks(why)) {
        m_stocks = before;
        return false;
    }
    return true;
}

bool TStockCatalogue::RemoveUserStock(const QString &name, QString *why)
{
    if (!m_userProblem.isEmpty()) {
        if (why)
            *why = m_userProblem;
        return false;
    }
    const QList<TCardStock> before = m_stocks;
    if (m_stocks.removeIf([&](const TCardStock &o) { return o.User && o.Name() == name; }) == 0) {
        if (why)
            *why = QStringLiteral("\"%1\" is not one of your card stocks.").arg(name);
        return false;
    }
    if (!WriteUserStocks(why)) {
        m_stocks = before;
        return false;
    }
    return true;
}
