#include "core/HTMLHelp.h"

#include "core/Globals.h"
#include "core/Initialize.h"
#include "platform/AppPaths.h"
#include "platform/MachineRegistry.h"
#include "platform/Prompter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

const QString BoxTitle = QStringLiteral("HTML Help Class");

// The registry places of the viewer, its page component and the registered help files.
const QString ViewerTypeLibKey =
    QStringLiteral("SOFTWARE\\Classes\\TypeLib\\{ADB880A2-D8FF-11CF-9377-00AA003B7A11}");
const QString ViewerClassKey =
    QStringLiteral("CLSID\\{4662DAB0-D393-11D0-9A56-00C04FB68B66}\\InprocServer32");
const QString BrowserClassKey =
    QStringLiteral("CLSID\\{0A89A860-D7B1-11CE-8350-444553540000}\\InProcServer32");
const QString HelpFilesKey = QStringLiteral("Software\\Microsoft\\Windows\\HTML Help");

// Version names of the viewer and of the page component.
struct VersionName {
    const char* version;
    const char* name;
};
constexpr VersionName ViewerNames[] = {
    {"4.72.7290.00", "1.0"},
    {"4.72.7323.00", "1.1"},
    {"4.72.7325.00", "1.1a"},
    {"4.72.8164.00", "1.1b"},
    {"4.73.8252.00", "1.2"},
    {"4.73.8412.00", "1.21"},
    {"4.73.8474.00", "1.21a"},
    {"4.73.8561.00", "1.22"},
    {"4.74.8566.00", "1.3 Windows 2000 Beta"},
    {"4.74.8637.00", "1.3 IE 5.5 Platform Preview Beta"},
    {"4.74.8702.00", "1.3"},
};
constexpr VersionName BrowserNames[] = {
    {"4.70.1155.0000", "3.0"},
    {"4.70.1158.0000", "3.0 OSR2"},
    {"4.70.1215.0000", "3.02"},
    {"4.70.1300.0000", "3.02"},
    {"4.71.1008.3000", "4.0 PP2"},
    {"4.71.1712.5000", "4.0"},
    {"4.72.2106.7000", "4.01"},
    {"4.72.3110.0300", "4.0 SP1"},
    {"4.72.3612.1707", "4.0 SP2"},
    {"5.00.0518.5000", "5.0 beta 1"},
    {"5.00.0910.1308", "5.0 beta 2"},
    {"5.00.2014.2130", "5.0"},
    {"5.00.2314.1000", "5.0a (Office 2000)"},
    {"5.00.2614.3500", "5.0b (Windows 98 SE)"},
    {"5.00.2717.2000", "5.0c (Icon Security Issue Update)"},
    {"5.00.2721.1400", "5.0d (ImportExport Favorites Issue Update)"},
    {"5.00.2919.800", "5.x (Windows 2000 RC1, build 5.00.2072)"},
    {"5.00.2919.3800", "5.x (Windows 2000 RC2, build 5.00.2128)"},
    {"5.00.2919.6307", "5.01"},
    {"5.50.3825.1300", "5.5 Platform Preview"},
};

// The least versions the minimum-configuration codes stand for: viewer codes from 16, page component
// codes from 256.
constexpr const char* ViewerMinimums[] = {"4.72.7290", "4.72.7323", "4.72.7325", "4.72.8164.0",
                                          "4.73.8252", "4.73.8412", "4.73.8474", "4.73.8561",
                                          "4.74.8566", "4.74.8637", "4.74.8702"};
constexpr const char* BrowserMinimums[] = {
    "4.70.1155",      "4.70.1158",     "4.70.1215",      "4.70.1300",      "4.71.1008.3",
    "4.71.1712.5",    "4.72.2106.7",   "4.72.3110.03",   "4.72.3612.1707", "5.00.0518.5",
    "5.00.0910.1308", "5.00.2014.213", "5.00.2314.1000", "5.00.2614.3500", "5.0.2717.2000",
    "5.00.2721.1400", "5.00.2919.800", "5.00.2919.3800"};
