#include "shell/Main.h"

#include "document/Filer.h"
#include "document/StreamIO.h"
#include "printing/Editlo.h"
#include "printing/MergePrint.h"
#include "report/RPrinter.h"
#include "richtext/RichTextEngine.h"
#include "shell/ButtonBarLayout.h"
#include "shell/CardKinds.h"
#include "document/DesignHistory.h"
#include "shell/MRUFileList.h"
#include "shell/ShellUtil.h"
#include "shell/Splash.h"
#include "shell/ToolIcons.h"
#include "surface/GGraphc.h"
#include "surface/GHandle.h"
#include "surface/ScreenInfo.h"

#include <QActionGroup>
#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <QWhatsThis>

std::function<bool(bool)> TMainScreen::PrinterCheck = [](bool report) {
    return PrinterAvailable(report);
};

const char *const TMainScreen::WebsiteAddress = "https://tessaro.app/";

namespace {

// The safe margin the guides show inside the card, in inches.
constexpr double PrintShopSafeMargin = 0.125;

// Holds the card in the scrolling area. The bleed lies beyond the card's
// edges, so the guides' bleed is painted here, round the card.
class TCardHost : public QWidget
{
public:
    using QWidget::QWidget;
    const TGBasePanel *Card = nullptr;

protected:
    void paintEvent(QPaintEvent *) override
    {
        if (!Card || !Card->PrintShopGuides())
            return;
        QPainter painter(this);
        Card->PaintBleed(painter);
    }
};

QAction *AddItem(QMenu *menu, const QString &name, const QString &caption,
                 std::function<void()> action, const QKeySequence &shortcut = {})
{
    QAction *item = menu->addAction(caption);
    item->setObjectName(name);
    if (!shortcut.isEmpty())
        item->setShortcut(shortcut);
    QObject::connect(item, &QAction::triggered, menu, [action] { action(); });
    return item;
}

} // namespace

// A command of the window's menus is one undo step, named after its item.
std::function<void()> TMainScreen::AsStep(const QString &caption, std::function<void()> action)
{
    return [this, name = TDesignHistory::NameOfCaption(caption), action] {
        const TUndoStep step(m_history, name);
        action();
    };
}

TMainScreen::TMainScreen(QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("MainScreen"));
    // The tools and the kinds a design may hold.
    RegisterCardObjectKinds();
    // Qt appends the application's display name to every caption that does
    // not already end with it, so "Tessaro - BC0001.TSC" would gain a second
    // "Tessaro"; the program's captions are whole titles.
    QGuiApplication::setApplicationDisplayName(QString());
    setWindowTitle(QStringLiteral("Tessaro"));
    SetHelpTopic(this, 2016);
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(8);
    setFont(font);

    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    m_scrollBox = new QScrollArea(central);
    m_scrollBox->setObjectName(QStringLiteral("ScrollBox1"));
    m_scrollBox->setBackgroundRole(QPalette::Button);
    m_scrollBox->setWidgetResizable(false);
    auto *host = new TCardHost;
    m_scrollContents = host;
    m_scrollContents->setObjectName(QStringLiteral("ScrollContents"));
    m_scrollContents->setAutoFillBackground(true);
    m_scrollContents->setBackgroundRole(QPalette::Button);
    m_scrollContents->installEventFilter(this);

    m_panel = new TGBusinessCardPanel32(m_scrollContents);
    m_panel->setObjectName(QStringLiteral("BusinessCardPanel"));
    host->Card = m_panel;
    connect(m_panel, &TGBasePanel::guidesChanged, this, [this] { PlaceCard(); });
    // The card's objects belong to the window, which keeps their names
    // unique; rich text draws through the window's one engine.
    m_model = new TCardModel(this);
    m_model->SetOwner(this);
    m_frontModel = m_model;
    m_backModel = new TCardModel(this);
    m_backModel->SetOwner(this);
    TRichTextEngine::EnsureMaster(this);
    m_panel->SetModel(m_model);
    // Each side has its own undo; only the side shown is undone.
    for (TCardModel *side : {m_frontModel, m_backModel}) {
        TDesignHistory *history = side->EnableHistory();
        history->OnRestored = [this](bool changed) { SideRestored(changed); };
        history->OnRestoreFailed = [](const QString &message) { ShowInformation(message); };
    }
    m_history = m_model->History();
    setAcceptDrops(true);
    m_panel->SetDrawOutline(true);
    m_panel->SetPrinting(false);
    m_panel->SetShape(lsRectangle);
    m_panel->DroppedObjectEvent = [this](TGBasePanel *, const TRect &) {
        ChooseTool(psPointing);
    };
    m_scrollBox->setWidget(m_scrollContents);
    // The grey beyond the contents, when the window is larger than the card.
    m_scrollBox->viewport()->installEventFilter(this);
    layout->addWidget(m_scrollBox, 1);

    BuildMenus();
    BuildToolBar();
    layout->addWidget(BuildButtonBar());
    setCentralWidget(central);
    resize(622, 404 + menuBar()->sizeHint().height());
    qApp->installEventFilter(this);

    FormCreate();
}

