#include "core/Items.h"

#include "core/ArrayMax.h"
#include "core/ErrorReport.h"
#include "core/File.h"
#include "core/Globals.h"
#include "core/MeetingTimes.h"
#include "core/ParserMemory.h"
#include "core/Settings.h"
#include "core/XML.h"
#include "core/XmlArchive.h"
#include "platform/BenchSwitch.h"
#include "platform/Clock.h"
#include "platform/Failure.h"
#include "platform/NumberText.h"
#include "platform/Prompter.h"
#include "platform/RaisedFlag.h"

#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

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

const char* fieldName(Items::Field f) {
    return FieldNames[static_cast<size_t>(f)];
}

// The one form every field accessor uses, for a document the index does not serve: the first element of
// the field in an item with an id whose text is $id.
QByteArray fieldXPath(Items::Field f) {
    return QByteArray("//root/item/") + fieldName(f) + "[../id=$id]";
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
            shrinkOrbinBeforeBox();
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

pugi::xml_node Items::fieldNode(Field f, const QString& id) {
    if (m_index->plain()) return m_index->field(id.toUtf8().toStdString(), fieldName(f));
    XPathQuery& q = *m_fieldQueries[static_cast<size_t>(f)];
    return XML::selectFirst(*m_doc, q.set("id", id)).node();
}

QString Items::field(Field f, const QString& id) {
    const pugi::xml_node found = fieldNode(f, id);
    return found ? XML::textOf(pugi::xpath_node(found)) : QString();
}

bool Items::setField(Field f, const QString& id, const QString& value) {
    const pugi::xml_node found = fieldNode(f, id);
    if (!found) return false;
    XML::setText(found, value);
    // An id changed under the index: it reads the document afresh.
    if (f == Field::Id)
        m_index->rebuild();
    else
        m_index->written(id.toUtf8().toStdString(), found);
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

std::optional<Integer> Items::largestID(const XPathQuery& ids) {
    // The index knows the largest id when every id is a plain whole number; no list is read then. An
    // empty list reads as one empty entry, which counts as 0.
    std::optional<int> largest;
    if (m_index->plain() && m_index->largestId(&largest)) return Integer(largest.value_or(0));
    return arrayMax(XML::valuesOf(XML::selectAll(*m_doc, ids)));
}

Integer Items::maxID() {
    Integer result = 0;
    trapped(QStringLiteral(" - Items.maxID: "), ErrorUpper,
            [&] { result = largestID(allIds()).value_or(Integer(0)); });
    return result;
}

Integer Items::getNewID() {
    Integer result = 0;
    trapped(QStringLiteral(" - Items.getNewID: "), ErrorUpper, [&] {
        const std::optional<Integer> max = largestID(topIds());
        result = max ? *max + Integer(1) : Integer(1); // the largest id 32767 leaves no next one: Overflow
    });
    return result;
}

// --- loading and saving ---

namespace {

// From this size on, the parse's memory is made ready by helpers beside it (the first drawing comes 111 ms,
// 63 %, sooner on 20,000 items); a smaller file is parsed into the heap, where the same memory would gain
// nothing.
constexpr size_t LargeFile = 4 * 1024 * 1024;
constexpr int ParseHelpers = 3;
constexpr size_t LargestMapping = size_t(256) << 20;

// The items file read and indexed on a thread of its own, while the program starts.
struct ReadAhead {
    QString path;
    std::unique_ptr<pugi::xml_document> document = std::make_unique<pugi::xml_document>();
    std::unique_ptr<ItemIndex> index = std::make_unique<ItemIndex>(*document);
    bool read = false; // the file was read and loads
    FileIdentity identity;
    std::thread thread;

    ~ReadAhead() {
        if (thread.joinable()) thread.join();
    }
    void run() {
        try {
            const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
            if (fd < 0) return;
            struct stat opened {};
            // Read into a buffer the document takes over: the text is parsed where it stands.
            void* buffer = nullptr;
            size_t size = 0;
            bool whole = ::fstat(fd, &opened) == 0 && opened.st_size > 0;
            // The text and its nodes take about six times the file; for a large file, helpers fault that
            // memory in while it is read and parsed.
            const size_t fileSize = whole ? static_cast<size_t>(opened.st_size) : 0;
            std::optional<ParserMemory> memory;
            if (fileSize >= LargeFile && !benchLeavesOut("parsememory"))
                memory.emplace(std::min(fileSize, LargestMapping / 6) * 6, ParseHelpers);
            if (whole) {
                size = static_cast<size_t>(opened.st_size);
                buffer = pugi::get_memory_allocation_function()(size);
                whole = buffer != nullptr;
            }
            for (size_t at = 0; whole && at < size;) {
                const ssize_t n = ::read(fd, static_cast<char*>(buffer) + at, size - at);
                if (n < 0 && errno == EINTR) continue;
                whole = n > 0;
                at += whole ? static_cast<size_t>(n) : 0;
            }
            ::close(fd);
            if (!whole) {
                if (buffer) pugi::get_memory_deallocation_function()(buffer);
                return;
            }
            const ItemIndex::Tags tags =
                ItemIndex::countTags(std::string_view(static_cast<char*>(buffer), size));
            if (!File::readXMLInPlace(*document, buffer, size)) return;
            memory.reset(); // its helpers stop, and what the parse did not take goes back
            index->rebuild(&tags);
            identity = FileIdentity(opened);
            read = true;
        } catch (...) {
            read = false; // the store reads the file itself
        }
    }
};

std::unique_ptr<ReadAhead>& pendingReadAhead() {
    static std::unique_ptr<ReadAhead> ahead;
    return ahead;
}

} // namespace

void Items::readAhead() {
    // The folder as the settings give it; the load takes over what was read only when it reads the same
    // file, unchanged since.
    const QString path = Settings().sDataDir() + QStringLiteral("items.xml");
    if (!benchLeavesOut("parsememory")) ParserMemory::install();
    auto ahead = std::make_unique<ReadAhead>();
    ahead->path = path;
    ahead->thread = std::thread([a = ahead.get()] { a->run(); });
    pendingReadAhead() = std::move(ahead);
}

bool Items::takeReadAhead() {
    const std::unique_ptr<ReadAhead> ahead = std::move(pendingReadAhead());
    if (!ahead) return false;
    ahead->thread.join();
    if (!ahead->read || ahead->path != itemsPath() || FileIdentity::of(ahead->path) != ahead->identity)
        return false;
    std::swap(m_doc, ahead->document);
    std::swap(m_index, ahead->index);
    m_file.read(ahead->identity);
    return true;
}

bool Items::loadItemXML() {
    bool result = true;
    // The index holds no node of the document while it is read again.
    m_index->invalidate();
    trapped(QStringLiteral(" - Items.loadItemXML: "), ErrorUpper, [&] {
        if (takeReadAhead()) {
            m_keepAsidePending = false;
            return;
        }
        std::optional<FileIdentity> read;
        const XmlParseError outcome = File::readXMLFile(*m_doc, itemsPath(), &read);
        if (outcome.ok()) {
            m_keepAsidePending = false;
            m_file.read(read);
            m_index->rebuild();
            return;
        }
        if (outcome.fileNotFound()) {
            m_keepAsidePending = false;
            m_file.read(std::nullopt);
            File::readXMLText(*m_doc, StartText);
            m_index->rebuild();
            return;
        }
        result = false;
        m_file.forget();
        shrinkOrbinBeforeBox();
        prompter().messageBox(QStringLiteral("Error! Items.loadItemXML: ") + QString::number(outcome.code) +
                                  QStringLiteral(": ") + outcome.reason,
                              Prompter::Buttons::OK, Prompter::Icon::Exclamation, QStringLiteral("Quorvane"));
        // The file stays where it is until the next save, which first moves it out of the way; the store
        // goes on from the two templates, so that what the user adds now is kept.
        m_keepAsidePending = true;
        File::readXMLText(*m_doc, StartText);
        m_index->rebuild();
    });
    return result;
}

bool Items::saveItemXML() {
    if (m_saving) return false;
    const RaisedFlag saving(m_saving);
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
        } else {
            m_file.keepOutsideChange(path);
        }
        m_file.written(File::writeXMLFile(*m_doc, path));
    });
}

