#include "FakeKeyGrab.h"
#include "FakeLauncher.h"
#include "FakePrompter.h"
#include "FormPort.h"
#include "Functions.h"
#include "Globals.h"
#include "GuiShell.h"
#include "Initialize.h"
#include "OrbinWindow.h"
#include "Settings.h"
#include "TestEnv.h"
#include "frmLogin.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLineEdit>
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
        if (on) {
            ASSERT_EQ(grab.held.size(), 1);
            EXPECT_EQ(grab.held.begin().value(), gOrbinWindow->form()->windowHandle());
        } else {
            EXPECT_TRUE(grab.held.isEmpty());
        }
        quitApplication(true);
        EXPECT_TRUE(grab.held.isEmpty());
    }
}
