#pragma once

#include "core/Items.h"

#include <QByteArray>
#include <QString>

// Items files as a person would write them by hand: the two templates, then the items given.
inline QByteArray itemsFileWith(const QByteArray& items) {
    return "<root>\r\n" + Items::TaskTemplate + "\r\n" + Items::MeetingTemplate + "\r\n" + items +
           "</root>\r\n";
}

inline QByteArray taskXml(int id, const QString& title, const QString& date, int period,
                          const QString& status = {}, const QString& done = QStringLiteral("false"),
                          int estimate = 30) {
    return QStringLiteral(
               "<item><id>%1</id><now/><date>%2</date><title>%3</title><period>%4</period>"
               "<estimate>%5</estimate><status>%6</status><done>%7</done><donedate>NotDone</donedate>"
               "<doneperiod/><donetime/><note/><points>0</points><penaltypoints/><type>Task</type>"
               "<obj1/><timeleft/><obj3/><meetingtime/><chairm/><timingbonus>0</timingbonus>"
               "<project>0</project></item>\r\n")
        .arg(id)
        .arg(date, title)
        .arg(period)
        .arg(estimate)
        .arg(status, done)
        .toUtf8();
}

inline QByteArray meetingXml(int id, const QString& title, const QString& date, const QString& time,
                             const QString& done = QStringLiteral("false")) {
    return QStringLiteral(
               "<item><id>%1</id><now/><date>%2</date><title>%3</title><period/>"
               "<estimate>60</estimate><status/><done>%4</done><donedate>NotDone</donedate><doneperiod/>"
               "<donetime/><note/><points>0</points><penaltypoints/><type>Meeting</type><obj1/><obj2/>"
               "<obj3/><meetingtime>%5</meetingtime><chairm/><timingbonus>0</timingbonus>"
               "<project>0</project></item>\r\n")
        .arg(id)
        .arg(date, title, done, time)
        .toUtf8();
}
