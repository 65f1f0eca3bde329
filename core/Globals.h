#pragma once

// The process-wide objects. createObjects makes them in this order and releaseObjects lets them go.
class Settings;
class File;
class XML;
class Items;
class Projects;
class Game;
class Statistics;
class HotKey;
class HTMLHelp;
class OrbinWindow;

extern Settings* gSettings;
extern File* gFile;
extern XML* gXML;
extern Items* gItems;
extern Projects* gProjects;
extern Game* gGame;
extern Statistics* gStatistics;
extern HotKey* gHotKey;
extern HTMLHelp* gHTMLHelp;       // made on first use
extern OrbinWindow* gOrbinWindow; // the one orbin window, made by Main
