#include "tests/support/TestEnv.h"

#include "core/Initialize.h"
#include "platform/AppPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

TestEnv::TestEnv() {
    EXPECT_TRUE(m_dir.isValid());
    QDir().mkpath(programDir());
    qputenv("QUORVANE_SETTINGS_FILE", settingsFile().toUtf8());
    if (qEnvironmentVariableIsSet("XDG_DATA_HOME")) m_dataHomeBefore = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", dataHome().toUtf8());
    setProgramFolder(programDir());
    gQuitting = false;
    gQuitRequested = false;
}

TestEnv::~TestEnv() {
    qunsetenv("QUORVANE_SETTINGS_FILE");
    if (m_dataHomeBefore)
        qputenv("XDG_DATA_HOME", *m_dataHomeBefore);
    else
        qunsetenv("XDG_DATA_HOME");
    setProgramFolder(QString());
    gQuitting = false;
    gQuitRequested = false;
}

void TestEnv::writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray TestEnv::readFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

void TestEnv::writeSettings(const QByteArray& text) const {
    writeFile(settingsFile(), text);
}

QByteArray TestEnv::readSettings() const {
    return readFile(settingsFile());
}
