#include "core/File.h"
#include "core/Globals.h"
#include "core/Initialize.h"
#include "core/Items.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FakeLauncher.h"
#include "tests/support/FakePrompter.h"
#include "tests/support/FakeShell.h"
#include "tests/support/ItemXml.h"
#include "tests/support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <sys/stat.h>

// Start-up and quit with the real item store: the daily article task and the move to the archive.
namespace {

class ItemsStartupTest : public ::testing::Test {
protected:
    // One run of the program: start, then the forced quit that saves everything.
    void runOnce() {
        gQuitting = false;
        Main();
        ASSERT_NE(gItems, nullptr);
        quitApplication(true);
        ASSERT_EQ(gItems, nullptr);
    }
    QByteArray itemsFile() const { return TestEnv::readFile(env.dataDir() + "items.xml"); }

    TestEnv env;
    FakePrompter prompts;
    FakeLauncher launcher;
    FakeShell shell;
    FakeClock clock{QDateTime(QDate(2026, 12, 7), QTime(9, 0))};
};

QByteArray oldItem(int id, const QByteArray& date) {
    return "<item><id>" + QByteArray::number(id) + "</id><now/><date>" + date +
           "</date><title>old</title><period>1</period><estimate/><status/><done>true</done><donedate/>"
           "<doneperiod/><donetime/><note/><points/><penaltypoints/><type>Meeting</type><obj1/><obj2/><obj3/>"
           "<meetingtime/><chairm/><timingbonus/><project/></item>";
}

} // namespace

TEST_F(ItemsStartupTest, FirstStartMakesOneArticleTaskADay) {
    runOnce();
    EXPECT_TRUE(prompts.boxes.isEmpty());
    const QByteArray first = itemsFile();
    EXPECT_TRUE(
        first.startsWith("<root>\r\n" + Items::TaskTemplate + "\r\n" + Items::MeetingTemplate + "\r\n"))
        << first.constData();
    EXPECT_TRUE(
        first.endsWith("\r\n<item><id>1</id><now>2026-12-07 09:00:00</now><date>20261207</date>"
                       "<title>Read QVN article  1</title><period>1</period><estimate>15</estimate>"
                       "<status/><done>false</done><donedate>NotDone</donedate><doneperiod/><donetime/>"
                       "<note/><points>0</points><penaltypoints/><type>Task</type><obj1/><timeleft/>"
                       "<obj3/><meetingtime/><chairm/><timingbonus>0</timingbonus><project/></item>"
                       "</root>"))
        << first.constData();
    EXPECT_TRUE(env.readSettings().contains("LastRead=1"));

    // Later the same day: no second task.
    clock.set(QDateTime(QDate(2026, 12, 7), QTime(16, 0)));
    runOnce();
    EXPECT_EQ(itemsFile(), first);

    // The next day: the second article.
    clock.set(QDateTime(QDate(2026, 12, 8), QTime(8, 0)));
    runOnce();
    EXPECT_TRUE(itemsFile().contains("<title>Read QVN article  2</title>"));
    EXPECT_EQ(itemsFile().count("Read QVN article"), 2);
}

TEST_F(ItemsStartupTest, StartUpMovesItemsOlderThanAWeekToTheArchive) {
    TestEnv::writeFile(env.dataDir() + "items.xml",
                       "<root>\r\n" + Items::TaskTemplate + "\r\n" + Items::MeetingTemplate + "\r\n" +
                           oldItem(5, "20261129") + oldItem(6, "20261130") + "</root>");
    runOnce();
    EXPECT_TRUE(prompts.boxes.isEmpty());
    const QByteArray archive = TestEnv::readFile(env.dataDir() + "archive.xml");
    EXPECT_EQ(archive, "<root>\r\n" + oldItem(5, "20261129") + "</root>");
    EXPECT_FALSE(itemsFile().contains("<id>5</id>"));
    EXPECT_TRUE(itemsFile().contains(oldItem(6, "20261130")));
    EXPECT_TRUE(itemsFile().contains("<id>7</id>")); // the article task took the next id
}

