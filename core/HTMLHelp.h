#pragma once

#include "platform/HelpViewer.h"

#include <QObject>
#include <QString>
#include <optional>

// The help object: opens the compiled help file in the help viewer at its contents, a topic, the index,
// the search page or a keyword; shows text popups; registers help files by name in the machine-wide
// registry places so that a file named without its folder can be found; and tells which viewer and page
// component are installed. It reports through its own boxes titled "HTML Help Class" and never raises a
// failure to its caller.
//
// The program itself uses CHMFile, HHDisplayContents and HHClose; the rest makes it a whole wrapper of
// the viewer. Window handles are those of the viewer's windows (0 for none).
class HTMLHelp : public QObject {
    Q_OBJECT
public:
    HTMLHelp() = default;

    // ---- Operations, in the order of the class's interface ----
    // Takes the viewer's jump-to-address command out of the window's system menu.
    void HHDeleteJumpURLSysMenu(qint32 window);
    void HHDisplayTopicURL(qint32 window);
    void HHDisplayTopicID(qint32 window);
    void HHDisplaySearch(qint32 window);
    void HHDisplayKeyword(qint32 window);
    void HHDisplayIndex(qint32 window);
    void HHDisplayContents(qint32 window);
    void HHDisplayALink(qint32 window);
    // Registers a help file, given with its folder, under its bare name.
    void HHRegister(const QString& file);
    void HHUnRegister(const QString& file);
    // Looks the file's bare name up among the registered help files; the outcome is in HHRegFileName,
    // HHRegFilePath and HHRegFileExists.
    void HHCheckRegistry(const QString& file);
    // Closes every help window of this process.
    void HHClose();
    void HHDisplayPopup(qint32 window);
    // Puts the window into context-help mode: the next click on a control shows its help.
    void HHInvokeWhatsThisHelp(qint32 window);
    // Whether the viewer and the page component are at least the versions the two codes name.
    bool HHVerifyMinConfig(qint32 viewerCode, qint32 browserCode);
    // Completes a bare file name (from its registration, else the program folder) and tells whether the
    // file exists; shows a box when it does not.
    bool EnsureFileExists(QString& file);
    // A default file text: 1 the library help file in the program folder, 2 its text file.
    QString HHSetHelpFile(qint32 kind) const;

    // ---- Properties ----
    const QString& HHWindow() const { return m_window; }
    void setHHWindow(const QString& v) { m_window = v; }
    const QString& HHTopicURL() const { return m_topicURL; }
    void setHHTopicURL(const QString& v) { m_topicURL = v; }
    qint32 HHTopicID() const { return m_topicID; }
    void setHHTopicID(qint32 v) { m_topicID = v; }
    const QString& HHMsgTitle() const { return m_msgTitle; }
    void setHHMsgTitle(const QString& v) { m_msgTitle = v; }
    const QString& HHMsgText() const { return m_msgText; }
    void setHHMsgText(const QString& v) { m_msgText = v; }
    const QString& HHKeyword() const { return m_keyword; }
    void setHHKeyword(const QString& v) { m_keyword = v; }
    const QString& HHDefaultURL() const { return m_defaultURL; }
    void setHHDefaultURL(const QString& v) { m_defaultURL = v; }
    const QString& HHALink() const { return m_aLink; }
    void setHHALink(const QString& v) { m_aLink = v; }
    const QString& CHMFile() const { return m_chmFile; }
    void setCHMFile(const QString& v) { m_chmFile = v; }
    bool HHShowOnTop() const { return m_showOnTop; }
    void setHHShowOnTop(bool v) { m_showOnTop = v; }
    const QString& HHRegFileName() const { return m_regFileName; }
    const QString& HHRegFilePath() const { return m_regFilePath; }
    bool HHRegFileExists() const { return m_regFileExists; }
    void setHHPopupFile(const QString& v) { m_popupFile = v; }
    void setHHPopupID(qint32 v) { m_popupID = v; }
    void setHHPopupText(const QString& v) { m_popupText = v; }
    void setHHPopupType(qint32 v) { m_popupType = v; }
    void setHHPopupTextColor(qint32 v) { m_popupTextColor = v; }
    void setHHPopupBackColor(qint32 v) { m_popupBackColor = v; }
    void setHHPopupCustomTextColor(qint32 v) { m_popupCustomTextColor = v; }
    void setHHPopupCustomBackColor(qint32 v) { m_popupCustomBackColor = v; }
    bool HHPopupCustomColors() const { return m_popupCustomColors; }
    void setHHPopupCustomColors(bool v) { m_popupCustomColors = v; }
    void setHHPopupTextFont(const QString& v) { m_popupTextFont = v; }
    void setHHPopupTextSize(const QString& v) { m_popupTextSize = v; }
    void setHHPopupTextBold(bool v) { m_popupTextBold = v; }
    void setHHPopupTextItalic(bool v) { m_popupTextItalic = v; }
    void setHHPopupTextUnderline(bool v) { m_popupTextUnderline = v; }
    // Whether the viewer is installed and the machine-wide places may be changed by this user.
    bool HHInstalled() const;
    const QString& HHVersion();
    const QString& IEVersion();
    const QString& HHFriendlyName();
    const QString& IEFriendlyName();
    // The handle of the window the last display showed; 0, after a box saying so, when none showed.
    qint32 HHWndHandle() const;

Q_SIGNALS:
    // Declared for the viewer's notifications; nothing raises them.
    void OnTrack();
    void OnNavComplete();
    void OnContextMenu();
    void OnHelp();
    void OnWindowCreate();
    void OnTCard();

private:
    friend struct HTMLHelpProbe; // the tests' view of the helpers

