#include "printing/MergeDlg.h"

#include "document/Desktop.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

constexpr int kHelpContext = 2041;
// Columns beyond these are left out of the list (they still merge).
constexpr int kShownColumns = 40;

} // namespace

std::function<QString(QWidget *parent)> TMergeDataDialog::AskForFile = [](QWidget *parent) {
    return QFileDialog::getOpenFileName(
        parent, QObject::tr("Merge Data"), QString(),
        QObject::tr("Spreadsheets and address books (*.csv *.txt *.tsv *.vcf *.vcard);;"
                    "Spreadsheets (*.csv *.txt *.tsv);;Address books (*.vcf *.vcard);;"
                    "All files (*)"));
};

TMergeDataDialog::TMergeDataDialog(const TMergeSource &source, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("MergeDataDialog"));
    setWindowTitle(tr("Merge Data"));
    SetHelpTopic(this, kHelpContext);
    resize(640, 420);

    auto *column = new QVBoxLayout(this);
    auto *intro = new QLabel(
        tr("Each record prints a card of its own: ${Column} in the text of the design "
           "takes that column's value. Untick the records not to print."),
        this);
    intro->setWordWrap(true);
    column->addWidget(intro);

    auto *fileRow = new QHBoxLayout;
    fileRow->addWidget(new QLabel(tr("Data file:"), this));
    eDataFile = new QLineEdit(this);
    eDataFile->setObjectName(QStringLiteral("eDataFile"));
    eDataFile->setReadOnly(true);
    eDataFile->setPlaceholderText(tr("none: every card is the same"));
    fileRow->addWidget(eDataFile, 1);
    BrowseButton = new QPushButton(tr("&Browse..."), this);
    BrowseButton->setObjectName(QStringLiteral("BrowseButton"));
    fileRow->addWidget(BrowseButton);
    NoneButton = new QPushButton(tr("&None"), this);
    NoneButton->setObjectName(QStringLiteral("NoneButton"));
    NoneButton->setToolTip(tr("Prints without merge data"));
    fileRow->addWidget(NoneButton);
    column->addLayout(fileRow);

    Summary = new QLabel(this);
    Summary->setObjectName(QStringLiteral("Summary"));
    Summary->setWordWrap(true);
    Summary->setTextInteractionFlags(Qt::TextSelectableByMouse);
    column->addWidget(Summary);

    RecordList = new QTableWidget(this);
    RecordList->setObjectName(QStringLiteral("RecordList"));
    RecordList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    RecordList->setSelectionBehavior(QAbstractItemView::SelectRows);
    RecordList->verticalHeader()->setDefaultSectionSize(RecordList->fontMetrics().height() + 6);
    column->addWidget(RecordList, 1);

    auto *tickRow = new QHBoxLayout;
    TickAllButton = new QPushButton(tr("Tick &All"), this);
    TickAllButton->setObjectName(QStringLiteral("TickAllButton"));
    TickNoneButton = new QPushButton(tr("Tick N&one"), this);
    TickNoneButton->setObjectName(QStringLiteral("TickNoneButton"));
    tickRow->addWidget(TickAllButton);
    tickRow->addWidget(TickNoneButton);
    tickRow->addStretch(1);
    auto *buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    OKButton = buttons->button(QDialogButtonBox::Ok);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    tickRow->addWidget(buttons);
    column->addLayout(tickRow);

    connect(BrowseButton, &QPushButton::clicked, this, [this] {
        const QString path = AskForFile(this);
        if (!path.isEmpty())
            LoadFile(path);
    });
    connect(NoneButton, &QPushButton::clicked, this, [this] {
        m_dataFile.clear();
        m_unread.reset();
        m_table = {};
        eDataFile->clear();
        FillList({});
    });
    connect(TickAllButton, &QPushButton::clicked, this, [this] { TickAll(true); });
    connect(TickNoneButton, &QPushButton::clicked, this, [this] { TickAll(false); });
    connect(RecordList, &QTableWidget::itemChanged, this, [this] { ShowSummary(); });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this, [] { ShowHelpTopic(kHelpContext); });

    FillList({});
    if (!source.DataFile.isEmpty()) {
        if (LoadFile(source.DataFile)) {
            FillList(source.Skipped);
        } else {
            // The file named before cannot be read now: it stays chosen
            // until the user picks another or None.
            m_dataFile = source.DataFile;
            m_unread = source;
            eDataFile->setText(QDir::toNativeSeparators(source.DataFile));
        }
    }
    PlaceDialog(this, parent ? parent->window() : nullptr);
}