constexpr qint32 FirstViewerCode = 16;
constexpr qint32 FirstBrowserCode = 256;

constexpr int JumpUrlCommand = 61439;
constexpr int ContextHelpCommand = 61824;

template <std::size_t N> QString nameOf(const VersionName (&table)[N], const QString& version) {
    for (const VersionName& row : table)
        if (version.compare(QLatin1String(row.version), Qt::CaseInsensitive) == 0)
            return QString::fromLatin1(row.name);
    return QStringLiteral("unknown");
}

// The text after the last folder separator.
QString bareName(const QString& file) {
    QString name = file;
    while (name.contains(u'/'))
        name = name.mid(name.indexOf(u'/') + 1);
    return name;
}

QByteArray eightBit(const QString& text) {
    return text.toLocal8Bit();
}

} // namespace

HTMLHelp* helpObject() {
    if (!gHTMLHelp) gHTMLHelp = new HTMLHelp;
    return gHTMLHelp;
}

void showHelpTopic() {
    // The help object lives until quit, which closes and releases it.
    HTMLHelp* help = helpObject();
    help->setCHMFile(gHelpFile);
    help->HHDisplayContents(0);
}

// ---- Boxes ----

void HTMLHelp::showStopBox(const QString& text) const {
    prompter().messageBox(text, Prompter::Buttons::OK, Prompter::Icon::Critical, BoxTitle);
}

void HTMLHelp::showWarningBox(const QString& text) const {
    prompter().messageBox(text, Prompter::Buttons::OK, Prompter::Icon::Exclamation, BoxTitle);
}

void HTMLHelp::showInfoBox(const QString& text) const {
    prompter().messageBox(text, Prompter::Buttons::OK, Prompter::Icon::Information, BoxTitle);
}

// ---- Files ----

bool HTMLHelp::isHelpFile(const QString& file) const {
    if (file.right(3).compare(QStringLiteral("chm"), Qt::CaseInsensitive) == 0) return true;
    showWarningBox(file + QStringLiteral(" is not a valid HTML Help file."));
    return false;
}

bool HTMLHelp::isPopupTextFile(const QString& file) const {
    if (file.right(3).compare(QStringLiteral("txt"), Qt::CaseInsensitive) == 0) return true;
    showWarningBox(QStringLiteral("The file specified as the text popup source, '") + file +
                   QStringLiteral("', is not a valid popup file."));
    return false;
}

bool HTMLHelp::EnsureFileExists(QString& file) {
    return ensureFile(file, true);
}

bool HTMLHelp::ensureFile(QString& file, bool lookUpRegistration) {
    if (!file.contains(u'/')) {
        QString completed = programFolder() + file;
        if (lookUpRegistration) {
            // A registration wins only while its file is there (a stale one falls back to the program
            // folder), and only the one just found for this name: the check leaves an earlier one
            // standing when it has nothing to look up.
            checkRegistry(file, true);
            if (m_regFileExists && !file.isEmpty() && m_regFileName.compare(file, Qt::CaseInsensitive) == 0)
                completed = registeredPath();
        }
        file = completed;
    }
    // Only a file counts, as a search for files finds them: not a folder of that name.
    if (QFileInfo(file).isFile()) return true;
    showWarningBox(QStringLiteral("The file ") + file + QStringLiteral(" does not exist.") + QChar(10) +
                   QStringLiteral("Please make sure the correct path and file name have been specified."));
    return false;
}

QString HTMLHelp::HHSetHelpFile(qint32 kind) const {
    switch (kind) {
    case 1:
        return programFolder() + QStringLiteral("Library.chm");
    case 2:
        return QStringLiteral("Library.txt");
    default:
        return {};
    }
}

// ---- Display ----

