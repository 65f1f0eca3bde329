#include "StoreMaker.h"

#include <QDir>
#include <QFile>

namespace storemaker {
namespace {

constexpr int PerDay = 50;
constexpr int MeetingsPerDay = 4;
const char* const MeetingTimes[MeetingsPerDay] = {"09:00", "11:30", "14:00", "16:30"};

QByteArray day(const QDate& d) {
    return d.toString(QStringLiteral("yyyyMMdd")).toLatin1();
}

QByteArray item(int id, const QDate& date, int slot, bool done) {
    const bool meeting = slot >= PerDay - MeetingsPerDay;
    const QByteArray n = QByteArray::number(id);
    QByteArray t;
    t += "<item><id>" + n + "</id><now>" + date.addDays(-3).toString(Qt::ISODate).toLatin1() +
         " 08:15:00</now><date>" + day(date) + "</date>";
    if (meeting) {
        const int m = slot - (PerDay - MeetingsPerDay);
        t += "<title>Meeting " + n + " with the team</title><period>" + QByteArray::number(m + 1) +
             "</period><estimate>60</estimate><status/><done>false</done><donedate>NotDone</donedate>"
             "<doneperiod/><donetime/><note>Agenda &amp; minutes for meeting " +
             n +
             "</note><points/><penaltypoints/><type>Meeting</type><obj1>Decide the next step</obj1>"
             "<obj2/><obj3/><meetingtime>" +
             MeetingTimes[m] + "</meetingtime><chairm/><timingbonus/><project>0</project></item>";
        return t;
    }
    t += "<title>Task " + n + ": write the weekly report part " + QByteArray::number(slot) +
         "</title><period>" + QByteArray::number(slot % 4 + 1) + "</period><estimate>" +
         QByteArray::number(15 + slot % 4 * 15) + "</estimate>";
    if (done) {
        t += "<status>done</status><done>true</done><donedate>" + date.toString(Qt::ISODate).toLatin1() +
             "</donedate><doneperiod>" + QByteArray::number(slot % 4 + 1) +
             "</doneperiod><donetime>25</donetime>";
    } else {
        t += "<status/><done>false</done><donedate>NotDone</donedate><doneperiod/><donetime/>";
    }
    t += "<note>Notes on task " + n + ": gather the figures, check them twice</note><points>" +
         QByteArray(done ? "10" : "0") + "</points><penaltypoints/><type>Task</type><obj1/><timeleft/>" +
         QByteArray(slot % 9 == 0 ? "<obj3>W</obj3>" : "<obj3/>") + "<meetingtime/><chairm/><timingbonus>" +
         QByteArray(done ? "2" : "0") + "</timingbonus><project>" + QByteArray::number(slot % 3) +
         "</project></item>";
    return t;
}

void write(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

} // namespace

QString settingsFile(const QString& folder) {
    return folder + QStringLiteral("/settings.ini");
}

void make(const QString& folder, const Store& store, const QDate& today) {
    const QString data = folder + QStringLiteral("/data/");
    QDir().mkpath(data);
    QByteArray items = "<root>\r\n"
                       "<item><id>0</id><now/><date/><title/><period/><estimate/><status/><done/><donedate/>"
                       "<doneperiod/><donetime/><note/><points/><penaltypoints/><type>Task</type><obj1/>"
                       "<timeleft/><obj3/><meetingtime/><chairm/><timingbonus/><project/></item>\r\n"
                       "<item><id>0</id><now/><date/><title/><period/><estimate/><status/><done/><donedate/>"
                       "<doneperiod/><donetime/><note/><points/><penaltypoints/><type>Meeting</type><obj1/>"
                       "<obj2/><obj3/><meetingtime/><chairm/><timingbonus/><project/></item>\r\n";
    for (int i = 0; i < store.items; ++i) {
        // The first itemsToMove are from the days before the week that stays.
        const bool old = i < store.itemsToMove;
        const int k = old ? i : i - store.itemsToMove;
        const QDate date = old ? today.addDays(-8 - k / PerDay) : today.addDays(-7 + k / PerDay);
        const int slot = k % PerDay;
        const bool done = date < today || (date == today && slot % 3 == 0);
        items += item(i + 1, date, slot, done) + "\r\n";
    }
    items += "</root>";
    write(data + QStringLiteral("items.xml"), items);

    if (store.archiveItems > 0) {
        QByteArray archive = "<root>\r\n";
        archive.reserve(store.archiveItems * 560);
        const QDate last = today.addDays(-8 - (store.itemsToMove + PerDay - 1) / PerDay);
        for (int i = 0; i < store.archiveItems; ++i)
            archive += item(30000 + i % 2000, last.addDays(-i / 10), i % PerDay, true);
        archive += "</root>";
        write(data + QStringLiteral("archive.xml"), archive);
    }

    write(settingsFile(folder), "[General]\r\nFirstTime=false\r\nconfirmExit=0\r\nDataDirectory=" +
                                    data.toUtf8() + "\r\n[Articles]\r\nLastRead=10\r\n");
}

} // namespace storemaker
