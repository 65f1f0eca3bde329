#include "core/Globals.h"

Settings* gSettings = nullptr;
File* gFile = nullptr;
XML* gXML = nullptr;
Items* gItems = nullptr;
Projects* gProjects = nullptr;
Game* gGame = nullptr;
Statistics* gStatistics = nullptr;
HotKey* gHotKey = nullptr;
HTMLHelp* gHTMLHelp = nullptr;
OrbinWindow* gOrbinWindow = nullptr;
