#include "core/Projects.h"
#include "core/File.h"
#include "core/Globals.h"
#include "core/Settings.h"
#include "core/XML.h"
#include "tests/support/CoreObjects.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FakePrompter.h"
#include "tests/support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

namespace {

const QByteArray StartText =
    "<root>\r\n<project>\r\n<id>0</id><date/><title/><body/><status/>\r\n</project>\r\n</root>";

// A store of its own: fresh settings and data folder, the helpers it reads through, a scripted prompter.
class ProjectStore : public ::testing::Test {
protected:
    void SetUp() override { objects.emplace(); }
    void TearDown() override { objects.reset(); }
    QString path() const { return env.dataDir() + QStringLiteral("projects.xml"); }
    QStringList boxTexts() const {
        QStringList t;
        for (const auto& b : prompts.boxes)
            t << b.text;
        return t;
    }

    TestEnv env;
    std::optional<CoreObjects> objects;
    FakeClock clock;
    FakePrompter prompts;
};

QStringList list(std::initializer_list<const char*> items) {
    QStringList l;
    for (const char* s : items)
        l << QString::fromUtf8(s);
    return l;
}

} // namespace

TEST_F(ProjectStore, FirstStartWithoutAFile) {
    Projects store;
    EXPECT_TRUE(prompts.boxes.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(path())); // written at the first save, not before
    EXPECT_EQ(store.getProjectList(), QStringList{QString()});
    EXPECT_EQ(store.getNewID().value(), 1);

    store.saveItemXML();
    EXPECT_EQ(TestEnv::readFile(path()), StartText);

    EXPECT_EQ(store.newProject().value(), 1);
    EXPECT_TRUE(store.setTitle(QStringLiteral("House"), 1));
    store.saveItemXML();
    const QByteArray saved = TestEnv::readFile(path());
    EXPECT_TRUE(saved.startsWith(StartText.left(StartText.size() - 7))) << saved.constData();
    EXPECT_TRUE(saved.contains("<project><id>1</id><date/><title>House</title><body/><status/></project>"))
        << saved.constData();
    EXPECT_TRUE(saved.endsWith("</root>")) << saved.constData();

    Projects again;
    EXPECT_EQ(again.getProjectList(), list({"1"}));
    EXPECT_EQ(again.Title(1), "House");
    EXPECT_EQ(again.Title(0), ""); // the template
}

TEST_F(ProjectStore, ProjectsInCreationOrderAndTheirFields) {
    Projects store;
    EXPECT_EQ(store.newProject().value(), 1);
    EXPECT_EQ(store.newProject().value(), 2);
    EXPECT_EQ(store.getProjectList(), list({"1", "2"}));

    EXPECT_EQ(store.Date_(1), QDate(1899, 12, 30)); // empty date: the zero date
    EXPECT_TRUE(store.setDate(QDate(2026, 12, 7), 2));
    EXPECT_EQ(store.Date_(2), QDate(2026, 12, 7));
    EXPECT_TRUE(store.setBody(QStringLiteral("Paint the fence"), 2));
    EXPECT_TRUE(store.setStatus(QStringLiteral("open"), 2));
    EXPECT_EQ(store.Body(2), "Paint the fence");
    EXPECT_EQ(store.Status(2), "open");
    EXPECT_EQ(store.Body(1), "");

    // A project that is not there: empty text, nothing written, no new element.
    EXPECT_EQ(store.Title(9), "");
    EXPECT_FALSE(store.setTitle(QStringLiteral("ghost"), 9));
    EXPECT_EQ(store.Date_(9), QDate(1899, 12, 30));
    EXPECT_EQ(store.getProjectList(), list({"1", "2"}));
    EXPECT_EQ(store.getNewID().value(), 3);
}

