#pragma once

#include "document/CardModel.h"
#include "printing/SheetRenderer.h"
#include "shell/Preferences.h"
#include "surface/Gbcpanel32.h"

#include <QList>
#include <QMainWindow>
#include <functional>
#include <memory>
#include <optional>

class QAction;
class TBaseReport;
class TCanvasReport;
class TReportPrinter;
class QButtonGroup;
class QKeyEvent;
class QLabel;
class QMenu;
class QPushButton;
class QScrollArea;
class QToolButton;
class QToolBar;
class TMRUFileList;
class TMergeCards;
struct TMergeTable;
class TDesignHistory;

// The program's main window: tool bar, the card in its scrolling area, zoom,
// the file, edit and help commands, change tracking and the recent files.
class TMainScreen : public QMainWindow
{
    Q_OBJECT

public:
    explicit TMainScreen(QWidget *parent = nullptr);
    ~TMainScreen() override;

    // How the first activation asks whether printing is possible; tests set their own.
    static std::function<bool(bool report)> PrinterCheck;

    TGBusinessCardPanel32 *BusinessCardPanel() const { return m_panel; }
    QScrollArea *ScrollBox() const { return m_scrollBox; }
    TMRUFileList *RecentFiles() const { return m_recentFiles; }
    // Undo and redo of the open design.
    TDesignHistory *History() const { return m_history; }

    // The open design: file name, changes, background art.
    // The card the window shows and edits.
    TCardModel &Model() { return *m_model; }
    // The two sides of the card; Model() is the one shown. The back is a
    // side of its own, saved beside the front's file and printed behind it.
    TCardModel &FrontModel() { return *m_frontModel; }
    TCardModel &BackModel() { return *m_backModel; }
    // The back to print, or null when the design has none.
    const TCardModel *PrintedBackSide() const
    {
        return m_backModel->HasContent() ? m_backModel : nullptr;
    }
    QString FileName() const { return m_frontModel->FileName(); }
    // Either side changed since the design was saved.
    bool ChangesMade() const { return m_frontModel->ChangesMade() || m_backModel->ChangesMade(); }
    bool Busy() const { return m_busy; }
    bool PrinterReady() const { return m_printerReady; }
    QString BackgroundArtFile() const { return m_model->BackgroundArtFile(); }
    const TPreferences &Preferences() const { return m_preferences; }
    TPreferences &Preferences() { return m_preferences; }
    // One flag per card position of the sheet, all set at start-up.
    QList<bool> PrintSelection;

    // ---- printing (MainPrint.cpp)
    // The printer report, created at the first activation when a default
    // printer exists; it keeps the printer, paper and copies between commands.
    TReportPrinter *MainReport() const { return m_mainReport.get(); }
    void CreateMainReport();
    // True for printing, false for the preview.
    bool ToPrinter = true;
    // Outlines only (the outline test page).
    bool OutlineOnly = false;
    // Crosses at every card's centre on both sides (the two-sided test page).
    bool CrossesOnly = false;
    // A two-sided design's job, as "Print Cards" chose it: the sides, and how
    // the sheets turn over (the printer's settings with its back nudges).
    TPrintSides PrintSides = TPrintSides::Both;
    TDuplexSettings JobDuplex;
    // Between the fronts and the backs of sheets turned by hand: shows how
    // they go back into the tray; false leaves the backs unprinted. Tests
    // set their own.
    static std::function<bool(const TDuplexSettings &duplex, int sheets, QWidget *parent)>
        AskToTurnSheets;
    // The back settings that apply when printing on that report.
    TDuplexSettings DuplexFor(TBaseReport *report) const;
    // Printer Fine-Tuning's "Two-Sided Test Page" on the main report's
    // printer (a PDF file without one), with these nudges.
    bool PrintTwoSidedTestPage(const TPrinterNudges &front, const TPrinterNudges &back);
    void mnuPrintClick();
    void mnuPreviewClick();
    void mnuPrinterSetupClick();
    // "Printer Fine-Tuning" for the main report's printer; stores on "Ok".
    void mnuPrinterFineTuningClick();
    // "Print Cards" for a report (the main report when null): the positions
    // and sheets to print; true on "Ok", with the chosen positions in
    // PrintSelection.
    bool DoPageSetup(TCanvasReport *report = nullptr);
    // The printer's unprintable bottom strip in inches, as the print command
    // reads it from the report; tests set their own.
    static std::function<double(TCanvasReport &report)> UnprintableBottomMargin;
    // The printer queue a report prints on; empty for a PDF file or no printer.
    static QString PrinterNameOf(TBaseReport *report);
    // The nudges that apply when printing on that report: the queue's own,
    // or the default printer's.
    TPrinterNudges NudgesFor(TBaseReport *report) const;
    // "Print to PDF...": asks for a file name and the positions, then prints
    // the sheet into it.
    void mnuPrintToPdfClick();
    // What a PDF sheet holds: the cards on every position, the cards on the
    // positions chosen in "Print Cards" (asked first), or only the outlines.
    enum class TPdfSheet { AllCards, ChosenCards, Outlines };
    // The sheet printed into a PDF file; false when it was not produced
    // (cancelled, or the user has been told why).
    bool PrintToPdf(const QString &path, TPdfSheet sheet = TPdfSheet::AllCards);
    // Asks for the PDF file to print into; empty when cancelled.
    QString ChoosePdfFile(const QString &title, const QString &baseName);
    // Asks for a file to write, in the user's documents folder, with the
    // first filter's ending added when the name has none of the filters'.
    QString ChooseOutputFile(const QString &title, const QString &fileName,
                             const QStringList &filters, const QString &dialogName);

