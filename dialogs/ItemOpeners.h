#pragma once

#include "platform/Integer.h"

#include <QString>

class dlgNewTaskDetails;
class dlgNewMeetingDetails;

// The ways into the item dialogs, shared by the orbin, the project list, the search results and the tray.

// Unloads an open edit-task dialog, makes id the current item and shows the dialog, which loads afresh.
void openEditTask(Integer id);
// Unloads an open edit-meeting dialog, loads it anew, puts id in its Tag, fills it and shows it.
void openEditMeeting(Integer id);
// A new task dialog (a new one on each call), shown. With a project id, the dialog's hidden project label
// holds it; the caller adds its own caption suffix.
dlgNewTaskDetails* openNewTask(const QString& projectId = QString());
// A new meeting dialog (a new one on each call), shown; the project id as for openNewTask.
dlgNewMeetingDetails* openNewMeeting(const QString& projectId = QString());
