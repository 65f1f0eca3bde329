#pragma once

#include <QDate>
#include <QString>

// The controls of the orbin window and the scoreboard that the game drives and reads. The game owns these
// values; the windows show them and write back what their own handlers change (the countdowns, shrink and
// expand, the day chooser), then tell the orbin through OrbinWindow::controlsChanged. Tests read them with no
// window at all.
struct GameControls {
    struct Button {
        QString caption;
        QString tag;
        bool enabled = true;
    };
    struct Label {
        QString caption;
    };
    struct Frame {
        bool visible = false;
    };
    struct Timer {
        bool enabled = false;
        int interval = 0; // milliseconds
    };

    // The orbin window.
    Button butStart{
        QStringLiteral("&Show tasks"), {}, true}; // a running task's title and minutes; Tag = its id
    Label txtTaskMinutes{QStringLiteral("-")};    // minutes left of the running task
    Timer TaskCountdown{false, 60000};
    Timer timTaskMinutesBlink{false, 500};
    Button butTimeout{QStringLiteral("T"), {}, true}; // "T" starts a time-out, anything else ends it
    Label lblTimeOut{QStringLiteral("---")};          // minutes of time-out left
    Frame fraTimeOut;                                 // the time-out panel; brought to the front when shown
    Timer timTimeOut{false, 60000};
    Label txtMinLeftOfPeriod;
    QDate lblDate; // the day the orbin shows; none yet shows the design caption "Start"

    // The scoreboard.
    Label lblRemainingOfPeriod{QStringLiteral("---")}; // minutes left in the period
    Label labTodayScore{QStringLiteral("0")};          // today's score
    Timer timPeriodCounter{false, 60000};              // the period countdown
    Timer timDisplayCounter{false, 1000};              // hides the scoreboard again
};
