#include "fuzz/FuzzRun.h"

#include "core/File.h"
#include "core/Globals.h"
#include "core/Initialize.h"
#include "core/Items.h"
#include "core/Projects.h"
#include "core/Settings.h"
#include "platform/AppPaths.h"
#include "platform/Clock.h"
#include "platform/IniStore.h"
#include "platform/Launcher.h"
#include "platform/Prompter.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <cstring>
#include <memory>
#include <optional>

namespace fuzzrun {
namespace {

// Boxes are answered with their first button, unseen.
class SilentPrompter final : public Prompter {
public:
    Answer messageBox(const QString&, Buttons buttons, Icon, const QString&) override {
        return buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel ? Yes : OK;
    }
    QString inputBox(const QString&, const QString&, const QString&) override { return {}; }
    std::optional<qint64> chooseColor(qint64) override { return std::nullopt; }
    void beep() override {}
};

// Starts nothing.
class NoLauncher final : public Launcher {
public:
    bool startProgram(const QString&, WindowState) override { return false; }
    bool openUrl(const QString&) override { return false; }
};

// A fixed day, so that a run can be repeated.
class FixedClock final : public Clock {
public:
    QDateTime now() const override { return QDateTime(QDate(2026, 12, 7), QTime(9, 30)); }
};

// The world of one run, and the process's own state back on the way out.
class World {
public:
    World() {
        m_settingsFile = m_dir.path() + QStringLiteral("/config/Quorvane.ini");
        m_program = m_dir.path() + QStringLiteral("/program/");
        QDir().mkpath(m_program + QStringLiteral("cvc"));
        QDir().mkpath(m_dir.path() + QStringLiteral("/config"));
        qputenv("QUORVANE_SETTINGS_FILE", QFile::encodeName(m_settingsFile));
        // A settings file without a data folder of its own keeps to this world too.
        if (qEnvironmentVariableIsSet("XDG_DATA_HOME")) m_dataHome = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir.path() + QStringLiteral("/share")));
        setProgramFolder(m_program);
        setPrompter(&m_prompter);
        gQuitting = false;
        gQuitRequested = false;
    }
    ~World() {
        if (!gQuitting) quitApplication(true);
        setPrompter(nullptr);
        setProgramFolder(QString());
        qunsetenv("QUORVANE_SETTINGS_FILE");
        if (m_dataHome)
            qputenv("XDG_DATA_HOME", *m_dataHome);
        else
            qunsetenv("XDG_DATA_HOME");
        gQuitting = false;
        gQuitRequested = false;
    }
    World(const World&) = delete;
    World& operator=(const World&) = delete;

    QString dataDir() const { return m_program + QStringLiteral("cvc/"); }
    const QString& settingsFile() const { return m_settingsFile; }

private:
    QTemporaryDir m_dir;
    QString m_settingsFile;
    QString m_program;
    std::optional<QByteArray> m_dataHome;
    SilentPrompter m_prompter;
    NoLauncher m_launcher;
    FixedClock m_clock;
    Injectable<Launcher>::Override m_launcherInForce{&m_launcher};
    Injectable<Clock>::Override m_clockInForce{&m_clock};
};

void writeFile(const QString& path, QByteArrayView bytes) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) f.write(bytes.data(), bytes.size());
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// What is written must read back as the same document: writing that again gives the same bytes.
QString checkWritesBack(const QString& name, const QByteArray& written) {
    pugi::xml_document doc;
    const XmlParseError e = File::readXMLText(doc, written);
    if (!e.ok()) return name + QStringLiteral(" does not load again: ") + e.reason;
    if (File::xmlText(doc) != written)
        return name + QStringLiteral(" does not read back as what was written");
    return {};
}

