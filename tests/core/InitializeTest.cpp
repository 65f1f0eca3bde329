#include "core/Initialize.h"
#include "core/ErrorReport.h"
#include "core/Globals.h"
#include "core/PasswordScramble.h"
#include "core/Settings.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FakeLauncher.h"
#include "tests/support/FakePrompter.h"
#include "tests/support/FakeShell.h"
#include "tests/support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

// A start of the program against fakes: no windows, scripted boxes, a set clock.
struct Start {
    TestEnv env;
    FakeClock clock{QDateTime(QDate(2026, 12, 8), QTime(9, 30))};
    FakePrompter prompter;
    FakeLauncher launcher;
    FakeShell shell;

    ~Start() {
        if (!gQuitting) quitApplication(true);
    }
    QString stored(const char* section, const char* name) const {
        IniStore store(env.settingsFile());
        return store.value(QString::fromLatin1(section), QString::fromLatin1(name))
            .value_or(QStringLiteral("<none>"));
    }
};

} // namespace

TEST(Startup, WithoutPasswordTheOrbinShowsAndTheTourStartsOnFirstUse) {
    Start s;
    Main();
    EXPECT_EQ(s.shell.logins, 0);
    ASSERT_TRUE(s.shell.orbin);
    EXPECT_TRUE(s.shell.orbin->visible);
    EXPECT_TRUE(s.shell.orbin->calls.contains(QStringLiteral("updateInfo")));
    ASSERT_EQ(s.launcher.started.size(), 1);
    EXPECT_EQ(s.launcher.started[0].first, s.env.programDir() + QStringLiteral("Articles/Welcome"));
    EXPECT_EQ(s.launcher.started[0].second, Launcher::WindowState::Maximized);
    EXPECT_EQ(s.stored("General", "FirstTime"), QStringLiteral("false"));
    EXPECT_TRUE(s.prompter.boxes.isEmpty());
    EXPECT_EQ(gHelpFile, s.env.programDir() + QStringLiteral("qvn_OnlineHelp.chm"));
}

TEST(Startup, TheTourIsTriedOnceEvenWhenItCannotStart) {
    Start s;
    s.launcher.startSucceeds = false;
    Main();
    EXPECT_EQ(s.stored("General", "FirstTime"), QStringLiteral("false"));
    EXPECT_TRUE(s.prompter.boxes.isEmpty());
}

TEST(Startup, FirstTimeInAnotherLetterCaseIsNeitherHonouredNorRewritten) {
    Start s;
    s.env.writeSettings("[General]\nFirstTime=True\n");
    Main();
    EXPECT_TRUE(s.launcher.started.isEmpty());
    EXPECT_EQ(s.stored("General", "FirstTime"), QStringLiteral("True"));
}

TEST(Startup, AWrongOrCancelledPasswordEndsTheProgramWithoutAQuestion) {
    for (const QString& typed : {QStringLiteral("Secret"), QString()}) {
        Start s;
        s.env.writeSettings("[General]\npassword=" + scramblePassword(QStringLiteral("secret")).toUtf8() +
                            "\n");
        s.shell.login = [&] {
            if (unscramblePassword(
                    gSettings->getMySetting(QStringLiteral("password"), QStringLiteral("General"))
                        .toString()) == typed)
                gSettings->setStopApplication(false);
        };
        Main();
        EXPECT_EQ(s.shell.logins, 1);
        EXPECT_TRUE(gQuitting);
        EXPECT_FALSE(s.shell.orbin) << "no orbin window";
        EXPECT_TRUE(s.prompter.boxes.isEmpty()) << "no question";
        EXPECT_EQ(gSettings, nullptr) << "objects released";
    }
}

TEST(Startup, TheRightPasswordOpensTheGate) {
    Start s;
    s.env.writeSettings(
        "[General]\nFirstTime=false\npassword=" + scramblePassword(QStringLiteral("s3cret")).toUtf8() + "\n");
    s.shell.login = [] { gSettings->setStopApplication(false); };
    Main();
    EXPECT_FALSE(gQuitting);
    ASSERT_TRUE(s.shell.orbin);
    EXPECT_TRUE(s.shell.orbin->visible);
}

