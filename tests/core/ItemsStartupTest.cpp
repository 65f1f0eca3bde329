#include "FakeClock.h"
#include "FakeLauncher.h"
#include "FakePrompter.h"
#include "FakeShell.h"
#include "Globals.h"
#include "Initialize.h"
#include "Items.h"
#include "TestEnv.h"

#include <QFile>
#include <gtest/gtest.h>

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