    // ---- exports (MainExport.cpp)
    // "Export for Print Shop...": the settings with a preview, then the file.
    void mnuExportForPrintShopClick();
    // "Export Card as Image...": resolution and bleed, then the file.
    void mnuExportCardAsImageClick();
    // Keeps the export settings in TSC.INI (their section alone).
    void SaveExportSettings();
    // The card's size in inches as the layout gives it.
    QSizeF CardInches() const;
    // The design's name for files made from it ("Cards" when it has none).
    QString DesignBaseName() const;
    // Runs the status window on the printer report (printing) or on its own
    // recording (preview), then shows the preview. False when nothing was
    // produced (cancelled or failed).
    bool DoPrint(TBaseReport *printerReport);
    // One job of DoPrint: the sides given, `sheets` sheets (or copies of
    // each merged card).
    bool RunSheetJob(TBaseReport *printerReport, TPrintSides sides, int sheets,
                     TMergeCards *merged = nullptr);

    // ---- merge printing (MainMerge.cpp)
    // File > "Merge Data...": the data file and the records to print.
    void mnuMergeDataClick();
    // A job's cards when the design merges: the data read afresh, the
    // records ticked, and what will print wrong said first (fields without a
    // column, characters no font has). Null without merge data; *stop is set
    // when the job is not to run (said to the user, or declined).
    std::unique_ptr<TMergeCards> MergeCardsForJob(bool *stop);
    // View > "Show Merged Record": the card shows a copy of the design filled
    // from a record; the design is not edited while it does.
    void ShowMergedRecord(bool on);
    bool ShowingMergedRecord() const { return m_recordCards != nullptr; }
    // Shows the record at a place among those ticked (from 0, clamped).
    void ShowRecordAt(int card);
    int ShownRecord() const;

    // ---- preview window and outline test page (MainPreview.cpp)
    // Shows a finished preview's recording in the preview window.
    void ShowPreview(const QByteArray &recording);
    // Only the outlines of the selected positions: through the system print
    // dialog, or into a PDF file when there is no printer.
    void mnuPrintOutlineTestPageClick();
    bool PrintOutlineTestPageToPdf(const QString &path);

    // ---- personal information and background art (MainPersonal.cpp)
    void mnuPersonalInformationClick();
    void mnuSetorChangeBackgroundArtClick();
    // The folder background art is looked for in ("bg" in the program folder).
    static QString BackgroundFolder();
    // Copies the sample art shipped with the program into the background
    // folder, leaving files of the same name alone; the number copied.
    static int InstallSampleBackgrounds();
    // The folder the texture browser starts in ("bmbrush" in the program folder).
    static QString TextureFolder();
    // Copies the starter textures shipped with the program into the texture
    // folder, leaving files of the same name alone; the number copied.
    static int InstallStarterTextures();

    // Sizes the surface from the card size of the layout, at 100 % zoom.
    void SetCardSizeFromInches();

    // True: the side shown changed (one undo step); false: the whole design
    // is as saved.
    void SetChangesMade(bool changed);
    void Setbuttons();

    // ---- the two sides (MainSides.cpp)
    bool ShowingBack() const { return m_model == m_backModel; }
    // Shows and edits one side of the card; the other keeps its objects at 100 %.
    void ShowSide(bool back);
    // Ctrl+Tab: the other side.
    void SwitchSide() { ShowSide(!ShowingBack()); }
    // ---- file commands (MainFile.cpp)
    // Asks to save unsaved changes; false when the calling command is to be abandoned.
    bool CheckSaveNeeded(bool offerCancel = false);
    bool SaveBCFile(const QString &path);
    void OpenBCFile(const QString &path);
    void New1Click();
    void Open1Click();
    void Delete1Click();
    void mnuSaveClick();
    bool mnuSaveAsClick();
    void SavebuttonClick();
    void CancelbuttonClick();
    void CloseButtonClick();
    void SelectAllLabels();
    void SetDefaultFontCaption();
    void mnuDefaultFontClick();
    void ChangeCardLayout1Click();
    void ZoomSpinnerUpClick();
    void ZoomSpinnerDownClick();
    // View > Print Shop Guides: the bleed round the card and the safe line,
    // kept in TSC.INI at once.
    void mnuPrintShopGuidesClick();
    void ShowPrintShopGuides(bool on);
    void About1Click();
    void VisitOurInternetWebsite1Click();
    void LoadPreferences();
    bool SavePreferences();