TMainScreen::~TMainScreen()
{
    qApp->removeEventFilter(this);
    // Cut or copied objects do not outlive the program.
    m_panel->DeleteTemporaryFiles();
}

// ---- building the window ------------------------------------------------------

void TMainScreen::BuildMenus()
{
    m_fileMenu = menuBar()->addMenu(tr("&File"));
    m_fileMenu->setObjectName(QStringLiteral("FileMenu"));
    QMenu *file = m_fileMenu;
    AddItem(file, "mnuNew", tr("&New"), [this] { New1Click(); }, QKeySequence::New);
    AddItem(file, "mnuOpen", tr("&Open"), [this] { Open1Click(); }, QKeySequence::Open);
    AddItem(file, "mnuDelete", tr("&Delete"), [this] { Delete1Click(); });
    file->addSeparator();
    m_mnuSave = AddItem(file, "mnuSave", tr("Save"), [this] { mnuSaveClick(); },
                        QKeySequence(Qt::CTRL | Qt::Key_S));
    AddItem(file, "mnuSaveAs", tr("Save &As..."), [this] { mnuSaveAsClick(); },
            QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    file->addSeparator();
    AddItem(file, "mnuMergeData", tr("&Merge Data..."), [this] { mnuMergeDataClick(); });
    m_printerItems << AddItem(file, "mnuPrint", tr("&Print"), [this] { mnuPrintClick(); },
                              QKeySequence(Qt::CTRL | Qt::Key_P));
    // The preview shows the layout's paper, so it needs no printer either.
    AddItem(file, "mnuPreview", tr("Pre&view"), [this] { mnuPreviewClick(); });
    // Needs no printer, so it is never disabled.
    AddItem(file, "mnuPrintToPdf", tr("Print to PD&F..."), [this] { mnuPrintToPdfClick(); });
    AddItem(file, "mnuExportForPrintShop", tr("Export for Print S&hop..."),
            [this] { mnuExportForPrintShopClick(); });
    AddItem(file, "mnuExportCardAsImage", tr("Export Card as I&mage..."),
            [this] { mnuExportCardAsImageClick(); });
    file->addSeparator();
    m_printerItems << AddItem(file, "mnuPrinterSetup", tr("Printer S&etup"),
                              [this] { mnuPrinterSetupClick(); });
    // Without a printer it edits the nudges Print to PDF and the batch tool use.
    AddItem(file, "mnuPrinterFineTuning", tr("Printer Fine &Tuning"),
            [this] { mnuPrinterFineTuningClick(); });
    // Goes into a PDF file when there is no printer, so it is never disabled.
    AddItem(file, "mnuPrintOutlineTestPage", tr("Print O&utline Test Page"),
            [this] { mnuPrintOutlineTestPageClick(); });
    file->addSeparator();
    AddItem(file, "mnuExit", tr("E&xit"), [this] { CloseButtonClick(); },
            QKeySequence(Qt::CTRL | Qt::Key_Q));

    QMenu *edit = menuBar()->addMenu(tr("&Edit"));
    edit->setObjectName(QStringLiteral("EditMenu"));
    m_editMenu = edit;
    BuildEditCommands(edit);
    edit->addSeparator();
    m_mnuDefaultFont = AddItem(edit, "mnuDefaultFont", tr("&Default Font - "),
                               [this] { mnuDefaultFontClick(); });
    AddItem(edit, "mnuPersonalInformation", tr("&Personal Information"),
            [this] { mnuPersonalInformationClick(); });
    AddItem(edit, "mnuSetorChangeBackgroundArt", tr("&Set or Change Background Art"),
            AsStep(tr("Background Art"), [this] { mnuSetorChangeBackgroundArtClick(); }));
    edit->addSeparator();
    AddItem(edit, "mnuChangeCardLayout", tr("Change Business Card Layout"),
            AsStep(tr("Change Business Card Layout"), [this] { ChangeCardLayout1Click(); }));

    QMenu *view = menuBar()->addMenu(tr("&View"));
    view->setObjectName(QStringLiteral("ViewMenu"));
    m_mnuPrintShopGuides = AddItem(view, "mnuPrintShopGuides", tr("Print Shop &Guides"),
                                   [this] { mnuPrintShopGuidesClick(); });
    m_mnuPrintShopGuides->setCheckable(true);
    view->addSeparator();
    auto *sides = new QActionGroup(this);
    m_mnuFront = AddItem(view, "mnuFront", tr("&Front"), [this] { ShowSide(false); });
    m_mnuBack = AddItem(view, "mnuBack", tr("&Back"), [this] { ShowSide(true); });
    for (QAction *item : {m_mnuFront, m_mnuBack}) {
        item->setCheckable(true);
        sides->addAction(item);
    }
    m_mnuFront->setChecked(true);
    // Ctrl+Tab is not focus movement here: nothing in the window uses tabs.
    auto *other = new QAction(this);
    other->setObjectName(QStringLiteral("mnuOtherSide"));
    other->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab));
    other->setShortcutContext(Qt::WindowShortcut);
    connect(other, &QAction::triggered, this, [this] { SwitchSide(); });
    addAction(other);
    view->addSeparator();
    m_mnuShowMergedRecord = AddItem(view, "mnuShowMergedRecord", tr("Show &Merged Record"),
                                    [this] { ShowMergedRecord(!ShowingMergedRecord()); },
                                    QKeySequence(Qt::CTRL | Qt::Key_M));
    m_mnuShowMergedRecord->setCheckable(true);
    m_mnuShowMergedRecord->setEnabled(false);

    QMenu *help = menuBar()->addMenu(tr("&Help"));
    help->setObjectName(QStringLiteral("HelpMenu"));
    AddItem(help, "mnuContents", tr("&Contents"), [] { ShowHelpContents(); });
    AddItem(help, "mnuAbout", tr("&About"), [this] { About1Click(); });

    QMenu *online = menuBar()->addMenu(tr("Online"));
    online->setObjectName(QStringLiteral("OnlineMenu"));
    AddItem(online, "mnuVisitOurInternetWebsite", tr("Visit Our Internet Website"),
            [this] { VisitOurInternetWebsite1Click(); });
}

