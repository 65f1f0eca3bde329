#include "tests/orbin/OrbinFixture.h"

#include "core/HTMLHelp.h"
#include "help/ChmViewer.h"
#include "help/HelpBrowser.h"
#include "help/HelpWindow.h"
#include "help/TextPopup.h"
#include "platform/MachineRegistry.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTextDocument>
#include <QTreeWidget>

// The help as a person meets it: the orbin's Help entry, the viewer's window, its contents, index and
// search, and the help object's other commands against the help file that ships with the program.

namespace {

class Help : public Orbin {
protected:
    void seed() override {
        installHelpViewer();
        QFile::copy(QCoreApplication::applicationDirPath() + QStringLiteral("/qvn_OnlineHelp.chm"),
                    helpFile());
    }
    void TearDown() override {
        Orbin::TearDown();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        MachineRegistry::clearProvided();
        setHelpViewer(nullptr);
    }
    QString helpFile() const { return env.programDir() + QStringLiteral("qvn_OnlineHelp.chm"); }
    static QList<HelpWindow*> windows() { return chmViewer().windows(); }
    static HelpWindow* only() {
        const QList<HelpWindow*> w = windows();
        return w.size() == 1 ? w.front() : nullptr;
    }
    static QTreeWidgetItem* entry(HelpWindow* w, const QString& name) {
        const QList<QTreeWidgetItem*> found =
            w->contentsTree()->findItems(name, Qt::MatchExactly | Qt::MatchRecursive);
        return found.isEmpty() ? nullptr : found.front();
    }
    // A picture of the shown page, as the page loaded it.
    static QImage picture(HelpWindow* w, const char* name) {
        return w->page()
            ->document()
            ->resource(QTextDocument::ImageResource, QUrl(QString::fromLatin1(name)))
            .value<QImage>();
    }
    HTMLHelp* help() {
        helpObject()->setCHMFile(helpFile());
        return helpObject();
    }
};

} // namespace

TEST_F(Help, TheHelpEntryOpensTheContentsAndAClickedEntryShowsItsPageWithItsPictures) {
    action("mnuHelp")->trigger();
    HelpWindow* w = only();
    ASSERT_TRUE(w);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Quorvane Help"));
    EXPECT_EQ(w->panes()->currentIndex(), 0) << "at the contents";
    EXPECT_EQ(w->page()->topic(), QStringLiteral("/index.htm"));
    EXPECT_TRUE(w->page()->toPlainText().contains(QStringLiteral("Welcome to Quorvane")));
    EXPECT_FALSE(picture(w, "images/orbin.png").isNull());
    EXPECT_EQ(gHTMLHelp->HHWndHandle(), static_cast<qint32>(w->winId()));
    EXPECT_TRUE(prompter.boxes.isEmpty());

    QTreeWidgetItem* tasks = entry(w, QStringLiteral("Tasks"));
    ASSERT_TRUE(tasks);
    w->contentsTree()->scrollToItem(tasks);
    QTest::mouseClick(w->contentsTree()->viewport(), Qt::LeftButton, {},
                      w->contentsTree()->visualItemRect(tasks).center());
    EXPECT_EQ(w->page()->topic(), QStringLiteral("/tasks.htm"));
    EXPECT_TRUE(w->page()->toPlainText().contains(QStringLiteral("Follow-up tasks")));
    EXPECT_FALSE(picture(w, "images/newtask.png").isNull());

    // A link on the page leads on, and Back comes back.
    w->page()->setFocus();
    Q_EMIT w->page()->anchorClicked(QUrl(QStringLiteral("scoring.htm")));
    EXPECT_EQ(w->page()->topic(), QStringLiteral("/scoring.htm"));
    EXPECT_EQ(w->contentsTree()->currentItem(), entry(w, QStringLiteral("Scoring and the timing bonus")));
    QTest::mouseClick(w->findChild<QPushButton*>(QStringLiteral("butBack")), Qt::LeftButton);
    EXPECT_EQ(w->page()->topic(), QStringLiteral("/tasks.htm"));
    // Web addresses open on the desktop; links to files or programs are not followed out of the help.
    Q_EMIT w->page()->anchorClicked(QUrl(QStringLiteral("https://quorvane.example.org/")));
    Q_EMIT w->page()->anchorClicked(QUrl(QStringLiteral("file:///usr/bin/xterm")));
    Q_EMIT w->page()->anchorClicked(QUrl(QStringLiteral("FILE:///tmp/run.desktop")));
    EXPECT_EQ(launcher.urls, QList<QString>{QStringLiteral("https://quorvane.example.org/")});
    EXPECT_EQ(w->page()->topic(), QStringLiteral("/tasks.htm"));

    // Help again: the same object, the same window, at its contents again.
    HTMLHelp* first = gHTMLHelp;
    w->panes()->setCurrentIndex(2);
    action("mnuHelp")->trigger();
    EXPECT_EQ(gHTMLHelp, first);
    EXPECT_EQ(only(), w);
    EXPECT_EQ(w->panes()->currentIndex(), 0);

    // Quitting closes it.
    QPointer<HelpWindow> watched = w;
    quitApplication(true);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(watched.isNull() || !watched->isVisible());
    EXPECT_TRUE(windows().isEmpty());
}