// --- queries ---

template <class Query, class Match> std::vector<pugi::xml_node> Items::idNodes(Query&& query, Match&& match) {
    std::vector<pugi::xml_node> ids;
    if (m_index->plain()) {
        m_index->forEachItem([&](const ItemIndex::Entry& item) {
            if (match(item))
                item.children(ItemIndex::Key::Id, [&](const pugi::xml_node& id) { ids.push_back(id); });
            return true;
        });
        return ids;
    }
    for (const pugi::xpath_node& found : XML::selectAll(*m_doc, query()))
        if (!found.attribute()) ids.push_back(found.node());
    return ids;
}

template <class Query, class Match> pugi::xml_node Items::firstItem(Query&& query, Match&& match) {
    if (!m_index->plain()) return XML::selectFirst(*m_doc, query()).node();
    pugi::xml_node first;
    m_index->forEachItem([&](const ItemIndex::Entry& item) {
        if (match(item)) first = item.item();
        return !first;
    });
    return first;
}

namespace {

using Key = ItemIndex::Key;
using Entry = ItemIndex::Entry;

std::string utf8(const QString& text) {
    return text.toUtf8().toStdString();
}

} // namespace

QStringList Items::getMatchingIDs(Integer period, const QDate& date) {
    QStringList ids{QString()};
    trapped(QStringLiteral(" - Items.getMatchingIDs: "), ErrorLower, [&] {
        const QString day = dateToString(date);
        const QString p = number(period);
        const std::string d8 = utf8(day);
        const std::string p8 = utf8(p);
        ids = XML::valuesOf(idNodes(
            [&]() -> XPathQuery& { return matchingIds().set("date", day).set("period", p); },
            [&](const Entry& item) { return item.equals(Key::Date, d8) && item.equals(Key::Period, p8); }));
    });
    return ids;
}