void TMainScreen::BuildToolBar()
{
    QToolBar *bar = addToolBar(tr("Tools"));
    bar->setObjectName(QStringLiteral("ToolBar"));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setIconSize(QSize(24, 24));
    bar->setFixedHeight(38);
    m_toolGroup = new QButtonGroup(this);
    m_toolGroup->setExclusive(true);
    // Hints keep their line breaks: two-line hints show as two lines.
    for (const TCardKind &kind : KindCatalogue::Kinds()) {
        if (!kind.ButtonName)
            continue;
        auto *button = new QToolButton(bar);
        button->setObjectName(QString::fromLatin1(kind.ButtonName));
        button->setCheckable(true);
        button->setIcon(kind.Icon ? kind.Icon() : QIcon());
        button->setToolTip(QString::fromLatin1(kind.Hint));
        button->setAutoRaise(true);
        AddWhatsThis(button,
                     kind.ToolName() + tr(": pick it, then drag on the card to place an object."));
        m_toolGroup->addButton(button, kind.Tool);
        bar->addWidget(button);
        if (kind.Tool == psPointing) {
            button->setChecked(true);
            button->setWhatsThis(tr("Selection tool: click objects to select them, drag to move "
                                    "them, drag a band round several to select them all."));
        }
    }
    connect(m_toolGroup, &QButtonGroup::idClicked, this,
            [this](int id) { m_panel->SetPanelState(static_cast<TLPanelState>(id)); });
    bar->addSeparator();

    auto toggle = [&](const char *name, const QIcon &icon, const QString &hint,
                      const QString &help, std::function<void(bool)> apply) {
        auto *button = new QToolButton(bar);
        button->setObjectName(QString::fromLatin1(name));
        button->setCheckable(true);
        button->setIcon(icon);
        button->setToolTip(hint);
        button->setAutoRaise(true);
        AddWhatsThis(button, help);
        connect(button, &QToolButton::toggled, this, [apply](bool on) { apply(on); });
        bar->addWidget(button);
    };
    toggle("ShowGrid", GridIcon(), tr("Show grid"),
           tr("Shows a dot grid on the card, four pixels apart."),
           [this](bool on) { m_panel->SetShowGrid(on); });
    toggle("SnapToGrid", SnapIcon(), tr("Snap to Grid"),
           tr("Moved and resized objects snap to the grid."),
           [this](bool on) { m_panel->SetSnapToGrid(on); });

    auto *art = new QToolButton(bar);
    art->setObjectName(QStringLiteral("SetBackgroundArtButton"));
    art->setIcon(ClipArtToolIcon());
    art->setToolTip(tr("Set or change background art"));
    art->setAutoRaise(true);
    AddWhatsThis(art, tr("Picks the picture that lies under the whole card, on screen and on "
                         "every printed card."));
    connect(art, &QToolButton::clicked, this,
            AsStep(tr("Background Art"), [this] { mnuSetorChangeBackgroundArtClick(); }));
    bar->addWidget(art);
    bar->addSeparator();
    bar->addWidget(BuildSideSwitch(bar));
    // A row of its own under the tools, shown while the design merges.
    addToolBarBreak();
    m_mergeBar = BuildMergeBar();
    m_mergeBar->hide();
}

