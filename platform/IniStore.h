#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <optional>

// The per-user settings store: one INI file of sections and text values. Section and value names are
// matched without regard to letter case and keep the spelling they were first written with. Writing a
// value rewrites only its own line, so that comments, stray lines and the other values of a hand-edited
// file stay as they were; the file is replaced whole through a temporary file, never left half-written.
//
// Values that begin or end with blanks, begin with a double quote, or hold control characters are written
// in double quotes with backslash escapes; every other value is written as it stands.
class IniStore {
public:
    explicit IniStore(QString path);

    const QString& path() const { return m_path; }

    std::optional<QString> value(const QString& section, const QString& name) const;
    // The (name, value) pairs of a section in stored order; a name stored twice counts once.
    QList<QPair<QString, QString>> sectionValues(const QString& section) const;
    // False when the name cannot be stored (empty, or holding "=", a line break, leading or trailing
    // blanks) or the file could not be written.
    bool setValue(const QString& section, const QString& name, const QString& value);
    // Takes a value out of its section. False when the store could not be read or written; a value that
    // is not there leaves the file as it was.
    bool removeValue(const QString& section, const QString& name);
    // The sections in stored order, each once, with their first spelling.
    QStringList sectionNames() const;
    bool hasSection(const QString& section) const;
    // False when a store is there but cannot be read (then nothing is written to it either).
    bool isReadable() const;
    // Deletes the whole store. False when a file was there and could not be removed.
    bool removeAll();

    // The store file's default place: $XDG_CONFIG_HOME/Quorvane/Quorvane.ini, or the file named by
    // the environment variable QUORVANE_SETTINGS_FILE when it is set.
    static QString defaultPath();
    // The machine-wide store, which stands for the settings shared by every user of the computer: its own
    // file "Machine.ini" beside the user's store, or the file named by the environment variable
    // QUORVANE_MACHINE_SETTINGS_FILE when it is set.
    static QString machineSettingsPath();

    // Exposed for tests: a value's stored text and its reading back.
    static QString encodeValue(const QString& value);
    static QString decodeValue(const QString& stored);

private:
    struct Line {
        QByteArray raw;
        enum Kind { Other, Section, Entry } kind = Other;
        QString section; // for Section lines
        QString name;    // for Entry lines
        QString value;   // for Entry lines
    };
    // The file's lines; nullopt when a file is there but cannot be read.
    std::optional<QList<Line>> readLines() const;
    static Line parseLine(const QByteArray& raw);
    bool writeLines(const QList<Line>& lines);

    QString m_path;
};
