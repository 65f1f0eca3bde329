#include "dialogs/ItemOpeners.h"

#include "core/Globals.h"
#include "core/Items.h"
#include "dialogs/dlgEditMeetingDetails.h"
#include "dialogs/dlgEditTaskDetails.h"
#include "dialogs/dlgNewMeetingDetails.h"
#include "dialogs/dlgNewTaskDetails.h"
#include "platform/FormPort.h"

#include <QLabel>

void openEditTask(Integer id) {
    if (FormPort* open = forms::find(QStringLiteral("dlgEditTaskDetails"))) open->unloadForm();
    gItems->setCurrentID(id);
    dlgEditTaskDetails::instance()->show();
}

void openEditMeeting(Integer id) {
    if (FormPort* open = forms::find(QStringLiteral("dlgEditMeetingDetails"))) open->unloadForm();
    dlgEditMeetingDetails* dialog = dlgEditMeetingDetails::instance();
    dialog->setProperty("Tag", QString::number(id.value()));
    dialog->Populate();
    dialog->show();
}

dlgNewTaskDetails* openNewTask(const QString& projectId) {
    auto* dialog = new dlgNewTaskDetails();
    dialog->lblProject()->setText(projectId);
    dialog->show();
    return dialog;
}

dlgNewMeetingDetails* openNewMeeting(const QString& projectId) {
    auto* dialog = new dlgNewMeetingDetails();
    dialog->lblProject()->setText(projectId);
    dialog->show();
    return dialog;
}
