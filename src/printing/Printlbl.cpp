#include "printing/Printlbl.h"

#include "document/Desktop.h"
#include "printing/MergePrint.h"
#include "report/RPBase.h"
#include "report/RPCanvas.h"
#include "report/RPFiler.h"
#include "surface/Gbasepnl.h"
#include "surface/Gbcpanel32.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>

namespace PrintStatusText {
const char *const PrintCanceled = "\rBusiness Card Print Canceled!";
const char *const PreviewCanceled = "\rBusiness Card Preview Canceled!";
const char *const PrintDoneComplex =
    "Print job completed and sent to printer!\r\rNote: this design contains complex shapes or "
    "text.\rPlease be patient while the printer produces its\routput...";
const char *const PrintDone = "Print job completed and sent to printer!";
const char *const PreviewDoneComplex =
    "Business Card preview ready to view!\r\rNote: To save time, only a single card is "
    "previewed\r\r** This design contains complex shapes or text.\rPlease be patient while "
    "the previewer prepares\rthe viewing page";
const char *const PreviewDone =
    "\rBusiness Card preview ready!\r\rNote: To save time, only a single card is previewed";
// Merged sheets differ, so the preview shows them all.
const char *const MergedPreviewDone = "\rBusiness Card preview ready!\r\r%1";
const char *const FileWritten = "The sheet was written to %1.";
const char *const PrintFailed = "\rBusiness Card Print Failed!\r\r";
const char *const PreviewFailed = "\rBusiness Card Preview Failed!\r\r";
} // namespace PrintStatusText

