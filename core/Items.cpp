#include "Items.h"

#include "ArrayMax.h"
#include "Clock.h"
#include "ErrorReport.h"
#include "Failure.h"
#include "File.h"
#include "Functions.h"
#include "Globals.h"
#include "NumberText.h"
#include "OrbinWindow.h"
#include "Prompter.h"
#include "Settings.h"
#include "XML.h"

#include <QFileInfo>
#include <algorithm>

const QByteArray Items::TaskTemplate =
    "<item><id>0</id><now/><date/><title/><period/><estimate/><status/><done/><donedate/><doneperiod/"
    "><donetime/>"
    "<note/><points/><penaltypoints/><type>Task</type><obj1/><timeleft/><obj3/><meetingtime/><chairm/>"
    "<timingbonus/><project/></item>";
const QByteArray Items::MeetingTemplate =
    "<item><id>0</id><now/><date/><title/><period/><estimate/><status/><done/><donedate/><doneperiod/"
    "><donetime/>"
    "<note/><points/><penaltypoints/><type>Meeting</type><obj1/><obj2/><obj3/><meetingtime/><chairm/>"
    "<timingbonus/><project/></item>";
const QByteArray Items::StartText =
    "<root>\r\n" + Items::TaskTemplate + "\r\n" + Items::MeetingTemplate + "\r\n</root>";

namespace {

const QString ErrorUpper = QStringLiteral(" Error");
const QString ErrorLower = QStringLiteral(" error");

constexpr const char* FieldNames[] = {
    "id",   "now",      "date",       "title",    "period",      "estimate",    "status",
    "done", "donedate", "doneperiod", "donetime", "note",        "points",      "type",
    "obj1", "timeleft", "obj2",       "obj3",     "meetingtime", "timingbonus", "project"};
static_assert(std::size(FieldNames) == static_cast<size_t>(Items::Field::Count));

// The one form every field accessor uses: the field of the first item whose id text is $id. It selects
// what "//root/item/title[../id=$id]" selects in the items file, but stops at the first such item instead
// of testing every element of the document, which keeps a read within a fraction of a millisecond on a
// store of thousands of items.
QByteArray fieldXPath(Items::Field f) {
    return QByteArray("(/root/item[string(id)=$id])[1]/") + FieldNames[static_cast<size_t>(f)];
}

// The fixed queries, compiled once.
XPathQuery& allIds() {
    static XPathQuery q("//root/item/id");
    return q;
}
XPathQuery& topIds() {
    static XPathQuery q("/root/item/id");
    return q;
}
XPathQuery& matchingIds() {
    static XPathQuery q("//root/item/id[../date=$date][../period=$period]", {"date", "period"});
    return q;
}
XPathQuery& titledIds() {
    static XPathQuery q("//root/item/id[../title != '']");
    return q;
}
XPathQuery& meetingIds() {
    static XPathQuery q("//root/item/id[../date=$date][../type='Meeting']", {"date"});
    return q;
}
XPathQuery& timeMeetingIds() {
    static XPathQuery q("//root/item/id[../date = $date and ../meetingtime = $time and ../type='Meeting']",
                        {"date", "time"});
    return q;
}
XPathQuery& undoneIds() {
    static XPathQuery q("//root/item/id[../date=$date][../period=$period][../done='false']",
                        {"date", "period"});
    return q;
}
XPathQuery& projectIds() {
    static XPathQuery q("//root/item/id[../project=$project]", {"project"});
    return q;
}
XPathQuery& templateOfType() {
    static XPathQuery q("//root/item[type=$type]", {"type"});
    return q;
}
XPathQuery& itemById() {
    static XPathQuery q("//root/item[id=$id]", {"id"});
    return q;
}
XPathQuery& itemByNumber() {
    static XPathQuery q("//root/item[id=$id]", {}, {"id"});
    return q;
}
XPathQuery& carryOverIds() {
    static XPathQuery q("//root/item/id[(../date < $date or (../date = $date and ../period < $period))  and "
                        "../type=$type and ../done != 'true' and ../id > 0]",
                        {"date", "period", "type"});
    return q;
}
XPathQuery& cloneField(const char* name) {
    static XPathQuery status("//item/status[../id=$id]", {"id"});
    static XPathQuery now("//item/now[../id=$id]", {"id"});
    static XPathQuery timeleft("//item/timeleft[../id=$id]", {"id"});
    static XPathQuery date("//item/date[../id=$id]", {"id"});
    const QByteArray n(name);
    if (n == "status") return status;
    if (n == "now") return now;
    if (n == "timeleft") return timeleft;
    return date;
}

QString number(Integer value) {
    return QString::number(value.value());
}

// Clears the save-in-progress flag however the save ends.
class SavingFlag {
public:
    explicit SavingFlag(bool& flag) : m_flag(flag) { m_flag = true; }
    ~SavingFlag() { m_flag = false; }
    SavingFlag(const SavingFlag&) = delete;
    SavingFlag& operator=(const SavingFlag&) = delete;

private:
    bool& m_flag;
};

void shrinkOrbin() {
    if (!gOrbinWindow || OrbinRedrawScope::active()) return;
    try {
        gOrbinWindow->shrinkFloater();
    } catch (const std::exception&) {
        // The message matters more than the shrink.
    }
}

} // namespace