QWidget *TMainScreen::BuildButtonBar()
{
    auto *bar = new QWidget;
    bar->setObjectName(QStringLiteral("ButtonBar"));
    // 47 pixels high; a narrow window wraps the buttons onto more rows.
    bar->setMinimumHeight(47);
    auto *row = new TButtonBarLayout(bar);
    row->setContentsMargins(8, 4, 8, 4);
    row->SetLeadingCount(3); // the zoom arrows, "Zoom:" and the zoom

    auto *spinner = new QWidget(bar);
    spinner->setObjectName(QStringLiteral("ZoomSpinner"));
    spinner->setToolTip(
        tr("Press plus (+) or minus (-) to \nincrease or decrease the zoom percentage"));
    auto *arrows = new QVBoxLayout(spinner);
    arrows->setContentsMargins(0, 0, 0, 0);
    arrows->setSpacing(0);
    auto *up = new QToolButton(spinner);
    up->setObjectName(QStringLiteral("ZoomUp"));
    up->setArrowType(Qt::UpArrow);
    up->setFixedSize(20, 16);
    auto *down = new QToolButton(spinner);
    down->setObjectName(QStringLiteral("ZoomDown"));
    down->setArrowType(Qt::DownArrow);
    down->setFixedSize(20, 16);
    arrows->addWidget(up);
    arrows->addWidget(down);
    connect(up, &QToolButton::clicked, this, &TMainScreen::ZoomSpinnerUpClick);
    connect(down, &QToolButton::clicked, this, &TMainScreen::ZoomSpinnerDownClick);
    AddWhatsThis(spinner, tr("Zooms the card in or out in steps of 10 %, from 100 % to 150 %."));
    row->addWidget(spinner);

    auto *label = new QLabel(tr("Zoom:"), bar);
    label->setObjectName(QStringLiteral("Label1"));
    row->addWidget(label);
    m_zoomCaption = new QLabel(QStringLiteral("100%"), bar);
    m_zoomCaption->setObjectName(QStringLiteral("ZoomCaption"));
    m_zoomCaption->setMinimumWidth(40);
    QPalette navy = m_zoomCaption->palette();
    navy.setColor(QPalette::WindowText, QColor(0, 0, 128));
    m_zoomCaption->setPalette(navy);
    row->addWidget(m_zoomCaption);

    auto button = [&](const char *name, const QString &caption, const QString &help,
                      std::function<void()> action) {
        auto *b = new QPushButton(caption, bar);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        // Narrow enough that all of them fit the window's width at once.
        b->setFixedWidth(b->fontMetrics().horizontalAdvance(b->text().remove('&')) + 30);
        connect(b, &QPushButton::clicked, this, [action] { action(); });
        AddWhatsThis(b, help);
        row->addWidget(b);
        return b;
    };
    m_saveButton = button("Savebutton", tr("Save as"), tr("Saves the design."),
                          [this] { SavebuttonClick(); });
    m_saveButton->setDefault(true);
    m_saveButton->hide();
    m_cancelButton = button("Cancelbutton", tr("Cancel"),
                            tr("Throws away the changes since the design was last saved."),
                            [this] { CancelbuttonClick(); });
    m_cancelButton->hide();
    m_printButton = button("PrintButton", tr("&Print"), tr("Prints the sheet of cards."),
                           [this] { mnuPrintClick(); });
    m_previewButton = button("Previewbutton", tr("Pre&view"),
                             tr("Shows the sheet as it will print."),
                             [this] { mnuPreviewClick(); });
    button("Helpbutton", tr("&Help"), tr("Opens the help for this window."),
           [] { ShowHelpTopic(2016); });
    auto *mouseHelp = new QToolButton(bar);
    mouseHelp->setObjectName(QStringLiteral("MouseHelpButton"));
    mouseHelp->setText(QStringLiteral("?"));
    mouseHelp->setFixedSize(26, 26);
    connect(mouseHelp, &QToolButton::clicked, this, [] { QWhatsThis::enterWhatsThisMode(); });
    row->addWidget(mouseHelp);
    QPushButton *exit = button("CloseButton", tr("E&xit"), tr("Ends the program."),
                               [this] { CloseButtonClick(); });
    exit->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    exit->setLayoutDirection(Qt::RightToLeft); // picture right of the caption
    return bar;
}

