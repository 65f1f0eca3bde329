#include "dialogs/SettingsNotWritten.h"

#include "core/Globals.h"
#include "core/OrbinWindow.h"
#include "core/Settings.h"
#include "platform/Prompter.h"

#include <QDir>

void tellSettingsNotWritten(const QString& text) {
    if (gOrbinWindow) gOrbinWindow->shrinkFloater();
    const QString file = gSettings ? QDir::toNativeSeparators(gSettings->storePath()) : QString();
    prompter().messageBox(text.arg(file), Prompter::Buttons::OK, Prompter::Icon::Exclamation,
                          QStringLiteral("Quorvane"));
}
