#pragma once

#include "graphics/Colors.h"
#include "graphics/Picture.h"
#include "printing/Editlo.h"
#include "shell/Preferences.h"

#include <QByteArray>
#include <QDialog>
#include <QList>
#include <QString>
#include <memory>

class QLabel;
class QPushButton;
class QScrollArea;
class TBaseReport;
class TFilePreview;
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
extern const char *const PrintFailed;   // followed by the reason
extern const char *const PreviewFailed; // followed by the reason
} // namespace PrintStatusText

// "Print Status Screen": runs one sheet job (print or preview) through a
// report, shows its progress and lets the user cancel it. The job starts when
// the window is shown; RunJob() runs it without showing the window.
class TLabelPrinter : public QDialog
{
    Q_OBJECT

public:
    explicit TLabelPrinter(QWidget *parent = nullptr);
    ~TLabelPrinter() override;

    // ---- the job, filled in before the window is shown
    TGBasePanel *Panel = nullptr;
    int Copies = 1; // sheets to produce
    // One flag per position index (row x Across + column); positions
    // without a flag print.
    QList<bool> PrintSelection;
    bool OutlineOnly = false;
    // Also outline every printed position (clear brush, thinnest pen).
    bool DrawOutlines = false;
    double CardHeight = 2.0; // inches
    double CardWidth = 3.5;
    int Across = 2;
    int Down = 5;
    double TopMargin = 0.5; // inches, nudges included
    double LeftMargin = 0.75;
    double HPitch = 3.5;
    double VPitch = 2.0;
    QString BackgroundFile;
    int BackgroundKind = 0; // 0 none, 1 metafile, 2 bitmap
    bool ToPrinter = true;
    bool StopRequested = false;

    // Takes the card size, counts, margins and pitches of the layout and adds
    // the nudges (1/32 inch each) to the margins and pitches.
    void SetLayout(const TCardLayout &layout, const TPrinterNudges &nudges);

    // The report the job draws on: the printer report (not owned) when
    // printing, the window's own recording report when previewing.
    void SetPrinterReport(TBaseReport *report) { m_printerReport = report; }
    TBaseReport *Report() const;
    TReportFiler &RecordingReport() { return *m_filer; }
    // The recording of a finished preview.
    QByteArray Recording() const;

    // Runs the job once: loads the background, runs the report and sets the
    // final status text. Errors are caught and kept (ErrorMessage()).
    void RunJob();
    bool JobRan() const { return m_jobRan; }
    bool Aborted() const;
    // True when the job ended with an error or never reached the device.
    bool Failed() const { return m_failed; }
    QString ErrorMessage() const { return m_errorMessage; }
    // The report itself has already told the user why the job did not start.
    bool ErrorAlreadyShown() const { return m_errorShown; }
    // The number of positions drawn (all sheets together).
    int CardsDrawn() const { return m_cardsDrawn; }

    // Report callbacks.
    void BeforePrintLabels(TBaseReport &report);
    void PrintLabels(TBaseReport &report);
    void LoadBackGround();
    void PrintBackGround(double x, double y);

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
    bool IsSelected(int index) const;
    void OutlinePosition(TBaseReport &report, double x, double y, TColor color, bool clearBrush);

    std::unique_ptr<TReportFiler> m_filer;
    TBaseReport *m_printerReport = nullptr;
    TPicture m_background;
    bool m_started = false;
    bool m_running = false;
    bool m_jobRan = false;
    bool m_failed = false;
    bool m_errorShown = false;
    QString m_errorMessage;
    int m_cardsDrawn = 0;
};

// The recorded preview page in a simple window ("Preview Business Cards").
class TPrintPreviewDialog : public QDialog
{
    Q_OBJECT

public:
    TPrintPreviewDialog(const QByteArray &recording, QWidget *parent = nullptr);
    ~TPrintPreviewDialog() override;

    TFilePreview &Preview() { return *m_preview; }
    QScrollArea *ScrollBox() const { return m_scrollBox; }
    // Starts the preview on the recording; false (with the reason) when it
    // cannot be read.
    bool Start(QString *error = nullptr);

private:
    QScrollArea *m_scrollBox = nullptr;
    std::unique_ptr<TFilePreview> m_preview;
    QByteArray m_recording;
};