void TMainScreen::AddWhatsThis(QWidget *widget, const QString &text)
{
    widget->setWhatsThis(text);
    widget->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(widget, &QWidget::customContextMenuRequested, widget, [widget](const QPoint &pos) {
        QMenu menu;
        menu.setObjectName(QStringLiteral("WhatsThisMenu"));
        QAction *item = menu.addAction(tr("What's this?"));
        if (menu.exec(widget->mapToGlobal(pos)) == item)
            QWhatsThis::showText(widget->mapToGlobal(pos), widget->whatsThis(), widget);
    });
}

// ---- start-up -----------------------------------------------------------------

void TMainScreen::FormCreate()
{
    m_printerReady = false;
    m_busy = true;
    SelectAllLabels();
    LoadPreferences();
    ShowPrintShopGuides(m_preferences.PrintShopGuides);
    SetCardSizeFromInches();
    SetDefaultFontCaption();
    SetChangesMade(false);

    m_recentFiles = new TMRUFileList(this);
    m_recentFiles->RemoveOnClick = true;
    m_recentFiles->Maximum = 5;
    m_recentFiles->OnMRUItemClick = [this](QObject *, const QString &path) {
        MRUFileClicked(path);
    };
    m_recentFiles->AutoSaveName = PreferencesPath();
    m_recentFiles->AutoSaveKey = QStringLiteral("MRU");
    m_recentFiles->AutoSave = false;
    m_recentFiles->SetFileMenu(m_fileMenu);
    m_recentFiles->LoadList();

    const QString folder = ProgramFolder();
    // A first start finds some background art to choose from.
    const bool firstStart = !QFileInfo::exists(BackgroundFolder());
    for (const char *sub : {"bmbrush", "Saved", "bg"})
        QDir().mkpath(folder + QLatin1String(sub));
    if (firstStart && QFileInfo(BackgroundFolder()).isDir())
        InstallSampleBackgrounds();
    // And the texture fill some textures to start with.
    const QDir textures(TextureFolder());
    if (textures.exists() && textures.isEmpty(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot))
        InstallStarterTextures();
}