TEST(Quit, ConfirmationNoKeepsEverythingRunningAndALaterExitAsksAgain) {
    Start s;
    Main();
    s.prompter.boxes.clear();
    s.prompter.script({Prompter::No});
    EXPECT_FALSE(quitApplication(false));
    ASSERT_EQ(s.prompter.boxes.size(), 1);
    const auto& box = s.prompter.boxes[0];
    EXPECT_EQ(box.text, QStringLiteral("Do you really want to close down Quorvane?"));
    EXPECT_EQ(box.title, QStringLiteral("Quorvane!"));
    EXPECT_EQ(box.buttons, Prompter::Buttons::YesNo);
    EXPECT_EQ(box.icon, Prompter::Icon::Question);
    EXPECT_FALSE(gQuitting);
    EXPECT_TRUE(s.shell.orbin->visible) << "the orbin comes back";
    EXPECT_EQ(s.shell.savingNotices, 0) << "nothing saved";
    EXPECT_NE(gSettings, nullptr);

    s.prompter.script({Prompter::Yes});
    EXPECT_TRUE(quitApplication(false));
    EXPECT_EQ(s.prompter.boxes.size(), 2);
    EXPECT_EQ(s.shell.savingNotices, 1);
    EXPECT_EQ(gItems, nullptr);
    EXPECT_FALSE(quitApplication(false)) << "a second quit returns at once";
    EXPECT_FALSE(quitApplication(true));
    EXPECT_EQ(s.prompter.boxes.size(), 2);
}

TEST(Quit, WithoutConfirmationOrWhenForcedNoQuestionIsAsked) {
    {
        Start s;
        s.env.writeSettings("[General]\nConfirmExit=0\n");
        Main();
        EXPECT_TRUE(quitApplication(false));
        EXPECT_TRUE(s.prompter.boxes.isEmpty());
        EXPECT_EQ(s.shell.savingNotices, 1);
    }
    {
        Start s;
        Main();
        EXPECT_TRUE(quitApplication(true));
        EXPECT_TRUE(s.prompter.boxes.isEmpty());
    }
}

TEST(ErrorReport, TextTitleAndShrinkFollowTheConvention) {
    Start s;
    Main();
    s.prompter.boxes.clear();
    s.shell.orbin->calls.clear();
    reportError(Failure(13), QStringLiteral(" - Items.loadItemXML: "), QStringLiteral(" Error"));
    ASSERT_EQ(s.prompter.boxes.size(), 1);
    EXPECT_EQ(s.prompter.boxes[0].text,
              QStringLiteral("Error!\r\nQuorvane - Items.loadItemXML: 13 - Type mismatch"));
    EXPECT_EQ(s.prompter.boxes[0].title, QStringLiteral("Quorvane Error"));
    EXPECT_EQ(s.prompter.boxes[0].buttons, Prompter::Buttons::OK);
    EXPECT_EQ(s.prompter.boxes[0].icon, Prompter::Icon::Exclamation);
    EXPECT_EQ(s.shell.orbin->calls, QStringList{QStringLiteral("shrink")});

    s.shell.orbin->calls.clear();
    {
        OrbinRedrawScope redraw;
        reportError(Failure(6), QStringLiteral(" - XML.archiveData: "), QStringLiteral(" error"));
    }
    EXPECT_TRUE(s.shell.orbin->calls.isEmpty()) << "no shrink from inside a redraw";
    EXPECT_EQ(s.prompter.boxes[1].title, QStringLiteral("Quorvane error"));
}

TEST(ErrorReport, TheSwitchDecidesWhetherFailuresAreTrapped) {
    Start s;
    s.env.writeSettings("[General]\nErrorHandling=False\n");
    Main();
    EXPECT_FALSE(gSettings->bErrorHandling());
    EXPECT_THROW(trapped(QStringLiteral(" - X.y: "), QStringLiteral(" Error"), [] { throw Failure(5); }),
                 Failure);
    gSettings->setBErrorHandling(true);
    EXPECT_FALSE(trapped(QStringLiteral(" - X.y: "), QStringLiteral(" Error"), [] { throw Failure(5); }));
    EXPECT_EQ(s.prompter.boxes.back().text,
              QStringLiteral("Error!\r\nQuorvane - X.y: 5 - Invalid procedure call or argument"));
}

