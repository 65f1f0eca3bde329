#pragma once

#include "File.h"
#include "Game.h"
#include "Globals.h"
#include "Initialize.h"
#include "Items.h"
#include "Projects.h"
#include "Settings.h"
#include "XML.h"

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
