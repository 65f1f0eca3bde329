#include "MachineSettings.h"

#include "IniStore.h"

#include <QRegularExpression>

namespace machinesettings {

std::optional<Value> read(const QString& key, const QString& name) {
    const std::optional<QString> stored = IniStore(IniStore::machineSettingsPath()).value(key, name);
    if (!stored) return std::nullopt;
    static const QRegularExpression dword(QStringLiteral("^dword:([0-9a-fA-F]{8})$"));
    Value v;
    if (const QRegularExpressionMatch m = dword.match(*stored); m.hasMatch()) {
        v.type = Value::Type::DoubleWord;
        v.doubleWord = m.captured(1).toUInt(nullptr, 16);
    } else {
        v.text = *stored;
    }
    return v;
}

} // namespace machinesettings
