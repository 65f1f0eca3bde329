#pragma once

#include "platform/IniStore.h"
#include "platform/Integer.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <optional>

class FormPort;

// Every user setting of the program, read once when the object is made, and the only code that talks to
// the settings store. Also carries the error-handling switch and the start-up gate.
class Settings {
public:
    // Reads every setting from the store at path (the user's store file unless given).
    explicit Settings(const QString& storePath = IniStore::defaultPath());

    bool bErrorHandling() const { return m_bErrorHandling; }
    void setBErrorHandling(bool v) { m_bErrorHandling = v; }
    Integer iPeriodLength() const { return m_iPeriodLength; }
    void setIPeriodLength(Integer v) { m_iPeriodLength = v; }
    Integer iDisplayLength() const { return m_iDisplayLength; }
    void setIDisplayLength(Integer v) { m_iDisplayLength = v; }
    const QString& HostName() const { return m_hostName; }
    void setHostName(const QString& v) { m_hostName = v; }

    // The colour table: entries in bounds hold a decimal colour number or ""; outside the bounds reads
    // give "" and writes do nothing.
    QString Color(int index) const;
    void setColor(int index, const QString& value);
    int colorLowerBound() const { return 0; }
    int colorUpperBound() const { return static_cast<int>(m_colors.size()) - 1; }

    // The folder of the data files, ending in "/". Worked out from the setting DataDirectory once, by
    // dataDirectory, the one place that says where the data lies.
    const QString& sDataDir() const { return m_sDataDir; }
    // The data folder for a stored DataDirectory ("" when none): a relative folder lies in the program
    // folder; without one it is the desktop's data folder (a program's own folder is read-only once
    // installed, and a build folder is wiped by a clean build), except that a store in "cvc/" beside the
    // program stays in use while the desktop's folder holds none.
    static QString dataDirectoryFor(const QString& setting);
    bool bBossKey() const { return m_bBossKey; }
    void setBBossKey(bool v) { m_bBossKey = v; }
    Integer iSaveInterval() const { return m_iSaveInterval; }
    void setISaveInterval(Integer v) { m_iSaveInterval = v; }
    bool onTop() const { return m_onTop; }
    void setOnTop(bool v) { m_onTop = v; }
    Integer MeetingReminderMinutes() const { return m_meetingReminderMinutes; }
    void setMeetingReminderMinutes(Integer v) { m_meetingReminderMinutes = v; }

    QString ArticlePath() const; // program folder & "Articles/"
    QString ArticleTaskText() const { return QStringLiteral("Read QVN article"); }
    Integer LastArticleRead() const;
    void setLastArticleRead(Integer v);
    Integer MaxNumberOfArticles() const { return Integer(10); }
    QDate LastArticleCreated() const;
    void setLastArticleCreated(const QDate& d);

    const QString& StartTimePeriod2() const { return m_startTimePeriod2; }
    void setStartTimePeriod2(const QString& v) { m_startTimePeriod2 = v; }
    const QString& StartTimePeriod3() const { return m_startTimePeriod3; }
    void setStartTimePeriod3(const QString& v) { m_startTimePeriod3 = v; }
    const QString& StartTimePeriod4() const { return m_startTimePeriod4; }
    void setStartTimePeriod4(const QString& v) { m_startTimePeriod4 = v; }
    bool confirmExit() const { return m_confirmExit; }
    void setConfirmExit(bool v) { m_confirmExit = v; }
    bool stopApplication() const { return m_stopApplication; }
    void setStopApplication(bool v) { m_stopApplication = v; }

    // The stored text of key in section, or def unchanged when there is none. With a minimum, a result
    // below it becomes the minimum (as a number). With the switch on, a failure (a stored text that is
    // not a number where a minimum is given) gives the Boolean False.
    QVariant getMySetting(const QString& key, const QString& section, const QVariant& def = QString(),
                          std::optional<double> minimum = std::nullopt) const;
    // Writes one value; False after removeMySettings, for an empty key, or when the write fails.
    bool putMySetting(const QString& key, const QString& value, const QString& section);
    // Deletes the whole store; from then on this process writes nothing to it.
    void removeMySettings();
    bool settingsRemoved() const { return m_settingsRemoved; }
    // The settings file, and whether it could be read (an unreadable one is left as it is).
    const QString& storePath() const { return m_store.path(); }
    bool storeReadable() const { return m_store.isReadable(); }
    // Whether a value could not be written to the store in this run.
    bool storeWriteFailed() const { return m_storeWriteFailed; }

    bool positionForm(FormPort* form, bool restorePosition, bool restoreSize);
    bool saveFormPosition(FormPort* form, bool savePosition, bool saveSize);
    bool saveColors();
    bool setColors(FormPort* form, qint64 oldColour, int index);

    // The data folder that the store names (ending in "/"), through dataDirectoryFor: for the settings and
    // for what must know it before they are made (the lock of the running copy).
    static QString dataDirectory(const IniStore& store);

    // The built-in colour numbers of entries 0 to 8.
    static const QStringList& defaultColors();
    // The built-in start time of period 2, 3 or 4 ("11:00", "14:00", "18:00").
    static QString defaultStartTime(int period);

private:
    void setVariables();
    bool loadColors();

    IniStore m_store;
    bool m_bErrorHandling = false;
    Integer m_iPeriodLength;
    Integer m_iDisplayLength;
    bool m_settingsRemoved = false;
    bool m_storeWriteFailed = false;
    QString m_hostName;
    QStringList m_colors;
    QString m_sDataDir;
    bool m_bBossKey = false;
    Integer m_iSaveInterval;
    bool m_onTop = false;
    Integer m_meetingReminderMinutes;
    QString m_startTimePeriod2;
    QString m_startTimePeriod3;
    QString m_startTimePeriod4;
    bool m_confirmExit = false;
    bool m_stopApplication = false;
};
