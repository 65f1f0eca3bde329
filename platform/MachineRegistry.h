#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// The machine-wide registry places, kept in a settings file of their own (IniStore::machineSettingsPath()),
// never in the user's settings. A key of the local machine is a section named by its path, "Software\...\HTML
// Help"; a key of another root has the root's name before it, "HKCR\CLSID\...". A key's default value is
// stored under the name "@". A value's text is stored as it stands; a double word as "dword:" and eight
// hexadecimal digits; a string whose environment variables are expanded when read as "expand:" and the text
// ("sz:" keeps a plain string that begins with one of these words). This is the one reader and writer of
// that file: the help object's registrations and checks and the About box's look-ups both go through it.
//
// Access rights follow the file: a key opens for reading when the file can be read, and for writing when
// it can be written (or made, where it is not there yet). Components of the program also provide entries
// of their own at run time (the help viewer names the library files it loads); they read as though they
// were in the file, which can add to them but not change them.
class MachineRegistry {
public:
    // Root keys, with the platform's classic handle numbers.
    enum Root : quint32 {
        NoRoot = 0,
        ClassesRoot = 0x80000000u,
        CurrentUser = 0x80000001u,
        LocalMachine = 0x80000002u,
        Users = 0x80000003u,
        CurrentConfig = 0x80000005u,
        DynData = 0x80000006u,
    };
    enum Rights { Query = 0x1, SetValue = 0x2, CreateSubKey = 0x4, EnumerateSubKeys = 0x8, AllAccess = 0xF };
    enum class Type { String, ExpandString, DWord };
    struct Value {
        QString name; // empty for the key's default value
        Type type = Type::String;
        QString data; // a double word as its decimal text
    };

    MachineRegistry(); // the file at IniStore::machineSettingsPath()
    explicit MachineRegistry(QString path);

    // Whether the key is there and may be used with the rights asked for.
    bool canOpen(quint32 root, const QString& key, int rights) const;
    // The key's values in stored order (provided ones after the file's); nullopt when it does not open
    // for reading.
    std::optional<QList<Value>> values(quint32 root, const QString& key) const;
    // One value of the key, its name matched without regard to case; nullopt when the key does not open
    // for reading or has no such value.
    std::optional<Value> value(quint32 root, const QString& key, const QString& name) const;
    // The names of the key's direct subkeys.
    QStringList subkeys(quint32 root, const QString& key) const;
    // Whether the key may be made or opened to set values and make subkeys.
    bool canCreate(quint32 root, const QString& key) const;
    // Writes a string value, making the key when needed. False when the file may not be written or the
    // name cannot be stored.
    bool setString(quint32 root, const QString& key, const QString& name, const QString& data);
    // False when the value is not there or the file may not be written.
    bool deleteValue(quint32 root, const QString& key, const QString& name);

    // An entry a component of the program provides for this run.
    static void provide(quint32 root, const QString& key, const QString& name, const QString& data);
    static void provideKey(quint32 root, const QString& key);
    static void clearProvided();

    static QString rootName(quint32 root); // "HKLM" and the like; empty for no root

private:
    static QString section(quint32 root, const QString& key);
    bool fileReadable() const;
    bool fileWritable() const;

    QString m_path;
};
