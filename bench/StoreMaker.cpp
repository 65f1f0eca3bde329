#include "bench/StoreMaker.h"

#include "core/XmlArchive.h"

#include <QDir>
#include <QFile>
#include <fcntl.h>
#include <unistd.h>

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

// The settings of the store in folder: no tour, no article task, no quit question, its own data folder.
void writeSettings(const QString& folder) {
    write(settingsFile(folder), "[General]\r\nFirstTime=false\r\nconfirmExit=0\r\nDataDirectory=" +
                                    (folder + QStringLiteral("/data/")).toUtf8() +
                                    "\r\n[Articles]\r\nLastRead=10\r\n");
}

// The record a program leaves beside an archive it moved items into.
void recordArchive(const QString& folder) {
    const QString archive = folder + QStringLiteral("/data/archive.xml");
    if (QFile::exists(archive) && !xmlarchive::note(archive)) qFatal("cannot record %s", qPrintable(archive));
}

// On the disk, as a store used on an earlier day is: a program that brings what it writes onto the disk
// does not wait for the copy as well.
void flushFile(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 || ::fsync(fd) != 0) qFatal("cannot flush %s", qPrintable(path));
    ::close(fd);
}

void copyFolder(const QString& from, const QString& to) {
    QDir().mkpath(to);
    for (const QFileInfo& f : QDir(from).entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString target = to + QLatin1Char('/') + f.fileName();
        if (f.isDir()) {
            copyFolder(f.filePath(), target);
        } else {
            if (!QFile::copy(f.filePath(), target)) qFatal("cannot copy %s", qPrintable(f.filePath()));
            flushFile(target);
        }
    }
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
        recordArchive(folder);
    }
    writeSettings(folder);
}

void copy(const QString& made, const QString& folder) {
    QDir(folder).removeRecursively();
    copyFolder(made, folder);
    writeSettings(folder);
    recordArchive(folder);
    if (QFile::exists(xmlarchive::recordPath(folder + QStringLiteral("/data/archive.xml"))))
        flushFile(xmlarchive::recordPath(folder + QStringLiteral("/data/archive.xml")));
}

} // namespace storemaker