void TMainScreen::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    m_panel->update();
    if (!m_activated) {
        m_activated = true;
        // After the window is on screen, so that the restored placement sticks.
        QMetaObject::invokeMethod(this, [this] { FormActivate(); }, Qt::QueuedConnection);
    }
}

void TMainScreen::FormActivate()
{
    RestorePlacement(this);
    QCoreApplication::processEvents();
    m_panel->SetShape(lsRectangle);
    SetCardSizeFromInches();
    m_panel->show();
    QCoreApplication::processEvents();
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
    // A design named on the command line comes over the recent one, which is
    // opened only when the named one cannot be: the first paint waits for
    // one design, read once.
    const QString named = std::exchange(m_startupFile, QString());
    const bool opened = !named.isEmpty() && OpenStartupDesign(named);
    const QStringList recent = m_recentFiles->Files();
    if (!opened && !recent.isEmpty() && QFile::exists(recent.first()))
        OpenBCFile(recent.first());
    SetChangesMade(false);
    QCoreApplication::processEvents();
    m_panel->LabelChangedEvent = [this](QObject *) { SurfaceChanged(); };
    ResetHistories();
    SetChangesMade(false);
    m_busy = false;
    m_printerReady = PrinterCheck ? PrinterCheck(true) : false;
    if (m_printerReady)
        CreateMainReport();
    Setbuttons();
    m_panel->setFocus();
}

void TMainScreen::LoadPreferences()
{
    m_preferences = ::LoadPreferences(PreferencesPath());
    const int positions = m_preferences.Layout.Across * m_preferences.Layout.Down;
    while (PrintSelection.size() < positions)
        PrintSelection.append(true);
    m_frontModel->SetPersonalInfo(m_preferences.PersonalInfo);
    m_backModel->SetPersonalInfo(m_preferences.PersonalInfo);
    ApplyDefaultFont();
}

bool TMainScreen::SavePreferences()
{
    const QFont font = m_panel->SurfaceFont();
    TDefaultFontSetting &f = m_preferences.DefaultFont;
    f.Name = font.family();
    f.Size = font.pointSize() > 0 ? font.pointSize() : f.Size;
    f.Bold = font.bold();
    f.Italic = font.italic();
    f.Underline = font.underline();
    m_preferences.PrintShopGuides = m_panel->PrintShopGuides();
    QString error;
    if (::SavePreferences(PreferencesPath(), m_preferences, &error))
        return true;
    ShowInformation(error.isEmpty() ? tr("Unable to write to %1").arg(PreferencesPath()) : error);
    return false;
}

void TMainScreen::ApplyDefaultFont()
{
    const TDefaultFontSetting &f = m_preferences.DefaultFont;
    QFont font = m_panel->SurfaceFont();
    font.setFamily(f.Name);
    font.setPointSize(f.Size);
    font.setBold(f.Bold);
    font.setItalic(f.Italic);
    font.setUnderline(f.Underline);
    m_panel->SetSurfaceFont(font);
}

void TMainScreen::SelectAllLabels()
{
    PrintSelection = QList<bool>(300, true);
}

void TMainScreen::SetCardSizeFromInches()
{
    const float zoom = m_panel->ZoomScale();
    if (zoom != 1.0f)
        m_panel->SetZoom(1.0f);
    const int ppi = ScreenPixelsPerInch();
    const TCardLayout &layout = m_preferences.Layout;
    const int h = RoundEven(double(ppi) * double(layout.Height));
    const int w = RoundEven(double(ppi) * double(layout.Width));
    m_panel->setFixedSize(std::max(1, w), std::max(1, h));
    m_panel->SetCornerRadius(double(layout.CornerRadius));
    if (zoom != 1.0f)
        m_panel->SetZoom(zoom);
    ShowZoom();
    m_panel->update();
}

