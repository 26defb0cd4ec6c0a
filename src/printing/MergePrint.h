#pragma once

#include "document/MergeData.h"
#include "document/StoredObject.h"

#include <QList>
#include <QStringList>
#include <functional>
#include <memory>

class TCardModel;
class TGGraphicControl;
class TStoredObject;

// The cards of merge printing: a copy of the design, front and back, that
// shows one record of the merge data at a time. Only the objects whose text
// holds fields change from card to card; the others keep what they prepared
// for the print job. The design itself is never touched.
class TMergeCards
{
public:
    // The records to print, by index into the table, in printing order.
    TMergeCards(const TCardModel &front, const TCardModel *back, const TMergeTable &table,
                const QList<int> &records);
    ~TMergeCards();
    TMergeCards(const TMergeCards &) = delete;
    TMergeCards &operator=(const TMergeCards &) = delete;

    // The copies' objects, which print each card.
    QList<TGGraphicControl *> FrontObjects() const;
    QList<TGGraphicControl *> BackObjects() const;
    const TCardModel &Front() const { return *m_front.shown; }
    const TCardModel *Back() const { return m_back.shown.get(); }
    // The same, for a view that shows them.
    TCardModel &ShownFront() { return *m_front.shown; }
    TCardModel *ShownBack() { return m_back.shown.get(); }

    // Runs on every copy (both sides, as written and as shown), e.g. to
    // stretch fills into a bleed; records then start from the adjusted copy.
    void AdjustCopies(const std::function<void(TCardModel &)> &adjust);

    // One card per record.
    int Count() const { return int(m_records.size()); }
    // The record card n shows (an index into the table).
    int RecordOf(int card) const { return m_records.value(card, -1); }
    // Makes both sides show card n's record (nothing when they already do).
    void Show(int card);
    int Shown() const { return m_shown; }

    // Each field of the design that names no column, with the object it is
    // in: "${Titel} in Component3 (back)". Such fields print empty.
    QStringList UnknownFields() const;
    // True when some object of the design has a field: a design without any
    // prints the same card for every record.
    bool HasFields() const;
    // The records whose values hold characters no installed font can draw
    // (they would print as empty boxes): "Record 5: Name".
    QStringList UndrawableText() const;

private:
    // One side: the copy as written (the fields themselves), and the copy
    // that shows a record, object for object in the same order.
    struct TSide
    {
        std::unique_ptr<TCardModel> written;
        std::unique_ptr<TCardModel> shown;
        // Indices of the objects with fields.
        QList<qsizetype> merged;
    };
    void CopySide(TSide &side, const TCardModel &design);
    void ShowOn(TSide &side, const TMergeValues &values);
    // Every field of the side's objects as written, with its object.
    static void ForEachField(const TSide &side,
                             const std::function<void(const TStoredObject &, const QString &)> &visit);
    void ListUnknown(const TSide &side, const QString &sideName, QStringList *fields) const;

    TMergeTable m_table; // implicitly shared with the caller's
    QList<int> m_records;
    TSide m_front;
    TSide m_back;
    int m_shown = -1;
};

// Whether text holds a merge field or the "$${" that writes a literal "${".
bool HasMergeFields(const QString &text);
// Every record of the table, in order.
QList<int> AllRecords(const TMergeTable &table);
// What a merged job prints: "27 records: 3 sheets".
QString MergeSummary(int records, int sheets);
