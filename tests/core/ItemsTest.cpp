#include "core/Items.h"
#include "core/File.h"
#include "core/Globals.h"
#include "core/Settings.h"
#include "core/XML.h"
#include "platform/AtomicFile.h"
#include "platform/Failure.h"
#include "tests/support/CoreObjects.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FakePrompter.h"
#include "tests/support/TestEnv.h"

#include <QDir>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// An item as a person would write it by hand, after the Task template's layout.
QByteArray item(int id, const QByteArray& date, const QByteArray& title, const QByteArray& period = "1",
                const QByteArray& type = "Task", const QByteArray& done = "false",
                const QByteArray& extra = {}) {
    return "<item><id>" + QByteArray::number(id) + "</id><now>2026-12-01 08:00:00</now><date>" + date +
           "</date><title>" + title + "</title><period>" + period +
           "</period><estimate>30</estimate><status/><done>" + done +
           "</done><donedate>NotDone</donedate><doneperiod/><donetime/><note/><points/><penaltypoints/"
           "><type>" +
           type + "</type><obj1/>" + (type == "Meeting" ? "<obj2/>" : "<timeleft>12</timeleft>") + "<obj3/>" +
           extra + "<chairm/><timingbonus/><project>0</project></item>";
}

QByteArray storeWith(const QByteArray& items) {
    return "<root>\r\n" + Items::TaskTemplate + "\r\n" + Items::MeetingTemplate + "\r\n" + items + "</root>";
}

// Tells when a file has been read: opened, and closed again without being written.
class FileReadWatch {
public:
    explicit FileReadWatch(const QString& path)
        : m_fd(::inotify_init1(IN_CLOEXEC | IN_NONBLOCK)),
          m_watch(::inotify_add_watch(m_fd, QFile::encodeName(path).constData(), IN_CLOSE_NOWRITE)) {}
    ~FileReadWatch() { ::close(m_fd); }
    FileReadWatch(const FileReadWatch&) = delete;
    FileReadWatch& operator=(const FileReadWatch&) = delete;

    bool waitUntilRead(int timeoutMs = 30000) const {
        if (m_fd < 0 || m_watch < 0) return false;
        pollfd ready{m_fd, POLLIN, 0};
        return ::poll(&ready, 1, timeoutMs) == 1;
    }

private:
    int m_fd;
    int m_watch;
};

class ItemsTest : public ::testing::Test {
protected:
    void SetUp() override { objects.emplace(); }
    void TearDown() override { objects.reset(); }
    // Writes items.xml and makes a fresh store that loads it.
    Items& load(const QByteArray& fileText) {
        TestEnv::writeFile(itemsFile(), fileText);
        return reload();
    }
    Items& reload() {
        delete gItems;
        gItems = new Items();
        return *gItems;
    }
    QString itemsFile() const { return env.dataDir() + "items.xml"; }

    TestEnv env;
    std::optional<CoreObjects> objects;
    FakePrompter prompts;
    FakeClock clock{QDateTime(QDate(2026, 12, 7), QTime(9, 0))}; // a Monday
};

} // namespace

TEST_F(ItemsTest, ANewStoreHoldsTheTwoTemplatesAndWritesThemToTheLetter) {
    Items& items = reload();
    EXPECT_TRUE(prompts.boxes.isEmpty());
    EXPECT_EQ(items.getNewID().value(), 1);
    EXPECT_EQ(items.currentID().value(), 1);
    EXPECT_EQ(items.SelectedDate(), QDate(2026, 12, 7));
    EXPECT_FALSE(QFile::exists(itemsFile())); // nothing written until a save

    ASSERT_TRUE(items.saveItemXML());
    const QByteArray expected =
        "<root>\r\n"
        "<item><id>0</id><now/><date/><title/><period/><estimate/><status/><done/><donedate/><doneperiod/"
        "><donetime/>"
        "<note/><points/><penaltypoints/><type>Task</type><obj1/><timeleft/><obj3/><meetingtime/><chairm/>"
        "<timingbonus/><project/></item>\r\n"
        "<item><id>0</id><now/><date/><title/><period/><estimate/><status/><done/><donedate/><doneperiod/"
        "><donetime/>"
        "<note/><points/><penaltypoints/><type>Meeting</type><obj1/><obj2/><obj3/><meetingtime/><chairm/>"
        "<timingbonus/><project/></item>\r\n"
        "</root>";
    EXPECT_EQ(TestEnv::readFile(itemsFile()), expected);

    // Every query of an empty store gives one empty entry.
    const QStringList none{QString()};
    EXPECT_EQ(items.getMatchingIDs(1, QDate(2026, 12, 7)), none);
    EXPECT_EQ(items.getIDsMatchingString("a"), none);
    EXPECT_EQ(items.getIDsMatchingString(""), none);
    EXPECT_EQ(items.getMatchingMeetingIDs(QDate(2026, 12, 7)), none);
    EXPECT_EQ(items.getProjectMatchingIDs(0), none);
    EXPECT_EQ(items.maxID().value(), 0);
}

