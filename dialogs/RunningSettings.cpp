#include "RunningSettings.h"

#include "FormPort.h"
#include "Globals.h"
#include "HotKey.h"
#include "OrbinWindow.h"
#include "Settings.h"

void takeEffectAtOnce(bool hideKeyWasOn) {
    FormPort* orbin = gOrbinWindow ? gOrbinWindow->form() : nullptr;
    if (!orbin || !gSettings) return;
    orbin->setTopMost(gSettings->onTop());
    if (gHotKey && gSettings->bBossKey() != hideKeyWasOn) {
        if (gSettings->bBossKey())
            gHotKey->createHotKey(orbin->windowHandle());
        else
            gHotKey->destroyHotKey(orbin->windowHandle());
    }
}
