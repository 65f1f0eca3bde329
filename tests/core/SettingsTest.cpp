#include "core/Settings.h"
#include "platform/Failure.h"
#include "tests/support/FakeForm.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>

TEST(Settings, EmptyStoreGivesEveryDefault) {
    TestEnv env;
    Settings s;
    EXPECT_TRUE(s.bErrorHandling());
    EXPECT_EQ(s.iPeriodLength().value(), 45);
    EXPECT_EQ(s.iDisplayLength().value(), 5);
    EXPECT_TRUE(s.bBossKey());
    EXPECT_EQ(s.iSaveInterval().value(), 5);
    EXPECT_TRUE(s.onTop());
    EXPECT_EQ(s.MeetingReminderMinutes().value(), 5);
    EXPECT_TRUE(s.confirmExit());
    EXPECT_FALSE(s.stopApplication());
    EXPECT_EQ(s.StartTimePeriod2(), QStringLiteral("11:00"));
    EXPECT_EQ(s.StartTimePeriod3(), QStringLiteral("14:00"));
    EXPECT_EQ(s.StartTimePeriod4(), QStringLiteral("18:00"));
    EXPECT_EQ(s.sDataDir(), env.dataDir());
    EXPECT_EQ(s.ArticlePath(), env.programDir() + QStringLiteral("Articles/"));
    EXPECT_EQ(s.LastArticleRead().value(), 0);
    EXPECT_EQ(s.LastArticleCreated(), QDate(1999, 1, 1));
    EXPECT_EQ(s.colorUpperBound(), 10);
    EXPECT_EQ(s.Color(5), QStringLiteral("-2147483634"));
    EXPECT_EQ(s.Color(8), QStringLiteral("-2147483643"));
    EXPECT_EQ(s.Color(9), QString());
    EXPECT_EQ(s.Color(11), QString());
    EXPECT_TRUE(env.readSettings().isEmpty()) << "loading writes nothing";
}

TEST(Settings, StoredValuesAreReadWithoutRegardToCaseAndBadOnesAreSkipped) {
    TestEnv env;
    env.writeSettings("[general]\n"
                      "CONFIRMEXIT=0\n"
                      "PeriodLength=abc\n"
                      "DisplayLength=7\n"
                      "ontop=False\n"
                      "BossKey=maybe\n"
                      "DataDirectory=/data/plans\n"
                      "[Period]\n"
                      "starttimeperiod3=15:30\n");
    Settings s;
    EXPECT_FALSE(s.confirmExit());
    EXPECT_EQ(s.iPeriodLength().value(), 0) << "an unreadable number leaves the member at 0";
    EXPECT_EQ(s.iDisplayLength().value(), 7);
    EXPECT_FALSE(s.onTop());
    EXPECT_FALSE(s.bBossKey()) << "an unreadable Boolean leaves the member False";
    EXPECT_TRUE(s.bErrorHandling());
    EXPECT_EQ(s.StartTimePeriod3(), QStringLiteral("15:30"));
    EXPECT_EQ(s.sDataDir(), QStringLiteral("/data/plans/"));
}

TEST(Settings, DataDirectoryEndingInASlashIsKept) {
    TestEnv env;
    env.writeSettings("[General]\nDataDirectory=/data/plans/\n");
    EXPECT_EQ(Settings().sDataDir(), QStringLiteral("/data/plans/"));

    // Empty, it would be the root of the file system: the default serves. Relative, it lies in the program
    // folder, like the default, whatever folder the program was started from.
    env.writeSettings("[General]\nDataDirectory=\n");
    EXPECT_EQ(Settings().sDataDir(), env.dataDir());
    env.writeSettings("[General]\nDataDirectory=plans\n");
    EXPECT_EQ(Settings().sDataDir(), env.programDir() + QStringLiteral("plans/"));
}