TEST_F(Help, WithoutTheHelpFileOrWithADamagedOneNoWindowOpens) {
    QFile::remove(helpFile());
    action("mnuHelp")->trigger();
    EXPECT_TRUE(windows().isEmpty());
    ASSERT_EQ(prompter.boxes.size(), 1);
    EXPECT_EQ(prompter.boxes[0].title, QStringLiteral("HTML Help Class"));
    EXPECT_TRUE(prompter.boxes[0].text.startsWith(QStringLiteral("The file ") + helpFile() +
                                                  QStringLiteral(" does not exist.")));
    EXPECT_EQ(gHTMLHelp->HHWndHandle(), 0);

    // A file there but no help file (damaged, or something else under its name): no window either, and
    // the viewer says why, once for each request.
    TestEnv::writeFile(helpFile(), QByteArray("ITSF") + QByteArray(4096, '\x03'));
    for (int i = 0; i < 2; ++i) {
        prompter.boxes.clear();
        action("mnuHelp")->trigger();
        EXPECT_TRUE(windows().isEmpty());
        ASSERT_EQ(prompter.boxes.size(), 1);
        EXPECT_EQ(prompter.boxes[0].text,
                  QStringLiteral("The help file ") + helpFile() +
                      QStringLiteral(" cannot be read: it is damaged, or it is no help file."));
        QCoreApplication::processEvents();
    }
    prompter.boxes.clear();
    help()->setHHKeyword(QStringLiteral("Tasks"));
    help()->HHDisplayKeyword(0);
    EXPECT_EQ(prompter.boxes.size(), 1);
    QCoreApplication::processEvents();
}

TEST_F(Help, LookupsFindTheirTopicsAndSayWhenNothingIsThere) {
    HTMLHelp* h = help();
    h->setHHKeyword(QStringLiteral("timing BONUS"));
    h->HHDisplayKeyword(0);
    HelpWindow* w = only();
    ASSERT_TRUE(w);
    EXPECT_EQ(w->page()->topic(), QStringLiteral("/scoring.htm"));
    EXPECT_EQ(w->panes()->currentIndex(), 1) << "the index stands at the keyword";
    EXPECT_EQ(w->indexList()->currentItem()->text(), QStringLiteral("Timing bonus"));

    h->setHHALink(QStringLiteral("Reminders"));
    h->HHDisplayALink(0);
    EXPECT_EQ(w->page()->topic(), QStringLiteral("/meetings.htm"));

    h->setHHTopicID(1010);
    h->HHDisplayTopicID(0);
    EXPECT_EQ(w->page()->topic(), QStringLiteral("/tray.htm"));

    h->setHHTopicURL(QStringLiteral("keys.htm"));
    h->HHDisplayTopicURL(0);
    EXPECT_EQ(w->page()->topic(), QStringLiteral("/keys.htm"));

    // Nothing found: the caller's message, then the caller's fallback topic.
    h->setHHKeyword(QStringLiteral("no such word"));
    h->setHHMsgText(QStringLiteral("Nothing about that."));
    h->setHHMsgTitle(QStringLiteral("Quorvane Help"));
    h->setHHDefaultURL(QStringLiteral("files.htm"));
    h->HHDisplayKeyword(0);
    ASSERT_EQ(prompter.boxes.size(), 1);
    EXPECT_EQ(prompter.boxes[0].text, QStringLiteral("Nothing about that."));
    EXPECT_EQ(w->page()->topic(), QStringLiteral("/files.htm"));

    // A number the file does not know shows nothing.
    h->setHHTopicID(42);
    h->HHDisplayTopicID(0);
    EXPECT_EQ(h->HHWndHandle(), 0);
    EXPECT_EQ(windows().size(), 1);
}

