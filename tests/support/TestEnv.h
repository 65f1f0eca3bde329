#pragma once

#include "QtPrinters.h"

#include <QString>
#include <QTemporaryDir>

// A test's own world: a fresh settings file and program folder (so the data folder too) in a
// temporary directory, dropped with the test. Restores the process-wide state on the way out.
class TestEnv {
public:
    TestEnv();
    ~TestEnv();
    TestEnv(const TestEnv&) = delete;
    TestEnv& operator=(const TestEnv&) = delete;

    QString root() const { return m_dir.path() + QStringLiteral("/"); }
    QString settingsFile() const { return root() + QStringLiteral("config/Quorvane/Quorvane.ini"); }
    QString programDir() const { return root() + QStringLiteral("program/"); }
    QString dataDir() const { return programDir() + QStringLiteral("cvc/"); }

    // Writes the settings file whole, as a person might by hand.
    void writeSettings(const QByteArray& text) const;
    QByteArray readSettings() const;
    static QByteArray readFile(const QString& path);
    static void writeFile(const QString& path, const QByteArray& bytes);

private:
    QTemporaryDir m_dir;
};
