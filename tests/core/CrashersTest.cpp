#include "FuzzRun.h"
#include "QtPrinters.h"

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
