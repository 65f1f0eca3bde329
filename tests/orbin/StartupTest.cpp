#include "app/GuiShell.h"
#include "core/Globals.h"
#include "core/Initialize.h"
#include "core/OrbinWindow.h"
#include "core/PasswordScramble.h"
#include "core/Settings.h"
#include "orbin/frmLogin.h"
#include "orbin/frmReminder.h"
#include "platform/FormPort.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FakeKeyGrab.h"
#include "tests/support/FakeLauncher.h"
#include "tests/support/FakePrompter.h"
#include "tests/support/ItemXml.h"
#include "tests/support/TestEnv.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// Start-up with the real windows, offscreen.
struct GuiStart {
    TestEnv env;
    FakePrompter prompter;
    FakeLauncher launcher;
    GuiShell shell;

    GuiStart() { setWindowShell(&shell); }
    ~GuiStart() {
        if (!gQuitting) quitApplication(true);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        setWindowShell(nullptr);
    }
    void storePassword(const QString& clear) const {
        env.writeSettings("[General]\nFirstTime=false\npassword=" + scramblePassword(clear).toUtf8() + "\n");
    }
    // Acts on the login form once it is up (it is shown modally inside Main).
    static void atLogin(std::function<void(frmLogin*)> act) {
        QTimer::singleShot(0, [act] {
            auto* login =
                qobject_cast<frmLogin*>(dynamic_cast<QWidget*>(forms::find(QStringLiteral("frmLogin"))));
            ASSERT_NE(login, nullptr);
            act(login);
        });
    }
};

// The order in which the window system stacks the windows of the program, bottom first, as the program
// asks for it: a window shown or raised goes on top of the others.
class Stacking : public QObject {
public:
    Stacking() { qApp->installEventFilter(this); }
    ~Stacking() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* w = qobject_cast<QWidget*>(watched);
        if (w && w->isWindow() && (event->type() == QEvent::Show || event->type() == QEvent::ZOrderChange)) {
            order.removeAll(w);
            order << w;
        }
        return false;
    }
    QList<QPointer<QWidget>> order;
};

} // namespace

TEST(Login, TheRightPasswordShowsTheOrbin) {
    GuiStart s;
    s.storePassword(QStringLiteral("Open Sesame9"));
    GuiStart::atLogin([](frmLogin* login) {
        EXPECT_EQ(login->windowTitle(), QStringLiteral("Password for Quorvane"));
        // Wide enough for the title bar to show the caption whole, beside the window manager's buttons.
        QFont bold = login->font();
        bold.setBold(true);
        EXPECT_GE(login->width(), QFontMetrics(bold).horizontalAdvance(login->windowTitle()) + 100);
        EXPECT_EQ(login->txtPassword1()->echoMode(), QLineEdit::Password);
        EXPECT_EQ(login->txtPassword1()->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr,
                                                            login->txtPassword1()),
                  '*');
        QTest::keyClicks(login->txtPassword1(), QStringLiteral("Open Sesame9"));
        login->findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
    });
    Main();
    EXPECT_FALSE(gQuitting);
    ASSERT_NE(gOrbinWindow, nullptr);
    EXPECT_TRUE(gOrbinWindow->isWindowVisible());
    EXPECT_FALSE(forms::isLoaded(QStringLiteral("frmLogin")));
}