// The work of a day on whatever the store holds: the queries of a redraw, a search, a repetition, a new
// item and a removal.
void useTheStore() {
    const QDate today = appClock().today();
    QStringList ids;
    for (int period = 1; period <= 4; ++period)
        ids += gItems->getMatchingIDs(period, today);
    ids += gItems->getMatchingMeetingIDs(today);
    ids += gItems->getIDsMatchingString(QStringLiteral("a"));
    for (const QString& text : ids) {
        bool ok = false;
        const int id = text.toInt(&ok);
        if (!ok || id < Integer::Min || id > Integer::Max) continue;
        try {
            gItems->Title(id);
            gItems->getStatus(id);
            gItems->Estimate(id);
            gItems->TimeLeft(id);
            gItems->Date_(id);
            gItems->MeetingTime(id);
        } catch (const std::exception&) {
            // A field that does not convert fails for its caller, as it should.
        }
    }
    gItems->meetingTimesOn(today);
    if (!ids.isEmpty() && !ids.first().isEmpty()) {
        const int first = ids.first().toInt();
        if (first >= Integer::Min && first <= Integer::Max) {
            gItems->CloneRepetitiveTask(first);
            gItems->removeItem(first);
        }
    }
    const Integer added = gItems->newItem(QStringLiteral("Meeting"));
    if (added > Integer(0)) gItems->setTitle(QStringLiteral("added & <kept>"), added);
    gProjects->newProject();
}

// The item that an archive run moves to the archive at start-up.
const QByteArray OldItem = "<item><id>7</id><date>20000101</date><title>old one</title></item>";

// The archive after the moves, as reading the whole archive, adding the items and writing it all again
// would give: what it held stays, and the items that moved follow at the end of its root element, the old
// item among them, none that it held already. An archive that cannot be read keeps every item out.
QString checkArchive(const QByteArray& before, const QByteArray& after, const QByteArray& items) {
    pugi::xml_document held;
    const bool readable = File::readXMLText(held, before).ok() && held.document_element();
    if (items.contains("<title>old one</title>") == readable)
        return readable
                   ? QStringLiteral("the old item stayed in the items file")
                   : QStringLiteral("the old item left the items file for an archive that cannot be read");
    if (!readable)
        return after == before ? QString() : QStringLiteral("an archive that cannot be read was written");
    pugi::xml_document now;
    if (!File::readXMLText(now, after).ok())
        return QStringLiteral("the archive does not load after the move");

    // Everything around the root element, and all that was in it, as it was.
    const auto texts = [](const pugi::xml_node& parent, const pugi::xml_node& skip) {
        QList<QByteArray> list;
        for (const pugi::xml_node& child : parent.children())
            list << (child == skip ? QByteArray() : File::xmlText(child));
        return list;
    };
    const pugi::xml_node root = held.document_element();
    const pugi::xml_node grown = now.document_element();
    if (texts(held, root) != texts(now, grown) || std::strcmp(root.name(), grown.name()) != 0)
        return QStringLiteral("the archive changed outside its root element");
    const QList<QByteArray> was = texts(root, {});
    const QList<QByteArray> is = texts(grown, {});
    if (is.mid(0, was.size()) != was) return QStringLiteral("the archive does not hold what it held");
    QSet<QByteArray> heldItems;
    for (const pugi::xml_node& item : root.children("item"))
        heldItems.insert(File::xmlText(item));
    bool oldItem = heldItems.contains(OldItem);
    for (const QByteArray& added : is.mid(was.size())) {
        if (!added.startsWith("<item")) return QStringLiteral("the archive took something that is no item");
        if (heldItems.contains(added)) return QStringLiteral("the archive took an item it held already");
        oldItem = oldItem || added == OldItem;
    }
    return oldItem ? QString() : QStringLiteral("the old item did not reach the archive");
}

