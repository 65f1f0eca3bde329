#include "dlgSettings.h"

dlgSettings* dlgSettings::instance() {
    static QPointer<dlgSettings> form;
    return sharedForm(form);
}
