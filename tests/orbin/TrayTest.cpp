#include "tests/orbin/OrbinFixture.h"

#include "core/HotKey.h"
#include "core/Settings.h"
#include "core/Tray.h"
#include "dialogs/ItemOpeners.h"
#include "dialogs/dlgNewTaskDetails.h"
#include "orbin/HiddenKeys.h"
#include "orbin/frmScoreboard.h"
#include "orbin/frmSysTray.h"
#include "tests/support/FakeKeyGrab.h"

#include <QLabel>
#include <QSystemTrayIcon>

namespace {

// The orbin on a desktop with a tray and a hide key.
class Tray : public Orbin {
protected:
    void seed() override { env.writeSettings("[General]\nFirstTime=false\n"); }
    void SetUp() override {
        Orbin::SetUp();
        setTrayFormLoader([] {
            frmSysTray::instance();
            return true;
        });
    }
    void TearDown() override {
        Orbin::TearDown();
        setTrayFormLoader(nullptr);
    }
    static frmSysTray* tray() { return frmSysTray::existing(); }
    static int formsNamed(const QString& name) {
        int n = 0;
        for (FormPort* f : forms::loaded())
            n += f->formName() == name;
        return n;
    }
    void minimize() const { action("mnuMinimize")->trigger(); }

    FakeKeyGrab grab;
};

// A form that handles a minimise from its frame itself when it says so.
class MinimizingForm : public FormWidget {
    Q_OBJECT
public:
    MinimizingForm() : FormWidget(QStringLiteral("frmMinimizing")) {}
    Q_INVOKABLE bool onMinimize() {
        ++asked;
        return handles;
    }
    bool handles = true;
    int asked = 0;
};

} // namespace