TEST(Startup, AnUnreadableArticleDateIsReportedByThePostStartRoutine) {
    Start s;
    s.env.writeSettings("[General]\nFirstTime=false\n[Articles]\nLastCreatedDate=31/31/31\n");
    Main();
    ASSERT_EQ(s.prompter.boxes.size(), 1);
    EXPECT_EQ(s.prompter.boxes[0].text,
              QStringLiteral("Error!\r\nQuorvane - Initialize.checkWelcome: 13 - Type mismatch"));
    EXPECT_EQ(s.prompter.boxes[0].title, QStringLiteral("Quorvane error"));
    EXPECT_FALSE(gQuitting) << "the program goes on";
}

TEST(Quit, AQuitFromOutsideWhileTheLoginIsUpEndsStartUpCleanly) {
    Start s;
    s.env.writeSettings("[General]\npassword=" + scramblePassword(QStringLiteral("pw")).toUtf8() + "\n");
    s.shell.login = [] { EXPECT_TRUE(quitApplication(true)); };
    Main();
    EXPECT_TRUE(gQuitting);
    EXPECT_EQ(gSettings, nullptr);
    EXPECT_FALSE(s.shell.orbin);
}

TEST(Quit, AQuitFromOutsideWhileTheQuestionIsUpIsNotRunTwice) {
    Start s;
    Main();
    s.prompter.whileShown = [](const FakePrompter::Box&) { quitApplication(true); };
    s.prompter.script({Prompter::Yes});
    EXPECT_FALSE(quitApplication(false));
    EXPECT_EQ(s.shell.savingNotices, 1);
    EXPECT_EQ(gSettings, nullptr);
}

TEST(Quit, TheOrbinIsHiddenWhileTheQuestionIsAsked) {
    Start s;
    Main();
    bool visibleDuringQuestion = true;
    s.prompter.whileShown = [&](const FakePrompter::Box&) { visibleDuringQuestion = s.shell.orbin->visible; };
    s.prompter.script({Prompter::No});
    quitApplication(false);
    EXPECT_FALSE(visibleDuringQuestion);
    EXPECT_TRUE(s.shell.orbin->visible);
}

TEST(Quit, AQuitAskedForDuringAStartUpBoxRunsOnceStartUpIsWhole) {
    Start s;
    s.env.writeSettings("[General]\nFirstTime=false\n[Articles]\nLastCreatedDate=31/31/31\n");
    s.prompter.whileShown = [](const FakePrompter::Box&) { gQuitRequested = true; };
    Main();
    EXPECT_EQ(s.prompter.boxes.size(), 1) << "the post-start routine's report";
    EXPECT_TRUE(gQuitting);
    EXPECT_EQ(gSettings, nullptr);
    EXPECT_TRUE(QFile::exists(s.env.dataDir() + QStringLiteral("items.xml"))) << "saved on the way out";
}

TEST(Startup, AnUnreadableSettingsFileIsSaidAndLeftAsItIs) {
    Start s;
    QDir().mkpath(s.env.settingsFile()); // something is there, but no file that can be read
    Main();
    ASSERT_FALSE(s.prompter.boxes.isEmpty());
    EXPECT_TRUE(s.prompter.boxes[0].text.startsWith(
        QStringLiteral("The settings file ") + s.env.settingsFile() + QStringLiteral(" could not be read.")));
    EXPECT_FALSE(gQuitting) << "the program goes on";
    quitApplication(true);
    EXPECT_TRUE(QFileInfo(s.env.settingsFile()).isDir());
}

TEST(Quit, AQuestionThatFailsToBeAskedClosesNothing) {
    Start s;
    Main();
    s.prompter.whileShown = [](const FakePrompter::Box&) { throw Failure(err::OutOfMemory); };
    EXPECT_FALSE(quitApplication(false));
    EXPECT_FALSE(gQuitting);
    EXPECT_TRUE(s.shell.orbin->visible);
}
