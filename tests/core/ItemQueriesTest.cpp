// The store answers every query and finds every field without searching the document; these tests hold
// its answers against the XPath each query stands for, evaluated on a twin of the document, on stores with
// what hand-edited files hold: ids twice, odd ids, fields missing or twice, mixed content, templates.
#include "core/ArrayMax.h"
#include "core/File.h"
#include "core/Globals.h"
#include "core/Items.h"
#include "core/MeetingTimes.h"
#include "core/XML.h"
#include "tests/support/CoreObjects.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FakePrompter.h"
#include "tests/support/TestEnv.h"

#include <QRandomGenerator>
#include <functional>
#include <gtest/gtest.h>
#include <optional>

namespace {

const QDate Today(2026, 12, 7);

// One pick of list, at random.
template <class T> const T& pick(QRandomGenerator& rng, const std::initializer_list<T>& list) {
    return *(list.begin() + rng.bounded(static_cast<int>(list.size())));
}

QByteArray element(const QByteArray& name, const QByteArray& content) {
    return content.isNull()    ? QByteArray()
           : content.isEmpty() ? "<" + name + "/>"
                               : "<" + name + ">" + content + "</" + name + ">";
}

// An item as a hand-edited file may hold it. A null text leaves the element out.
QByteArray oddItem(QRandomGenerator& rng) {
    const QByteArray none;
    const QByteArray n = QByteArray::number(rng.bounded(1, 16));
    QByteArray ids = pick<QByteArray>(
        rng, {"<id>" + n + "</id>", "<id>" + n + "</id>", "<id>" + n + "</id>", "<id> " + n + "</id>",
              "<id>0" + n + "</id>", "<id>" + n + ".0</id>", "<id>abc</id>", "<id/>",
              "<id>3</id><id>" + n + "</id>", "<id><![CDATA[" + n + "]]></id>",
              "<id><!--first-->" + n + "</id>", "", "<id>-3</id>", "<id>0</id>",
              // Instructions and comments named like a field are no fields.
              "<?id 7?><id>" + n + "</id>", "<!--id 7--><id>" + n + "</id>", "<?id " + n + "?>"});
    const QByteArray day = pick<QByteArray>(rng, {"20261207", "20261207", "20261206", "20261208", "20261130",
                                                  " 20261207", "20261206\r\n", "2026120", "abc", "", none});
    const QByteArray date = (rng.bounded(8) == 0 ? "<?date 20261207?>" : "") + element("date", day) +
                            (rng.bounded(8) == 0 ? element("date", "20261206") : "");
    const QByteArray title =
        pick<QByteArray>(rng, {"<title>Buy milk</title>", "<title>Milkman call</title>", "<title/>",
                               "<title>Mi<b>lk</b>man</title>", "<title><![CDATA[a < b]]> &amp; c</title>",
                               "<?title not this?><title>After a pi</title>",
                               "<?title Milk pi?><title>Bread</title>", "<?title Milkman?>", ""});
    const QByteArray period =
        (rng.bounded(8) == 0 ? "<?period 1?><?p?>" : "") +
        element("period", pick<QByteArray>(rng, {"1", "2", "3", "4", " 2", "\t1", "2.0", "", "x", none}));
    const QByteArray done = pick<QByteArray>(
        rng, {"<done>false</done>", "<done>false</done>", "<done>true</done>", "<done>True</done>", "<done/>",
              "", "<done>true</done><done>false</done>", "<?done false?><done>true</done>"});
    const QByteArray type =
        (rng.bounded(8) == 0 ? "<?type Meeting?>" : "") +
        element("type", pick<QByteArray>(rng, {"Task", "Task", "Meeting", "task", "", none}));
    const QByteArray time =
        pick<QByteArray>(rng, {"", "", "<?meetingtime 09:00?>", "<!--meetingtime 09:00-->"}) +
        element("meetingtime", pick<QByteArray>(rng, {"09:00", "9:00", "10:30", "", none}));
    const QByteArray project = (rng.bounded(8) == 0 ? "<?project 1?>" : "") +
                               element("project", pick<QByteArray>(rng, {"0", "1", "2", " 1", none}));
    const QByteArray status = element("status", pick<QByteArray>(rng, {"", "done", "started", none}));
    // A tag in a section or a comment is no element.
    const QByteArray note =
        rng.bounded(6) == 0 ? "<note><![CDATA[<item>]]><!-- <root> --></note>" : "<note>n</note>";
    return "<item>" + ids + "<now>2026-12-01 08:00:00</now>" + date + title + period +
           "<estimate>30</estimate>" + status + done + "<donedate>NotDone</donedate>" + note + type +
           "<obj1>o</obj1>" + (rng.bounded(2) ? "<timeleft>5</timeleft>" : "<obj2/>") + "<obj3>D</obj3>" +
           time + project + "</item>";
}

// A store of templates and odd items; with nested, one item (id 99) holds a list of items in its note.
QByteArray oddStore(QRandomGenerator& rng, bool nested, int count = 24) {
    QByteArray text = "<root>\r\n" + Items::TaskTemplate + "\r\n" + Items::MeetingTemplate + "\r\n";
    for (int i = 0; i < count; ++i) {
        text += oddItem(rng) + "\r\n";
        if (nested && i == 10) {
            text +=
                "<item><id>99</id><date>20261207</date><title>Holder</title><period>1</period><note><root>"
                "<item><id>5</id><date>20261207</date><title>Inside</title><period>1</period><type>Task</"
                "type>"
                "<done>false</done></item></root></note><type>Task</type><done>false</done></item>\r\n";
        }
    }
    return text + "</root>";
}

class ItemQueries : public ::testing::Test {
protected:
    void SetUp() override { objects.emplace(); }
    void TearDown() override { objects.reset(); }