TEST_F(ItemsTest, ANewItemIsAnEmptiedTemplateCopyAppendedLast) {
    Items& items = reload();
    const Integer id = items.newItem("Meeting");
    ASSERT_EQ(id.value(), 1);
    EXPECT_EQ(items.Type_(id), ""); // the creator sets the type
    EXPECT_TRUE(items.setType("Meeting", id));
    EXPECT_TRUE(items.setTitle("Standup", id));
    EXPECT_FALSE(items.setTimeLeft(5, id)); // a meeting has no time left
    EXPECT_EQ(items.Obj2(id), "");
    ASSERT_TRUE(items.saveItemXML());
    EXPECT_TRUE(
        TestEnv::readFile(itemsFile())
            .endsWith("</item>\r\n<item><id>1</id><now/><date/><title>Standup</title><period/><estimate/>"
                      "<status/><done/><donedate/><doneperiod/><donetime/><note/><points/><penaltypoints/>"
                      "<type>Meeting</type><obj1/><obj2/><obj3/><meetingtime/><chairm/><timingbonus/>"
                      "<project/></item></root>"));
    EXPECT_EQ(items.newItem("Task").value(), 2);
    // No template of the type: the id is handed out, nothing is made.
    EXPECT_EQ(items.newItem("Errand").value(), 3);
    EXPECT_EQ(items.maxID().value(), 2);
    EXPECT_FALSE(items.setTitle("x", 3));
}

TEST_F(ItemsTest, IdsFollowTheSixteenBitRule) {
    Items& items = load("<root>\r\n<item><id>0</id></item><item><id>0</id></item><item><id>3</id></item>"
                        "<item><id>12</id></item><item><id>5</id></item></root>");
    EXPECT_EQ(items.getNewID().value(), 13);
    EXPECT_EQ(items.maxID().value(), 12);

    Items& full = load(storeWith(item(32767, "20261207", "last")));
    EXPECT_EQ(full.maxID().value(), 32767);
    EXPECT_EQ(full.getNewID().value(), 0);
    ASSERT_EQ(prompts.boxes.size(), 1);
    EXPECT_EQ(prompts.boxes[0].text, "Error!\r\nQuorvane - Items.getNewID: 6 - Overflow");
    EXPECT_EQ(prompts.boxes[0].title, "Quorvane Error");
    // No item can be made without an id: none with id 0 appears.
    EXPECT_EQ(full.newItem("Task").value(), -1);
    EXPECT_EQ(full.getMatchingIDs(1, QDate(2026, 12, 7)), QStringList({"32767"}));
    EXPECT_EQ(full.document().select_nodes("/root/item").size(), 3u);
}