std::optional<QByteArray> HTMLHelp::displayTarget() {
    if (!isHelpFile(m_chmFile)) return std::nullopt;
    if (!EnsureFileExists(m_chmFile)) return std::nullopt;
    const QString target =
        m_window.trimmed().isEmpty() ? m_chmFile : m_chmFile + QStringLiteral(">") + m_window;
    return QFile::encodeName(target);
}

void HTMLHelp::callViewer(qint32 window, const QByteArray& target, int command, const hh::Data& data) {
    const qint32 owner = m_showOnTop ? window : 0;
    try {
        m_wndHandle = helpViewer().htmlHelp(owner, target, command, data);
    } catch (const std::exception&) {
        m_wndHandle = 0; // a viewer that fails shows no window
    }
}

void HTMLHelp::display(qint32 window, int command, const hh::Data& data) {
    if (const auto target = displayTarget()) callViewer(window, *target, command, data);
}

void HTMLHelp::HHDisplayTopicURL(qint32 window) {
    display(window, hh::DisplayTopic, eightBit(m_topicURL));
}

void HTMLHelp::HHDisplayTopicID(qint32 window) {
    display(window, hh::HelpContext, qint64(m_topicID));
}

void HTMLHelp::HHDisplaySearch(qint32 window) {
    display(window, hh::DisplaySearch, hh::SearchQuery{});
}

hh::LinkLookup HTMLHelp::linkRecord(const QString& keywords) const {
    hh::LinkLookup record;
    record.keywords = eightBit(keywords);
    record.url = eightBit(m_defaultURL);
    record.msgText = eightBit(m_msgText);
    record.msgTitle = eightBit(m_msgTitle);
    return record;
}

void HTMLHelp::HHDisplayKeyword(qint32 window) {
    const auto target = displayTarget();
    if (!target) return;
    callViewer(window, *target, hh::DisplayTopic, std::monostate());
    callViewer(window, *target, hh::KeywordLookup, linkRecord(m_keyword));
}

void HTMLHelp::HHDisplayIndex(qint32 window) {
    display(window, hh::DisplayIndex, qint64(0));
}

void HTMLHelp::HHDisplayContents(qint32 window) {
    display(window, hh::DisplayToc, qint64(0));
}

void HTMLHelp::HHDisplayALink(qint32 window) {
    display(window, hh::ALinkLookup, linkRecord(m_aLink));
}

void HTMLHelp::HHClose() {
    try {
        helpViewer().htmlHelp(0, QByteArray(), hh::CloseAll, qint64(0));
    } catch (const std::exception&) {
    }
}

QString HTMLHelp::programResourceString(qint32) {
    return {}; // the program carries no string table of its own
}

void HTMLHelp::HHDisplayPopup(qint32 window) {
    if (m_popupType == 0) return;
    if (m_popupType == 1 && (!isHelpFile(m_chmFile) || !EnsureFileExists(m_chmFile))) return;

    hh::Popup record;
    record.pt = helpViewer().cursorPosition();
    record.margins = QRect(QPoint(-1, -1), QPoint(-1, -1));
    record.textColor = m_popupCustomColors ? m_popupCustomTextColor : m_popupTextColor;
    record.backColor = m_popupCustomColors ? m_popupCustomBackColor : m_popupBackColor;
    if (m_popupTextFont.isEmpty()) m_popupTextFont = QStringLiteral("Arial");
    if (m_popupTextSize.isEmpty()) m_popupTextSize = QStringLiteral("10");
    QString font = m_popupTextFont + QStringLiteral(", ") + m_popupTextSize + QStringLiteral(", ascii, ");
    if (m_popupTextBold) font += QStringLiteral("Bold ");
    if (m_popupTextItalic) font += QStringLiteral("Italic ");
    if (m_popupTextUnderline) font += QStringLiteral("Underline");
    record.font = eightBit(font);

    switch (m_popupType) {
    case 2:
        record.text = eightBit(programResourceString(m_popupID));
        break;
    case 4:
        if (m_popupText.isEmpty()) return;
        record.text = eightBit(m_popupText);
        break;
    default:
        record.idString = static_cast<quint32>(m_popupID);
    }

    QByteArray file;
    if (m_popupType == 1) {
        if (!isPopupTextFile(m_popupFile)) return;
        file = QFile::encodeName(m_chmFile + QStringLiteral("::/") + m_popupFile);
    } else if (m_popupType != 2 && m_popupType != 4) {
        return;
    }
    try {
        helpViewer().htmlHelp(window, file, hh::DisplayTextPopup, record);
    } catch (const std::exception&) {
    }
    // Each popup has its own style: the next one starts from the defaults again.
    m_popupTextColor = m_popupBackColor = m_popupCustomTextColor = m_popupCustomBackColor = 0;
    m_popupTextFont = QStringLiteral("Arial");
    m_popupTextSize = QStringLiteral("10");
    m_popupTextBold = m_popupTextItalic = m_popupTextUnderline = false;
}

