#pragma once

#include <QDialog>
#include <QList>
#include <QString>
#include <QUrl>

class QLabel;
class QPushButton;
class QTextBrowser;

// The program's help window: one non-modal window for the whole run that
// shows the HTML help topics shipped inside the program, one topic per
// context number, with a Contents button to get back to the list of topics.
// Help is mostly asked for from modal dialogs, which block every other
// window: the help window then belongs to the dialog (its transient child),
// which leaves it usable until the dialog closes, and stays open after.
class THelpViewer : public QDialog
{
    Q_OBJECT

public:
    // The help window, created on first use (hidden until Present()).
    static THelpViewer *Instance();
    // The help window if it was ever created, else null.
    static THelpViewer *Existing();

    // Shows the topic of a context number; an unknown number shows the
    // contents with a note saying the topic was not found.
    void ShowTopic(int context);
    void ShowContents();
    // Shows the window and brings it to the front; usable beside a modal
    // dialog that is open.
    void Present();
    // Keeps the window usable while the modal window is open (null: no
    // modal window to stay beside).
    void StayUsableBeside(QWidget *modal);

    // The context number of the page shown: 0 for the contents, -1 when no
    // page of a known topic is shown.
    int CurrentContext() const;
    // The address of the page shown ("qrc:/help/....html").
    QString CurrentTopic() const;
    // The note above the page ("" when none is shown).
    QString Note() const;
    QTextBrowser *Browser() const { return m_browser; }

    // The page of a context number, or an empty URL when there is none.
    static QUrl TopicUrl(int context);
    static QUrl ContentsUrl();
    // Every context number that has a topic, in ascending order.
    static QList<int> Contexts();

private:
    explicit THelpViewer(QWidget *parent = nullptr);
    void Open(const QUrl &url, const QString &note);
    void SetNote(const QString &note);

    QTextBrowser *m_browser = nullptr;
    QLabel *m_note = nullptr;
    QPushButton *m_back = nullptr;
    QPushButton *m_forward = nullptr;
};
