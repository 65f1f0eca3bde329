#pragma once

#include "tests/support/QtPrinters.h"

#include <QString>
#include <QTemporaryDir>
#include <optional>

// A test's own world: a fresh settings file, program folder and desktop data folder (so the data folder
// too) in a temporary directory, dropped with the test. Restores the process-wide state on the way out.
class TestEnv {
public:
    TestEnv();
    ~TestEnv();
    TestEnv(const TestEnv&) = delete;
    TestEnv& operator=(const TestEnv&) = delete;

    QString root() const { return m_dir.path() + QStringLiteral("/"); }
    QString settingsFile() const { return root() + QStringLiteral("config/Quorvane/Quorvane.ini"); }
    QString programDir() const { return root() + QStringLiteral("program/"); }
    // The desktop's data folder ($XDG_DATA_HOME), and the data folder in it that serves by default.
    QString dataHome() const { return root() + QStringLiteral("share/"); }
    QString dataDir() const { return dataHome() + QStringLiteral("Quorvane/"); }

    // Writes the settings file whole, as a person might by hand.
    void writeSettings(const QByteArray& text) const;
    QByteArray readSettings() const;
    static QByteArray readFile(const QString& path);
    static void writeFile(const QString& path, const QByteArray& bytes);

private:
    QTemporaryDir m_dir;
    std::optional<QByteArray> m_dataHomeBefore;
};