// Without a DataDirectory the data lies in the desktop's data folder, not in the program's own folder: an
// installed program's folder is read-only, and a build folder goes with a clean build.
TEST(Settings, WithoutADataDirectoryTheDataLiesInTheDesktopsDataFolder) {
    TestEnv env;
    EXPECT_EQ(Settings().sDataDir(), env.root() + QStringLiteral("share/Quorvane/"));

    // With no usable XDG_DATA_HOME (none, or a relative one), the desktop's rule: ~/.local/share.
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", (env.root() + QStringLiteral("home")).toUtf8());
    const QString standard = env.root() + QStringLiteral("home/.local/share/Quorvane/");
    qputenv("XDG_DATA_HOME", "share");
    EXPECT_EQ(Settings().sDataDir(), standard);
    qunsetenv("XDG_DATA_HOME");
    EXPECT_EQ(Settings().sDataDir(), standard);
    qputenv("HOME", home);
    qputenv("XDG_DATA_HOME", env.dataHome().toUtf8());

    // The one place that says where the data lies gives the same folder for the same setting.
    EXPECT_EQ(Settings::dataDirectoryFor(QString()), env.dataDir());
    EXPECT_EQ(Settings::dataDirectoryFor(QStringLiteral("/data/plans")), QStringLiteral("/data/plans/"));
}

// A store that an earlier version kept in cvc/ beside the program is not left behind: it serves until the
// desktop's data folder holds items of its own.
TEST(Settings, AStoreBesideTheProgramStaysInUseWhileTheDesktopsFolderHoldsNone) {
    TestEnv env;
    const QString beside = env.programDir() + QStringLiteral("cvc/");
    TestEnv::writeFile(beside + QStringLiteral("projects.xml"), "<root/>");
    EXPECT_EQ(Settings().sDataDir(), env.dataDir()) << "no items beside the program: no store there";

    TestEnv::writeFile(beside + QStringLiteral("items.xml"), "<root/>");
    EXPECT_EQ(Settings().sDataDir(), beside);
    env.writeSettings("[General]\nDataDirectory=\n");
    EXPECT_EQ(Settings().sDataDir(), beside) << "an empty setting stands for the default";
    env.writeSettings("[General]\nDataDirectory=" + env.root().toUtf8() + "mine\n");
    EXPECT_EQ(Settings().sDataDir(), env.root() + QStringLiteral("mine/"))
        << "a setting still names the folder";

    env.writeSettings("");
    TestEnv::writeFile(env.dataDir() + QStringLiteral("items.xml"), "<root/>");
    EXPECT_EQ(Settings().sDataDir(), env.dataDir());
}

TEST(Settings, GetMySettingAppliesTheMinimumAndGivesFalseOnAFailure) {
    TestEnv env;
    env.writeSettings("[WindowPos]\nfrmX_height=3\nfrmX_top=-40\nfrmX_left=abc\n");
    Settings s;
    EXPECT_EQ(s.getMySetting(QStringLiteral("frmX_height"), QStringLiteral("WindowPos"), 100, 5.0).toDouble(),
              5.0);
    EXPECT_EQ(s.getMySetting(QStringLiteral("frmx_TOP"), QStringLiteral("windowpos"), 100, 0.0).toDouble(),
              0.0);
    const QVariant failed =
        s.getMySetting(QStringLiteral("frmX_left"), QStringLiteral("WindowPos"), 100, 0.0);
    EXPECT_EQ(failed.typeId(), QMetaType::Bool);
    EXPECT_FALSE(failed.toBool());
    EXPECT_EQ(s.getMySetting(QStringLiteral("frmX_left"), QStringLiteral("WindowPos"), 100).toString(),
              QStringLiteral("abc"));
    EXPECT_EQ(s.getMySetting(QStringLiteral("absent"), QStringLiteral("WindowPos"), 42).toInt(), 42);
}

TEST(Settings, PutMySettingWritesEmptyValuesButNotEmptyNames) {
    TestEnv env;
    Settings s;
    EXPECT_TRUE(s.putMySetting(QStringLiteral("note"), QString(), QStringLiteral("General")));
    EXPECT_FALSE(s.putMySetting(QString(), QStringLiteral("x"), QStringLiteral("General")));
    EXPECT_EQ(env.readSettings(), QByteArray("[General]\nnote=\n"));
}