// --- creation ---

Items::Items() {
    for (size_t i = 0; i < m_fieldQueries.size(); ++i) {
        m_fieldQueries[i] = std::make_unique<XPathQuery>(fieldXPath(static_cast<Field>(i)).constData(),
                                                         std::initializer_list<const char*>{"id"});
    }
    trapped(QStringLiteral(" - Items.Class_Initialize: "), ErrorUpper, [&] {
        m_selectedDate = appClock().today();
        m_currentID = 1;
        m_selectedPeriod = 1;
        if (!loadItemXML()) {
            shrinkOrbin();
            prompter().messageBox(QStringLiteral("Error!\r\nCould not load data from item.xml!"),
                                  Prompter::Buttons::OK, Prompter::Icon::Exclamation,
                                  errorReportTitle(ErrorUpper));
        }
    });
}

Items::~Items() = default;

QString Items::itemsPath() {
    return (gSettings ? gSettings->sDataDir() : QString()) + QStringLiteral("items.xml");
}

// --- the field rule ---

QString Items::idText(Integer id) const {
    return number(id.value() == 0 ? m_currentID : id);
}

QString Items::field(Field f, const QString& id) {
    XPathQuery& q = *m_fieldQueries[static_cast<size_t>(f)];
    return XML::textOf(XML::selectFirst(m_doc, q.set("id", id)));
}

bool Items::setField(Field f, const QString& id, const QString& value) {
    XPathQuery& q = *m_fieldQueries[static_cast<size_t>(f)];
    const pugi::xpath_node found = XML::selectFirst(m_doc, q.set("id", id));
    if (!found) return false;
    XML::setText(found.node(), value);
    return true;
}

QString Items::nowText(const QDateTime& value) {
    return value.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}

QDateTime Items::Now(Integer id) {
    QDateTime result = zeroDateTime();
    ignoringFailures([&] {
        const QString text = field(Field::Now, idText(id)).trimmed();
        QDateTime read = QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd hh:mm:ss"));
        if (!read.isValid()) read = QDateTime::fromString(text, Qt::ISODate);
        if (read.isValid()) result = read;
    });
    return result;
}

bool Items::setNow(const QDateTime& value, Integer id) {
    bool written = false;
    ignoringFailures([&] { written = setField(Field::Now, idText(id), nowText(value)); });
    return written;
}