QStringList Items::getIDsMatchingString(const QString& text) {
    QStringList result{QString()};
    trapped(QStringLiteral(" - Items.getIDsMatchingString: "), ErrorLower, [&] {
        // Each id is paired with the title of its own item, so that an item without an id or with an odd
        // title can never shift a title onto another item's id.
        const QString wanted = text.toLower();
        const std::vector<pugi::xml_node> ids =
            idNodes([]() -> XPathQuery& { return titledIds(); },
                    [](const Entry& item) { return item.differs(Key::Title, ""); });
        QStringList hits;
        for (size_t i = ids.size(); i-- > 0;) {
            const pugi::xml_node id = ids[i];
            const pugi::xml_node first = id.first_child();
            if (!first || (first.type() != pugi::node_pcdata && first.type() != pugi::node_cdata)) continue;
            const QString idValue = XML::textOf(pugi::xpath_node(id));
            if (idValue.isEmpty()) continue;
            const QString title = XML::textOf(pugi::xpath_node(xpathvalue::firstChild(id.parent(), "title")));
            if (!title.isEmpty() && title.toLower().contains(wanted)) hits.append(idValue);
        }
        if (!hits.isEmpty()) result = hits;
    });
    return result;
}

std::vector<pugi::xml_node> Items::meetingIdNodes(const QDate& date) {
    const QString day = dateToString(date);
    const std::string d8 = utf8(day);
    return idNodes(
        [&]() -> XPathQuery& { return meetingIds().set("date", day); },
        [&](const Entry& item) { return item.equals(Key::Date, d8) && item.equals(Key::Type, "Meeting"); });
}

QStringList Items::getMatchingMeetingIDs(const QDate& date) {
    QStringList ids{QString()};
    trapped(QStringLiteral(" - Items.getMatchingMeetingIDs: "), ErrorLower,
            [&] { ids = XML::valuesOf(meetingIdNodes(date)); });
    return ids;
}

QStringList Items::getTimeMatchingMeetingIDs(const QDate& date, const QTime& time) {
    QStringList ids{QString()};
    trapped(QStringLiteral(" - Items.getTimeMatchingMeetingIDs: "), ErrorLower, [&] {
        const QString day = dateToString(date);
        const QString at = time.toString(QStringLiteral("hh:mm"));
        const std::string d8 = utf8(day);
        const std::string t8 = utf8(at);
        ids = XML::valuesOf(
            idNodes([&]() -> XPathQuery& { return timeMeetingIds().set("date", day).set("time", at); },
                    [&](const Entry& item) {
                        return item.equals(Key::Date, d8) && item.equals(Key::MeetingTime, t8) &&
                               item.equals(Key::Type, "Meeting");
                    }));
    });
    return ids;
}