TEST(Settings, NothingIsWrittenAfterRemoveMySettings) {
    TestEnv env;
    env.writeSettings("[General]\nconfirmExit=0\n");
    Settings s;
    FakeForm form(QStringLiteral("frmAbout"));
    s.removeMySettings();
    EXPECT_FALSE(QFile::exists(env.settingsFile()));
    EXPECT_FALSE(s.putMySetting(QStringLiteral("a"), QStringLiteral("1"), QStringLiteral("General")));
    s.saveFormPosition(&form, true, true);
    s.setLastArticleRead(Integer(3));
    s.setLastArticleCreated(QDate(2026, 12, 8));
    s.saveColors();
    EXPECT_FALSE(QFile::exists(env.settingsFile()));
    EXPECT_TRUE(Settings().confirmExit()) << "the next start finds every default";
}

TEST(Settings, ArticleCountersGoStraightToTheStore) {
    TestEnv env;
    Settings s;
    s.setLastArticleRead(Integer(4));
    s.setLastArticleCreated(QDate(2026, 12, 8));
    EXPECT_EQ(Settings().LastArticleRead().value(), 4);
    EXPECT_EQ(Settings().LastArticleCreated(), QDate(2026, 12, 8));
    env.writeSettings("[Articles]\nLastCreatedDate=yesterday\n");
    EXPECT_THROW((void)Settings().LastArticleCreated(), Failure);
}

TEST(Settings, ColourTableFromTheStore) {
    TestEnv env;
    env.writeSettings("[Colors]\n3=12345\n");
    Settings only3;
    EXPECT_EQ(only3.colorUpperBound(), 10);
    EXPECT_EQ(only3.Color(3), QStringLiteral("12345"));
    EXPECT_EQ(only3.Color(0), QStringLiteral("255"));
    EXPECT_EQ(only3.Color(2), QStringLiteral("192"));
    EXPECT_EQ(only3.Color(4), QStringLiteral("128"));
    EXPECT_EQ(only3.Color(8), QStringLiteral("-2147483643"));

    QByteArray twelve = "[Colors]\n";
    for (int i = 0; i < 12; ++i)
        twelve += QByteArray::number(i) + "=" + QByteArray::number(1000 + i) + "\n";
    env.writeSettings(twelve);
    Settings wide;
    EXPECT_EQ(wide.colorUpperBound(), 11);
    EXPECT_EQ(wide.Color(11), QStringLiteral("1011"));

    env.writeSettings("[Colors]\n1=7\nred=9\n2=8\n");
    Settings stopped;
    EXPECT_EQ(stopped.Color(1), QStringLiteral("7"));
    EXPECT_EQ(stopped.Color(2), QStringLiteral("192")) << "loading ends at a name that is not an index";

    env.writeSettings("[Colors]\n3=\n");
    EXPECT_EQ(Settings().Color(3), QStringLiteral("16777215")) << "an empty value keeps the built-in entry";
}

TEST(Settings, SaveColorsWritesEveryEntryAndReadsBackTheSame) {
    TestEnv env;
    Settings s;
    s.setColor(9, QStringLiteral("4210752"));
    s.setColor(11, QStringLiteral("1")); // outside the table: nothing
    EXPECT_TRUE(s.saveColors());
    Settings again;
    for (int i = 0; i <= 10; ++i)
        EXPECT_EQ(again.Color(i), s.Color(i)) << i;
    EXPECT_EQ(again.colorUpperBound(), 10);
}

