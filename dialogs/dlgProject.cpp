#include "dlgProject.h"

dlgProject* dlgProject::instance() {
    static QPointer<dlgProject> form;
    return sharedForm(form);
}
