#include "orbin/frmAbout.h"

#include "core/ErrorReport.h"
#include "core/Globals.h"
#include "core/OrbinWindow.h"
#include "orbin/OrbinDuties.h"
#include "orbin/OrbinPicture.h"
#include "platform/Launcher.h"
#include "platform/MachineRegistry.h"
#include "platform/NumberText.h"
#include "platform/Prompter.h"
#include "platform/Twips.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QStandardPaths>
#include <QVersionNumber>

const QString frmAbout::UnavailableText = QStringLiteral("System Information Is Unavailable At This Time");

namespace {

// Where the system-information program is named.
const QString ProgramKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString ProgramValue = QStringLiteral("PATH");
const QString FolderKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");
const QString FolderValue = QStringLiteral("MSINFO");
const QString ProgramInFolder = QStringLiteral("/MSINFO32.EXE");

// The longest text value that fits the reading buffer of 1024 characters with its end mark.
constexpr qsizetype MaxTextValue = 1023;

// The desktop's own program that shows what the computer is and how it is doing, found on the search path;
// those of the desktop in use come first.
QString desktopSystemInfoProgram() {
    struct Program {
        const char* desktop;
        const char* name;
    };
    static const Program programs[] = {
        {"KDE", "kinfocenter"},
        {"KDE", "plasma-systemmonitor"},
        {"KDE", "ksysguard"},
        {"GNOME", "gnome-system-monitor"},
        {"MATE", "mate-system-monitor"},
        {"XFCE", "xfce4-taskmanager"},
        {"LXQT", "qps"},
        {"LXDE", "lxtask"},
    };
    const QString current = qEnvironmentVariable("XDG_CURRENT_DESKTOP").toUpper();
    for (const bool own : {true, false})
        for (const Program& p : programs) {
            if (own != current.contains(QLatin1String(p.desktop))) continue;
            const QString found = QStandardPaths::findExecutable(QString::fromLatin1(p.name));
            if (!found.isEmpty()) return found;
        }
    return QString();
}

} // namespace

frmAbout::frmAbout(QWidget* parent) : FormWidget(QStringLiteral("frmAbout"), parent, Qt::Dialog) {
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(twips::toPixels(5730), twips::toPixels(3270));

    auto* icon = new OrbinPicture(OrbinPicture::Kind::Orbin, QStringLiteral("picIcon"), this);
    placeTwips(icon, 240, 240, 720, 720);
    icon->setAttribute(Qt::WA_TransparentForMouseEvents);

    auto label = [&](const char* name, double l, double t, double w, double h) {
        auto* lab = new QLabel(this);
        lab->setObjectName(QString::fromLatin1(name));
        lab->setTextFormat(Qt::PlainText);
        lab->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        lab->setWordWrap(true);
        placeTwips(lab, l, t, w, h);
        return lab;
    };
    m_lblTitle = label("lblTitle", 1200, 210, 4290, 480);
    QFont big = m_lblTitle->font();
    big.setPixelSize(20);
    big.setBold(true);
    m_lblTitle->setFont(big);
    m_lblVersion = label("lblVersion", 1200, 750, 4290, 285);
    m_lblVersion->setText(QStringLiteral("Version"));
    label("lblDescription", 1200, 1080, 4290, 540);
    QLabel* disclaimer = label("lblDisclaimer", 240, 1860, 3660, 1170);
    disclaimer->setText(QStringLiteral("Quorvane is yours to use as it is, without a warranty of any kind. "
                                       "Your plans stay on this computer."));
    QPalette grey = disclaimer->palette();
    grey.setColor(QPalette::WindowText, QColor(0x60, 0x60, 0x60));
    disclaimer->setPalette(grey);

    // The etched line between the title and the notice: a dark line over a light one.
    const QColor lineColours[] = {QColor(0x80, 0x80, 0x80), QColor(0xff, 0xff, 0xff)};
    for (int i = 0; i < 2; ++i) {
        auto* line = new QFrame(this);
        line->setObjectName(QStringLiteral("Line1"));
        line->setProperty("Index", i);
        line->setAutoFillBackground(true);
        QPalette p = line->palette();
        p.setColor(QPalette::Window, lineColours[i]);
        line->setPalette(p);
        placeTwips(line, 240, 1695 + 15 * i, 5250, 15);
    }

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    placeTwips(ok, 4140, 1905, 1350, 375);
    auto* sysInfo = new QPushButton(QStringLiteral("&System Info..."), this);
    sysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    placeTwips(sysInfo, 4140, 2415, 1350, 375);
    connect(ok, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(sysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);

    Form_Load();
}

frmAbout* frmAbout::instance() {
    static QPointer<frmAbout> form;
    // Owned by the orbin, so that it comes up over it and not hidden behind it.
    return sharedForm(form, orbinduties::companionOwner);
}

void frmAbout::bringUp() {
    frmAbout* about = instance();
    about->show();
    about->raise();
    about->activateWindow();
}

void frmAbout::Form_Load() {
    const QString title = QCoreApplication::applicationName();
    setWindowTitle(QStringLiteral("About ") + title);
    const QVersionNumber v = QVersionNumber::fromString(QCoreApplication::applicationVersion());
    m_lblVersion->setText(
        QStringLiteral("Version %1.%2.%3").arg(v.majorVersion()).arg(v.minorVersion()).arg(v.microVersion()));
    m_lblTitle->setText(title);
}

void frmAbout::cmdOK_Click() {
    unloadForm();
}

void frmAbout::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        unloadForm();
        return;
    }
    FormWidget::keyPressEvent(event);
}

bool frmAbout::GetKeyValue(RootKey root, const QString& keyName, const QString& valueName, QString& value) {
    std::optional<MachineRegistry::Value> read;
    if (root == RootKey::LocalMachine)
        read = MachineRegistry().value(MachineRegistry::LocalMachine, keyName, valueName);
    if (!read || (read->type != MachineRegistry::Type::DWord && read->data.size() > MaxTextValue)) {
        value.clear();
        return false;
    }
    switch (read->type) {
    case MachineRegistry::Type::String:
        value = read->data;
        break;
    case MachineRegistry::Type::DWord: {
        // Its bytes from the highest to the lowest, two hexadecimal digits each, read as an "&h" number.
        const QString digits = QStringLiteral("%1").arg(read->data.toUInt(), 8, 16, QLatin1Char('0'));
        value = numtext::doubleText(numtext::toDouble(QStringLiteral("&h") + digits));
        break;
    }
    case MachineRegistry::Type::ExpandString:
        break; // a kind of value this box does not read: the value stays as it was
    }
    return true;
}

void frmAbout::StartSysInfo() {
    bool started = false;
    try {
        QString path;
        QString value;
        if (GetKeyValue(RootKey::LocalMachine, ProgramKey, ProgramValue, value) && !value.isEmpty()) {
            path = value;
        } else if (GetKeyValue(RootKey::LocalMachine, FolderKey, FolderValue, value) && !value.isEmpty() &&
                   QFileInfo::exists(value + ProgramInFolder)) {
            path = value + ProgramInFolder;
        } else {
            // The settings name no such program: the desktop's own, where it has one.
            path = desktopSystemInfoProgram();
        }
        started = !path.isEmpty() && launcher().startProgram(path, Launcher::WindowState::Normal);
    } catch (const std::exception&) {
        started = false;
    }
    if (started) return;
    ignoringFailures([] {
        if (gOrbinWindow) gOrbinWindow->shrinkFloater();
    });
    prompter().messageBox(UnavailableText, Prompter::Buttons::OK, Prompter::Icon::None,
                          QCoreApplication::applicationName());
}