TEST(Login, ALetterCaseSlipCancelOrEscEndTheProgramSilently) {
    const QList<std::function<void(frmLogin*)>> actions = {
        [](frmLogin* login) {
            QTest::keyClicks(login->txtPassword1(), QStringLiteral("open sesame9"));
            QTest::keyClick(login->txtPassword1(), Qt::Key_Return);
        },
        [](frmLogin* login) { login->findChild<QPushButton*>(QStringLiteral("cmdCancel"))->click(); },
        [](frmLogin* login) { QTest::keyClick(login, Qt::Key_Escape); },
        [](frmLogin* login) {
            QTest::keyClicks(login->txtPassword1(), QStringLiteral("Open Sesame9"));
            auto* cancel = login->findChild<QPushButton*>(QStringLiteral("cmdCancel"));
            cancel->setFocus();
            QTest::keyClick(cancel, Qt::Key_Return); // Enter on Cancel cancels
        },
    };
    for (const auto& act : actions) {
        GuiStart s;
        s.storePassword(QStringLiteral("Open Sesame9"));
        GuiStart::atLogin(act);
        Main();
        EXPECT_TRUE(gQuitting);
        EXPECT_EQ(gOrbinWindow, nullptr);
        EXPECT_TRUE(s.prompter.boxes.isEmpty());
        EXPECT_TRUE(forms::loaded().isEmpty());
    }
}

TEST(Quit, ClosingTheOrbinEndsTheProgramThroughTheQuitRoutine) {
    GuiStart s;
    s.env.writeSettings("[General]\nFirstTime=false\n");
    Main();
    ASSERT_NE(gOrbinWindow, nullptr);
    auto* window = dynamic_cast<QWidget*>(gOrbinWindow->form());
    ASSERT_NE(window, nullptr);
    QTimer::singleShot(0, window, [window] { window->close(); });
    EXPECT_EQ(QApplication::exec(), 0) << "the event loop ends with exit code 0";
    EXPECT_TRUE(gQuitting);
    EXPECT_TRUE(s.prompter.boxes.isEmpty()) << "the window's own closing asks nothing";
    EXPECT_EQ(gSettings, nullptr);
    EXPECT_TRUE(forms::loaded().isEmpty());
    IniStore store(s.env.settingsFile());
    EXPECT_TRUE(store.value(QStringLiteral("WindowPos"), QStringLiteral("frmFloater_top")).has_value());
}

TEST(Quit, TheHideKeyIsHeldForTheOrbinFromStartUpUntilQuitWhenTheSettingsWantIt) {
    for (const bool on : {true, false}) {
        GuiStart s;
        FakeKeyGrab grab;
        s.env.writeSettings(QByteArray("[General]\nFirstTime=false\nBossKey=") + (on ? "1" : "0") + "\n");
        Main();
        ASSERT_NE(gOrbinWindow, nullptr);
        // The grab waits for the orbin's first drawing, so that the orbin is shown without it.
        EXPECT_TRUE(grab.held.isEmpty());
        for (int turn = 0; turn < 5 && grab.held.isEmpty(); ++turn)
            QCoreApplication::processEvents();
        if (on) {
            ASSERT_EQ(grab.held.size(), 1);
            EXPECT_EQ(grab.held.begin().value(), gOrbinWindow->form()->windowHandle());
        } else {
            EXPECT_TRUE(grab.held.isEmpty());
        }
        quitApplication(true);
        EXPECT_TRUE(grab.held.isEmpty());
    }
    // A quit before that turn leaves the key alone.
    GuiStart s;
    FakeKeyGrab grab;
    s.env.writeSettings("[General]\nFirstTime=false\nBossKey=1\n");
    Main();
    quitApplication(true);
    QCoreApplication::processEvents();
    EXPECT_TRUE(grab.held.isEmpty());
}