TEST_F(ItemsTest, FieldAccessorsFollowTheirRules) {
    Items& items = load(storeWith(
        item(1, "20261207", "First", "2", "Task", "false", "<meetingtime/>") +
        "<item><id>2</id><now>garbage</now><date>20260229</date><title>Two</title><estimate>12.5</estimate>"
        "<note>note</note><points/><doneperiod>x</doneperiod><type>Task</type><timingbonus>3</timingbonus></"
        "item>" +
        "<item><id>3</id><estimate>13.5</estimate><note>Note</note><points>7</points></item>" +
        "<item><id>4</id><estimate/><note>notes</note></item>"));
    EXPECT_EQ(items.Title(0), "First"); // id 0 is the current item, 1 at creation
    items.setCurrentID(2);
    EXPECT_EQ(items.Title(0), "Two");
    EXPECT_EQ(items.Date_(1), QDate(2026, 12, 7));
    EXPECT_EQ(items.Date_(2), Items::zeroDate());
    EXPECT_EQ(items.Now(1), QDateTime(QDate(2026, 12, 1), QTime(8, 0)));
    EXPECT_EQ(items.Now(2), Items::zeroDateTime());
    EXPECT_EQ(items.Period(1), "2");
    EXPECT_EQ(items.Estimate(2).value(), 12);
    EXPECT_EQ(items.Estimate(3).value(), 14);
    EXPECT_EQ(items.Estimate(4).value(), 0);
    EXPECT_EQ(items.Note(2), "");
    EXPECT_EQ(items.Note(3), "Note");
    EXPECT_EQ(items.Note(4), "notes");
    EXPECT_EQ(items.Points(3).value(), 7);
    EXPECT_EQ(items.TimingBonus(2).value(), 3);
    EXPECT_EQ(items.TimeLeft(1), "12");
    for (auto read : {+[](Items& s) { s.Points(2); }, +[](Items& s) { s.DonePeriod(2); }}) {
        try {
            read(items);
            ADD_FAILURE() << "an empty or non-numeric whole-number field must fail";
        } catch (const Failure& f) {
            EXPECT_EQ(f.number(), 13);
        }
    }

    // Writes: the element must exist; a missing one is not made.
    EXPECT_TRUE(items.setPoints(12, 1));
    EXPECT_EQ(items.Points(1).value(), 12);
    EXPECT_TRUE(items.setTimeLeft(40, 1));
    EXPECT_EQ(items.TimeLeft(1), "40");
    EXPECT_FALSE(items.setObj2("x", 1)); // a task has no obj2
    EXPECT_FALSE(items.setTitle("x", 99));
    EXPECT_EQ(items.Title(99), "");
    EXPECT_TRUE(items.setStatus("started", 1));
    EXPECT_EQ(items.getStatus(1), "started");
    EXPECT_TRUE(items.setNow(QDateTime(QDate(2026, 12, 7), QTime(9, 30, 15)), 1));
    EXPECT_EQ(items.Now(1), QDateTime(QDate(2026, 12, 7), QTime(9, 30, 15)));
    EXPECT_TRUE(items.setDate(QDate(2026, 3, 5), 1));
    EXPECT_EQ(items.document().select_node("//item[id='1']/date").node().text().as_string(),
              std::string("20260305"));

    items.setSelectedPeriod(7);
    EXPECT_EQ(items.SelectedPeriod().value(), 1);
    items.setSelectedPeriod(4);
    EXPECT_EQ(items.SelectedPeriod().value(), 4);
    EXPECT_TRUE(prompts.boxes.isEmpty());
}

TEST_F(ItemsTest, QueriesFindWhatTheyShould) {
    Items& items = load(storeWith(
        item(3, "20261207", "Buy milk", "2") + item(7, "20261207", "Milkman call", "2", "Task", "true") +
        item(8, "20261207", "Review", "3") +
        item(9, "20261207", "Board", "1", "Meeting", "false", "<meetingtime>10:30</meetingtime>") +
        item(10, "20261208", "Lunch", "2", "Meeting", "false", "<meetingtime>10:30</meetingtime>") +
        "<item><id>11</id><date>20261207</date><title/><period>2</period><type>Task</type><project>4</"
        "project></item>"));
    const QDate today(2026, 12, 7);
    EXPECT_EQ(items.getMatchingIDs(2, today), QStringList({"3", "7", "11"}));
    EXPECT_EQ(items.getMatchingUndoneIDs(2, today), QStringList({"3"}));
    EXPECT_EQ(items.getMatchingMeetingIDs(today), QStringList({"9"}));
    EXPECT_EQ(items.getTimeMatchingMeetingIDs(today, QTime(10, 30)), QStringList({"9"}));
    EXPECT_EQ(items.getTimeMatchingMeetingIDs(today, QTime(10, 31)), QStringList({""}));
    EXPECT_EQ(items.getProjectMatchingIDs(4), QStringList({"11"}));
    EXPECT_EQ(items.getProjectMatchingIDs(0), QStringList({"3", "7", "8", "9", "10"}));

    EXPECT_EQ(items.getIDsMatchingString("MILK"), QStringList({"7", "3"}));
    EXPECT_EQ(items.getIDsMatchingString(""), QStringList({"10", "9", "8", "7", "3"}));
    EXPECT_EQ(items.getIDsMatchingString("nothing"), QStringList({""}));

    items.removeItem(7);
    EXPECT_EQ(items.getIDsMatchingString("MILK"), QStringList({"3"}));
    EXPECT_TRUE(prompts.boxes.isEmpty());
    items.removeItem(7);
    ASSERT_EQ(prompts.boxes.size(), 1);
    EXPECT_TRUE(prompts.boxes[0].text.startsWith("Error!\r\nQuorvane - Items.removeItem: 5 - "));
}