void TMainScreen::ShowZoom()
{
    m_zoomCaption->setText(QString::number(RoundEven(m_panel->ZoomScale() * 100.0)) + "%");
    PlaceCard();
}

void TMainScreen::PlaceCard()
{
    // The scrolling area follows the card, with its margin round it; the
    // bleed, when shown, is as wide as it is at the zoom, the margin beyond.
    int left = 10;
    int top = 8;
    if (m_panel->PrintShopGuides()) {
        left = std::max(left, m_panel->BleedPixels() + 8);
        top = std::max(top, m_panel->BleedPixels() + 8);
    }
    m_panel->move(left, top);
    m_scrollContents->resize(m_panel->width() + 2 * left, m_panel->height() + 2 * top);
    m_scrollContents->update();
}

void TMainScreen::mnuPrintShopGuidesClick()
{
    ShowPrintShopGuides(m_mnuPrintShopGuides->isChecked());
    QString error;
    if (!SaveViewPreferences(PreferencesPath(), m_preferences, &error))
        ShowInformation(error.isEmpty() ? tr("Unable to write to %1").arg(PreferencesPath())
                                        : error);
}

void TMainScreen::ShowPrintShopGuides(bool on)
{
    m_mnuPrintShopGuides->setChecked(on);
    // The bleed the print shop export uses; the safe line 1/8 inch inside.
    m_panel->SetPrintShopGuides(on, m_preferences.Export.Bleed, PrintShopSafeMargin);
    m_preferences.PrintShopGuides = on;
}

// ---- change tracking ------------------------------------------------------------

void TMainScreen::SurfaceChanged()
{
    // A record shown on the card changes its copy, never the design.
    if (!m_busy && !ShowingMergedRecord())
        SetChangesMade(true);
}

void TMainScreen::SetChangesMade(bool changed)
{
    // Every change of the design passes here (the surface's reports, and the
    // commands that change the design beside the card, such as its background
    // art): each becomes an undo step. Undoing back to a point marked
    // unchanged is back to the saved design.
    if (changed) {
        m_history->NoteChange();
        m_model->SetChangesMade(true);
    } else {
        for (TCardModel *side : {m_frontModel, m_backModel}) {
            side->History()->MarkSaved();
            side->SetChangesMade(false);
        }
    }
    ShowChangeState();
}

void TMainScreen::Setbuttons()
{
    QString title = FileName().isEmpty()
                        ? QStringLiteral("Tessaro")
                        : QStringLiteral("Tessaro - ") + QFileInfo(FileName()).fileName();
    if (ShowingBack())
        title += tr(" (Back)");
    setWindowTitle(title);
    m_printButton->setEnabled(m_printerReady);
    for (QAction *item : std::as_const(m_printerItems))
        item->setEnabled(m_printerReady);
    if (m_mergeBar)
        ShowMergeState();
}

// ---- edit and help commands ---------------------------------------------------------

void TMainScreen::SetDefaultFontCaption()
{
    const QFont font = m_panel->SurfaceFont();
    QString caption = tr("Default Font: ") + font.family() + QStringLiteral(", ")
                    + QString::number(font.pointSize()) + QStringLiteral(" pt ");
    if (font.bold())
        caption += QStringLiteral(", bold");
    if (font.italic())
        caption += QStringLiteral(", italic");
    if (font.underline())
        caption += QStringLiteral(", underline");
    // A literal "&" in a family name must not become an accelerator.
    caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
    m_mnuDefaultFont->setText(caption);
}

void TMainScreen::mnuDefaultFontClick()
{
    if (const std::optional<QFont> chosen = ChooseFont(m_panel->SurfaceFont(), this))
        m_panel->SetSurfaceFont(*chosen);
    SetDefaultFontCaption();
    SavePreferences();
}

