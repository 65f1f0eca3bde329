#include "AppPaths.h"

#include <QCoreApplication>
#include <QDir>

namespace {
QString g_programFolder;
}

QString withTrailingSlash(const QString& folder) {
    if (folder.endsWith(u'/')) return folder;
    return folder + u'/';
}

QString programFolder() {
    if (!g_programFolder.isEmpty()) return g_programFolder;
    if (QCoreApplication::instance()) return withTrailingSlash(QCoreApplication::applicationDirPath());
    return withTrailingSlash(QDir::currentPath());
}

void setProgramFolder(const QString& folder) {
    g_programFolder = folder.isEmpty() ? QString() : withTrailingSlash(folder);
}

QString inProgramFolder(const QString& folder) {
    if (QDir::isAbsolutePath(folder)) return folder;
    return programFolder() + folder;
}