TEST_F(ItemsTest, QuotesMarkupAndOddCharactersNeverBreakAQueryOrTheFile) {
    Items& items = reload();
    const QStringList titles = {"It's \"quoted\"",          "a < b && c > d",  "two\r\nlines",
                                QString("bell") + QChar(7), "']|//item[id='1", "\" or \"1\"=\"1"};
    QList<Integer> ids;
    for (const QString& t : titles) {
        const Integer id = items.newItem("Task");
        ids << id;
        items.setType("Task", id);
        items.setDate(QDate(2026, 12, 7), id);
        items.setPeriod("1", id);
        ASSERT_TRUE(items.setTitle(t, id));
        ASSERT_TRUE(items.setNote(t, id));
    }
    // A type or search text with quotes is only a text.
    EXPECT_EQ(items.newItem("Ta'sk\"").value(), 7);
    EXPECT_EQ(items.getIDsMatchingString("'"), QStringList({"5", "1"}));
    EXPECT_EQ(items.getIDsMatchingString("\"1\"="), QStringList({"6"}));
    ASSERT_TRUE(items.saveItemXML());

    Items& back = reload();
    EXPECT_TRUE(prompts.boxes.isEmpty());
    EXPECT_EQ(back.getMatchingIDs(1, QDate(2026, 12, 7)), QStringList({"1", "2", "3", "4", "5", "6"}));
    for (qsizetype i = 0; i < titles.size(); ++i) {
        const QString expected = i == 3 ? QString("bell") : titles[i];
        EXPECT_EQ(back.Title(ids[i]), expected);
        EXPECT_EQ(back.Note(ids[i]), expected);
    }
}

TEST_F(ItemsTest, UndoneTasksCarryOverToThePeriodInPlay) {
    Items& items = load(storeWith(
        item(1, "20261206", "yesterday p4", "4") + item(2, "20261207", "today p1", "1") +
        item(3, "20261207", "today p2", "2") + item(4, "20261207", "today p3", "3") +
        item(5, "20261201", "done", "1", "Task", "true") + item(6, "20261201", "meeting", "1", "Meeting")));
    items.setStatus("paused", 1);
    EXPECT_TRUE(items.moveUndoneItems(QDate(2026, 12, 7), 2, "Task"));
    const QDate today(2026, 12, 7);
    EXPECT_EQ(items.getMatchingIDs(2, today), QStringList({"1", "2", "3"}));
    EXPECT_EQ(items.getMatchingIDs(3, today), QStringList({"4"}));
    EXPECT_EQ(items.Date_(5), QDate(2026, 12, 1));
    EXPECT_EQ(items.Date_(6), QDate(2026, 12, 1));
    EXPECT_EQ(items.getStatus(1), "paused"); // nothing else changes
    EXPECT_EQ(items.TimeLeft(1), "12");
    EXPECT_EQ(items.Date_(0), today); // the templates stay as they are
    EXPECT_EQ(items.getMatchingIDs(1, today), QStringList({""}));
}

TEST_F(ItemsTest, RepeatingItemsAreCopiedToTheirNextDay) {
    Items& items =
        load(storeWith(item(1, "20261231", "daily", "2", "Task", "false", "<meetingtime/>") +
                       item(2, "20261231", "weekly") + item(3, "20270131", "monthly") +
                       item(4, "20261231", "never") + item(5, "20270131", "meet", "1", "Meeting")));
    items.setObj3("D", 1);
    items.setObj3("W", 2);
    items.setObj3("M", 3);
    items.setObj3("M", 5);
    items.setStatus("stopped", 1);
    clock.set(QDateTime(QDate(2026, 12, 31), QTime(17, 45, 3)));

    items.CloneRepetitiveTask(1);
    EXPECT_EQ(items.maxID().value(), 6);
    EXPECT_EQ(items.Date_(6), QDate(2027, 1, 1));
    EXPECT_EQ(items.Title(6), "daily");
    EXPECT_EQ(items.getStatus(6), "");
    EXPECT_EQ(items.TimeLeft(6), "");
    EXPECT_EQ(items.TimeLeft(1), "12");
    EXPECT_EQ(items.Obj3(6), "D");
    EXPECT_EQ(items.Now(6), QDateTime(QDate(2026, 12, 31), QTime(17, 45, 3)));
    EXPECT_EQ(items.getStatus(1), "stopped");
    EXPECT_EQ(XML::textOf(items.document().select_node("/root/item[last()]/id")), "6");

    items.CloneRepetitiveTask(2);
    EXPECT_EQ(items.Date_(7), QDate(2027, 1, 7));
    items.CloneRepetitiveTask(3);
    EXPECT_EQ(items.Date_(8), QDate(2027, 2, 28));
    items.CloneRepetitiveTask(4);
    EXPECT_EQ(XML::textOf(items.document().select_node("//item[id='9']/date")), "18991230");
    items.CloneRepetitiveTask(5);
    EXPECT_EQ(items.Date_(10), QDate(2027, 2, 28));
    EXPECT_EQ(items.Type_(10), "Meeting");
    items.CloneRepetitiveTask(42); // no such item: nothing happens
    EXPECT_EQ(items.maxID().value(), 10);
    EXPECT_TRUE(prompts.boxes.isEmpty());
}

