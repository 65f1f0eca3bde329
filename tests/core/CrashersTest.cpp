#include "core/Items.h"
#include "core/ParserMemory.h"
#include "fuzz/FuzzRun.h"
#include "tests/support/QtPrinters.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

// Every file that once made the program crash, hang or save what it could not read back (found by the
// fuzz targets, kept in tests/crashers/<kind of file>/) runs once more through a start and a quit.
TEST(Crashers, EveryFileThatOnceBrokeTheProgramNowStartsQuitsAndSavesWhatLoadsAgain) {
    const QDir crashers(QStringLiteral(QV_CRASHERS_DIR));
    int replayed = 0;
    for (const QString& target : crashers.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        ASSERT_TRUE(fuzzrun::knownTarget(target)) << target;
        const QDir folder(crashers.filePath(target));
        for (const QString& name : folder.entryList(QDir::Files)) {
            QFile f(folder.filePath(name));
            ASSERT_TRUE(f.open(QIODevice::ReadOnly));
            EXPECT_EQ(fuzzrun::run(target, f.readAll()), QString()) << target << "/" << name;
            ++replayed;
        }
    }
    EXPECT_GT(replayed, 0);
}

// A store large enough (4 MB and more) for the memory made ready beside the parse: the fuzz run of the items
// file goes the way a real start reads it, read ahead beside the start into that memory.
TEST(Crashers, TheItemsFileOfAFuzzRunIsReadAsARealStartReadsALargeStore) {
    QByteArray store = "<root>\r\n" + Items::TaskTemplate + "\r\n" + Items::MeetingTemplate + "\r\n";
    for (int id = 1; store.size() < 5 * 1024 * 1024; ++id) {
        store +=
            "<item><id>" + QByteArray::number(id) +
            "</id><now/><date>20261207</date><title>Item</title><period>1</period><estimate>15</estimate>"
            "<status/><done>false</done><donedate>NotDone</donedate><doneperiod/><donetime/><note/>"
            "<points/><penaltypoints/><type>Task</type><obj1/><timeleft/><obj3/><meetingtime/><chairm/>"
            "<timingbonus/><project>0</project></item>\r\n";
    }
    store += "</root>";
    const size_t before = ParserMemory::mappingsMade();
    EXPECT_EQ(fuzzrun::run(QStringLiteral("items"), store), QString());
    EXPECT_GT(ParserMemory::mappingsMade(), before);
}