void HTMLHelp::HHDeleteJumpURLSysMenu(qint32 window) {
    try {
        helpViewer().deleteSystemMenuCommand(window, JumpUrlCommand);
    } catch (const std::exception&) {
    }
}

void HTMLHelp::HHInvokeWhatsThisHelp(qint32 window) {
    try {
        helpViewer().sendSystemCommand(window, ContextHelpCommand);
    } catch (const std::exception&) {
    }
}

qint32 HTMLHelp::HHWndHandle() const {
    if (m_wndHandle == 0) showWarningBox(QStringLiteral("No HTML Help window handle to retrieve."));
    return m_wndHandle;
}

// ---- The registry ----

quint32 HTMLHelp::rootKeyFromName(const QString& name) {
    const QString n = name.toUpper();
    if (n == QStringLiteral("HKCU")) return MachineRegistry::CurrentUser;
    if (n == QStringLiteral("HKLM")) return MachineRegistry::LocalMachine;
    if (n == QStringLiteral("HKU")) return MachineRegistry::Users;
    if (n == QStringLiteral("HKDD")) return MachineRegistry::DynData;
    if (n == QStringLiteral("HKCC")) return MachineRegistry::CurrentConfig;
    if (n == QStringLiteral("HKCR")) return MachineRegistry::ClassesRoot;
    return !name.isEmpty() && QFileInfo(name).isFile() ? 1 : 0;
}

HTMLHelp::RegistryValue HTMLHelp::readRegistryValue(const QString& rootName, const QString& key,
                                                    const QString& valueName) {
    // Only a string (plain or expandable) is a value here.
    const auto v = MachineRegistry().value(rootKeyFromName(rootName), key, valueName);
    if (!v || v->type == MachineRegistry::Type::DWord) return {};
    return {true, v->name, v->data};
}

QStringList HTMLHelp::listRegistryKey(const QString& rootName, const QString& key) {
    const quint32 root = rootKeyFromName(rootName);
    const MachineRegistry registry;
    if (!registry.canOpen(root, key, MachineRegistry::Query)) return {QStringLiteral("Error")};
    QStringList out;
    for (const QString& sub : registry.subkeys(root, key))
        out.append(sub + QStringLiteral("=") + readRegistryValue(rootName, key + u'\\' + sub, {}).data);
    return out;
}

// The registered file by its full path; a registration without a folder names a file in the program folder.
QString HTMLHelp::registeredPath() const {
    if (m_regFilePath.isEmpty()) return programFolder() + m_regFileName;
    return withTrailingSlash(m_regFilePath) + m_regFileName;
}

void HTMLHelp::HHCheckRegistry(const QString& file) {
    checkRegistry(file, false);
}