// A processing instruction or a comment may carry a field's name in a file written by hand; only
// elements are fields, whichever way the store reaches the item.
TEST_F(ItemsTest, InstructionsNamedLikeFieldsAreNoFields) {
    QByteArray task = Items::TaskTemplate;
    task.replace("<id>0</id>", "<?id t?><!--id--><id>0</id>");
    const QByteArray text =
        "<root>\r\n" + task + "\r\n" + Items::MeetingTemplate + "\r\n" +
        item(4, "20261207", "Bread", "1", "Task", "false", "<?title milk?><?meetingtime 09:00?>")
            .replace("<id>4</id>", "<?id 7?><id>4</id>") +
        item(5, "20261207", "Standup", "1", "Meeting", "false",
             "<?meetingtime 09:00?><meetingtime>10:30</meetingtime><?p x?>") +
        "</root>";
    // The same store served by the index, and by XPath (an item inside a note turns the index aside).
    const QByteArray nested = QByteArray(text).replace(
        "</root>", "<item><id>99</id><note><root><item><id>98</id></item></root></note></item></root>");
    for (const QByteArray& store : {text, nested}) {
        SCOPED_TRACE(store == text ? "index" : "xpath");
        Items& items = load(store);
        // What a new task's dialog writes stays with the new task.
        const Integer id = items.newItem("Task");
        ASSERT_EQ(id.value(), store == text ? 6 : 100);
        EXPECT_TRUE(items.setTitle("Call the bakery", id));
        EXPECT_EQ(items.Title(id), "Call the bakery");
        const pugi::xml_node made = items.document().select_node("/root/item[last()]").node();
        EXPECT_EQ(XML::textOf(made.select_node("id")), QString::number(id.value()));
        EXPECT_STREQ(made.first_child().value(), "t") << "the instruction is left as it was";

        // The copy of a repeating task has its own id; the source keeps its day.
        items.setObj3("D", 4);
        items.CloneRepetitiveTask(4);
        const Integer copy = id + Integer(1);
        EXPECT_EQ(items.Title(copy), "Bread");
        EXPECT_EQ(items.Date_(copy), QDate(2026, 12, 8));
        EXPECT_EQ(items.Date_(4), QDate(2026, 12, 7));
        EXPECT_EQ(items.getMatchingIDs(1, QDate(2026, 12, 7)).first(), "4");

        // Neither the search nor the reminders read an instruction.
        EXPECT_EQ(items.getIDsMatchingString("milk"), QStringList{QString()});
        const QList<Items::MeetingTime_> due = items.meetingTimesOn(QDate(2026, 12, 7));
        ASSERT_EQ(due.size(), 1);
        EXPECT_EQ(due[0].id, "5");
        EXPECT_EQ(due[0].time, QTime(10, 30));
        EXPECT_TRUE(prompts.boxes.isEmpty());
    }
}

// A child's name is read no further than its end, whatever its length.
TEST(ItemIndexKeys, ANameIsReadNoFurtherThanItsEnd) {
    for (const char* name : {"p", "d", "t", "i", "m", "pe", "pr", "period", "project", "id", "x"}) {
        // Exactly as long as the name, so that the sanitizer sees a read past it.
        const size_t size = std::strlen(name) + 1;
        const std::unique_ptr<char[]> exact(new char[size]);
        std::memcpy(exact.get(), name, size);
        const ItemIndex::Key key = ItemIndex::keyOf(exact.get());
        const QByteArray n(name);
        EXPECT_EQ(key == ItemIndex::Key::Period, n == "period") << name;
        EXPECT_EQ(key == ItemIndex::Key::Project, n == "project") << name;
        EXPECT_EQ(key == ItemIndex::Key::Id, n == "id") << name;
        EXPECT_EQ(key == ItemIndex::Key::Count, n != "period" && n != "project" && n != "id") << name;
    }
}

TEST_F(ItemsTest, DayTexts) {
    EXPECT_EQ(Items::stringToDate("20260229"), Items::zeroDate());
    EXPECT_EQ(Items::stringToDate("20240229"), QDate(2024, 2, 29));
    EXPECT_EQ(Items::stringToDate(""), Items::zeroDate());
    EXPECT_EQ(Items::stringToDate("2026-1-05"), Items::zeroDate());
    EXPECT_EQ(Items::stringToDate("20261301"), Items::zeroDate());
    EXPECT_EQ(Items::dateToString(QDate(2026, 3, 5)), "20260305");
    EXPECT_EQ(Items::dateToString(QDate()), "");
}

