#include "dlgEditTaskDetails.h"

dlgEditTaskDetails* dlgEditTaskDetails::instance() {
    static QPointer<dlgEditTaskDetails> form;
    return sharedForm(form);
}
