#pragma once

#include "core/File.h"
#include "core/Game.h"
#include "core/Globals.h"
#include "core/Initialize.h"
#include "core/Items.h"
#include "core/Projects.h"
#include "core/Settings.h"
#include "core/XML.h"

// The settings, file and XML objects a store test reads through, made in start-up's order; on the way
// out they go, with any store or game the test made itself.
struct CoreObjects {
    CoreObjects() {
        gSettings = new Settings();
        gFile = new File();
        gXML = new XML();
    }
    ~CoreObjects() { releaseObjects(); }
    CoreObjects(const CoreObjects&) = delete;
    CoreObjects& operator=(const CoreObjects&) = delete;
};