TEST_F(ItemsTest, AnUnreadableFileIsReportedAndKeptAsideBeforeTheNextSave) {
    const QByteArray damaged = storeWith(item(1, "20261207", "precious")).replace("</title>", "</titel>");
    Items& items = load(damaged);
    ASSERT_EQ(prompts.boxes.size(), 2);
    EXPECT_TRUE(prompts.boxes[0].text.startsWith("Error! Items.loadItemXML: "))
        << prompts.boxes[0].text.toStdString();
    EXPECT_EQ(prompts.boxes[0].title, "Quorvane");
    EXPECT_EQ(prompts.boxes[1].text, "Error!\r\nCould not load data from item.xml!");
    EXPECT_EQ(prompts.boxes[1].title, "Quorvane Error");
    EXPECT_EQ(items.getMatchingIDs(1, QDate(2026, 12, 7)), QStringList({""}));

    // What the user adds now is kept, and the unreadable file is not lost.
    const Integer id = items.newItem("Task");
    EXPECT_EQ(id.value(), 1);
    items.setTitle("new", id);
    ASSERT_TRUE(items.saveItemXML());
    const QString keptAs = itemsFile() + ".damaged-20261207-090000";
    EXPECT_EQ(TestEnv::readFile(keptAs), damaged);
    ASSERT_EQ(prompts.boxes.size(), 3);
    EXPECT_TRUE(prompts.boxes[2].text.contains("items.xml.damaged-20261207-090000"));
    EXPECT_TRUE(TestEnv::readFile(itemsFile()).contains("<title>new</title>"));

    // Only once: the next save just writes.
    ASSERT_TRUE(items.saveItemXML());
    EXPECT_EQ(prompts.boxes.size(), 3);
    EXPECT_EQ(QDir(env.dataDir()).entryList({"items.xml*"}, QDir::Files).size(), 2);
}

TEST_F(ItemsTest, AFileChangedOnDiskWhileTheProgramRunsIsKeptBesideTheSavedOneAndTheUserToldOnce) {
    Items& items = load(storeWith(item(1, "20261207", "Mine")));
    const auto outside = [&] {
        return QDir(env.dataDir()).entryList({QStringLiteral("items.xml.outside-*")}, QDir::Files);
    };
    const auto logLines = [&] { return TestEnv::readFile(env.dataDir() + "msglog.txt").count("\r\n"); };
    // The program's own saves are no change from outside.
    ASSERT_TRUE(items.saveItemXML());
    ASSERT_TRUE(items.saveItemXML());
    EXPECT_TRUE(outside().isEmpty());
    EXPECT_TRUE(prompts.boxes.isEmpty());

    // Edited by hand in its place.
    const QByteArray byHand = storeWith(item(1, "20261207", "Edited by hand") + item(2, "20261207", "Added"));
    {
        QFile f(itemsFile());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(byHand);
    }
    items.setTitle("Mine again", 1);
    ASSERT_TRUE(items.saveItemXML());
    ASSERT_EQ(outside(), QStringList{"items.xml.outside-20261207-090000"});
    EXPECT_EQ(TestEnv::readFile(env.dataDir() + outside()[0]), byHand);
    EXPECT_TRUE(TestEnv::readFile(itemsFile()).contains("<title>Mine again</title>"));
    ASSERT_EQ(prompts.boxes.size(), 1);
    EXPECT_TRUE(prompts.boxes[0].text.contains("items.xml.outside-20261207-090000"))
        << prompts.boxes[0].text.toStdString();
    EXPECT_EQ(logLines(), 1);
    EXPECT_TRUE(
        TestEnv::readFile(env.dataDir() + "msglog.txt").contains("items.xml.outside-20261207-090000"));
    ASSERT_TRUE(items.saveItemXML());
    EXPECT_EQ(outside().size(), 1) << "said once";
    EXPECT_EQ(prompts.boxes.size(), 1);

    // Replaced by a sync tool (a new file renamed into its place), while the program is asked from outside
    // to end: kept beside as well, and logged, without a box that nobody would answer.
    TestEnv::writeFile(itemsFile() + ".sync", storeWith(item(1, "20261207", "Synced")));
    ASSERT_TRUE(QFile::remove(itemsFile()));
    ASSERT_TRUE(QFile::rename(itemsFile() + ".sync", itemsFile()));
    gQuitRequested = true;
    ASSERT_TRUE(items.saveItemXML());
    EXPECT_EQ(outside(),
              QStringList({"items.xml.outside-20261207-090000", "items.xml.outside-20261207-090000-2"}));
    EXPECT_TRUE(TestEnv::readFile(env.dataDir() + outside()[1]).contains("<title>Synced</title>"));
    EXPECT_EQ(prompts.boxes.size(), 1);
    EXPECT_EQ(logLines(), 2);
}

