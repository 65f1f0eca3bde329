#include "platform/MachineRegistry.h"

#include "platform/IniStore.h"

#include <QDir>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>

namespace {

const QString DefaultName = QStringLiteral("@");
const QString DWordTag = QStringLiteral("dword:");
const QString ExpandTag = QStringLiteral("expand:");
const QString StringTag = QStringLiteral("sz:");

struct ProvidedKey {
    QString section; // first spelling
    QList<MachineRegistry::Value> values;
};
QMap<QString, ProvidedKey>& provided() {
    static QMap<QString, ProvidedKey> keys; // by section in lower case
    return keys;
}

QString storedName(const QString& name) {
    return name.isEmpty() ? DefaultName : name;
}

QString expandVariables(const QString& text) {
    static const QRegularExpression var(
        QStringLiteral(R"(\$\{([A-Za-z_][A-Za-z0-9_]*)\}|\$([A-Za-z_][A-Za-z0-9_]*))"));
    QString out;
    qsizetype last = 0;
    for (auto it = var.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out += text.mid(last, m.capturedStart() - last);
        const QString name = m.captured(1).isEmpty() ? m.captured(2) : m.captured(1);
        out += qEnvironmentVariable(name.toLocal8Bit().constData());
        last = m.capturedEnd();
    }
    return out + text.mid(last);
}

MachineRegistry::Value decode(const QString& name, const QString& stored) {
    MachineRegistry::Value v;
    v.name = name == DefaultName ? QString() : name;
    static const QRegularExpression hexDigits(QStringLiteral("^[0-9A-Fa-f]{1,8}$"));
    const QString digits = stored.mid(DWordTag.size()).trimmed();
    if (stored.startsWith(DWordTag, Qt::CaseInsensitive) && hexDigits.match(digits).hasMatch()) {
        // Anything else after the tag is no number: it reads as the text it is.
        v.type = MachineRegistry::Type::DWord;
        v.data = QString::number(digits.toUInt(nullptr, 16));
    } else if (stored.startsWith(ExpandTag, Qt::CaseInsensitive)) {
        v.type = MachineRegistry::Type::ExpandString;
        v.data = stored.mid(ExpandTag.size());
    } else if (stored.startsWith(StringTag, Qt::CaseInsensitive)) {
        v.data = stored.mid(StringTag.size());
    } else {
        v.data = stored;
    }
    return v;
}

QString encodeString(const QString& data) {
    const bool tagged = data.startsWith(DWordTag, Qt::CaseInsensitive) ||
                        data.startsWith(ExpandTag, Qt::CaseInsensitive) ||
                        data.startsWith(StringTag, Qt::CaseInsensitive);
    return tagged ? StringTag + data : data;
}

} // namespace

MachineRegistry::MachineRegistry() : m_path(IniStore::machineSettingsPath()) {}

MachineRegistry::MachineRegistry(QString path) : m_path(std::move(path)) {}

QString MachineRegistry::rootName(quint32 root) {
    switch (root) {
    case ClassesRoot:
        return QStringLiteral("HKCR");
    case CurrentUser:
        return QStringLiteral("HKCU");
    case LocalMachine:
        return QStringLiteral("HKLM");
    case Users:
        return QStringLiteral("HKU");
    case CurrentConfig:
        return QStringLiteral("HKCC");
    case DynData:
        return QStringLiteral("HKDD");
    default:
        return {};
    }
}

QString MachineRegistry::section(quint32 root, const QString& key) {
    const QString name = rootName(root);
    if (name.isEmpty()) return {};
    QString path = key;
    while (path.endsWith(u'\\'))
        path.chop(1);
    // The file stands for the local machine: its keys go by their path alone, those of the other roots
    // after the root's name.
    if (root == LocalMachine) return path;
    return path.isEmpty() ? name : name + u'\\' + path;
}

bool MachineRegistry::fileReadable() const {
    const QFileInfo info(m_path);
    return !info.exists() || (info.isFile() && info.isReadable() && IniStore(m_path).isReadable());
}