TEST(Settings, SetColorsRecoloursOnlyWhatHadTheOldColour) {
    TestEnv env;
    Settings s;
    FakeForm form(QStringLiteral("frmAbout"));
    form.back = 255;
    form.controls = {{255, 0}, {std::nullopt, 255}, {1, 2}};
    EXPECT_TRUE(s.setColors(&form, 255, 6));
    EXPECT_EQ(form.back, 14737632);
    EXPECT_EQ(form.controls[0].color, 14737632);
    EXPECT_EQ(form.controls[0].backColor, 0);
    EXPECT_FALSE(form.controls[1].color.has_value());
    EXPECT_EQ(form.controls[1].backColor, 14737632);
    EXPECT_EQ(form.controls[2].color, 1);
    EXPECT_TRUE(s.setColors(&form, 14737632, 9)) << "an empty entry changes nothing";
    EXPECT_EQ(form.back, 14737632);
}

TEST(Settings, PositionFormRestoresClampsAndCentres) {
    TestEnv env;
    env.writeSettings(
        "[WindowPos]\nfrmAbout_height=3\nfrmAbout_width=4000\nfrmAbout_top=-50\nfrmAbout_left=200.5\n");
    Settings s;
    FakeForm about(QStringLiteral("frmAbout"), {0, 0, 3000, 2000}, 19200, 15360);
    ASSERT_TRUE(s.positionForm(&about, true, true));
    EXPECT_DOUBLE_EQ(about.twipGeometry().height, 5);
    EXPECT_DOUBLE_EQ(about.twipGeometry().width, 4000);
    EXPECT_DOUBLE_EQ(about.twipGeometry().top, 0);
    EXPECT_DOUBLE_EQ(about.twipGeometry().left, 200.5);
    EXPECT_EQ(about.moves, 1) << "one move";

    FakeForm fresh(QStringLiteral("frmSearch"), {0, 0, 3001, 2001}, 19200, 15360);
    ASSERT_TRUE(s.positionForm(&fresh, true, false));
    EXPECT_DOUBLE_EQ(fresh.twipGeometry().top, 7680 - 1000);
    EXPECT_DOUBLE_EQ(fresh.twipGeometry().left, 9600 - 1500);
    EXPECT_DOUBLE_EQ(fresh.twipGeometry().height, 2001);

    FakeForm orbin(QStringLiteral("frmFloater"), {0, 0, 7185, 6330}, 19200, 15360);
    ASSERT_TRUE(s.positionForm(&orbin, true, false));
    EXPECT_DOUBLE_EQ(orbin.twipGeometry().top, 30);
    EXPECT_DOUBLE_EQ(orbin.twipGeometry().left, 9600 - 3592);
}

TEST(Settings, PositionFormKeepsFormsOnTheScreen) {
    TestEnv env;
    env.writeSettings("[WindowPos]\nfrmA_top=15000\nfrmA_left=19000\nfrmB_top=100\nfrmB_height=20000\n");
    Settings s;
    FakeForm a(QStringLiteral("frmA"), {0, 0, 3000, 2000}, 19200, 15360);
    s.positionForm(&a, true, false);
    EXPECT_DOUBLE_EQ(a.twipGeometry().top, 15360 - 2000);
    EXPECT_DOUBLE_EQ(a.twipGeometry().left, 19200 - 3000);
    FakeForm b(QStringLiteral("frmB"), {0, 0, 3000, 2000}, 19200, 15360);
    s.positionForm(&b, true, true);
    EXPECT_DOUBLE_EQ(b.twipGeometry().top, 1) << "never above top 1";
}

TEST(Settings, DamagedStoredPlaceFallsBackToTheDefaultInsteadOfANullSize) {
    TestEnv env;
    env.writeSettings("[WindowPos]\nfrmA_height=tall\nfrmA_top=high\n");
    Settings s;
    FakeForm a(QStringLiteral("frmA"), {0, 0, 3000, 2000}, 19200, 15360);
    s.positionForm(&a, true, true);
    EXPECT_DOUBLE_EQ(a.twipGeometry().height, 2000);
    EXPECT_DOUBLE_EQ(a.twipGeometry().top, 7680 - 1000);
}

