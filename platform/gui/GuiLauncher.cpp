#include "platform/gui/GuiLauncher.h"

#include <QDesktopServices>
#include <QUrl>

bool GuiLauncher::openUrl(const QString& url) {
    return QDesktopServices::openUrl(QUrl(url));
}