bool MachineRegistry::fileWritable() const {
    const QFileInfo info(m_path);
    if (info.exists()) {
        // The file is replaced through a temporary file beside it, so its folder must take one too.
        return info.isFile() && info.isWritable() && QFileInfo(info.absolutePath()).isWritable() &&
               IniStore(m_path).isReadable();
    }
    // Not there yet: the first folder on its way that is there must take it.
    QString folder = info.absolutePath();
    while (!QFileInfo(folder).exists()) {
        const QString up = QFileInfo(folder).absolutePath();
        if (up == folder) return false;
        folder = up;
    }
    return QFileInfo(folder).isDir() && QFileInfo(folder).isWritable();
}

bool MachineRegistry::canOpen(quint32 root, const QString& key, int rights) const {
    const QString sec = section(root, key);
    if (sec.isEmpty()) return false;
    if ((rights & ~Query) && !fileWritable()) return false;
    if (!fileReadable()) return false;
    return provided().contains(sec.toLower()) || IniStore(m_path).hasSection(sec);
}

bool MachineRegistry::canCreate(quint32 root, const QString& key) const {
    return !section(root, key).isEmpty() && fileWritable();
}

std::optional<QList<MachineRegistry::Value>> MachineRegistry::values(quint32 root, const QString& key) const {
    if (!canOpen(root, key, Query)) return std::nullopt;
    const QString sec = section(root, key);
    QList<Value> out;
    for (const auto& [name, stored] : IniStore(m_path).sectionValues(sec)) {
        Value v = decode(name, stored);
        if (v.type == Type::ExpandString) v.data = expandVariables(v.data);
        out.append(v);
    }
    const auto it = provided().constFind(sec.toLower());
    if (it != provided().cend()) {
        for (const Value& v : it->values) {
            const bool shadowed = std::any_of(out.cbegin(), out.cend(), [&](const Value& o) {
                return o.name.compare(v.name, Qt::CaseInsensitive) == 0;
            });
            if (!shadowed) out.append(v);
        }
    }
    return out;
}

std::optional<MachineRegistry::Value> MachineRegistry::value(quint32 root, const QString& key,
                                                             const QString& name) const {
    const auto all = values(root, key);
    if (!all) return std::nullopt;
    for (const Value& v : *all)
        if (v.name.compare(name, Qt::CaseInsensitive) == 0) return v;
    return std::nullopt;
}

QStringList MachineRegistry::subkeys(quint32 root, const QString& key) const {
    QStringList out;
    const QString sec = section(root, key);
    if (sec.isEmpty() || !canOpen(root, key, Query)) return out;
    const QString prefix = sec + u'\\';
    QStringList all = IniStore(m_path).sectionNames();
    for (const ProvidedKey& p : provided())
        all.append(p.section);
    for (const QString& s : all) {
        if (!s.startsWith(prefix, Qt::CaseInsensitive)) continue;
        const QString child = s.mid(prefix.size()).section(u'\\', 0, 0);
        if (!child.isEmpty() && !out.contains(child, Qt::CaseInsensitive)) out.append(child);
    }
    return out;
}

bool MachineRegistry::setString(quint32 root, const QString& key, const QString& name, const QString& data) {
    const QString sec = section(root, key);
    if (sec.isEmpty() || !fileWritable()) return false;
    return IniStore(m_path).setValue(sec, storedName(name), encodeString(data));
}

bool MachineRegistry::deleteValue(quint32 root, const QString& key, const QString& name) {
    const QString sec = section(root, key);
    if (sec.isEmpty() || !fileWritable()) return false;
    IniStore store(m_path);
    if (!store.value(sec, storedName(name))) return false;
    return store.removeValue(sec, storedName(name));
}

void MachineRegistry::provideKey(quint32 root, const QString& key) {
    const QString sec = section(root, key);
    if (sec.isEmpty()) return;
    ProvidedKey& p = provided()[sec.toLower()];
    if (p.section.isEmpty()) p.section = sec;
}

void MachineRegistry::provide(quint32 root, const QString& key, const QString& name, const QString& data) {
    provideKey(root, key);
    const QString sec = section(root, key);
    if (sec.isEmpty()) return;
    QList<Value>& values = provided()[sec.toLower()].values;
    for (Value& v : values) {
        if (v.name.compare(name, Qt::CaseInsensitive) == 0) {
            v.data = data;
            return;
        }
    }
    values.append(Value{name, Type::String, data});
}

void MachineRegistry::clearProvided() {
    provided().clear();
}
