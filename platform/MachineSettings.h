#pragma once

#include <QString>
#include <optional>

// Reading the machine-wide settings (IniStore::machineSettingsPath). Each key is a section named by its
// path, as in "[SOFTWARE\Vendor\Tool]"; a value is a text, or a double word when it is written "dword:"
// followed by eight hexadecimal digits ("dword:0000000a" is 10).
namespace machinesettings {

struct Value {
    enum class Type { Text, DoubleWord };
    Type type = Type::Text;
    QString text;           // a text value as stored
    quint32 doubleWord = 0; // a double word's number
};

// The value name of key; nullopt when the store, the key or the value is not there or cannot be read.
std::optional<Value> read(const QString& key, const QString& name);

} // namespace machinesettings