// A file whose content stands as the store left it is no change from outside, whatever was done to it
// besides: its mode set by the user (kept by the saves), a second name given to it by a backup tool.
TEST_F(ItemsTest, AFileOnlyGivenAnotherModeOrNameIsNoChangeFromOutside) {
    Items& items = load(storeWith(item(1, "20261207", "Mine")));
    ASSERT_TRUE(items.saveItemXML());
    const QByteArray file = QFile::encodeName(itemsFile());
    ASSERT_EQ(::chmod(file.constData(), 0640), 0);
    ASSERT_EQ(::link(file.constData(), QFile::encodeName(env.root() + "backup.xml").constData()), 0);
    items.setTitle("Mine again", 1);
    ASSERT_TRUE(items.saveItemXML());
    EXPECT_TRUE(
        QDir(env.dataDir()).entryList({QStringLiteral("items.xml.outside-*")}, QDir::Files).isEmpty());
    EXPECT_TRUE(prompts.boxes.isEmpty());
    EXPECT_TRUE(TestEnv::readFile(itemsFile()).contains("<title>Mine again</title>"));
    struct stat saved {};
    ASSERT_EQ(::stat(file.constData(), &saved), 0);
    EXPECT_EQ(saved.st_mode & 07777, 0640u) << "the mode the user gave stays";
}

TEST_F(ItemsTest, AFileReadAheadOrMadeOutsideAfterTheLoadIsWatchedTheSame) {
    // None at the load; one made by hand before the first save.
    reload();
    TestEnv::writeFile(itemsFile(), storeWith(item(1, "20261207", "Made by hand")));
    ASSERT_TRUE(gItems->saveItemXML());
    EXPECT_TRUE(TestEnv::readFile(itemsFile() + ".outside-20261207-090000").contains("Made by hand"));

    // Read ahead at start, then changed.
    TestEnv::writeFile(itemsFile(), storeWith(item(1, "20261207", "Read ahead")));
    Items::readAhead();
    Items& ahead = reload();
    ASSERT_EQ(ahead.Title(1), "Read ahead");
    ASSERT_TRUE(ahead.saveItemXML());
    EXPECT_EQ(QDir(env.dataDir()).entryList({"items.xml.outside-*"}, QDir::Files).size(), 1);
    clock.set(QDateTime(QDate(2026, 12, 7), QTime(9, 5)));
    TestEnv::writeFile(itemsFile(), storeWith(item(1, "20261207", "Changed")));
    ASSERT_TRUE(ahead.saveItemXML());
    EXPECT_TRUE(TestEnv::readFile(itemsFile() + ".outside-20261207-090500").contains("Changed"));
    EXPECT_TRUE(TestEnv::readFile(itemsFile()).contains("Read ahead"));
}

namespace {
// A prompter that tries another save while the first save's error box is open.
class SavingAgainPrompter final : public Prompter {
public:
    SavingAgainPrompter() { setPrompter(this); }
    ~SavingAgainPrompter() override { setPrompter(nullptr); }
    SavingAgainPrompter(const SavingAgainPrompter&) = delete;
    SavingAgainPrompter& operator=(const SavingAgainPrompter&) = delete;
    Answer messageBox(const QString& text, Buttons, Icon, const QString&) override {
        texts << text;
        if (gItems) secondSave = gItems->saveItemXML();
        return OK;
    }
    QString inputBox(const QString&, const QString&, const QString&) override { return {}; }
    std::optional<qint64> chooseColor(qint64) override { return std::nullopt; }
    void beep() override {}
    QStringList texts;
    bool secondSave = true;
};
} // namespace

TEST_F(ItemsTest, ASaveThatFailsIsReportedAndBlocksASecondSaveMeanwhile) {
    reload();
    QDir().mkpath(itemsFile()); // a folder where the file should go
    SavingAgainPrompter boxes;
    EXPECT_FALSE(gItems->saveItemXML());
    ASSERT_EQ(boxes.texts.size(), 1);
    EXPECT_TRUE(boxes.texts[0].startsWith("Error!\r\nQuorvane - Items.saveItemXML: "));
    EXPECT_FALSE(boxes.secondSave);
    QDir().rmdir(itemsFile());
    EXPECT_TRUE(gItems->saveItemXML()); // the flag is clear again
}