TEST_F(ProjectStore, AHandWrittenFileLoads) {
    TestEnv::writeFile(path(),
                       "<root>\r\n"
                       "<project>\r\n<id>0</id><date/><title/><body/><status/>\r\n</project>\r\n"
                       "<project><id>4</id><date>2026-12-01</date><title>Garden</title>"
                       "<body>Plant &amp; water</body><status>active</status></project>\r\n"
                       "<project><id>2</id><date>soon</date><title>Tax</title><body/><status/></project>\r\n"
                       "</root>");
    Projects store;
    EXPECT_TRUE(prompts.boxes.isEmpty());
    EXPECT_EQ(store.getProjectList(), list({"4", "2"}));
    EXPECT_EQ(store.Title(4), "Garden");
    EXPECT_EQ(store.Body(4), "Plant & water");
    EXPECT_EQ(store.Status(4), "active");
    EXPECT_EQ(store.Date_(4), QDate(2026, 12, 1));
    EXPECT_EQ(store.Date_(2), QDate(1899, 12, 30)); // not a date
    EXPECT_EQ(store.getNewID().value(), 5);
    const QByteArray handWritten = TestEnv::readFile(path());
    store.saveItemXML(); // written back as it stood
    EXPECT_EQ(TestEnv::readFile(path()), handWritten);
    EXPECT_EQ(store.newProject().value(), 5);
    EXPECT_EQ(store.getProjectList(), list({"4", "2", "5"}));
}

// An instruction named like the id in a file written by hand is no field: the new project gets its id in
// its own id element, where its fields are found.
TEST_F(ProjectStore, AnInstructionNamedIdIsNoField) {
    TestEnv::writeFile(path(),
                       "<root>\r\n<project><?id x?><id>0</id><date/><title/><body/><status/></project>"
                       "\r\n</root>");
    Projects store;
    EXPECT_EQ(store.newProject().value(), 1);
    EXPECT_TRUE(store.setTitle(QStringLiteral("House"), 1));
    EXPECT_EQ(store.Title(1), "House");
    EXPECT_EQ(store.getProjectList(), list({"1"}));
}

TEST_F(ProjectStore, AwkwardTextsNeverBreakAQueryOrTheFile) {
    const QString awkward = QStringLiteral("O'Brien's \"big\" <plan> & co\r\nline two ]]> $id");
    {
        Projects store;
        store.newProject();
        store.newProject();
        EXPECT_TRUE(store.setTitle(awkward, 1));
        EXPECT_TRUE(store.setBody(awkward, 2));
        EXPECT_TRUE(store.setStatus(QStringLiteral("bell") + QChar(7) + QStringLiteral("end"), 2));
        EXPECT_EQ(store.Title(1), awkward);
        EXPECT_EQ(store.getProjectList(), list({"1", "2"}));
        store.saveItemXML();
    }
    pugi::xml_document check;
    ASSERT_TRUE(check.load_file(path().toLocal8Bit().constData())); // still well-formed XML
    Projects store;
    EXPECT_TRUE(prompts.boxes.isEmpty());
    EXPECT_EQ(store.getProjectList(), list({"1", "2"}));
    EXPECT_EQ(store.Title(1), awkward);
    EXPECT_EQ(store.Body(2), awkward);
    EXPECT_EQ(store.Status(2), "bellend"); // a character XML cannot hold is left out
}

