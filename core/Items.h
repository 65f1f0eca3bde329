#pragma once

#include "core/File.h"
#include "core/ItemIndex.h"
#include "platform/Integer.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QTime>
#include <array>
#include <memory>
#include <pugixml.hpp>

class XPathQuery;

// The store of every task and meeting: the whole items file "items.xml" held as an XML document.
//
// Every field is the first element of its name in an item whose id text equals the number (the first such
// item in the file that has one); id 0 stands for currentID. An index beside the document finds it without
// a search, and answers each query by one pass over the items, with the results, in the order, of the
// query's XPath. The document reaches the disk only through saveItemXML.
//
// An id list is the texts of the selected id elements in file order; when nothing matches it holds one
// empty entry.
class Items {
public:
    // The fields of an item, in element order.
    enum class Field {
        Id,
        Now,
        Date,
        Title,
        Period,
        Estimate,
        Status,
        Done,
        DoneDate,
        DonePeriod,
        DoneTime,
        Note,
        Points,
        Type,
        Obj1,
        TimeLeft,
        Obj2,
        Obj3,
        MeetingTime,
        TimingBonus,
        Project,
        Count
    };

    // The first thing a new store holds: the Task template, then the Meeting template.
    static const QByteArray TaskTemplate;
    static const QByteArray MeetingTemplate;
    static const QByteArray StartText;

    // Sets the selected day to today and the current id and selected period to 1, then loads the items
    // file; a file that cannot be read is reported and the store starts empty.
    Items();
    ~Items();
    Items(const Items&) = delete;
    Items& operator=(const Items&) = delete;

    Integer currentID() const { return m_currentID; }
    void setCurrentID(Integer id) { m_currentID = id; }

    // The creation stamp; empty or unreadable text gives the zero date-time. Failing steps are skipped.
    QDateTime Now(Integer id = 0);
    bool setNow(const QDateTime& value, Integer id = 0);
    // The planned day; empty or invalid text gives the zero date (30 December 1899).
    QDate Date_(Integer id = 0);
    bool setDate(const QDate& value, Integer id = 0);
    QString Title(Integer id = 0);
    bool setTitle(const QString& value, Integer id = 0);
    QString Period(Integer id = 0);
    bool setPeriod(const QString& value, Integer id = 0);
    // The leading number of the text, rounded half to even; empty text gives 0.
    Integer Estimate(Integer id = 0);
    bool setEstimate(const QString& value, Integer id = 0);
    QString Done(Integer id = 0);
    bool setDone(const QString& value, Integer id = 0);
    QString DoneDate(Integer id = 0);
    bool setDoneDate(const QString& value, Integer id = 0);
    // Whole-number fields: empty or non-numeric text raises 13 "Type mismatch".
    Integer DonePeriod(Integer id = 0);
    bool setDonePeriod(const QString& value, Integer id = 0);
    QString DoneTime(Integer id = 0);
    bool setDoneTime(const QString& value, Integer id = 0);
    // The exact text "note" reads as empty.
    QString Note(Integer id = 0);
    bool setNote(const QString& value, Integer id = 0);
    bool setNoteDate(const QString& value, Integer id = 0);
    Integer Points(Integer id = 0);
    bool setPoints(Integer value, Integer id = 0);
    QString Type_(Integer id = 0);
    bool setType(const QString& value, Integer id = 0);
    QString Obj1(Integer id = 0);
    bool setObj1(const QString& value, Integer id = 0);
    QString Obj2(Integer id = 0);
    bool setObj2(const QString& value, Integer id = 0);
    QString Obj3(Integer id = 0);
    bool setObj3(const QString& value, Integer id = 0);
    QString MeetingTime(Integer id = 0);
    bool setMeetingTime(const QString& value, Integer id = 0);
    Integer TimingBonus(Integer id = 0);
    bool setTimingBonus(Integer value, Integer id = 0);
    QString Project(Integer id = 0);
    bool setProject(const QString& value, Integer id = 0);
    // Reported (" - Items.setTimeLeft: ", " - Items.TimeLeft: "): false / "" then.
    bool setTimeLeft(Integer value, Integer id = 0);
    QString TimeLeft(Integer id = 0);

    // The period shown: 1 to 4 (any other stored value reads as 1).
    Integer SelectedPeriod() const;
    void setSelectedPeriod(Integer period) { m_selectedPeriod = period; }
    QDate SelectedDate() const { return m_selectedDate; }
    void setSelectedDate(const QDate& date) { m_selectedDate = date; }

