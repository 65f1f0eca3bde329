#include "SettingsNotWritten.h"

#include "Globals.h"
#include "OrbinWindow.h"
#include "Prompter.h"
#include "Settings.h"

#include <QDir>

void tellSettingsNotWritten(const QString& text) {
    if (gOrbinWindow) gOrbinWindow->shrinkFloater();
    const QString file = gSettings ? QDir::toNativeSeparators(gSettings->storePath()) : QString();
    prompter().messageBox(text.arg(file), Prompter::Buttons::OK, Prompter::Icon::Exclamation,
                          QStringLiteral("Quorvane"));
}
