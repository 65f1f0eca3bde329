#include "dlgDebugSettings.h"

dlgDebugSettings* dlgDebugSettings::instance() {
    static QPointer<dlgDebugSettings> form;
    return sharedForm(form);
}
