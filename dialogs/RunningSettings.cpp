#include "dialogs/RunningSettings.h"

#include "core/Globals.h"
#include "core/HotKey.h"
#include "core/OrbinWindow.h"
#include "core/Settings.h"
#include "platform/FormPort.h"

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