    // The largest id in the file (0 when there is none). Reported (" - Items.maxID: ").
    Integer maxID();
    // Reported (" - Items.setStatus: ", " - Items.getStatus: ").
    bool setStatus(const QString& value, Integer id = 0);
    QString getStatus(Integer id = 0);
    // Writes the whole document to "items.xml"; false when a save is already under way or it failed
    // (reported, " - Items.saveItemXML: "). When the file on disk could not be read at load time it is
    // first kept aside under a new name, and the user is told; so is a file changed on disk since the
    // store read or saved it.
    bool saveItemXML();
    // Reads "items.xml"; a missing file gives the two templates. False when the file could not be read
    // (shown to the user); the store then starts from the two templates.
    bool loadItemXML();
    // Starts reading and indexing the items file of the settings on a thread of its own, for the next load
    // to take over when it finds the same file unchanged. For the start of the program, before the store is
    // made.
    static void readAhead();

    // The next occurrence of a repeating item, appended last: a day ("D"), a week ("W") or a calendar
    // month ("M", on the month's last day when it is shorter) later; any other code gives the zero date.
    void CloneRepetitiveTask(Integer id);
    QStringList getMatchingIDs(Integer period, const QDate& date);
    // The ids of the items whose title holds text (letter case not minded), last item first.
    QStringList getIDsMatchingString(const QString& text);
    QStringList getMatchingMeetingIDs(const QDate& date);
    QStringList getTimeMatchingMeetingIDs(const QDate& date, const QTime& time);
    // The meetings of a day with the times they are due, in the order of the store: one lookup, for
    // catching up many minutes at once. Times are read as the orbin's face reads them ("8:5" is
    // 08:05); a meeting whose time cannot be read is never due and left out. Reports nothing: a failure goes
    // to the caller.
    struct MeetingTime_ {
        QString id; // as the store holds it
        QTime time;
    };
    QList<MeetingTime_> meetingTimesOn(const QDate& date);
    QStringList getMatchingUndoneIDs(Integer period, const QDate& date);
    QStringList getProjectMatchingIDs(Integer projectId);
    // A copy of the template of type, emptied, with the next free id, appended last. Returns the id (the
    // id alone when there is no such template), or -1 when nothing could be added.
    Integer newItem(const QString& type);
    // The largest id plus 1; at the largest id 32767 the failure is reported and 0 returned.
    Integer getNewID();
    // Removes the item; a missing id is reported (" - Items.removeItem: ").
    void removeItem(Integer id);
    // Moves every undone item of type planned before (date, period) to that day and period.
    bool moveUndoneItems(const QDate& date, Integer period, const QString& type);
    // "yyyymmdd" and back; a text that is no valid date gives the zero date, an invalid date "".
    static QDate stringToDate(const QString& text);
    static QString dateToString(const QDate& date);
    // Moves the items older than seven days to the archive file, and writes the items file at once when any
    // moved.
    bool archiveData();

    // The zero date and date-time: 30 December 1899.
    static QDate zeroDate() { return QDate(1899, 12, 30); }
    static QDateTime zeroDateTime() { return QDateTime(zeroDate(), QTime(0, 0)); }
    // The text form of the creation stamp.
    static QString nowText(const QDateTime& value);

    // The items document, for the program's own checks.
    const pugi::xml_document& document() const { return *m_doc; }
    // The path of the items file.
    static QString itemsPath();

private:
    // Takes over the document read ahead; false when there is none for this file as it stands now.
    bool takeReadAhead();
    QString idText(Integer id) const;
    pugi::xml_node fieldNode(Field f, const QString& id);
    QString field(Field f, const QString& id);
    bool setField(Field f, const QString& id, const QString& value);
    std::optional<Integer> largestID(const XPathQuery& ids);
    // The id elements of the items that match, in file order: by one pass over the items when the index
    // serves the document, else by the query's XPath (query() gives it with its variables set).
    template <class Query, class Match> std::vector<pugi::xml_node> idNodes(Query&& query, Match&& match);
    // The id elements of the meetings of a day.
    std::vector<pugi::xml_node> meetingIdNodes(const QDate& date);
    // The item a query selects first: by the index, or by its XPath.
    template <class Query, class Match> pugi::xml_node firstItem(Query&& query, Match&& match);

    // Held by pointer, so that a document read ahead, and its index, can be taken over whole.
    std::unique_ptr<pugi::xml_document> m_doc = std::make_unique<pugi::xml_document>();
    std::unique_ptr<ItemIndex> m_index = std::make_unique<ItemIndex>(*m_doc);
    Integer m_currentID{1};
    Integer m_selectedPeriod{1};
    QDate m_selectedDate;
    bool m_saving = false;
    // The file that could not be read at load time: kept aside before the next save writes its place.
    bool m_keepAsidePending = false;
    // The file as read or last saved, to tell a change made outside the program.
    StoreFile m_file{QStringLiteral("items")};
    std::array<std::unique_ptr<XPathQuery>, static_cast<size_t>(Field::Count)> m_fieldQueries;
};