    // The store and its twin, both read from text; ahead, the store's file is read ahead as at start.
    void load(const QByteArray& text, bool ahead) {
        TestEnv::writeFile(env.dataDir() + "items.xml", text);
        delete gItems;
        if (ahead) Items::readAhead();
        gItems = new Items();
        ASSERT_TRUE(File::readXMLText(twin, text).ok());
    }

    QStringList xpathIds(const QString& xpath) { return gXML->getElementValue(twin, xpath); }
    pugi::xml_node xpathFirst(const QString& xpath) {
        return twin.select_node(xpath.toUtf8().constData()).node();
    }

    // Every query and every field of the store against the XPath on the twin.
    void expectSameAnswers(const std::string& where) {
        SCOPED_TRACE(where);
        Items& items = *gItems;
        ASSERT_EQ(File::xmlText(items.document()), File::xmlText(twin));
        for (const QDate& d : {Today, Today.addDays(-1), Today.addDays(1)}) {
            const QString day = Items::dateToString(d);
            for (int p = 1; p <= 4; ++p) {
                const QString ps = QString::number(p);
                EXPECT_EQ(items.getMatchingIDs(p, d),
                          xpathIds("//root/item/id[../date='" + day + "'][../period='" + ps + "']"));
                EXPECT_EQ(items.getMatchingUndoneIDs(p, d),
                          xpathIds("//root/item/id[../date='" + day + "'][../period='" + ps +
                                   "'][../done='false']"));
            }
            EXPECT_EQ(items.getMatchingMeetingIDs(d),
                      xpathIds("//root/item/id[../date='" + day + "'][../type='Meeting']"));
            EXPECT_EQ(items.getTimeMatchingMeetingIDs(d, QTime(9, 0)),
                      xpathIds("//root/item/id[../date = '" + day +
                               "' and ../meetingtime = '09:00' and ../type='Meeting']"));
        }
        for (const QDate& d : {Today, Today.addDays(-1)}) {
            // The times of a day's meetings: each meetingtime element of each meeting the XPath selects.
            QStringList expected;
            pugi::xpath_node_set ids = twin.select_nodes(
                ("//root/item/id[../date='" + Items::dateToString(d) + "'][../type='Meeting']").toUtf8());
            ids.sort();
            for (const pugi::xpath_node& id : ids) {
                const QString value = XML::valuesOf(std::vector<pugi::xml_node>{id.node()}).first();
                if (value.isEmpty()) continue;
                for (const pugi::xpath_node& time : id.node().parent().select_nodes("meetingtime"))
                    if (const std::optional<QTime> at = readMeetingTime(XML::textOf(time)))
                        expected << value + QLatin1Char(' ') + at->toString(QStringLiteral("hh:mm"));
            }
            QStringList times;
            for (const Items::MeetingTime_& m : items.meetingTimesOn(d))
                times << m.id + QLatin1Char(' ') + m.time.toString(QStringLiteral("hh:mm"));
            EXPECT_EQ(times, expected) << Items::dateToString(d).toStdString();
        }
        for (int project = 0; project <= 2; ++project)
            EXPECT_EQ(items.getProjectMatchingIDs(project),
                      xpathIds("//root/item/id[../project='" + QString::number(project) + "']"));
        EXPECT_EQ(items.getNewID(), arrayMax(xpathIds("/root/item/id")).value_or(0) + Integer(1));
        EXPECT_EQ(items.maxID(), arrayMax(xpathIds("//root/item/id")).value_or(0));

        // The search pairs each id the XPath gives with its own item's title, last item first.
        QStringList found;
        pugi::xpath_node_set titled = twin.select_nodes("//root/item/id[../title != '']");
        titled.sort();
        for (size_t i = titled.size(); i-- > 0;) {
            const QStringList value = XML::valuesOf(std::vector<pugi::xml_node>{titled[i].node()});
            const QString title = XML::textOf(titled[i].node().parent().select_node("title"));
            if (!value.first().isEmpty() && title.toLower().contains(QStringLiteral("milk")))
                found << value.first();
        }
        EXPECT_EQ(items.getIDsMatchingString(QStringLiteral("MILK")),
                  found.isEmpty() ? QStringList{QString()} : found);

        const std::pair<const char*, std::function<QString(Integer)>> fields[] = {
            {"title", [&](Integer id) { return items.Title(id); }},
            {"date", [&](Integer id) { return Items::dateToString(items.Date_(id)); }},
            {"period", [&](Integer id) { return items.Period(id); }},
            {"done", [&](Integer id) { return items.Done(id); }},
            {"status", [&](Integer id) { return items.getStatus(id); }},
            {"type", [&](Integer id) { return items.Type_(id); }},
            {"meetingtime", [&](Integer id) { return items.MeetingTime(id); }},
            {"project", [&](Integer id) { return items.Project(id); }},
            {"timeleft", [&](Integer id) { return items.TimeLeft(id); }},
            {"obj2", [&](Integer id) { return items.Obj2(id); }},
        };
        for (int id = -1; id <= 16; ++id) {
            if (id == 0) continue;
            for (const auto& [name, read] : fields) {
                const QString xpath =
                    QStringLiteral("//root/item/%1[../id='%2']").arg(QLatin1String(name)).arg(id);
                QString expected = XML::textOf(pugi::xpath_node(xpathFirst(xpath)));
                if (QByteArray(name) == "date") expected = Items::dateToString(Items::stringToDate(expected));
                EXPECT_EQ(read(id), expected) << name << " of " << id;
            }
        }
    }

