#pragma once

#include "printing/SheetRenderer.h"

#include <QByteArray>
#include <QDialog>
#include <QList>
#include <QString>
#include <memory>

class QLabel;
class QPushButton;
class TBaseReport;
class TGBasePanel;
class TReportFiler;

// The final status texts of a job ('\r' is a line break).
namespace PrintStatusText {
extern const char *const PrintCanceled;
extern const char *const PreviewCanceled;
extern const char *const PrintDoneComplex;
extern const char *const PrintDone;
extern const char *const PreviewDoneComplex;
extern const char *const PreviewDone;
extern const char *const FileWritten; // "%1": the file the sheet went into
extern const char *const PrintFailed;   // followed by the reason
extern const char *const PreviewFailed; // followed by the reason
} // namespace PrintStatusText

// "Print Status Screen": runs one sheet job (print or preview) through a
// report, shows its progress and lets the user cancel it. The job starts when
// the window is shown; RunJob() runs it without showing the window. The job's
// fields and the drawing of the sheet are those of its sheet renderer.
class TLabelPrinter : public QDialog
{
    Q_OBJECT

public:
    explicit TLabelPrinter(QWidget *parent = nullptr);
    ~TLabelPrinter() override;

    // The job: what to print where, and the drawing of the sheet.
    TSheetRenderer &Renderer() { return m_renderer; }
    const TSheetRenderer &Renderer() const { return m_renderer; }

    // The surface whose objects print; it reports no changes while they do.
    TGBasePanel *Panel = nullptr;
    // False when the caller has put the objects of each side into the
    // renderer itself (a design with two sides, only one of them on the
    // surface); the surface then only keeps quiet while they print.
    bool ObjectsFromPanel = true;

    // The report the job draws on: the printer report (not owned) when
    // printing, the window's own recording report when previewing.
    void SetPrinterReport(TBaseReport *report) { m_printerReport = report; }
    TBaseReport *Report() const;
    TReportFiler &RecordingReport() { return *m_filer; }
    // The recording of a finished preview.
    QByteArray Recording() const;

    // Runs the job once: takes the surface's objects, runs the report and
    // sets the final status text. Errors are caught and kept (ErrorMessage()).
    void RunJob();
    bool JobRan() const { return m_jobRan; }
    bool Aborted() const;
    // True when the job ended with an error or never reached the device.
    bool Failed() const { return m_failed; }
    QString ErrorMessage() const { return m_errorMessage; }

    // While the job runs: asks (printing) or stops (preview); afterwards it
    // closes the window.
    void CancelButtonClick();

    QLabel *RStatusLabel = nullptr;
    QLabel *Extralabel = nullptr;
    QPushButton *CancelButton = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    void reject() override;

private:
    void SetFinalStatus();

    TSheetRenderer m_renderer;
    std::unique_ptr<TReportFiler> m_filer;
    TBaseReport *m_printerReport = nullptr;
    bool m_started = false;
    bool m_running = false;
    bool m_jobRan = false;
    bool m_failed = false;
    QString m_errorMessage;
};
