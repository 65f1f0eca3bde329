#include "core/Statistics.h"
#include "core/File.h"
#include "core/Globals.h"
#include "core/Settings.h"
#include "tests/support/CoreObjects.h"
#include "tests/support/FakePrompter.h"
#include "tests/support/TestEnv.h"

#include <QDir>
#include <gtest/gtest.h>
#include <optional>

namespace {

class StatisticsFile : public ::testing::Test {
protected:
    void start() { objects.emplace(); }
    void TearDown() override { objects.reset(); }
    TestEnv env;
    std::optional<CoreObjects> objects;
    FakePrompter prompts;
};

} // namespace

TEST_F(StatisticsFile, MissingOrUnreadableFileIsSilent) {
    start();
    {
        Statistics stats;
        EXPECT_FALSE(stats.document().document_element());
    }
    TestEnv::writeFile(env.programDir() + QStringLiteral("stats.xml"), "<root><task>");
    Statistics stats;
    EXPECT_FALSE(stats.document().document_element());
    EXPECT_TRUE(prompts.boxes.isEmpty());
}

TEST_F(StatisticsFile, FoundInASettingsFolderWithoutFinalSlash) {
    const QString folder = env.root() + QStringLiteral("stats");
    env.writeSettings("[Settings]\nSettings Path=" + folder.toUtf8() + "\n");
    TestEnv::writeFile(folder + QStringLiteral("/stats.xml"), "<root><task><ID>3</ID></task></root>");
    start();
    Statistics stats;
    EXPECT_STREQ(stats.document().child("root").child("task").child_value("ID"), "3");
    EXPECT_TRUE(prompts.boxes.isEmpty());
}

TEST_F(StatisticsFile, AddTaskRecordsNothing) {
    const QByteArray text = "<root>\r\n</root>";
    TestEnv::writeFile(env.programDir() + QStringLiteral("stats.xml"), text);
    start();
    Statistics stats;
    EXPECT_TRUE(stats.addTask(7));
    EXPECT_TRUE(stats.addTask(0));
    EXPECT_EQ(TestEnv::readFile(env.programDir() + QStringLiteral("stats.xml")), text);
    EXPECT_EQ(QDir(env.programDir()).entryList(QDir::Files).size(), 1);
}