TEST_F(ProjectStore, AnUnreadableFileIsReportedAndKeptAside) {
    const QByteArray damaged = "<root>\r\n<project><id>1</id><title>Half";
    TestEnv::writeFile(path(), damaged);
    Projects store;
    ASSERT_EQ(prompts.boxes.size(), 2);
    EXPECT_TRUE(prompts.boxes[0].text.startsWith(QStringLiteral("Error! Projects.loadItemXML: ")))
        << prompts.boxes[0].text.toStdString();
    EXPECT_EQ(prompts.boxes[0].title, "Quorvane");
    EXPECT_EQ(prompts.boxes[1].text, "Error!\r\nCould not load data from project.xml!");
    EXPECT_EQ(prompts.boxes[1].title, "Quorvane Error");
    EXPECT_EQ(prompts.boxes[1].icon, Prompter::Icon::Exclamation);
    EXPECT_EQ(store.getProjectList(), QStringList{QString()});
    EXPECT_EQ(TestEnv::readFile(path()), damaged); // nothing written at load

    EXPECT_EQ(store.newProject().value(), 1);
    store.setTitle(QStringLiteral("Fresh"), 1);
    EXPECT_TRUE(store.saveItemXML());

    // The unreadable file survives under a new name, and the user is told where.
    const QStringList kept = QDir(env.dataDir()).entryList({QStringLiteral("projects.xml.*")}, QDir::Files);
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(TestEnv::readFile(env.dataDir() + kept.first()), damaged);
    ASSERT_EQ(prompts.boxes.size(), 3);
    EXPECT_TRUE(prompts.boxes[2].text.contains(kept.first())) << prompts.boxes[2].text.toStdString();

    // The new file is whole, and a second save moves nothing more.
    Projects reread;
    EXPECT_EQ(reread.Title(1), "Fresh");
    store.saveItemXML();
    EXPECT_EQ(QDir(env.dataDir()).entryList({QStringLiteral("projects.xml.*")}, QDir::Files).size(), 1);
    EXPECT_EQ(prompts.boxes.size(), 3);
}

TEST_F(ProjectStore, AFileChangedOnDiskWhileTheProgramRunsIsKeptBesideTheSavedOne) {
    clock.set(QDateTime(QDate(2026, 12, 7), QTime(9, 0)));
    Projects store;
    store.newProject();
    store.setTitle(QStringLiteral("Mine"), 1);
    store.saveItemXML();
    store.saveItemXML();
    const QByteArray byHand = "<root>\r\n<project>\r\n<id>0</id></project><project><id>1</id><title>Edited"
                              "</title></project>\r\n</root>";
    TestEnv::writeFile(path(), byHand);
    store.saveItemXML();
    EXPECT_EQ(TestEnv::readFile(path() + ".outside-20261207-090000"), byHand);
    EXPECT_TRUE(TestEnv::readFile(path()).contains("<title>Mine</title>"));
    ASSERT_EQ(prompts.boxes.size(), 1);
    EXPECT_TRUE(prompts.boxes[0].text.contains("projects.xml.outside-20261207-090000"));
    store.saveItemXML();
    EXPECT_EQ(QDir(env.dataDir()).entryList({QStringLiteral("projects.xml.*")}, QDir::Files).size(), 1);
    EXPECT_EQ(prompts.boxes.size(), 1);
}

TEST_F(ProjectStore, AFailedSaveIsReportedAndStillTrue) {
    Projects store;
    store.newProject();
    // A folder in the file's place makes the write fail.
    ASSERT_TRUE(QDir().mkpath(path()));
    EXPECT_TRUE(store.saveItemXML());
    ASSERT_EQ(prompts.boxes.size(), 1);
    EXPECT_TRUE(
        prompts.boxes[0].text.startsWith(QStringLiteral("Error!\r\nQuorvane - Projects.saveItemXML: ")))
        << prompts.boxes[0].text.toStdString();
    EXPECT_EQ(prompts.boxes[0].title, "Quorvane Error");
    EXPECT_TRUE(QFileInfo(path()).isDir());
}

TEST_F(ProjectStore, NoIdBeyondTheLargest) {
    TestEnv::writeFile(path(),
                       "<root>\r\n<project>\r\n<id>0</id><date/><title/><body/><status/>\r\n</project>\r\n"
                       "<project><id>32767</id><date/><title>Last</title><body/><status/></project>\r\n"
                       "</root>");
    Projects store;
    EXPECT_EQ(store.getNewID().value(), 0);
    ASSERT_EQ(prompts.boxes.size(), 1);
    EXPECT_TRUE(prompts.boxes[0].text.contains(QStringLiteral(" - Projects.getNewID: 6 - Overflow")))
        << prompts.boxes[0].text.toStdString();
    EXPECT_EQ(store.newProject().value(), -1);
    EXPECT_EQ(store.getProjectList(), list({"32767"}));
}