QList<Items::MeetingTime_> Items::meetingTimesOn(const QDate& date) {
    QList<MeetingTime_> meetings;
    for (const pugi::xml_node& id : meetingIdNodes(date)) {
        // An id counts as the list queries take it: the text it starts with, when it has one.
        const pugi::xml_node first = id.first_child();
        if (!first || (first.type() != pugi::node_pcdata && first.type() != pugi::node_cdata)) continue;
        const QString idText = XML::textOf(pugi::xpath_node(id));
        if (idText.isEmpty()) continue;
        for (const pugi::xml_node time : id.parent().children()) {
            if (!xpathvalue::isElement(time, "meetingtime")) continue;
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
    trapped(QStringLiteral(" - Items.getMatchingUndoneIDs: "), ErrorLower, [&] {
        const QString day = dateToString(date);
        const QString p = number(period);
        const std::string d8 = utf8(day);
        const std::string p8 = utf8(p);
        ids = XML::valuesOf(
            idNodes([&]() -> XPathQuery& { return undoneIds().set("date", day).set("period", p); },
                    [&](const Entry& item) {
                        return item.equals(Key::Date, d8) && item.equals(Key::Period, p8) &&
                               item.equals(Key::Done, "false");
                    }));
    });
    return ids;
}

QStringList Items::getProjectMatchingIDs(Integer projectId) {
    QStringList ids{QString()};
    trapped(QStringLiteral(" - Items.getMatchingProjectIDs: "), ErrorLower, [&] {
        const QString project = number(projectId);
        const std::string n8 = utf8(project);
        ids = XML::valuesOf(idNodes([&]() -> XPathQuery& { return projectIds().set("project", project); },
                                    [&](const Entry& item) { return item.equals(Key::Project, n8); }));
    });
    return ids;
}

// --- creation, removal, repetition, carry-over ---

namespace {

// Tells the index of an item appended to the document: once its id is set, or however the adding ends.
class Appended {
public:
    Appended(ItemIndex& index, const pugi::xml_node& item) : m_index(index), m_item(item) {}
    ~Appended() { done(); }
    Appended(const Appended&) = delete;
    Appended& operator=(const Appended&) = delete;
    void done() {
        if (m_item) m_index.appended(m_item);
        m_item = pugi::xml_node();
    }
    void dropped() { m_item = pugi::xml_node(); }

private:
    ItemIndex& m_index;
    pugi::xml_node m_item;
};

} // namespace

Integer Items::newItem(const QString& type) {
    Integer id = -1;
    trapped(QStringLiteral(" - Items.newItem: "), ErrorLower, [&] {
        const Integer next = getNewID();
        // No free id left (already reported): an item with id 0 would pass for a template.
        if (next.value() <= 0) return;
        id = next;
        const std::string wanted = utf8(type);
        const pugi::xml_node found =
            firstItem([&]() -> XPathQuery& { return templateOfType().set("type", type); },
                      [&](const Entry& item) { return item.equals(Key::Type, wanted); });
        if (!found) return;
        pugi::xml_node root = found.parent();
        pugi::xml_node copy = root.append_copy(found);
        if (!copy) throw Failure(err::OutOfMemory);
        Appended appended(*m_index, copy);
        const bool emptied = gXML ? gXML->resetNodeValues(copy) : XML().resetNodeValues(copy);
        if (!emptied) {
            appended.dropped();
            root.remove_child(copy);
            id = -1;
            return;
        }
        pugi::xml_node idNode = xpathvalue::firstChild(copy, "id");
        if (!idNode) idNode = copy.prepend_child("id");
        XML::setText(idNode, number(next));
    });
    return id;
}

void Items::removeItem(Integer id) {
    trapped(QStringLiteral(" - Items.removeItem: "), ErrorUpper, [&] {
        const QString key = idText(id);
        const pugi::xml_node found = m_index->plain()
                                         ? m_index->item(utf8(key))
                                         : XML::selectFirst(*m_doc, itemById().set("id", key)).node();
        if (!found) throw Failure(err::InvalidCall, QStringLiteral("There is no item with the id ") + key);
        m_index->removing(found);
        found.parent().remove_child(found);
        // A document the index did not serve may have become one it serves.
        if (!m_index->plain()) m_index->rebuild();
    });
}

bool Items::moveUndoneItems(const QDate& date, Integer period, const QString& type) {
    bool result = false;
    trapped(QStringLiteral(" - Items.moveItems: "), ErrorLower, [&] {
        const QString day = dateToString(date);
        const QString p = number(period);
        const std::string d8 = utf8(day);
        const std::string t8 = utf8(type);
        const double dayNumber = xpathvalue::number(d8);
        const double periodNumber = xpathvalue::number(utf8(p));
        const QStringList ids = XML::valuesOf(idNodes(
            [&]() -> XPathQuery& {
                return carryOverIds().set("date", day).set("period", p).set("type", type);
            },
            [&](const Entry& item) {
                // Planned for an earlier day, or for this day in an earlier period; of the type; not done;
                // not a template.
                const bool earlier = item.number(Key::Date, [&](double d) { return d < dayNumber; }) ||
                                     (item.equals(Key::Date, d8) &&
                                      item.number(Key::Period, [&](double v) { return v < periodNumber; }));
                return earlier && item.equals(Key::Type, t8) && item.differs(Key::Done, "true") &&
                       item.number(Key::Id, [](double v) { return v > 0; });
            }));
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
        const double wanted = source.value();
        const pugi::xml_node found = firstItem(
            [&]() -> XPathQuery& { return itemByNumber().set("id", wanted); },
            [&](const Entry& item) { return item.number(Key::Id, [&](double v) { return v == wanted; }); });
        if (!found) return;
        const Integer next = getNewID();
        if (next.value() <= 0) return; // no free id (already reported)
        pugi::xml_node root = found.parent();
        pugi::xml_node copy = root.append_copy(found);
        if (!copy) throw Failure(err::OutOfMemory);
        Appended appended(*m_index, copy);
        pugi::xml_node idNode = xpathvalue::firstChild(copy, "id");
        if (!idNode) idNode = copy.prepend_child("id");
        XML::setText(idNode, number(next));
        appended.done();

        const QString newId = number(next);
        auto write = [&](const char* name, const QString& value) {
            const pugi::xml_node target =
                m_index->plain() ? m_index->field(utf8(newId), name)
                                 : XML::selectFirst(*m_doc, cloneField(name).set("id", newId)).node();
            if (!target) return;
            XML::setText(target, value);
            m_index->written(utf8(newId), target);
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
    // A move that was cut off midway is made whole first, whether or not anything moves now.
    const QString archive = XML::archivePath();
    xmlarchive::recover(archive);
    // Mostly nothing is old enough to move, and the document stays as it is. The index finds the items that
    // move in one pass, without the XPath: that took 6.7 M of the move's 8 M instructions on 2,000 items
    // (tools/bench --callgrind).
    std::vector<pugi::xml_node> old;
    const bool indexed = m_index->plain();
    if (indexed) {
        const double cutoff = XML::archiveCutoff();
        m_index->forEachItem([&](const Entry& item) {
            if (item.number(Key::Date, [&](double day) { return day < cutoff; })) old.push_back(item.item());
            return true;
        });
        if (old.empty()) return true;
    }
    // The move takes items out of the document: the index reads it afresh afterwards.
    m_index->invalidate();
    bool done = false;
    try {
        const std::vector<pugi::xml_node>* found = indexed ? &old : nullptr;
        done = gXML ? gXML->archiveData(*m_doc, &moved, found) : XML().archiveData(*m_doc, &moved, found);
    } catch (...) {
        m_index->rebuild();
        throw;
    }
    m_index->rebuild();
    // The items file follows the archive at once: a program ended before the quit's save would otherwise
    // find the moved items still there at the next start (the archive then keeps them only once).
    // The items it moved no longer stand in the items file: the next move need not look for them.
    if (moved > 0 && saveItemXML()) xmlarchive::settle(archive, *m_doc);
    return done;
}