    struct RegistryValue {
        bool found = false;
        QString name;
        QString data;
    };

    // The file text a display hands the viewer, after the help-file test and the file's completion;
    // nullopt (after a box) when there is nothing to show.
    std::optional<QByteArray> displayTarget();
    void callViewer(qint32 window, const QByteArray& target, int command, const hh::Data& data);
    void display(qint32 window, int command, const hh::Data& data);
    hh::LinkLookup linkRecord(const QString& keywords) const;
    static QString programResourceString(qint32 id);
    bool ensureFile(QString& file, bool lookUpRegistration);
    void checkRegistry(const QString& file, bool quietAboutRegisteredFile);
    QString registeredPath() const;
    bool isHelpFile(const QString& file) const;
    bool isPopupTextFile(const QString& file) const;
    void showStopBox(const QString& text) const;
    void showWarningBox(const QString& text) const;
    void showInfoBox(const QString& text) const;

    static RegistryValue readRegistryValue(const QString& rootName, const QString& key,
                                           const QString& valueName);
    static QStringList listRegistryKey(const QString& rootName, const QString& key);
    static quint32 rootKeyFromName(const QString& name);
    static QString toLongPath(const QString& path);
    static QString cutAtNull(const QString& text);
    static QString getFileVersionText(const QString& path);
    static int getWindowsVersion();
    // Reads the file version of the component registered under classKey into version; a stop box where it is
    // not registered, or not where it is registered, leaves version as it was.
    void readVersion(const QString& classKey, QString& version, const QString& notRegistered,
                     const QString& notThere);
    void readHHVersion();
    void readIEVersion();
    void nameHHVersion();
    void nameIEVersion();

    QString m_window;
    QString m_topicURL;
    qint32 m_topicID = 0;
    QString m_msgTitle;
    QString m_msgText;
    QString m_keyword;
    QString m_defaultURL;
    QString m_aLink;
    QString m_chmFile;
    bool m_showOnTop = false;
    QString m_regFileName;
    QString m_regFilePath;
    bool m_regFileExists = false;
    QString m_popupFile;
    qint32 m_popupID = 0;
    QString m_popupText;
    qint32 m_popupType = 0;
    qint32 m_popupTextColor = 0;
    qint32 m_popupBackColor = 0;
    qint32 m_popupCustomTextColor = 0;
    qint32 m_popupCustomBackColor = 0;
    bool m_popupCustomColors = false;
    QString m_popupTextFont;
    QString m_popupTextSize;
    bool m_popupTextBold = false;
    bool m_popupTextItalic = false;
    bool m_popupTextUnderline = false;
    QString m_hhVersion;
    QString m_ieVersion;
    QString m_hhFriendlyName;
    QString m_ieFriendlyName;
    qint32 m_wndHandle = 0;
};

// The help object, made on first use.
HTMLHelp* helpObject();

// Opens the program's help file at its contents.
void showHelpTopic();