QDate Items::Date_(Integer id) {
    return stringToDate(field(Field::Date, idText(id)));
}
bool Items::setDate(const QDate& value, Integer id) {
    return setField(Field::Date, idText(id), dateToString(value));
}
QString Items::Title(Integer id) {
    return field(Field::Title, idText(id));
}
bool Items::setTitle(const QString& value, Integer id) {
    return setField(Field::Title, idText(id), value);
}
QString Items::Period(Integer id) {
    return field(Field::Period, idText(id));
}
bool Items::setPeriod(const QString& value, Integer id) {
    return setField(Field::Period, idText(id), value);
}
Integer Items::Estimate(Integer id) {
    return numtext::toInteger(numtext::leadingNumber(field(Field::Estimate, idText(id))));
}
bool Items::setEstimate(const QString& value, Integer id) {
    return setField(Field::Estimate, idText(id), value);
}
QString Items::Done(Integer id) {
    return field(Field::Done, idText(id));
}
bool Items::setDone(const QString& value, Integer id) {
    return setField(Field::Done, idText(id), value);
}
QString Items::DoneDate(Integer id) {
    return field(Field::DoneDate, idText(id));
}
bool Items::setDoneDate(const QString& value, Integer id) {
    return setField(Field::DoneDate, idText(id), value);
}
Integer Items::DonePeriod(Integer id) {
    return numtext::toInteger(field(Field::DonePeriod, idText(id)));
}
bool Items::setDonePeriod(const QString& value, Integer id) {
    return setField(Field::DonePeriod, idText(id), value);
}
QString Items::DoneTime(Integer id) {
    return field(Field::DoneTime, idText(id));
}
bool Items::setDoneTime(const QString& value, Integer id) {
    return setField(Field::DoneTime, idText(id), value);
}
QString Items::Note(Integer id) {
    const QString text = field(Field::Note, idText(id));
    return text == QStringLiteral("note") ? QString() : text;
}
bool Items::setNote(const QString& value, Integer id) {
    return setField(Field::Note, idText(id), value);
}
bool Items::setNoteDate(const QString& value, Integer id) {
    return setField(Field::Note, idText(id), value);
}
Integer Items::Points(Integer id) {
    return numtext::toInteger(field(Field::Points, idText(id)));
}
bool Items::setPoints(Integer value, Integer id) {
    return setField(Field::Points, idText(id), number(value));
}
QString Items::Type_(Integer id) {
    return field(Field::Type, idText(id));
}
bool Items::setType(const QString& value, Integer id) {
    return setField(Field::Type, idText(id), value);
}
QString Items::Obj1(Integer id) {
    return field(Field::Obj1, idText(id));
}
bool Items::setObj1(const QString& value, Integer id) {
    return setField(Field::Obj1, idText(id), value);
}
QString Items::Obj2(Integer id) {
    return field(Field::Obj2, idText(id));
}
bool Items::setObj2(const QString& value, Integer id) {
    return setField(Field::Obj2, idText(id), value);
}
QString Items::Obj3(Integer id) {
    return field(Field::Obj3, idText(id));
}
bool Items::setObj3(const QString& value, Integer id) {
    return setField(Field::Obj3, idText(id), value);
}
QString Items::MeetingTime(Integer id) {
    return field(Field::MeetingTime, idText(id));
}
bool Items::setMeetingTime(const QString& value, Integer id) {
    return setField(Field::MeetingTime, idText(id), value);
}
Integer Items::TimingBonus(Integer id) {
    return numtext::toInteger(field(Field::TimingBonus, idText(id)));
}
bool Items::setTimingBonus(Integer value, Integer id) {
    return setField(Field::TimingBonus, idText(id), number(value));
}
QString Items::Project(Integer id) {
    return field(Field::Project, idText(id));
}
bool Items::setProject(const QString& value, Integer id) {
    return setField(Field::Project, idText(id), value);
}

bool Items::setTimeLeft(Integer value, Integer id) {
    bool written = false;
    trapped(QStringLiteral(" - Items.setTimeLeft: "), ErrorUpper,
            [&] { written = setField(Field::TimeLeft, idText(id), number(value)); });
    return written;
}

QString Items::TimeLeft(Integer id) {
    QString value;
    trapped(QStringLiteral(" - Items.TimeLeft: "), ErrorUpper,
            [&] { value = field(Field::TimeLeft, idText(id)); });
    return value;
}

