#include "dlgFormList.h"

dlgFormList* dlgFormList::instance() {
    static QPointer<dlgFormList> form;
    return sharedForm(form);
}
