#include "shell/HelpViewer.h"

#include "document/ProgramFolder.h"

#include <QApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>

namespace {

struct TTopic
{
    int context;
    const char *page;
};

// One page per context number the windows ask for.
const TTopic kTopics[] = {
    {2016, "main-window.html"},           {2020, "card-positions.html"},
    {2039, "print-preview.html"},         {2040, "print-shop.html"},
    {2101, "background-art.html"},
    {2102, "personal-information.html"},  {2103, "printer-fine-tuning.html"},
    {2105, "bottom-margin-warning.html"}, {3101, "card-layout.html"},
    {40001, "multi-line-text.html"},      {40003, "clip-art.html"},
    {40004, "text-label.html"},           {40005, "symbol-selector.html"},
    {40008, "text-3d-effects.html"},      {40011, "super-shape.html"},
    {40012, "load-texture.html"},         {40013, "rich-text-editor.html"},
    {40014, "super-text.html"},           {40015, "barcode.html"},
    {2041, "merge-data.html"},
};

const char *const kContentsPage = "contents.html";

// The installed pages when there are any, else those built into the program.
QString HelpFolder()
{
    const QString data = InstalledDataFolder();
    const QString installed = data + QStringLiteral("help/");
    if (!data.isEmpty() && QFileInfo::exists(installed + QLatin1String(kContentsPage)))
        return QUrl::fromLocalFile(installed).toString();
    return QStringLiteral("qrc:/help/");
}

QPointer<THelpViewer> g_viewer;

} // namespace

// Outside any namespace: Q_INIT_RESOURCE declares the registration function.
static void LoadHelpResources()
{
    // The pages live in the core library's resources; a static library only
    // registers them when asked to.
    static const bool loaded = [] {
        Q_INIT_RESOURCE(tessaro);
        return true;
    }();
    Q_UNUSED(loaded);
}

THelpViewer *THelpViewer::Instance()
{
    if (!g_viewer) {
        LoadHelpResources();
        g_viewer = new THelpViewer;
    }
    return g_viewer;
}

THelpViewer *THelpViewer::Existing()
{
    return g_viewer;
}

QUrl THelpViewer::TopicUrl(int context)
{
    for (const TTopic &topic : kTopics) {
        if (topic.context == context)
            return QUrl(HelpFolder() + QLatin1String(topic.page));
    }
    return QUrl();
}

QUrl THelpViewer::ContentsUrl()
{
    return QUrl(HelpFolder() + QLatin1String(kContentsPage));
}

QList<int> THelpViewer::Contexts()
{
    QList<int> contexts;
    for (const TTopic &topic : kTopics)
        contexts.append(topic.context);
    std::sort(contexts.begin(), contexts.end());
    return contexts;
}

THelpViewer::THelpViewer(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("HelpViewer"));
    setWindowTitle(QStringLiteral("Tessaro Help"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setModal(false);

    auto *contents = new QPushButton(QStringLiteral("&Contents"), this);
    contents->setObjectName(QStringLiteral("ContentsButton"));
    m_back = new QPushButton(QStringLiteral("&Back"), this);
    m_back->setObjectName(QStringLiteral("BackButton"));
    m_back->setEnabled(false);
    m_forward = new QPushButton(QStringLiteral("&Forward"), this);
    m_forward->setObjectName(QStringLiteral("ForwardButton"));
    m_forward->setEnabled(false);
    auto *close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("CloseButton"));
    close->setAutoDefault(false);

    m_note = new QLabel(this);
    m_note->setObjectName(QStringLiteral("HelpNote"));
    m_note->setWordWrap(true);
    m_note->setStyleSheet(QStringLiteral("QLabel { color: #8a1c1c; padding: 4px; }"));
    m_note->hide();

    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("HelpBrowser"));
    m_browser->setOpenExternalLinks(true);
    m_browser->setSearchPaths({QStringLiteral(":/help")});

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(contents);
    buttons->addWidget(m_back);
    buttons->addWidget(m_forward);
    buttons->addStretch();
    buttons->addWidget(close);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(m_note);
    layout->addWidget(m_browser, 1);

    connect(contents, &QPushButton::clicked, this, &THelpViewer::ShowContents);
    connect(m_back, &QPushButton::clicked, m_browser, &QTextBrowser::backward);
    connect(m_forward, &QPushButton::clicked, m_browser, &QTextBrowser::forward);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(m_browser, &QTextBrowser::backwardAvailable, m_back, &QWidget::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, m_forward, &QWidget::setEnabled);
    // A page the reader moves to by a link is no longer the one the note was about.
    connect(m_browser, &QTextBrowser::sourceChanged, this, [this] { SetNote(QString()); });

    resize(640, 520);
}

void THelpViewer::Open(const QUrl &url, const QString &note)
{
    m_browser->setSource(url);
    SetNote(note);
}

void THelpViewer::SetNote(const QString &note)
{
    m_note->setText(note);
    m_note->setVisible(!note.isEmpty());
}

void THelpViewer::ShowTopic(int context)
{
    const QUrl url = TopicUrl(context);
    if (url.isEmpty()) {
        Open(ContentsUrl(), QStringLiteral("There is no help topic number %1. "
                                           "Please choose a topic from the list below.")
                                .arg(context));
        return;
    }
    Open(url, QString());
}

void THelpViewer::ShowContents()
{
    Open(ContentsUrl(), QString());
}

void THelpViewer::StayUsableBeside(QWidget *modal)
{
    QWindow *owner = nullptr;
    if (modal && modal->window() != this) {
        modal->window()->winId();
        owner = modal->window()->windowHandle();
    }
    winId(); // the window handle, before the first show
    QWindow *handle = windowHandle();
    if (handle && handle->transientParent() != owner)
        handle->setTransientParent(owner);
}

void THelpViewer::Present()
{
    StayUsableBeside(QApplication::activeModalWidget());
    if (isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

int THelpViewer::CurrentContext() const
{
    const QString page = m_browser->source().fileName();
    if (page == QLatin1String(kContentsPage))
        return 0;
    for (const TTopic &topic : kTopics) {
        if (page == QLatin1String(topic.page))
            return topic.context;
    }
    return -1;
}

QString THelpViewer::CurrentTopic() const
{
    return m_browser->source().toString();
}

QString THelpViewer::Note() const
{
    return m_note->text();
}