void TMainScreen::ChangeCardLayout1Click()
{
    LoadPreferences();
    TEditCardLayout dialog(m_preferences.Layout, this);
    // The design's extent at 100 %, so that the dialog can say when a card is
    // smaller than what is on it.
    int right = 0;
    int bottom = 0;
    for (const TGGraphicControl *object : CardObjects(m_model->Objects())) {
        const TRect bounds = object->FullSizeBounds();
        right = std::max(right, bounds.Right);
        bottom = std::max(bottom, bounds.Bottom);
    }
    const double ppi = ScreenPixelsPerInch();
    if (right > 0 && bottom > 0)
        dialog.SetDesignSize(QSizeF(right / ppi, bottom / ppi));
    PlaceDialog(&dialog, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_preferences.Layout = dialog.Layout();
    SavePreferences();
    SetCardSizeFromInches();
}

void TMainScreen::About1Click()
{
    TSplashform about(this);
    PlaceDialog(&about, this);
    about.exec();
}

void TMainScreen::VisitOurInternetWebsite1Click()
{
    QDesktopServices::openUrl(QUrl(QString::fromLatin1(WebsiteAddress)));
}

// ---- tools, zoom and keys -----------------------------------------------------------

void TMainScreen::ChooseTool(TLPanelState tool)
{
    m_panel->SetPanelState(tool);
    if (QAbstractButton *button = m_toolGroup->button(tool))
        button->setChecked(true);
}

void TMainScreen::ZoomSpinnerUpClick()
{
    m_busy = true;
    m_panel->Handles()->ClearSelection();
    const float zoom = m_panel->ZoomScale();
    if (!(zoom > 1.5f))
        m_panel->SetZoom(static_cast<float>(double(zoom) + 0.1));
    ShowZoom();
    QCoreApplication::processEvents();
    m_busy = false;
}

void TMainScreen::ZoomSpinnerDownClick()
{
    m_busy = true;
    m_panel->Handles()->ClearSelection();
    const float zoom = m_panel->ZoomScale();
    if (!(zoom < 1.1f))
        m_panel->SetZoom(static_cast<float>(double(zoom) - 0.1));
    ShowZoom();
    QCoreApplication::processEvents();
    m_busy = false;
}

bool TMainScreen::eventFilter(QObject *watched, QEvent *event)
{
    // A click in the scrolling area outside the card clears the selection.
    if ((watched == m_scrollContents || watched == m_scrollBox->viewport()) &&
        event->type() == QEvent::MouseButtonPress) {
        m_panel->Handles()->ClearSelection();
        return false;
    }
    // The window sees every key first; only keys for its own widgets, once.
    if ((event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)
        && watched == QApplication::focusWidget() && watched->isWidgetType()
        && static_cast<QWidget *>(watched)->window() == this) {
        auto *key = static_cast<QKeyEvent *>(event);
        QScrollBar *bar = m_scrollBox->verticalScrollBar();
        if (event->type() == QEvent::KeyPress) {
            switch (key->key()) {
            case Qt::Key_PageUp:
                bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
                return true;
            case Qt::Key_PageDown:
                bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
                return true;
            case Qt::Key_Home:
                bar->triggerAction(QAbstractSlider::SliderToMinimum);
                return true;
            case Qt::Key_End:
                bar->triggerAction(QAbstractSlider::SliderToMaximum);
                return true;
            default:
                m_panel->KeyDownHandler(key->key(), key->modifiers());
                return PressDialogKey(key);
            }
        }
        if (!key->isAutoRepeat() && (key->modifiers() & Qt::KeypadModifier)) {
            if (key->key() == Qt::Key_Plus)
                ZoomSpinnerUpClick();
            else if (key->key() == Qt::Key_Minus)
                ZoomSpinnerDownClick();
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

bool TMainScreen::PressDialogKey(const QKeyEvent *key)
{
    // Enter presses the default button (Save) and Escape the cancel button,
    // while they are shown; a focused button takes Enter for itself.
    const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
    if (mods != Qt::NoModifier)
        return false;
    QPushButton *button = nullptr;
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        auto *focused = qobject_cast<QPushButton *>(QApplication::focusWidget());
        button = focused && focused->window() == this ? focused : m_saveButton;
    } else if (key->key() == Qt::Key_Escape) {
        button = m_cancelButton;
    }
    if (!button || !button->isVisible() || !button->isEnabled())
        return false;
    button->click();
    return true;
}

void TMainScreen::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        m_panel->update();
    QMainWindow::changeEvent(event);
}