TEST(Startup, TheOrbinIsDrawnOnceWithTheDayRestoredCarriedOverAndItsArticleTask) {
    GuiStart s;
    FakeClock clock(QDateTime(QDate(2026, 12, 7), QTime(10, 0)));
    s.env.writeSettings("[General]\nFirstTime=false\n");
    // Yesterday's undone task runs on from the saved day and is carried over; a meeting stands today.
    TestEnv::writeFile(s.env.dataDir() + "items.xml",
                       itemsFileWith(taskXml(12, "Carried over", "20261206", 4, "stopped") +
                                     meetingXml(13, "Stand-up", "20261207", "11:30")));
    TestEnv::writeFile(s.env.dataDir() + "status.ini",
                       "\"1.0\",#2026-12-07#,1,#TRUE#,37,#TRUE#,#FALSE#,20,12,8,0\r\n");
    Main();
    ASSERT_NE(gOrbinWindow, nullptr);
    auto* floater = dynamic_cast<QWidget*>(gOrbinWindow->form());
    ASSERT_NE(floater, nullptr);

    // Each drawing puts up the meeting labels afresh and lets the old ones go at the next turn of the
    // event loop, which start-up has not reached yet: one label besides the template is one drawing.
    EXPECT_EQ(floater->findChildren<QLabel*>(QStringLiteral("lblMeeting")).size(), 2);
    QStringList slots;
    for (int i = 1; i <= 16; ++i)
        slots << floater->findChild<QLabel*>(QStringLiteral("txtTodo_%1").arg(i, 2, 10, QLatin1Char('0')))
                     ->text();
    EXPECT_TRUE(slots.contains(QStringLiteral("Carried over"))) << slots.join('|').toStdString();
    EXPECT_TRUE(slots.contains(QStringLiteral("Read QVN article  1"))) << slots.join('|').toStdString();
}

TEST(Startup, OldItemsMoveToTheArchiveOnceTheOrbinIsDrawn) {
    GuiStart s;
    FakeClock clock(QDateTime(QDate(2026, 12, 7), QTime(10, 0)));
    s.env.writeSettings("[General]\nFirstTime=false\n");
    const QByteArray old = meetingXml(12, "Long ago", "20261101", "09:00");
    TestEnv::writeFile(s.env.dataDir() + "items.xml", itemsFileWith(old));
    const QString archive = s.env.dataDir() + "archive.xml";
    Main();
    ASSERT_NE(gOrbinWindow, nullptr);
    // The orbin is drawn first: the move, and the items file written after it, do not hold it up.
    EXPECT_FALSE(QFile::exists(archive));
    QDeadlineTimer deadline(10000);
    while (!QFile::exists(archive) && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_EQ(TestEnv::readFile(archive), "<root>\r\n" + old.chopped(2) + "</root>");
    EXPECT_FALSE(TestEnv::readFile(s.env.dataDir() + "items.xml").contains("Long ago"));
    EXPECT_TRUE(s.prompter.boxes.isEmpty());
}

// A meeting within the reminder's lead when the program starts: its reminder comes up while the day is
// restored, before the orbin is shown, and must not stay hidden under it.
TEST(Startup, AReminderDueAtStartStandsAboveTheOrbinWithoutTakingTheFocus) {
    GuiStart s;
    FakeClock clock(QDateTime(QDate(2026, 12, 7), QTime(10, 0)));
    s.env.writeSettings("[General]\nFirstTime=false\nmeetingReminderAdvance=5\n");
    TestEnv::writeFile(s.env.dataDir() + "items.xml",
                       itemsFileWith(meetingXml(13, "Budget review", "20261207", "10:03")));
    Stacking stacking;
    Main();
    ASSERT_NE(gOrbinWindow, nullptr);
    auto* orbin = dynamic_cast<QWidget*>(gOrbinWindow->form());
    auto* reminder = dynamic_cast<frmReminder*>(forms::find(QStringLiteral("frmReminder")));
    ASSERT_NE(orbin, nullptr);
    ASSERT_NE(reminder, nullptr);
    EXPECT_EQ(reminder->reminderText(), QStringLiteral("Budget review"));
    bool drawn = false;
    gOrbinWindow->afterFirstPaint([&drawn] { drawn = true; });
    ASSERT_TRUE(QTest::qWaitFor([&drawn] { return drawn; }, 20000));

    EXPECT_TRUE(reminder->isVisible());
    EXPECT_GT(stacking.order.indexOf(reminder), stacking.order.indexOf(orbin));
    EXPECT_FALSE(reminder->isActiveWindow());
    EXPECT_FALSE(reminder->isAncestorOf(QApplication::focusWidget()));
}
