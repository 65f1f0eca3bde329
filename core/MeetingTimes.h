#pragma once

#include <QString>
#include <QTime>
#include <optional>

// Reading a time of day as the items file stores a meeting's: the items' reminders, the period clock and
// the orbin's face all read times this one way.

// A meeting's stored time of day: "hh:mm" as the dialogs write it, also "9:5", with seconds or AM/PM.
std::optional<QTime> readMeetingTime(const QString& text);