TEST_F(ItemsStartupTest, AnUnreadableItemsFileSurvivesAStartAndQuit) {
    const QByteArray damaged = "<root>\r\n<item><id>4</id><title>keep me</title>\r\n";
    TestEnv::writeFile(env.dataDir() + "items.xml", damaged);
    runOnce();
    EXPECT_EQ(TestEnv::readFile(env.dataDir() + "items.xml.damaged-20261207-090000"), damaged);
    EXPECT_TRUE(itemsFile().contains("<title>Read QVN article  1</title>"));
    ASSERT_EQ(prompts.boxes.size(), 3);
    EXPECT_TRUE(prompts.boxes[0].text.startsWith("Error! Items.loadItemXML: "));
    EXPECT_EQ(prompts.boxes[1].text, "Error!\r\nCould not load data from item.xml!");
    EXPECT_TRUE(prompts.boxes[2].text.contains("items.xml.damaged-20261207-090000"));
}

TEST_F(ItemsStartupTest, WithoutAFreeIdTheArticleTaskAndItsCountersWait) {
    TestEnv::writeFile(env.dataDir() + "items.xml", "<root>\r\n" + Items::TaskTemplate + "\r\n" +
                                                        Items::MeetingTemplate + "\r\n" +
                                                        oldItem(32767, "20261207") + "</root>");
    runOnce();
    ASSERT_FALSE(prompts.boxes.isEmpty());
    EXPECT_TRUE(prompts.boxes[0].text.contains(QStringLiteral(" - Items.getNewID: ")))
        << prompts.boxes[0].text;
    EXPECT_FALSE(itemsFile().contains("Read QVN article"));
    EXPECT_FALSE(env.readSettings().contains("LastRead="));
}

TEST_F(ItemsStartupTest, TheTenthArticleIsTheLast) {
    env.writeSettings("[General]\nFirstTime=false\n[Articles]\nLastRead=9\nLastCreatedDate=2026-12-06\n");
    runOnce();
    EXPECT_TRUE(itemsFile().contains("<title>Read QVN article  10</title>"));
    EXPECT_TRUE(env.readSettings().contains("LastRead=10"));
    clock.set(QDateTime(QDate(2026, 12, 8), QTime(8, 0)));
    runOnce();
    EXPECT_EQ(itemsFile().count("Read QVN article"), 1) << "no eleventh article";
}

TEST_F(ItemsStartupTest, AClockSetBackToAnEarlierDayAlsoMakesATask) {
    env.writeSettings("[General]\nFirstTime=false\n[Articles]\nLastRead=3\nLastCreatedDate=2026-12-09\n");
    runOnce();
    EXPECT_TRUE(itemsFile().contains("<title>Read QVN article  4</title>"));
}

TEST_F(ItemsStartupTest, AnItemHoldingAnotherStartsAndQuitsTwiceAndIsArchivedOnce) {
    const QByteArray foreign =
        "<root><item><date>2</date><note><root><item><date>2</date></item></root></note></item></root>";
    TestEnv::writeFile(env.dataDir() + "items.xml", foreign);
    runOnce();
    const QByteArray archive = TestEnv::readFile(env.dataDir() + "archive.xml");
    EXPECT_EQ(archive, "<root>\r\n<item><date>2</date><note><root><item><date>2</date></item></root></note>"
                       "</item></root>");
    runOnce();
    EXPECT_EQ(TestEnv::readFile(env.dataDir() + "archive.xml"), archive);
    EXPECT_EQ(itemsFile(), "<root/>");
}

TEST_F(ItemsStartupTest, AnItemNestedFiftyThousandLevelsDeepStartsAndQuitsWithNothingLost) {
    const int depth = 50000;
    const QByteArray deep = QByteArray("<n>").repeated(depth) + "kept" + QByteArray("</n>").repeated(depth);
    TestEnv::writeFile(
        env.dataDir() + "items.xml",
        itemsFileWith(taskXml(1, "deep", "20261207", 1).replace("<note/>", "<note>" + deep + "</note>")));
    runOnce();
    runOnce();
    EXPECT_TRUE(itemsFile().contains("<note>" + deep + "</note>"));
    EXPECT_TRUE(itemsFile().contains("Read QVN article  1"));
}

