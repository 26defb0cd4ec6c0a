#pragma once

#include "document/Filer.h"
#include "document/MergeData.h"

#include <QDialog>
#include <functional>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;

// "Merge Data": the spreadsheet (CSV) or address book (vCard) whose records
// the design's fields are filled from, one card per record, and the records
// to print, ticked in a list that shows their values.
class TMergeDataDialog : public QDialog
{
    Q_OBJECT

public:
    explicit TMergeDataDialog(const TMergeSource &source, QWidget *parent = nullptr);

    // Reads a data file into the list; false (with the reason shown, and the
    // list as it was) when it cannot be read.
    bool LoadFile(const QString &path);
    // The file and the records left unticked; no file after "None".
    TMergeSource Source() const;
    const TMergeTable &Table() const { return m_table; }
    int TickedCount() const;
    void TickAll(bool ticked);

    // How Browse asks for a file; tests set their own.
    static std::function<QString(QWidget *parent)> AskForFile;

    QLineEdit *eDataFile = nullptr;
    QLabel *Summary = nullptr;
    QTableWidget *RecordList = nullptr;
    QPushButton *BrowseButton = nullptr;
    QPushButton *NoneButton = nullptr;
    QPushButton *TickAllButton = nullptr;
    QPushButton *TickNoneButton = nullptr;
    QPushButton *OKButton = nullptr;

private:
    void FillList(const QList<int> &skipped);
    void ShowSummary();
    void ShowProblem(const QString &problem);

    QString m_dataFile;
    // The choice made before, when its file cannot be read now.
    std::optional<TMergeSource> m_unread;
    TMergeTable m_table;
};
