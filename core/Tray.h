#pragma once

#include <functional>

class FormPort;

// Sending the program's windows to the tray and bringing them back. The tray form frmSysTray puts up the
// tray icon and the window layer installs what loads it; the hot key, the orbin's menu and the tray icon
// send the windows there and back.

// Installs what loads the tray form frmSysTray (which puts up the tray icon). It returns False when the
// desktop has no tray, so that nothing is hidden beyond reach.
void setTrayFormLoader(std::function<bool()> loader);
// restore False: remembers form, hides every loaded form and loads the tray form. restore True: shows
// the remembered form again, and every other form that going to the tray hid, and unloads the tray form.
void minimizeToTray(bool restore, FormPort* form = nullptr);
// True while the windows sit in the tray (the tray form is loaded), whichever way they were sent there.
bool isInTray();