    // What each change does to the twin, by the XPath the store's own rule names.
    void setTitleOnTwin(int id, const QString& value) {
        gXML->setValue(twin, QStringLiteral("//root/item/title[../id='%1']").arg(id), value);
    }
    void newItemOnTwin(const QString& type, Integer expectedId) {
        const std::optional<Integer> max = arrayMax(xpathIds("/root/item/id"));
        const Integer id = max ? *max + Integer(1) : Integer(1);
        EXPECT_EQ(id, expectedId);
        const pugi::xml_node found = xpathFirst("//root/item[type='" + type + "']");
        if (!found) return;
        pugi::xml_node copy = found.parent().append_copy(found);
        gXML->resetNodeValues(copy);
        pugi::xml_node idNode = copy.select_node("id").node();
        if (!idNode) idNode = copy.prepend_child("id");
        XML::setText(idNode, QString::number(id.value()));
    }
    void removeOnTwin(int id) {
        const pugi::xml_node found = xpathFirst(QStringLiteral("//root/item[id='%1']").arg(id));
        if (found) found.parent().remove_child(found);
    }
    void carryOverOnTwin(const QDate& date, int period) {
        const QString day = Items::dateToString(date);
        const QStringList ids = xpathIds("//root/item/id[(../date < '" + day + "' or (../date = '" + day +
                                         "' and ../period < '" + QString::number(period) +
                                         "'))  and ../type='Task' and ../done != 'true' and ../id > 0]");
        if (ids.first().isEmpty()) return;
        for (const QString& id : ids) {
            gXML->setValue(twin, "//root/item/date[../id='" + id + "']", day);
            gXML->setValue(twin, "//root/item/period[../id='" + id + "']", QString::number(period));
        }
    }
    void cloneOnTwin(int id) {
        const pugi::xml_node found = xpathFirst(QStringLiteral("//root/item[id=%1]").arg(id));
        if (!found) return;
        const std::optional<Integer> max = arrayMax(xpathIds("/root/item/id"));
        const QString next = QString::number((max ? *max + Integer(1) : Integer(1)).value());
        const QString code =
            XML::textOf(pugi::xpath_node(xpathFirst(QStringLiteral("//root/item/obj3[../id='%1']").arg(id))));
        const QDate day = Items::stringToDate(XML::textOf(
            pugi::xpath_node(xpathFirst(QStringLiteral("//root/item/date[../id='%1']").arg(id)))));
        pugi::xml_node copy = found.parent().append_copy(found);
        pugi::xml_node idNode = copy.select_node("id").node();
        if (!idNode) idNode = copy.prepend_child("id");
        XML::setText(idNode, next);
        auto write = [&](const char* name, const QString& value) {
            if (const pugi::xml_node target =
                    xpathFirst(QStringLiteral("//item/%1[../id='%2']").arg(QLatin1String(name), next)))
                XML::setText(target, value);
        };
        write("status", QString());
        write("now", Items::nowText(clock.now()));
        write("timeleft", QString());
        write("date", Items::dateToString(code == "D" ? day.addDays(1) : Items::zeroDate()));
    }