TEST(Settings, TheSwitchDecidesWhetherAFailingReadOrPlacementIsCaught) {
    TestEnv env;
    env.writeSettings("[WindowPos]\nfrmA_left=abc\n");
    struct Unmeasurable : FakeForm {
        using FakeForm::FakeForm;
        double screenHeightTwips() const override { throw Failure(5); }
    };
    Settings s;
    const QString left = QStringLiteral("frmA_left");
    const QString windowPos = QStringLiteral("WindowPos");
    Unmeasurable form(QStringLiteral("frmA"), {500, 600, 3000, 2000});
    // On: the read gives False, and the form goes to the corner with its size kept.
    EXPECT_EQ(s.getMySetting(left, windowPos, 100, 0.0), QVariant(false));
    EXPECT_FALSE(s.positionForm(&form, true, true));
    EXPECT_DOUBLE_EQ(form.twipGeometry().left, 10);
    EXPECT_DOUBLE_EQ(form.twipGeometry().top, 10);
    EXPECT_DOUBLE_EQ(form.twipGeometry().width, 3000);
    EXPECT_DOUBLE_EQ(form.twipGeometry().height, 2000);
    // Off: both failures pass on, and the form stays where it was.
    s.setBErrorHandling(false);
    EXPECT_THROW(s.getMySetting(left, windowPos, 100, 0.0), Failure);
    EXPECT_THROW(s.positionForm(&form, true, true), Failure);
    EXPECT_EQ(form.moves, 1);
}

TEST(Settings, SaveFormPositionWritesTwipsAsText) {
    TestEnv env;
    Settings s;
    FakeForm a(QStringLiteral("frmA"), {120.5, 30, 7185, 315});
    s.saveFormPosition(&a, true, false);
    EXPECT_EQ(env.readSettings(), QByteArray("[WindowPos]\nfrmA_top=30\nfrmA_left=120.5\n"));
    s.saveFormPosition(&a, false, true);
    EXPECT_EQ(Settings().getMySetting(QStringLiteral("FRMA_HEIGHT"), QStringLiteral("WindowPos")).toString(),
              QStringLiteral("315"));
}

TEST(Settings, WritingOneValueKeepsAHandEditedFile) {
    TestEnv env;
    const QByteArray hand = "; mine\n[General]\nconfirmExit=0\nodd line\n[Period]\nStartTimePeriod2=10:00";
    env.writeSettings(hand);
    Settings s;
    EXPECT_EQ(s.StartTimePeriod2(), QStringLiteral("10:00"));
    s.putMySetting(QStringLiteral("FirstTime"), QStringLiteral("false"), QStringLiteral("General"));
    EXPECT_EQ(env.readSettings(), QByteArray("; mine\n[General]\nconfirmExit=0\nodd "
                                             "line\nFirstTime=false\n[Period]\nStartTimePeriod2=10:00\n"));
}

TEST(Settings, DamagedSettingsFilesLoadDefaultsAndKeepTheirOtherLines) {
    const QList<QByteArray> damaged = {
        QByteArray(),
        QByteArray("no section at all\nconfirmExit=0\n"),
        QByteArray("[General]\nPeriodLength=\"50\nDisplayLength=7;8\nonTop=,\n=\n[\n"),
        QByteArray("\x00\x01\x02\xff\xfe[General]\n", 10),
        QByteArray("[General]\r\nPeriodLength=30"),
    };
    for (const QByteArray& text : damaged) {
        TestEnv env;
        env.writeSettings(text);
        Settings s;
        EXPECT_TRUE(
            s.putMySetting(QStringLiteral("FirstTime"), QStringLiteral("false"), QStringLiteral("General")));
        const QByteArray after = env.readSettings();
        for (const QByteArray& line : text.split('\n'))
            if (!line.isEmpty()) {
                EXPECT_TRUE(after.contains(line)) << line.constData();
            }
        EXPECT_EQ(Settings().getMySetting(QStringLiteral("firsttime"), QStringLiteral("GENERAL")).toString(),
                  QStringLiteral("false"));
    }
}