    // ---- opening from the desktop and dropping files (MainDrop.cpp)
    // A design handed over by the file manager or the command line: asks to
    // save unsaved changes, then opens it. A path that is no readable design
    // is reported ("Unable to open ...") and the open design stays.
    void OpenFromDesktop(const QString &path);
    // The design the program was started with; opened instead of the most
    // recent one at the first activation.
    void SetStartupFile(const QString &path) { m_startupFile = path; }
    // Opens the design the program was started with, nothing being open yet:
    // read once, in place. False (said to the user) when it is no readable design.
    bool OpenStartupDesign(const QString &path);
    // Places a picture file as a clip-art object with its top left at the
    // point of the card (pixels at the current zoom); false when it cannot be read.
    bool PlacePictureFile(const QString &path, const QPoint &at);
    // The name Save As proposes in the Saved folder for a new design.
    QString ProposedFileName() const;
    // What a design that cannot be read is reported with.
    static QString UnableToOpenMessage(const QString &path);
    // The folder designs are saved in by default.
    static QString SavedFolder();
    static const char *const WebsiteAddress;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    // The action as one undo step of the given name.
    std::function<void()> AsStep(const QString &name, std::function<void()> action);
    void FormCreate();
    void FormActivate();
    void BuildMenus();
    void BuildEditCommands(QMenu *edit);
    void BuildToolBar();
    QWidget *BuildButtonBar();
    QWidget *BuildSideSwitch(QWidget *parent);
    QToolBar *BuildMergeBar();
    // The merge bar and the View item as the design's merge data is.
    void ShowMergeState();
    std::optional<TMergeTable> ReadMergeData();
    QList<int> RecordsToPrint(const TMergeTable &table) const;
    // The records a merged job prints now; 0 without merge data or when it
    // cannot be read (the job says why).
    int TickedRecordCount() const;
    void SetDesignEditable(bool editable);
    // The switch, the View menu and the caption as the side shown is.
    void ShowSideState();
    // The Save and Cancel buttons as the design's changes are.
    void ShowChangeState();
    // An undo of the side shown brought it back to a state, changed or as saved.
    void SideRestored(bool changed);
    void ResetHistories();
    // The back beside a design just opened; a back that cannot be read is
    // said and left alone by saving.
    void OpenBackSide(const QString &frontPath);
    // Writes the back beside the front, or takes away a back the design no
    // longer has.
    void SaveBackSide(const QString &frontPath);
    void ChooseTool(TLPanelState tool);
    void ShowZoom();
    // Sizes the scrolling area to the card with its margin, and the bleed
    // beyond the card when the guides show it.
    void PlaceCard();
    void ApplyDefaultFont();
    void SurfaceChanged();
    void MRUFileClicked(const QString &path);
    void AddWhatsThis(QWidget *widget, const QString &text);
    // Enter and Escape for the button bar's default and cancel buttons.
    bool PressDialogKey(const QKeyEvent *key);
    QString ChooseDesignFile(const QString &title);

    TGBusinessCardPanel32 *m_panel = nullptr;
    TCardModel *m_model = nullptr;
    TCardModel *m_frontModel = nullptr;
    TCardModel *m_backModel = nullptr;
    TDesignHistory *m_history = nullptr;
    QString m_startupFile;
    QScrollArea *m_scrollBox = nullptr;
    QWidget *m_scrollContents = nullptr;
    QButtonGroup *m_toolGroup = nullptr;
    QLabel *m_zoomCaption = nullptr;
    QPushButton *m_saveButton = nullptr;
    QPushButton *m_cancelButton = nullptr;
    QPushButton *m_printButton = nullptr;
    QPushButton *m_previewButton = nullptr;
    QMenu *m_fileMenu = nullptr;
    QMenu *m_editMenu = nullptr;
    QToolBar *m_mergeBar = nullptr;
    QAction *m_mnuShowMergedRecord = nullptr;
    QLabel *m_recordCaption = nullptr;
    std::unique_ptr<TMergeCards> m_recordCards;
    QAction *m_mnuSave = nullptr;
    QAction *m_mnuDefaultFont = nullptr;
    QAction *m_mnuPrintShopGuides = nullptr;
    QAction *m_mnuFront = nullptr;
    QAction *m_mnuBack = nullptr;
    QToolButton *m_frontButton = nullptr;
    QToolButton *m_backButton = nullptr;
    // A back file that could not be read: saving leaves it as it is.
    QString m_unreadBackFile;
    QList<QAction *> m_printerItems;
    TMRUFileList *m_recentFiles = nullptr;
    TPreferences m_preferences;
    std::unique_ptr<TReportPrinter> m_mainReport;
    bool m_busy = true;
    bool m_printerReady = false;
    bool m_activated = false;
    bool m_closeConfirmed = false;
};
