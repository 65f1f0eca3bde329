#pragma once

#include "platform/Integer.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <optional>

// The state of the day as the status file keeps it between runs: one line of eleven values separated by
// commas and ended by CR LF, text in double quotes, dates as #yyyy-mm-dd#, truth values as #TRUE# or
// #FALSE# and whole numbers in decimal, for example
//   "1.0",#2026-12-07#,2,#TRUE#,37,#TRUE#,#FALSE#,20,12,8,15
struct GameStatus {
    QString version;            // major.minor of the program that wrote it
    QDate date;                 // the day it was written
    Integer currentPeriod;      // 1 to 4
    bool running = false;       // the day's game runs
    Integer periodMinutesLeft;  // minutes left in the period
    bool periodRunning = false; // the period runs
    bool isTimeOut = false;     // a time-out runs
    Integer timeoutMinutesLeft; // time-out minutes still available today
    Integer runningItemID;      // the running task, 0 for none
    Integer taskMinutesLeft;    // minutes left of the running task
    Integer todayScore;

    // The line, CR LF included.
    QByteArray toLine() const;
    // The line read back; nullopt unless the text is exactly one well-formed line of eleven values whose
    // period is 1 to 4, whose task id is not negative and whose date is a real day. (A day still to come is
    // well-formed: the clock may have been put back since.)
    static std::optional<GameStatus> fromText(const QByteArray& text);

    friend bool operator==(const GameStatus&, const GameStatus&) = default;
};
