#pragma once

#include "document/CardLayout.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The catalogue of card stocks: the sheets sold in shops, found by brand,
// part number or card size, each turned into a sheet layout.
//
// Stocks are kept as comma-separated text, one stock a line after a header
// line, lengths in points (1/72 inch):
//   brand,part,same_as,description,paper,paper_width_pt,paper_height_pt,
//   card_width_pt,card_height_pt,corner_radius_pt,columns,rows,left_pt,top_pt,
//   column_pitch_pt,row_pitch_pt
// `same_as` names the part whose layout the stock shares (may be empty);
// paper is "US Letter", "A4" or "A3". A field holding a comma or a quote is
// quoted with '"' and its quotes doubled. The built-in stocks ship inside the
// program; the user's own are kept in the same form in UserStocksPath(), a
// file that can be handed to someone else as it is.

struct TCardStock
{
    QString Brand;
    QString Part;
    QString SameAs;
    QString Description;
    QString Paper; // "US Letter", "A4" or "A3"
    double PaperWidthPt = 0.0;
    double PaperHeightPt = 0.0;
    double CardWidthPt = 0.0;
    double CardHeightPt = 0.0;
    double CornerRadiusPt = 0.0;
    int Columns = 0;
    int Rows = 0;
    double LeftPt = 0.0;
    double TopPt = 0.0;
    double ColumnPitchPt = 0.0;
    double RowPitchPt = 0.0;
    bool User = false;   // from the user's own catalogue
    int Predefined = -1; // the predefined layout it is, or -1

    // "Brand Part", the name a layout remembers and tessaro-batch takes.
    QString Name() const;
    int CardsPerSheet() const { return Columns * Rows; }
    // The sheet layout: lengths in inches to the thousandth the layout
    // dialog and the preferences file keep, Stock set to Name(); a
    // predefined layout exactly as the list has it.
    TCardLayout Layout() const;
    // The card size as the list shows it ("85 x 55 mm" / "3.5 x 2 in").
    QString CardSizeText() const;
};

// A stock made from a layout (the user's "Save as stock..."), lengths in
// points to the hundredth.
TCardStock StockFromLayout(const TCardLayout &layout, const QString &brand, const QString &part,
                           const QString &description);

// Bounds of a catalogue file: no real one comes near them.
inline constexpr qint64 kMaxStockFileBytes = 1024 * 1024;
inline constexpr int kMaxStocks = 5000;
inline constexpr int kMaxStockTextLength = 100;

struct TStockReadResult
{
    QList<TCardStock> Stocks;
    // Empty when every line was read; else the first fault, with its line.
    QString Problem;
};

// Reads a catalogue. Any line that is not a stock (wrong field count, text
// too long or with control characters, a number that is not one or out of
// range, a layout the layout dialog would refuse) makes the whole catalogue
// unusable: Stocks is then empty and Problem says why.
TStockReadResult ReadCardStocks(const QByteArray &bytes);
// The catalogue text of stocks, header first.
QByteArray WriteCardStocks(const QList<TCardStock> &stocks);

// The user's catalogue: stocks.csv in the program's data folder.
QString UserStocksPath();

// The built-in stocks and the user's, searched together.
class TStockCatalogue
{
public:
    // The 14 predefined layouts, the built-in stocks, then the user's own
    // from userPath (empty: none). A damaged user file is left alone and
    // reported in UserProblem(); the others are there all the same.
    static TStockCatalogue Load(const QString &userPath);
    // The predefined layouts and built-in stocks only, read once.
    static const QList<TCardStock> &BuiltIn();

    const QList<TCardStock> &Stocks() const { return m_stocks; }
    QString UserPath() const { return m_userPath; }
    QString UserProblem() const { return m_userProblem; }

    // Indexes into Stocks() of the stocks every word of the query matches,
    // in catalogue order after those whose part is a word of it. A word
    // matches brand, part, same_as, description or paper; "85 x 55" (or
    // "85x55 mm", "3.5 x 2 in"; without a unit, numbers up to 12 are inches)
    // matches the card size either way round. An empty query matches all.
    QList<int> Search(const QString &query) const;

    // The stock a name given on a command line means: a whole name ("Geha
    // P68"), else a part number, else a search. Several candidates with one
    // layout count as one (the first); with different layouts Candidates
    // lists them and Found is -1. No candidate: both empty.
    struct TLookup
    {
        int Found = -1;
        QStringList Candidates;
    };
    TLookup Find(const QString &name) const;
    // The stock named name whose layout is `layout` (to the thousandth);
    // -1 when there is none.
    int Matching(const QString &name, const TCardLayout &layout) const;

    // The user's stocks: add (a user stock of the same name is replaced) or
    // remove one and write the file. Refused, with why, when the file could
    // not be read (it is not overwritten) or cannot be written.
    bool AddUserStock(const TCardStock &stock, QString *why);
    bool RemoveUserStock(const QString &name, QString *why);

private:
    bool WriteUserStocks(QString *why) const;

    QList<TCardStock> m_stocks;
    QString m_userPath;
    QString m_userProblem;
};