TEST_F(Tray, MinimizeHidesEveryWindowBehindOneIconAndADoubleClickBringsThemBack) {
    dlgNewTaskDetails* typing = openNewTask();
    frmScoreboard* board = frmScoreboard::instance(); // loaded but not in sight
    minimize();
    EXPECT_FALSE(floater->isVisible());
    EXPECT_FALSE(typing->isVisible());
    ASSERT_NE(tray(), nullptr);
    EXPECT_TRUE(tray()->trayIcon()->isVisible());
    EXPECT_FALSE(tray()->isVisible()) << "the tray form itself is never shown";

    // Loaded again while there: the same form, one icon.
    EXPECT_EQ(frmSysTray::instance(), tray());
    EXPECT_EQ(formsNamed(QStringLiteral("frmSysTray")), 1);
    EXPECT_EQ(tray()->findChildren<QSystemTrayIcon*>().size(), 1);
    EXPECT_EQ(tray()->trayIcon()->toolTip(), QStringLiteral("Quorvane"));

    // A click that starts with a press on the icon waits for the double click.
    tray()->icon_Activated(QSystemTrayIcon::Trigger, true);
    EXPECT_FALSE(floater->isVisible());
    tray()->icon_Activated(QSystemTrayIcon::DoubleClick, false);
    EXPECT_TRUE(floater->isVisible());
    EXPECT_TRUE(typing->isVisible()) << "the dialog comes back with the orbin";
    EXPECT_FALSE(board->isVisible()) << "and only what was in sight";
    EXPECT_EQ(tray(), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    // A tray that reports a click as a message, never a double click: the click restores.
    minimize();
    tray()->icon_Activated(QSystemTrayIcon::Trigger, false);
    EXPECT_TRUE(floater->isVisible());
    EXPECT_EQ(tray(), nullptr);
}

TEST_F(Tray, TheMenuOffersAboutRestoreNewItemsAndAnExitThatAsks) {
    minimize();
    QMenu* menu = tray()->mPopupMenu();
    QStringList entries;
    for (QAction* a : menu->actions())
        entries << (a->isSeparator() ? QStringLiteral("-") : a->text());
    EXPECT_EQ(entries, (QStringList{"About Quorvane", "-", "&Restore", "-", "&New Task", "New M&eeting", "-",
                                    "&Exit"}));
    auto entry = [menu](const char* name) { return menu->findChild<QAction*>(QString::fromLatin1(name)); };
    entry("mRestore")->setEnabled(false);
    Q_EMIT menu->aboutToShow();
    EXPECT_TRUE(entry("mRestore")->isEnabled());

    entry("mNewTask")->trigger();
    entry("mNewMeeting")->trigger();
    entry("mAbout")->trigger();
    entry("mAbout")->trigger();
    EXPECT_EQ(formsNamed(QStringLiteral("frmAbout")), 1);
    EXPECT_EQ(formsNamed(QStringLiteral("dlgNewTaskDetails")), 1);
    EXPECT_EQ(formsNamed(QStringLiteral("dlgNewMeetingDetails")), 1);
    EXPECT_NE(tray(), nullptr) << "the orbin stays in the tray meanwhile";

    prompter.script({Prompter::No});
    entry("mExit")->trigger();
    EXPECT_EQ(quitQuestions(), 1);
    EXPECT_FALSE(gQuitting);
    prompter.script({Prompter::Yes});
    entry("mExit")->trigger();
    EXPECT_EQ(quitQuestions(), 2);
    EXPECT_TRUE(gQuitting);
    EXPECT_TRUE(forms::loaded().isEmpty());
}

TEST_F(Tray, TheTooltipIsCutTo63AndAnIconThatCannotBeLoadedChangesNothing) {
    const QString name = QCoreApplication::applicationName();
    QCoreApplication::setApplicationName(QString(70, QLatin1Char('q')));
    minimize();
    QCoreApplication::setApplicationName(name);
    EXPECT_EQ(tray()->trayIcon()->toolTip(), QString(63, QLatin1Char('q')));
    EXPECT_EQ(tray()->Tooltip().size(), frmSysTray::TipLength);

    const qint64 before = tray()->trayIcon()->icon().cacheKey();
    tray()->setTrayIcon(QStringLiteral("/nowhere/icon.png"));
    EXPECT_EQ(tray()->trayIcon()->icon().cacheKey(), before);
    tray()->setTrayIcon(QStringLiteral("default"));
    EXPECT_NE(tray()->trayIcon()->icon().cacheKey(), before);
}

TEST_F(Tray, ShiftEscHidesToTheTrayAndBringsBackOnlyWhileTheSettingIsOn) {
    gHotKey->createHotKey(floater->windowHandle());
    dlgNewTaskDetails* typing = openNewTask();
    grab.press();
    EXPECT_FALSE(floater->isVisible());
    EXPECT_FALSE(typing->isVisible());
    EXPECT_NE(tray(), nullptr);
    grab.press();
    EXPECT_TRUE(floater->isVisible());
    EXPECT_TRUE(typing->isVisible());
    EXPECT_EQ(tray(), nullptr);

    // Brought back from the tray instead, the orbin goes at the next press; sent there from the menu, it
    // comes back at the next press.
    grab.press();
    tray()->icon_Activated(QSystemTrayIcon::DoubleClick, false);
    ASSERT_TRUE(floater->isVisible());
    grab.press();
    EXPECT_FALSE(floater->isVisible());
    EXPECT_NE(tray(), nullptr);
    tray()->icon_Activated(QSystemTrayIcon::DoubleClick, false);
    minimize();
    ASSERT_FALSE(floater->isVisible());
    grab.press();
    EXPECT_TRUE(floater->isVisible());
    EXPECT_EQ(tray(), nullptr);
    // And by Esc, the same.
    QTest::keyClick(floater, Qt::Key_Escape);
    ASSERT_FALSE(floater->isVisible());
    grab.press();
    EXPECT_TRUE(floater->isVisible());
    grab.press();
    EXPECT_FALSE(floater->isVisible());
    grab.press();

    gSettings->setBBossKey(false);
    grab.press();
    EXPECT_TRUE(floater->isVisible());
    EXPECT_EQ(tray(), nullptr);
    EXPECT_TRUE(prompter.boxes.isEmpty());

    quitApplication(true);
    EXPECT_TRUE(grab.held.isEmpty()) << "quitting gives the key back";
}

TEST_F(Tray, WithoutATrayNeitherMinimizeNorTheKeyLeavesTheUserWithoutAWindow) {
    setTrayFormLoader([] { return false; });
    gHotKey->createHotKey(floater->windowHandle());
    minimize();
    EXPECT_TRUE(floater->isVisible());
    grab.press();
    EXPECT_TRUE(floater->isVisible());
    grab.press();
    EXPECT_TRUE(floater->isVisible());
    EXPECT_EQ(tray(), nullptr);
}

TEST_F(Tray, AMinimiseFromTheFrameIsOfferedToTheFormFirst) {
    auto* form = new MinimizingForm();
    form->show();
    form->showMinimized();
    EXPECT_EQ(form->asked, 0) << "asked only through the key's procedure";
    EXPECT_TRUE(form->isMinimized());
    form->showNormal();

    gHotKey->createHotKey(form->windowHandle());
    form->showMinimized();
    EXPECT_EQ(form->asked, 1);
    EXPECT_FALSE(form->isMinimized()) << "the form handled it: the window stays";
    form->handles = false;
    form->showMinimized();
    EXPECT_EQ(form->asked, 2);
    EXPECT_TRUE(form->isMinimized());
    gHotKey->destroyHotKey(form->windowHandle());
    form->unloadForm();
}

#include "TrayTest.moc"
