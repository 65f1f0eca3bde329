#pragma once

#include "platform/Failure.h"

#include <QString>
#include <exception>

// The error report of the program: a box with OK and the exclamation icon, titled "Quorvane" and the
// suffix (" Error" or " error"), whose text is "Error!", CR LF, the component, the location text, the
// number, " - " and the description.
QString errorReportText(const Failure& failure, const QString& location);
QString errorReportTitle(const QString& titleSuffix);

// Shows the report. When shrinkOrbin is set the orbin is shrunk first, except while a shrink, an expand
// or a redraw is running (a failure there would come back round). While the program is being ended from
// outside the report is logged instead.
void reportError(const Failure& failure, const QString& location, const QString& titleSuffix,
                 bool shrinkOrbin = true);

// Shrinks the orbin before a box is shown over it, except while a shrink, an expand or a redraw is
// running (a failure there would come back round). A failure of the shrink is dropped: the box matters more.
void shrinkOrbinBeforeBox();

// Whether a box can be shown: not once the program is asked from outside to end (the session ending),
// when nobody is there to answer it and the end must not wait for it.
bool boxesCanBeAnswered();
// Writes text to the program's log (while the settings that name its folder are there) and to the
// standard error stream, which the session keeps: for what is said without a box, or cannot be written to
// the log's folder.
void logLine(const QString& text);

// Any failure as the program's own: a Failure stays as it is, anything else becomes 51 "Internal error".
Failure asFailure(const std::exception* e);

// The error-handling switch: on unless the settings turned it off.
bool errorHandlingOn();

// Marks a shrink, expand or redraw of the orbin as running, for as long as it lives.
class OrbinRedrawScope {
public:
    OrbinRedrawScope();
    ~OrbinRedrawScope();
    OrbinRedrawScope(const OrbinRedrawScope&) = delete;
    OrbinRedrawScope& operator=(const OrbinRedrawScope&) = delete;
    static bool active();
};

// The one catch under the error switch. With switchOn, a failure that escapes body is handed to onFailure
// (inside the catch) and false comes back; with it off, the failure passes on to the caller. True when
// body ran to its end. The switch is read by the caller before body runs.
template <class Body, class OnFailure>
bool underErrorSwitch(bool switchOn, Body&& body, OnFailure&& onFailure) {
    if (!switchOn) {
        body();
        return true;
    }
    try {
        body();
        return true;
    } catch (const std::exception& e) {
        onFailure(e);
        return false;
    }
}

// The onFailure that drops the failure: the failing step is skipped.
inline void skipFailure(const std::exception&) {}

// Runs body under the program's trap: with the switch on, a failure is reported with the location text
// and title suffix and false is returned; with it off, the failure passes on to the caller.
template <class Body>
bool trapped(const QString& location, const QString& titleSuffix, Body&& body, bool shrinkOrbin = true) {
    return underErrorSwitch(errorHandlingOn(), body, [&](const std::exception& e) {
        reportError(asFailure(&e), location, titleSuffix, shrinkOrbin);
    });
}

// Runs body and drops any failure, with the switch on; with it off the failure passes on.
template <class Body> bool ignoringFailures(Body&& body) {
    return underErrorSwitch(errorHandlingOn(), body, skipFailure);
}