TEST_F(ItemsStartupTest, AProgramEndedAfterStartUpMovesNoItemTwice) {
    TestEnv::writeFile(env.dataDir() + "items.xml", "<root>\r\n" + Items::TaskTemplate + "\r\n" +
                                                        Items::MeetingTemplate + "\r\n" +
                                                        oldItem(5, "20261101") + oldItem(6, "20261102") +
                                                        oldItem(7, "20261207") + "</root>");
    // Killed twice after start-up: nothing of the quit ran.
    for (int run = 0; run < 2; ++run) {
        gQuitting = false;
        Main();
        ASSERT_NE(gItems, nullptr);
        releaseObjects();
        gOrbinWindow = nullptr;
    }
    runOnce();
    const QByteArray archive = TestEnv::readFile(env.dataDir() + "archive.xml");
    EXPECT_EQ(archive, "<root>\r\n" + oldItem(5, "20261101") + oldItem(6, "20261102") + "</root>");
    EXPECT_FALSE(itemsFile().contains("<id>5</id>"));
    EXPECT_EQ(itemsFile().count(oldItem(7, "20261207")), 1);
}

TEST_F(ItemsStartupTest, WhatASaveCutShortLeftIsClearedAtStart) {
    const QString data = env.dataDir();
    for (const char* name : {"items.xml.saving-Ab12Cd", "archive.xml.saving-000000",
                             "status.ini.saving-q1w2e3", "projects.xml.saving-ZZZZZZ", "items.xml.backup"})
        TestEnv::writeFile(data + name, "<root>\r\n</root>");
    TestEnv::writeFile(env.settingsFile() + ".saving-x1y2z3", "[General]\n");
    runOnce();
    EXPECT_EQ(QDir(data).entryList({"*.saving-*", "*.backup"}, QDir::Files), QStringList{"items.xml.backup"});
    EXPECT_FALSE(QFile::exists(env.settingsFile() + ".saving-x1y2z3"));
}

TEST_F(ItemsStartupTest, SettingsThatCannotBeSavedStillGetOneArticleTaskADayAndAreToldOnce) {
    // The settings folder cannot be made: a file stands where it should be.
    TestEnv::writeFile(env.root() + "blocked", "");
    qputenv("QUORVANE_SETTINGS_FILE", (env.root() + "blocked/Quorvane/Quorvane.ini").toUtf8());
    for (int run = 0; run < 2; ++run) {
        prompts.boxes.clear();
        runOnce();
        EXPECT_EQ(itemsFile().count("Read QVN article"), 1);
        ASSERT_EQ(prompts.boxes.size(), 1);
        EXPECT_TRUE(prompts.boxes[0].text.startsWith("The settings cannot be saved to "));
    }

    // A settings file that cannot be read has said so already.
    qputenv("QUORVANE_SETTINGS_FILE", env.dataDir().toUtf8()); // a folder, not a file
    prompts.boxes.clear();
    runOnce();
    EXPECT_EQ(itemsFile().count("Read QVN article"), 1);
    ASSERT_EQ(prompts.boxes.size(), 1);
    EXPECT_TRUE(prompts.boxes[0].text.contains("could not be read")) << prompts.boxes[0].text;
}

TEST_F(ItemsStartupTest, TheFilesAndTheDataFolderAFirstStartMakesAreTheUsersAlone) {
    const mode_t mask = ::umask(022);
    const auto mode = [](const QString& path) {
        struct stat s {};
        return ::stat(QFile::encodeName(path).constData(), &s) == 0 ? s.st_mode & 07777 : 0;
    };
    gQuitting = false;
    Main();
    ASSERT_NE(gFile, nullptr);
    gFile->writeToLog(QStringLiteral("Message: hello"));
    const Integer meeting = gItems->newItem(QStringLiteral("Meeting"));
    gItems->setDate(QDate(2026, 11, 2), meeting); // for the archive at the next start
    quitApplication(true);
    runOnce();
    ::umask(mask);

    const QString data = env.dataDir();
    EXPECT_EQ(mode(data), 0700u);
    for (const char* name : {"items.xml", "projects.xml", "status.ini", "msglog.txt", "archive.xml"})
        EXPECT_EQ(mode(data + QLatin1String(name)), 0600u) << name;
    EXPECT_EQ(mode(env.settingsFile()), 0600u) << "the settings file";
}