void HTMLHelp::checkRegistry(const QString& file, bool quietAboutRegisteredFile) {
    if (file.isEmpty()) return;
    m_regFileExists = false;
    if (!isHelpFile(file)) return;
    const RegistryValue value = readRegistryValue(QStringLiteral("HKLM"), HelpFilesKey, bareName(file));
    if (!value.found) {
        m_regFileName.clear();
        m_regFilePath.clear();
        return;
    }
    m_regFileName = value.name;
    m_regFilePath = cutAtNull(value.data);
    // The registered file is checked here once, without a second look in the registry.
    QString registered = registeredPath();
    if (quietAboutRegisteredFile)
        m_regFileExists = QFileInfo(registered).isFile();
    else
        m_regFileExists = ensureFile(registered, false);
}

void HTMLHelp::HHRegister(const QString& given) {
    if (given.isEmpty()) return;
    if (!isHelpFile(given)) return;
    HHCheckRegistry(given);
    if (!m_regFileName.isEmpty()) {
        showInfoBox(QStringLiteral("The file ") + given + QStringLiteral(" is already registered.  ") +
                    QStringLiteral("HHRegister will not be run as no action need be taken."));
        return;
    }
    QString file = given;
    if (!isHelpFile(file) || !EnsureFileExists(file)) return;
    if (!file.contains(u'/')) {
        showWarningBox(QStringLiteral("Cannot register ") + file +
                       QStringLiteral(" without having a supplied path.") + QChar(u'"'));
        return;
    }
    const QString name = file.mid(file.lastIndexOf(u'/') + 1);
    const QString folder = file.left(file.size() - name.size());
    MachineRegistry registry;
    if (!registry.canCreate(MachineRegistry::LocalMachine, HelpFilesKey)) {
        showWarningBox(QStringLiteral("HTML Help Class: HHRegister Error"));
        return;
    }
    if (!registry.setString(MachineRegistry::LocalMachine, HelpFilesKey, name, folder)) HHCheckRegistry(name);
}

void HTMLHelp::HHUnRegister(const QString& file) {
    if (file.isEmpty()) return;
    if (!isHelpFile(file)) return;
    HHCheckRegistry(file);
    if (m_regFileName.isEmpty()) {
        showInfoBox(QStringLiteral("The file ") + file + QStringLiteral(" is not registered.  ") +
                    QStringLiteral("HHUnRegister will not be run as no action need be taken."));
        return;
    }
    const QString name = bareName(file);
    MachineRegistry().deleteValue(MachineRegistry::LocalMachine, HelpFilesKey, name);
    HHCheckRegistry(name);
}

// ---- Installation and versions ----

bool HTMLHelp::HHInstalled() const {
    return MachineRegistry().canOpen(MachineRegistry::LocalMachine, ViewerTypeLibKey,
                                     MachineRegistry::AllAccess);
}

QString HTMLHelp::cutAtNull(const QString& text) {
    const qsizetype nul = text.indexOf(QChar(0));
    return nul < 0 ? text : text.left(nul);
}

int HTMLHelp::getWindowsVersion() {
    return 0; // no version of that platform family runs here: unknown
}

QString HTMLHelp::toLongPath(const QString& path) {
    if (!path.contains(u'~')) return path;
    // No short names exist here: rebuild the path from what a search of each folder finds, which leaves
    // every part that is there as it is.
    const QStringList parts = path.split(u'/');
    QString out = parts.front();
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const QString& part = parts[i];
        const QStringList found = part.isEmpty()
                                      ? QStringList()
                                      : QDir(out.isEmpty() ? QStringLiteral("/") : out).entryList({part});
        out += u'/' + (found.isEmpty() ? part : found.front());
    }
    return out;
}