Integer Items::SelectedPeriod() const {
    return m_selectedPeriod.value() >= 1 && m_selectedPeriod.value() <= 4 ? m_selectedPeriod : Integer(1);
}

bool Items::setStatus(const QString& value, Integer id) {
    bool written = false;
    trapped(QStringLiteral(" - Items.setStatus: "), ErrorUpper,
            [&] { written = setField(Field::Status, idText(id), value); });
    return written;
}

QString Items::getStatus(Integer id) {
    QString value;
    trapped(QStringLiteral(" - Items.getStatus: "), ErrorUpper,
            [&] { value = field(Field::Status, idText(id)); });
    return value;
}

// --- ids ---

Integer Items::maxID() {
    Integer result = 0;
    trapped(QStringLiteral(" - Items.maxID: "), ErrorUpper, [&] {
        const std::optional<Integer> max = arrayMax(XML::valuesOf(XML::selectAll(m_doc, allIds())));
        result = max.value_or(Integer(0));
    });
    return result;
}

Integer Items::getNewID() {
    Integer result = 0;
    trapped(QStringLiteral(" - Items.getNewID: "), ErrorUpper, [&] {
        const std::optional<Integer> max = arrayMax(XML::valuesOf(XML::selectAll(m_doc, topIds())));
        result = max ? *max + Integer(1) : Integer(1); // the largest id 32767 leaves no next one: Overflow
    });
    return result;
}

// --- loading and saving ---

bool Items::loadItemXML() {
    bool result = true;
    trapped(QStringLiteral(" - Items.loadItemXML: "), ErrorUpper, [&] {
        const XmlParseError outcome = File::readXMLFile(m_doc, itemsPath());
        if (outcome.ok()) {
            m_keepAsidePending = false;
            return;
        }
        if (outcome.fileNotFound()) {
            m_keepAsidePending = false;
            File::readXMLText(m_doc, StartText);
            return;
        }
        result = false;
        shrinkOrbin();
        prompter().messageBox(QStringLiteral("Error! Items.loadItemXML: ") + QString::number(outcome.code) +
                                  QStringLiteral(": ") + outcome.reason,
                              Prompter::Buttons::OK, Prompter::Icon::Exclamation, QStringLiteral("Quorvane"));
        // The file stays where it is until the next save, which first moves it out of the way; the store
        // goes on from the two templates, so that what the user adds now is kept.
        m_keepAsidePending = true;
        File::readXMLText(m_doc, StartText);
    });
    return result;
}

bool Items::saveItemXML() {
    if (m_saving) return false;
    const SavingFlag saving(m_saving);
    return trapped(QStringLiteral(" - Items.saveItemXML: "), ErrorUpper, [&] {
        const QString path = itemsPath();
        if (m_keepAsidePending) {
            const QString keptAs = File::setAsideDamaged(path);
            m_keepAsidePending = false;
            if (!keptAs.isEmpty()) {
                prompter().messageBox(
                    QStringLiteral(
                        "The items file could not be read, so it has been kept as \"%1\". The items "
                        "entered since are saved in a new \"items.xml\".")
                        .arg(QFileInfo(keptAs).fileName()),
                    Prompter::Buttons::OK, Prompter::Icon::Information, QStringLiteral("Quorvane"));
            }
        }
        File::writeXMLFile(m_doc, path);
    });
}

// --- queries ---

QStringList Items::idList(const XPathQuery& query) {
    return XML::valuesOf(XML::selectAll(m_doc, query));
}

QStringList Items::getMatchingIDs(Integer period, const QDate& date) {
    QStringList ids{QString()};
    trapped(QStringLiteral(" - Items.getMatchingIDs: "), ErrorLower, [&] {
        ids = idList(matchingIds().set("date", dateToString(date)).set("period", number(period)));
    });
    return ids;
}

