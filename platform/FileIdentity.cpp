#include "platform/FileIdentity.h"

#include <QFile>

std::optional<FileIdentity> FileIdentity::of(const QString& path) {
    struct stat s {};
    if (::stat(QFile::encodeName(path).constData(), &s) != 0 || !S_ISREG(s.st_mode)) return std::nullopt;
    return FileIdentity(s);
}