bool TMergeDataDialog::LoadFile(const QString &path)
{
    try {
        TMergeTable table = ReadMergeFile(path);
        m_table = std::move(table);
    } catch (const EMergeDataError &e) {
        ShowProblem(tr("This file cannot be used: %1").arg(e.Message()));
        return false;
    }
    m_dataFile = QFileInfo(path).absoluteFilePath();
    m_unread.reset();
    eDataFile->setText(QDir::toNativeSeparators(m_dataFile));
    FillList({});
    return true;
}

void TMergeDataDialog::FillList(const QList<int> &skipped)
{
    const QSignalBlocker quiet(RecordList);
    const QSet<int> left(skipped.cbegin(), skipped.cend());
    const int columns = int(std::min<qsizetype>(m_table.Columns.size(), kShownColumns));
    RecordList->clear();
    RecordList->setColumnCount(columns + 1);
    RecordList->setRowCount(int(m_table.Records.size()));
    RecordList->setHorizontalHeaderLabels(QStringList(tr("Print")) +
                                          m_table.Columns.mid(0, columns));
    for (int row = 0; row < m_table.Records.size(); ++row) {
        auto *tick = new QTableWidgetItem;
        tick->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        tick->setCheckState(left.contains(row) ? Qt::Unchecked : Qt::Checked);
        RecordList->setItem(row, 0, tick);
        const QStringList &values = m_table.Records.at(row);
        for (int c = 0; c < columns; ++c) {
            // One line per cell; the value itself keeps its line breaks.
            QString shown = values.value(c);
            shown.replace(QLatin1Char('\n'), QChar(0x21B5));
            RecordList->setItem(row, c + 1, new QTableWidgetItem(shown));
        }
    }
    RecordList->resizeColumnsToContents();
    for (int c = 1; c <= columns; ++c)
        RecordList->setColumnWidth(c, std::min(RecordList->columnWidth(c), 220));
    ShowSummary();
}

int TMergeDataDialog::TickedCount() const
{
    int ticked = 0;
    for (int row = 0; row < RecordList->rowCount(); ++row)
        ticked += RecordList->item(row, 0)->checkState() == Qt::Checked ? 1 : 0;
    return ticked;
}

void TMergeDataDialog::TickAll(bool ticked)
{
    {
        const QSignalBlocker quiet(RecordList);
        for (int row = 0; row < RecordList->rowCount(); ++row)
            RecordList->item(row, 0)->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
    }
    ShowSummary();
}

void TMergeDataDialog::ShowSummary()
{
    Summary->setStyleSheet(QString());
    if (m_dataFile.isEmpty()) {
        Summary->setText(tr("No merge data: every card of the sheet is the same."));
        OKButton->setEnabled(true);
        return;
    }
    if (m_unread) {
        // The reason was said when reading failed; OK keeps the choice.
        OKButton->setEnabled(true);
        return;
    }
    const int records = int(m_table.Records.size());
    const int ticked = TickedCount();
    Summary->setText(tr("%1 records with %2 columns (%3); %4 ticked to print.")
                         .arg(records)
                         .arg(m_table.Columns.size())
                         .arg(m_table.Columns.mid(0, 8).join(QStringLiteral(", ")) +
                              (m_table.Columns.size() > 8 ? QStringLiteral(", ...") : QString()))
                         .arg(ticked));
    // Nothing to print is no merge job.
    OKButton->setEnabled(ticked > 0);
}

void TMergeDataDialog::ShowProblem(const QString &problem)
{
    Summary->setText(problem);
    Summary->setStyleSheet(QStringLiteral("color: #b00000"));
}

TMergeSource TMergeDataDialog::Source() const
{
    if (m_unread)
        return *m_unread;
    TMergeSource source;
    source.DataFile = m_dataFile;
    if (m_dataFile.isEmpty())
        return source;
    for (int row = 0; row < RecordList->rowCount(); ++row)
        if (RecordList->item(row, 0)->checkState() != Qt::Checked)
            source.Skipped.append(row);
    return source;
}