QStringList Items::getIDsMatchingString(const QString& text) {
    QStringList result{QString()};
    trapped(QStringLiteral(" - Items.getIDsMatchingString: "), ErrorLower, [&] {
        // Each id is paired with the title of its own item, so that an item without an id or with an odd
        // title can never shift a title onto another item's id.
        const QString wanted = text.toLower();
        const pugi::xpath_node_set ids = XML::selectAll(m_doc, titledIds());
        QStringList hits;
        for (size_t i = ids.size(); i-- > 0;) {
            const pugi::xml_node id = ids[i].node();
            const pugi::xml_node first = id.first_child();
            if (!first || (first.type() != pugi::node_pcdata && first.type() != pugi::node_cdata)) continue;
            const QString idValue = XML::textOf(ids[i]);
            if (idValue.isEmpty()) continue;
            const QString title = XML::textOf(pugi::xpath_node(id.parent().child("title")));
            if (!title.isEmpty() && title.toLower().contains(wanted)) hits.append(idValue);
        }
        if (!hits.isEmpty()) result = hits;
    });
    return result;
}

QStringList Items::getMatchingMeetingIDs(const QDate& date) {
    QStringList ids{QString()};
    trapped(QStringLiteral(" - Items.getMatchingMeetingIDs: "), ErrorLower,
            [&] { ids = idList(meetingIds().set("date", dateToString(date))); });
    return ids;
}

QStringList Items::getTimeMatchingMeetingIDs(const QDate& date, const QTime& time) {
    QStringList ids{QString()};
    trapped(QStringLiteral(" - Items.getTimeMatchingMeetingIDs: "), ErrorLower, [&] {
        ids = idList(timeMeetingIds()
                         .set("date", dateToString(date))
                         .set("time", time.toString(QStringLiteral("hh:mm"))));
    });
    return ids;
}

QList<Items::MeetingTime_> Items::meetingTimesOn(const QDate& date) {
    QList<MeetingTime_> meetings;
    const pugi::xpath_node_set ids = XML::selectAll(m_doc, meetingIds().set("date", dateToString(date)));
    for (const pugi::xpath_node& id : ids) {
        // An id counts as the list queries take it: the text it starts with, when it has one.
        const pugi::xml_node first = id.node().first_child();
        if (!first || (first.type() != pugi::node_pcdata && first.type() != pugi::node_cdata)) continue;
        const QString idText = XML::textOf(id);
        if (idText.isEmpty()) continue;
        for (const pugi::xml_node time : id.node().parent().children("meetingtime")) {
            const QString text = XML::textOf(pugi::xpath_node(time));
            // Read as the face reads it, so a meeting stored as "8:5" reminds at 08:05 where it stands.
            if (const std::optional<QTime> at = readMeetingTime(text))
                meetings.append({idText, QTime(at->hour(), at->minute())});
        }
    }
    return meetings;
}

QStringList Items::getMatchingUndoneIDs(Integer period, const QDate& date) {
    QStringList ids{QString()};
    trapped(QStringLiteral(" - Items.getMatchingUndoneIDs: "), ErrorLower,
            [&] { ids = idList(undoneIds().set("date", dateToString(date)).set("period", number(period))); });
    return ids;
}

QStringList Items::getProjectMatchingIDs(Integer projectId) {
    QStringList ids{QString()};
    trapped(QStringLiteral(" - Items.getMatchingProjectIDs: "), ErrorLower,
            [&] { ids = idList(projectIds().set("project", number(projectId))); });
    return ids;
}

// --- creation, removal, repetition, carry-over ---

Integer Items::newItem(const QString& type) {
    Integer id = -1;
    trapped(QStringLiteral(" - Items.newItem: "), ErrorLower, [&] {
        const Integer next = getNewID();
        // No free id left (already reported): an item with id 0 would pass for a template.
        if (next.value() <= 0) return;
        id = next;
        const pugi::xpath_node found = XML::selectFirst(m_doc, templateOfType().set("type", type));
        if (!found) return;
        pugi::xml_node root = found.node().parent();
        pugi::xml_node copy = root.append_copy(found.node());
        if (!copy) throw Failure(err::OutOfMemory);
        const bool emptied = gXML ? gXML->resetNodeValues(copy) : XML().resetNodeValues(copy);
        if (!emptied) {
            root.remove_child(copy);
            id = -1;
            return;
        }
        pugi::xml_node idNode = copy.child("id");
        if (!idNode) idNode = copy.prepend_child("id");
        XML::setText(idNode, number(next));
    });
    return id;
}

