#include "platform/AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

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
    // Before the application object is made: where the system says the program is.
    const QString program = QFile::symLinkTarget(QStringLiteral("/proc/self/exe"));
    return withTrailingSlash(program.isEmpty() ? QDir::currentPath() : QFileInfo(program).absolutePath());
}

void setProgramFolder(const QString& folder) {
    g_programFolder = folder.isEmpty() ? QString() : withTrailingSlash(folder);
}

QString inProgramFolder(const QString& folder) {
    if (QDir::isAbsolutePath(folder)) return folder;
    return programFolder() + folder;
}

QString resolvedPath(const QString& path) {
    QString at = QFileInfo(path).absoluteFilePath();
    QStringList below; // the names under the part that is there
    for (int links = 0;;) {
        const QFileInfo info(at);
        if (info.exists()) {
            const QString there = info.canonicalFilePath();
            at = there.isEmpty() ? at : there;
            break;
        }
        if (info.isSymLink() && ++links < 40) { // pointing at what is not there (yet)
            at = info.symLinkTarget();
            continue;
        }
        below.prepend(info.fileName());
        at = info.absolutePath();
    }
    return below.isEmpty() ? at : QDir::cleanPath(at + u'/' + below.join(u'/'));
}

QString desktopDataFolder() {
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return withTrailingSlash(base) + QStringLiteral("Quorvane/");
}

QString folderInUse(const QString& newFolder, const QString& oldFolder, const QString& fileName) {
    if (QFileInfo::exists(oldFolder + fileName) && !QFileInfo::exists(newFolder + fileName)) return oldFolder;
    return newFolder;
}
