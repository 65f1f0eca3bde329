#include "dlgEditMeetingDetails.h"

dlgEditMeetingDetails* dlgEditMeetingDetails::instance() {
    static QPointer<dlgEditMeetingDetails> form;
    return sharedForm(form);
}
