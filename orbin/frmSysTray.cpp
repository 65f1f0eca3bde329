#include "orbin/frmSysTray.h"

#include "core/Initialize.h"
#include "core/Tray.h"
#include "dialogs/ItemOpeners.h"
#include "orbin/OrbinPicture.h"
#include "orbin/frmAbout.h"
#include "platform/FormPort.h"

#include <QAction>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

namespace {

QPointer<frmSysTray>& sharedSlot() {
    static QPointer<frmSysTray> slot;
    return slot;
}

QPixmap drawn(OrbinPicture::Kind kind) {
    OrbinPicture picture(kind, QString(), nullptr);
    picture.resize(64, 64);
    return picture.grab();
}

QLabel* pictureBox(const char* name, const QPixmap& picture, QWidget* parent) {
    auto* box = new QLabel(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setPixmap(picture);
    box->hide();
    return box;
}

} // namespace

frmSysTray* frmSysTray::instance() {
    QPointer<frmSysTray>& slot = sharedSlot();
    if (!slot || slot->isUnloaded()) slot = new frmSysTray();
    return slot.data();
}

frmSysTray* frmSysTray::existing() {
    QPointer<frmSysTray>& slot = sharedSlot();
    return slot && !slot->isUnloaded() ? slot.data() : nullptr;
}

bool frmSysTray::loadWhenTrayAvailable() {
    if (!QSystemTrayIcon::isSystemTrayAvailable()) return false;
    instance()->watchTray();
    return true;
}

frmSysTray::frmSysTray() : FormWidget(QStringLiteral("frmSysTray")) {
    setWindowTitle(QStringLiteral("frmSysTray"));
    m_Flash1 = pictureBox("Flash1", drawn(OrbinPicture::Kind::Orbin), this);
    m_Flash2 = pictureBox("Flash2", drawn(OrbinPicture::Kind::Smiley), this);
    m_picIcon = pictureBox("picIcon", QPixmap(), this);
    m_Picture1 = pictureBox("Picture1", QPixmap(), this);
    m_Command1 = new QPushButton(QStringLiteral("Restore"), this);
    m_Command1->setObjectName(QStringLiteral("Command1"));
    connect(m_Command1, &QPushButton::clicked, this, &frmSysTray::restoreOrbin);

    m_mPopupMenu = new QMenu(QStringLiteral("&PopupMenu"), this);
    m_mPopupMenu->setObjectName(QStringLiteral("mPopupMenu"));
    auto add = [this](const char* name, const QString& caption, auto&& slot) {
        QAction* a = m_mPopupMenu->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    auto separator = [this](const char* name) {
        m_mPopupMenu->addSeparator()->setObjectName(QString::fromLatin1(name));
    };
    // The About box is one: an open one comes forward.
    m_mAbout = add("mAbout", QStringLiteral("&About"), [] { frmAbout::bringUp(); });
    separator("mSep1");
    m_mRestore = add("mRestore", QStringLiteral("&Restore"), [this] { restoreOrbin(); });
    separator("mSep2");
    add("mNewTask", QStringLiteral("&New Task"), [] { openNewTask(); });
    add("mNewMeeting", QStringLiteral("New M&eeting"), [] { openNewMeeting(); });
    separator("mSep3");
    add("mExit", QStringLiteral("&Exit"), [this] { mExit_Click(); });
    // A right click on the icon opens the menu with Restore on.
    connect(m_mPopupMenu, &QMenu::aboutToShow, this, [this] { m_mRestore->setEnabled(true); });

    m_icon = new QSystemTrayIcon(this);
    m_icon->setContextMenu(m_mPopupMenu);
    connect(m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        icon_Activated(reason, QGuiApplication::mouseButtons().testFlag(Qt::LeftButton));
    });
    Form_Load();
}

void frmSysTray::Form_Load() {
    setWindowIcon(m_Flash1->pixmap());
    const QString name = QCoreApplication::applicationName();
    setTooltip(name);
    m_mAbout->setText(QStringLiteral("About ") + name);
    notifyTray(Notify::Add);
}

void frmSysTray::formUnload() {
    if (m_trayWatch) m_trayWatch->stop();
    notifyTray(Notify::Delete);
}

void frmSysTray::notifyTray(Notify message) {
    if (message == Notify::Delete) {
        m_icon->hide();
        return;
    }
    m_icon->setIcon(windowIcon());
    // The tray reads the field up to its NUL, and never more than 63 characters of it.
    const qsizetype end = m_szTip.indexOf(QChar(0));
    m_icon->setToolTip(m_szTip.left(std::min<qsizetype>(end < 0 ? TipLength : end, TipLength - 1)));
    if (message == Notify::Add) m_icon->show();
}

void frmSysTray::setTooltip(const QString& text) {
    m_szTip = (text + QChar(0)).left(TipLength).leftJustified(TipLength, QChar(0));
}

void frmSysTray::setInterval(int value) {
    (void)value;
    notifyTray(Notify::Modify);
}

void frmSysTray::setTrayIcon(const QVariant& value) {
    QPixmap picture;
    if (value.canConvert<QObject*>()) {
        QObject* object = value.value<QObject*>();
        if (auto* box = qobject_cast<QLabel*>(object))
            picture = box->pixmap();
        else if (auto* widget = qobject_cast<QWidget*>(object))
            picture = widget->windowIcon().pixmap(64);
    } else if (value.typeId() == QMetaType::QString) {
        const QString text = value.toString();
        picture = text.compare(QStringLiteral("DEFAULT"), Qt::CaseInsensitive) == 0 ? m_Flash2->pixmap()
                                                                                    : QPixmap(text);
    } else if (value.canConvert<QPixmap>()) {
        picture = value.value<QPixmap>();
    } else if (value.canConvert<QImage>()) {
        picture = QPixmap::fromImage(value.value<QImage>());
    } else if (value.canConvert<QIcon>()) {
        picture = value.value<QIcon>().pixmap(64);
    }
    if (picture.isNull()) return;
    setWindowIcon(picture);
    notifyTray(Notify::Modify);
}

void frmSysTray::mExit_Click() {
    quitApplication(false);
}

void frmSysTray::MeQueryUnload(QWidget* form, int& cancel, int unloadMode) {
    if (unloadMode != 0) return;
    cancel = 1;
    form->setWindowState(form->windowState() | Qt::WindowMinimized);
    form->hide();
}

void frmSysTray::MeResize(QWidget* form) {
    const Qt::WindowStates state = form->windowState();
    if (state.testFlag(Qt::WindowMinimized))
        form->hide();
    else
        m_windowState = state.testFlag(Qt::WindowMaximized) ? 2 : 0;
}

void frmSysTray::icon_Activated(QSystemTrayIcon::ActivationReason reason, bool pressedHere) {
    if (reason == QSystemTrayIcon::DoubleClick || (reason == QSystemTrayIcon::Trigger && !pressedHere))
        restoreOrbin();
}

void frmSysTray::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        restoreOrbin();
        return;
    }
    FormWidget::keyPressEvent(event);
}

void frmSysTray::restoreOrbin() {
    minimizeToTray(true);
}

void frmSysTray::watchTray() {
    if (m_trayWatch) return;
    m_trayWatch = new QTimer(this);
    m_trayWatch->setInterval(2000);
    connect(m_trayWatch, &QTimer::timeout, this, [this] {
        if (!QSystemTrayIcon::isSystemTrayAvailable()) restoreOrbin();
    });
    m_trayWatch->start();
}