QString runProgram(const QString& target, QByteArrayView input) {
    World world;
    writeFile(world.settingsFile(), "[General]\nFirstTime=false\nconfirmExit=0\nDataDirectory=" +
                                        QFile::encodeName(world.dataDir()) + "\n");
    // An archive is only touched when an item moves to it.
    if (target == QStringLiteral("archive")) {
        writeFile(world.dataDir() + QStringLiteral("items.xml"), "<root>\r\n" + Items::TaskTemplate + "\r\n" +
                                                                     Items::MeetingTemplate + "\r\n" +
                                                                     OldItem + "</root>");
    }
    const QString file = target == QStringLiteral("items")      ? QStringLiteral("items.xml")
                         : target == QStringLiteral("projects") ? QStringLiteral("projects.xml")
                         : target == QStringLiteral("archive")  ? QStringLiteral("archive.xml")
                                                                : QStringLiteral("status.ini");
    writeFile(world.dataDir() + file, input);

    // As a real start: the items file is read ahead beside it (for a large one, into memory made ready
    // for the parse), and the store takes that over.
    Items::readAhead();
    Main();
    if (gItems && gProjects && !gQuitting) {
        useTheStore();
        gItems->archiveData();
    }
    quitApplication(true);

    for (const char* name : {"items.xml", "projects.xml", "archive.xml"}) {
        const QString path = world.dataDir() + QLatin1String(name);
        if (!QFile::exists(path)) continue;
        const QByteArray saved = readFile(path);
        if (QLatin1String(name) == file && saved == input) continue; // left as it was, not saved
        // The archive grows without being written anew: what it held stays as it was written.
        if (QLatin1String(name) == file && target == QStringLiteral("archive")) continue;
        const QString fault = checkWritesBack(QLatin1String(name), saved);
        if (!fault.isEmpty()) return fault;
    }
    if (target == QStringLiteral("archive")) {
        const QString fault = checkArchive(input.toByteArray(), readFile(world.dataDir() + file),
                                           readFile(world.dataDir() + QStringLiteral("items.xml")));
        if (!fault.isEmpty()) return fault;
    }
    const QStringList left =
        QDir(world.dataDir()).entryList({QStringLiteral("*.saving-*")}, QDir::Files | QDir::Hidden);
    if (!left.isEmpty()) return QStringLiteral("a save left ") + left.join(QStringLiteral(", "));
    return {};
}

QString runSettings(QByteArrayView input) {
    World world;
    writeFile(world.settingsFile(), input);
    IniStore before(world.settingsFile());
    QList<QPair<QString, QList<QPair<QString, QString>>>> sections;
    for (const char* section :
         {"General", "Period", "Articles", "Colors", "WindowPos", "Settings", "ScoreBoard"})
        sections.append({QLatin1String(section), before.sectionValues(QLatin1String(section))});

    {
        Settings settings; // reads every value, each through its own conversion
        gSettings = &settings;
        File().Path();
        try {
            settings.LastArticleRead();
            settings.LastArticleCreated();
        } catch (const std::exception&) {
            // A number or date that does not read fails for its caller, as it should.
        }
        const QString value = QStringLiteral(" \"quoted\" C:\\dir\\ \t\r\nline ");
        settings.putMySetting(QStringLiteral("FuzzValue"), value, QStringLiteral("General"));
        gSettings = nullptr;

        IniStore after(world.settingsFile());
        if (!before.isReadable()) return {};
        if (after.value(QStringLiteral("General"), QStringLiteral("FuzzValue")) != value)
            return QStringLiteral("a value written to the settings does not read back");
        for (const auto& [section, values] : sections) {
            for (const auto& [name, stored] : values) {
                if (section == QStringLiteral("General") &&
                    name.compare(QStringLiteral("FuzzValue"), Qt::CaseInsensitive) == 0)
                    continue;
                if (after.value(section, name) != stored)
                    return QStringLiteral("writing one value changed %1 in [%2]").arg(name, section);
            }
        }
    }
    return {};
}

} // namespace

bool knownTarget(const QString& target) {
    return QStringList{QStringLiteral("items"), QStringLiteral("projects"), QStringLiteral("archive"),
                       QStringLiteral("status"), QStringLiteral("settings")}
        .contains(target);
}

QString run(const QString& target, QByteArrayView input) {
    if (!knownTarget(target)) return QStringLiteral("no such target: ") + target;
    if (target == QStringLiteral("settings")) return runSettings(input);

    // A file that loads must also write back as a file that loads as the same document.
    if (target != QStringLiteral("status")) {
        pugi::xml_document doc;
        if (File::readXMLText(doc, input.toByteArray()).ok()) {
            const QString fault = checkWritesBack(QStringLiteral("the file as read"), File::xmlText(doc));
            if (!fault.isEmpty()) return fault;
        }
    }
    return runProgram(target, input);
}

} // namespace fuzzrun