QString HTMLHelp::getFileVersionText(const QString& path) {
    // A library carries its version in its file name: libname.so.1.0.0 is version 1.0.0.0.
    static const QRegularExpression versioned(QStringLiteral(R"(\.so((?:\.\d+)+)$)"));
    const QRegularExpressionMatch m = versioned.match(QFileInfo(path).fileName());
    if (!m.hasMatch()) return {};
    const QStringList parts = m.captured(1).mid(1).split(u'.');
    quint16 word[4] = {0, 0, 0, 0};
    for (qsizetype i = 0; i < parts.size() && i < 4; ++i)
        word[i] = static_cast<quint16>(parts[i].toULongLong());
    const auto c = static_cast<qint16>(word[2]);
    QString text =
        QString::number(word[0]) + u'.' + QStringLiteral("%1").arg(word[1], 2, 10, QLatin1Char('0')) + u'.';
    if (c < 1)
        text += QStringLiteral("%1").arg(word[3], 4, 10, QLatin1Char('0'));
    else
        text += QStringLiteral("%1.%2").arg(c, 2, 10, QLatin1Char('0')).arg(word[3], 2, 10, QLatin1Char('0'));
    return text;
}

void HTMLHelp::readVersion(const QString& classKey, QString& version, const QString& notRegistered,
                           const QString& notThere) {
    const RegistryValue value = readRegistryValue(QStringLiteral("HKCR"), classKey, QString());
    const QString registered = cutAtNull(value.data);
    if (!value.found || registered.isEmpty()) {
        showStopBox(notRegistered);
        return;
    }
    const QString path = toLongPath(registered);
    if (QFileInfo::exists(path))
        version = getFileVersionText(path);
    else
        showStopBox(notThere);
}

void HTMLHelp::readHHVersion() {
    readVersion(ViewerClassKey, m_hhVersion,
                QStringLiteral("Hhctrl.ocx is not registered.  ") +
                    QStringLiteral("Please install HTML Help."),
                QStringLiteral("Hhctrl.ocx is not in its registered location.  ") +
                    QStringLiteral("Please reinstall HTML Help."));
}

void HTMLHelp::readIEVersion() {
    readVersion(BrowserClassKey, m_ieVersion,
                QStringLiteral("Shdocvw.dll is not registered.  ") +
                    QStringLiteral("Please install Internet Explorer."),
                QStringLiteral("Internet Explorer is not in its registered location.  ") +
                    QStringLiteral("Please reinstall Internet Explorer."));
}

void HTMLHelp::nameHHVersion() {
    if (m_hhVersion.isEmpty()) readHHVersion();
    m_hhFriendlyName = nameOf(ViewerNames, m_hhVersion);
}

void HTMLHelp::nameIEVersion() {
    if (m_ieVersion.isEmpty()) readIEVersion();
    m_ieFriendlyName = nameOf(BrowserNames, m_ieVersion);
}

const QString& HTMLHelp::HHVersion() {
    readHHVersion();
    return m_hhVersion;
}

const QString& HTMLHelp::IEVersion() {
    readIEVersion();
    return m_ieVersion;
}

const QString& HTMLHelp::HHFriendlyName() {
    nameHHVersion();
    return m_hhFriendlyName;
}

const QString& HTMLHelp::IEFriendlyName() {
    nameIEVersion();
    return m_ieFriendlyName;
}

bool HTMLHelp::HHVerifyMinConfig(qint32 viewerCode, qint32 browserCode) {
    readHHVersion();
    readIEVersion();
    bool viewerPasses = false;
    const qint32 viewerRow = viewerCode - FirstViewerCode;
    if (viewerRow >= 0 && viewerRow < qint32(std::size(ViewerMinimums)))
        viewerPasses =
            m_hhVersion.compare(QLatin1String(ViewerMinimums[viewerRow]), Qt::CaseInsensitive) >= 0;
    else
        m_hhVersion = QStringLiteral("unknown");
    bool browserPasses = false;
    const qint32 browserRow = browserCode - FirstBrowserCode;
    if (browserRow >= 0 && browserRow < qint32(std::size(BrowserMinimums)))
        browserPasses =
            m_ieVersion.compare(QLatin1String(BrowserMinimums[browserRow]), Qt::CaseInsensitive) >= 0;
    else
        m_ieVersion = QStringLiteral("unknown");
    nameHHVersion();
    nameIEVersion();
    return viewerPasses && browserPasses;
}