    TestEnv env;
    std::optional<CoreObjects> objects;
    FakePrompter prompts;
    FakeClock clock{QDateTime(Today, QTime(9, 0))};
    pugi::xml_document twin;
};

} // namespace

TEST_F(ItemQueries, EveryAnswerIsTheXPathsOnStoresAsHandsLeaveThem) {
    // The last store is a large one, read ahead beside the start.
    for (int round = 0; round < 21; ++round) {
        QRandomGenerator rng(static_cast<quint32>(round + 1));
        const bool nested = round % 5 == 4;
        QByteArray text = oddStore(rng, nested, round == 20 ? 6000 : 24);
        // (A tag in a note has the whole file looked through, one item after another.)
        if (round == 20) text.replace("<note><![CDATA[<item>]]><!-- <root> --></note>", "<note>n</note>");
        load(text, round % 2 == 0);
        const std::string store =
            "store " + std::to_string(round) + (nested ? " (items inside an item)" : "");
        expectSameAnswers(store);
        if (round == 20) {
            gItems->removeItem(7);
            removeOnTwin(7);
            expectSameAnswers(store + ", removed 7");
            continue;
        }

        for (int i = 0; i < 3; ++i) {
            const int id = rng.bounded(1, 16);
            gItems->setTitle(QStringLiteral("Milk run %1").arg(i), id);
            setTitleOnTwin(id, QStringLiteral("Milk run %1").arg(i));
        }
        expectSameAnswers(store + ", titles written");

        for (const QString& type :
             {QStringLiteral("Task"), QStringLiteral("Meeting"), QStringLiteral("Errand")}) {
            const Integer id = gItems->newItem(type);
            newItemOnTwin(type, id);
        }
        expectSameAnswers(store + ", new items");

        gItems->moveUndoneItems(Today, 3, QStringLiteral("Task"));
        carryOverOnTwin(Today, 3);
        expectSameAnswers(store + ", carried over");

        for (int i = 0; i < 2; ++i) {
            const int id = rng.bounded(1, 16);
            gItems->CloneRepetitiveTask(id);
            cloneOnTwin(id);
            expectSameAnswers(store + ", repeated " + std::to_string(id));
            gItems->removeItem(id);
            removeOnTwin(id);
            expectSameAnswers(store + ", removed " + std::to_string(id));
        }
        if (nested) {
            gItems->removeItem(99);
            removeOnTwin(99);
            expectSameAnswers(store + ", the holder removed");
        }
    }
}