namespace {

// The file a printing job writes instead of printing ("" when it prints).
QString OutputFileOf(const TBaseReport *report)
{
    const auto *device = dynamic_cast<const TCanvasReport *>(report);
    return device ? device->OutputFile() : QString();
}

QString Lines(const QString &text)
{
    QString shown = text;
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

} // namespace

// ---- TLabelPrinter ----------------------------------------------------------

TLabelPrinter::TLabelPrinter(QWidget *parent)
    : QDialog(parent)
    , m_filer(std::make_unique<TReportFiler>())
{
    setObjectName(QStringLiteral("LabelPrinter"));
    setWindowTitle(tr("Print Status Screen"));
    setModal(true);

    auto *layout = new QVBoxLayout(this);
    RStatusLabel = new QLabel(this);
    RStatusLabel->setObjectName(QStringLiteral("RStatusLabel"));
    RStatusLabel->setAlignment(Qt::AlignCenter);
    RStatusLabel->setMinimumSize(300, 90);
    RStatusLabel->setWordWrap(true);
    layout->addWidget(RStatusLabel, 1);
    Extralabel = new QLabel(this);
    Extralabel->setObjectName(QStringLiteral("Extralabel"));
    Extralabel->setAlignment(Qt::AlignCenter);
    layout->addWidget(Extralabel);
    auto *row = new QHBoxLayout;
    row->addStretch();
    CancelButton = new QPushButton(tr("Cancel"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setAutoDefault(false);
    connect(CancelButton, &QPushButton::clicked, this, [this] { CancelButtonClick(); });
    row->addWidget(CancelButton);
    row->addStretch();
    layout->addLayout(row);

    // Both reports work in inches from the paper corner, margins 0.5 inch,
    // full scale, under the program's title.
    m_filer->SetUnits(unInch);
    m_filer->SetUnitsFactor(1.0);
    m_filer->SetMarginLeft(0.5);
    m_filer->SetMarginRight(0.5);
    m_filer->SetMarginTop(0.5);
    m_filer->SetMarginBottom(0.5);
    m_filer->SetScaleX(100);
    m_filer->SetScaleY(100);
    m_filer->SetTitle(QStringLiteral("Tessaro"));
    m_filer->SetStreamMode(smUser);
    m_filer->SetAccuracyMethod(amPositioning);
}

TLabelPrinter::~TLabelPrinter() = default;

TBaseReport *TLabelPrinter::Report() const
{
    return m_renderer.ToPrinter ? m_printerReport : m_filer.get();
}

QByteArray TLabelPrinter::Recording() const
{
    return m_filer->StreamData();
}

bool TLabelPrinter::Aborted() const
{
    const TBaseReport *report = Report();
    return report && report->Aborted();
}

void TLabelPrinter::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_started) {
        m_started = true;
        // After the window is on screen, so its status line shows the progress.
        QMetaObject::invokeMethod(
            this, [this] { RunJob(); }, Qt::QueuedConnection);
    }
}

void TLabelPrinter::reject()
{
    // Escape or the close box act as the button: no silent end of a running job.
    if (m_running)
        CancelButtonClick();
    else
        QDialog::reject();
}

void TLabelPrinter::RunJob()
{
    if (m_jobRan || m_running)
        return;
    m_started = true;
    m_running = true;
    setWindowTitle(m_renderer.ToPrinter ? tr("Print Status ") : tr("Preview Status"));
    TBaseReport *report = Report();
    if (ObjectsFromPanel)
        m_renderer.Objects = Panel ? Panel->Objects() : QList<TGGraphicControl *>();
    m_renderer.OnPositionStarting = [this](int index) {
        // A merged job counts its records, one card each.
        if (m_renderer.MergeCards > 0)
            Extralabel->setText(tr("Record %1 of %2")
                                    .arg(m_renderer.CurrentCard() + 1)
                                    .arg(m_renderer.MergeCards));
        else
            Extralabel->setText(tr("Card %1").arg(index + 1));
        QCoreApplication::processEvents();
    };
    m_renderer.OnPositionDone = [] { QCoreApplication::processEvents(); };
    try {
        if (!report)
            throw EReportError(tr("There is no printer to print to."));
        report->SetStatusLabel(RStatusLabel);
        // Printing draws the objects; that is no change of the design.
        struct PrintingFlag
        {
            TGBasePanel *panel;
            explicit PrintingFlag(TGBasePanel *p)
                : panel(p)
            {
                if (panel)
                    panel->SetPrinting(true);
            }
            ~PrintingFlag()
            {
                if (panel)
                    panel->SetPrinting(false);
            }
        } flag(Panel);
        const bool produced = m_renderer.Render(*report);
        if (!produced && !report->Aborted()) {
            m_failed = true;
            m_errorMessage = QString::fromLatin1(NoPrintersDefinedMessage);
        }
    } catch (const EReportError &e) {
        m_failed = true;
        m_errorMessage = e.Message();
    } catch (const std::exception &e) {
        m_failed = true;
        m_errorMessage = QString::fromLocal8Bit(e.what());
    }
    if (report)
        report->SetStatusLabel(nullptr);
    m_running = false;
    QCoreApplication::processEvents();
    Extralabel->clear();
    CancelButton->setText(tr("OK"));
    // Once the job is over, Enter closes the window as OK; while it runs it
    // must not cancel the job.
    CancelButton->setDefault(true);
    CancelButton->setFocus();
    SetFinalStatus();
    m_jobRan = true;
}

void TLabelPrinter::SetFinalStatus()
{
    using namespace PrintStatusText;
    QString text;
    const QString file = OutputFileOf(Report());
    const auto *cardPanel = qobject_cast<const TGBusinessCardPanel32 *>(Panel);
    const bool complex = cardPanel && cardPanel->HasSpecialEffects();
    // A job that failed is also aborted by the engine: the failure is what to say.
    if (m_failed)
        text = QLatin1String(m_renderer.ToPrinter ? PrintFailed : PreviewFailed) + m_errorMessage;
    else if (Aborted())
        text = QLatin1String(m_renderer.ToPrinter ? PrintCanceled : PreviewCanceled);
    else if (!file.isEmpty())
        text = QString::fromLatin1(FileWritten).arg(QDir::toNativeSeparators(file));
    else if (m_renderer.ToPrinter)
        text = QLatin1String(complex ? PrintDoneComplex : PrintDone);
    else if (m_renderer.MergeCards > 0)
        text = QString::fromLatin1(MergedPreviewDone)
                   .arg(MergeSummary(m_renderer.MergeCards, m_renderer.SheetCount()));
    else
        text = QLatin1String(complex ? PreviewDoneComplex : PreviewDone);
    RStatusLabel->setText(Lines(text));
    RStatusLabel->repaint();
}

void TLabelPrinter::CancelButtonClick()
{
    if (!m_running) {
        accept();
        return;
    }
    TBaseReport *report = Report();
    if (m_renderer.ToPrinter) {
        if (AskYesNo(tr("Cancel Business Card Printing?"), tr("Confirm")) && report)
            report->Abort();
        return;
    }
    m_renderer.StopRequested = true;
    if (report)
        report->Abort();
    RStatusLabel->setText(Lines(QStringLiteral("\rCancelling...!")));
    RStatusLabel->repaint();
    QCoreApplication::processEvents();
}