void Items::removeItem(Integer id) {
    trapped(QStringLiteral(" - Items.removeItem: "), ErrorUpper, [&] {
        const pugi::xpath_node found = XML::selectFirst(m_doc, itemById().set("id", idText(id)));
        if (!found)
            throw Failure(err::InvalidCall, QStringLiteral("There is no item with the id ") + idText(id));
        found.node().parent().remove_child(found.node());
    });
}

bool Items::moveUndoneItems(const QDate& date, Integer period, const QString& type) {
    bool result = false;
    trapped(QStringLiteral(" - Items.moveItems: "), ErrorLower, [&] {
        const QString day = dateToString(date);
        const QString p = number(period);
        const QStringList ids = idList(carryOverIds().set("date", day).set("period", p).set("type", type));
        if (!ids.first().isEmpty()) {
            for (const QString& id : ids) {
                setField(Field::Date, id, day);
                setField(Field::Period, id, p);
            }
        }
        result = true;
    });
    return result;
}

void Items::CloneRepetitiveTask(Integer id) {
    trapped(QStringLiteral(" - Items.CloneRepetitiveTask: "), ErrorUpper, [&] {
        const Integer source = id.value() == 0 ? m_currentID : id;
        const pugi::xpath_node found =
            XML::selectFirst(m_doc, itemByNumber().set("id", static_cast<double>(source.value())));
        if (!found) return;
        const Integer next = getNewID();
        if (next.value() <= 0) return; // no free id (already reported)
        pugi::xml_node root = found.node().parent();
        pugi::xml_node copy = root.append_copy(found.node());
        if (!copy) throw Failure(err::OutOfMemory);
        pugi::xml_node idNode = copy.child("id");
        if (!idNode) idNode = copy.prepend_child("id");
        XML::setText(idNode, number(next));

        const QString newId = number(next);
        auto write = [&](const char* name, const QString& value) {
            const pugi::xpath_node target = XML::selectFirst(m_doc, cloneField(name).set("id", newId));
            if (target) XML::setText(target.node(), value);
        };
        write("status", QString());
        write("now", nowText(appClock().now()));
        write("timeleft", QString()); // a meeting has none

        const QString code = Obj3(source);
        const QDate day = Date_(source);
        QDate nextDay = zeroDate();
        if (code == QStringLiteral("D"))
            nextDay = day.addDays(1);
        else if (code == QStringLiteral("W"))
            nextDay = day.addDays(7);
        else if (code == QStringLiteral("M"))
            nextDay = day.addMonths(1); // clamps to the month's last day
        write("date", dateToString(nextDay));
    });
}

// --- dates ---

QDate Items::stringToDate(const QString& text) {
    if (text.size() < 8) return zeroDate();
    const auto digits = [](QStringView part) {
        return std::all_of(part.begin(), part.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    };
    if (!digits(QStringView(text).left(6)) || !digits(QStringView(text).right(2))) return zeroDate();
    bool yearOk = false;
    bool monthOk = false;
    bool dayOk = false;
    const int year = text.left(4).toInt(&yearOk);
    const int month = text.mid(4, 2).toInt(&monthOk);
    const int day = text.right(2).toInt(&dayOk);
    if (!yearOk || !monthOk || !dayOk) return zeroDate();
    const QDate date(year, month, day);
    return date.isValid() ? date : zeroDate();
}

QString Items::dateToString(const QDate& date) {
    if (!date.isValid()) return {};
    return date.toString(QStringLiteral("yyyyMMdd"));
}

bool Items::archiveData() {
    int moved = 0;
    const bool done = gXML ? gXML->archiveData(m_doc, &moved) : XML().archiveData(m_doc, &moved);
    // The items file follows the archive at once: a program ended before the quit's save would otherwise
    // find the moved items still there at the next start (the archive then keeps them only once).
    if (moved > 0) saveItemXML();
    return done;
}