TEST_F(Help, TheIndexAndTheSearchPageFindTopicsAsTheUserTypes) {
    HTMLHelp* h = help();
    h->HHDisplayIndex(0);
    HelpWindow* w = only();
    ASSERT_TRUE(w);
    EXPECT_EQ(w->panes()->currentIndex(), 1);
    auto* typed = w->findChild<QLineEdit*>(QStringLiteral("txtIndex"));
    QTest::keyClicks(typed, QStringLiteral("snoo"));
    EXPECT_EQ(w->indexList()->currentItem()->text(), QStringLiteral("Snooze"));
    QTest::keyClick(typed, Qt::Key_Return);
    EXPECT_EQ(w->page()->topic(), QStringLiteral("/meetings.htm"));

    h->HHDisplaySearch(0);
    EXPECT_EQ(w->panes()->currentIndex(), 2);
    auto* words = w->findChild<QLineEdit*>(QStringLiteral("txtSearch"));
    QTest::keyClicks(words, QStringLiteral("PERIOD   length"));
    QTest::mouseClick(w->findChild<QPushButton*>(QStringLiteral("butListTopics")), Qt::LeftButton);
    QStringList found;
    for (int i = 0; i < w->searchResults()->count(); ++i)
        found << w->searchResults()->item(i)->text();
    EXPECT_EQ(found,
              (QStringList{QStringLiteral("Developer settings"), QStringLiteral("Welcome to Quorvane")}));
    Q_EMIT w->searchResults()->itemActivated(w->searchResults()->item(0));
    EXPECT_EQ(w->page()->topic(), QStringLiteral("/devsettings.htm"));
}

TEST_F(Help, WindowDefinitionsAndPopupsComeFromTheFile) {
    HTMLHelp* h = help();
    h->setHHWindow(QStringLiteral("nowhere"));
    h->HHDisplayContents(0);
    EXPECT_TRUE(windows().isEmpty()) << "the file defines no such window";
    h->setHHWindow(QStringLiteral("main"));
    h->HHDisplayContents(0);
    ASSERT_EQ(windows().size(), 1);

    h->setHHPopupType(1);
    h->setHHPopupFile(QStringLiteral("controls.txt"));
    h->setHHPopupID(5);
    h->setHHPopupTextBold(true);
    h->HHDisplayPopup(0);
    TextPopup* popup = chmViewer().popup();
    ASSERT_TRUE(popup);
    EXPECT_EQ(popup->label()->text(), QStringLiteral("Search: find tasks and meetings by their title."));
    EXPECT_TRUE(popup->label()->font().bold());

    // The next popup replaces it, in the default style.
    h->setHHPopupType(4);
    h->setHHPopupText(QStringLiteral("Plain words"));
    h->HHDisplayPopup(0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(chmViewer().popup());
    EXPECT_NE(chmViewer().popup(), popup);
    EXPECT_FALSE(chmViewer().popup()->label()->font().bold());
    EXPECT_EQ(chmViewer().popup()->label()->font().family(), QStringLiteral("Arial"));

    h->HHClose();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(windows().isEmpty());
    EXPECT_FALSE(chmViewer().popup());
}

TEST_F(Help, TheViewerNamesTheLibrariesItLoads) {
    HTMLHelp* h = help();
    EXPECT_TRUE(h->HHVersion().startsWith(QStringLiteral("1.00")));
    EXPECT_EQ(h->HHFriendlyName(), QStringLiteral("unknown"));
    EXPECT_TRUE(h->IEVersion().startsWith(QStringLiteral("6.")));
    EXPECT_EQ(h->IEFriendlyName(), QStringLiteral("unknown"));
    EXPECT_TRUE(h->HHInstalled());
    EXPECT_TRUE(prompter.boxes.isEmpty());
}