TEST_F(ItemsTest, APeriodsSlotsOnALargeStoreAreItsOwnItemsInFileOrder) {
    // How fast this reads is the benchmark's business; here only what it reads.
    QByteArray body;
    for (int i = 1; i <= 2000; ++i) {
        body += item(i, i % 10 == 0 && i > 1000 ? "20261207" : "20261120",
                     "Task number " + QByteArray::number(i), QByteArray::number(1 + i % 4)) +
                "\r\n";
    }
    Items& items = load(storeWith(body));
    ASSERT_EQ(items.maxID().value(), 2000);

    const QStringList ids = items.getMatchingIDs(3, QDate(2026, 12, 7));
    ASSERT_EQ(ids.size(), 50); // all in the later half of the file
    EXPECT_EQ(ids.first(), "1010");
    EXPECT_EQ(ids.last(), "1990");
    EXPECT_EQ(items.Title(ids[15].toInt()), "Task number 1310");
    EXPECT_EQ(items.getMatchingMeetingIDs(QDate(2026, 12, 7)), QStringList({""}));
}

TEST_F(ItemsTest, AFileWrittenByHandInAnotherLayoutLoadsAndKeepsItsText) {
    // Indented, LF line ends, a declaration naming Latin-1: what a person might save from an editor.
    const QByteArray text =
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
        "<root>\n"
        "  <item>\n    <id>0</id>\n    <title/>\n    <type>Task</type>\n  </item>\n"
        "  <item>\n    <id>4</id>\n    <date>20261207</date>\n    <title>Caf\xe9</title>\n"
        "    <period>1</period>\n    <done>false</done>\n    <type>Task</type>\n  </item>\n"
        "</root>\n";
    Items& items = load(text);
    EXPECT_TRUE(prompts.boxes.isEmpty());
    EXPECT_EQ(items.getMatchingIDs(1, QDate(2026, 12, 7)), QStringList({"4"}));
    EXPECT_EQ(items.Title(4), QString::fromUtf8("Caf\xc3\xa9"));
    EXPECT_EQ(items.getNewID().value(), 5);
    const Integer id = items.newItem("Task");
    EXPECT_TRUE(items.setTitle("added", id));
    ASSERT_TRUE(items.saveItemXML());

    // Written back in UTF-8, and saying so; the layout stays.
    const QByteArray saved = TestEnv::readFile(itemsFile());
    EXPECT_TRUE(
        saved.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<root>\n  <item>\n    <id>0</id>"))
        << saved.constData();
    EXPECT_TRUE(saved.contains("<title>Caf\xc3\xa9</title>"));
    Items& back = reload();
    EXPECT_EQ(back.Title(4), QString::fromUtf8("Caf\xc3\xa9"));
    EXPECT_EQ(back.Title(5), "added");
}

TEST_F(ItemsTest, IdsThatAreNoNumbersOrTooLargeAreSkippedWhenTheLargestIsSought) {
    Items& items = load("<root>\r\n<item><id>0</id></item><item><id>x7</id></item><item><id>99999</id></item>"
                        "<item><id>-4</id></item><item><id>8</id></item><item><id/></item></root>");
    EXPECT_EQ(items.maxID().value(), 8);
    EXPECT_EQ(items.getNewID().value(), 9);
    EXPECT_TRUE(prompts.boxes.isEmpty());

    // The templates' id 0 takes part: an odd negative id never leads to one.
    Items& negative = load("<root><item><id>0</id></item><item><id>-7</id></item></root>");
    EXPECT_EQ(negative.getNewID().value(), 1);
}

TEST_F(ItemsTest, WhatIsReadAheadIsTakenOverOnlyWhileTheFileStandsAsItWasRead) {
    TestEnv::writeFile(itemsFile(), storeWith(item(1, "20261207", "First")));
    Items::readAhead();
    Items& ahead = reload();
    EXPECT_EQ(ahead.Title(1), "First");
    EXPECT_EQ(ahead.getMatchingIDs(1, QDate(2026, 12, 7)), QStringList{"1"});
    EXPECT_EQ(ahead.getNewID().value(), 2);

    // Written again after it was read ahead, as a new file or in its place (to the same length): read
    // afresh.
    for (const QByteArray title : {"Other", "Again"}) {
        const FileReadWatch watch(itemsFile());
        Items::readAhead();
        ASSERT_TRUE(watch.waitUntilRead()) << "the file read ahead as it was";
        const QByteArray text = storeWith(item(1, "20261207", title));
        if (title == "Other") {
            atomicfile::write(itemsFile(), text);
        } else {
            QFile f(itemsFile());
            ASSERT_TRUE(f.open(QIODevice::ReadWrite));
            ASSERT_EQ(f.write(text), text.size());
        }
        EXPECT_EQ(reload().Title(1), QString::fromLatin1(title));
    }
}
