#pragma once

#include "platform/gui/FormWidget.h"

#include <QSystemTrayIcon>
#include <QVariant>

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QTimer;

// The tray icon of the program while the orbin sits in the tray. The form itself is never shown: loading
// it puts the icon up, unloading takes it down. A double click on the icon, or Restore in its menu, brings
// the orbin back; the menu also offers the About box, a new task, a new meeting and Exit.
class frmSysTray : public FormWidget {
    Q_OBJECT
public:
    // The tooltip field: the text, a NUL and padding, 64 characters in all; the tray shows at most 63.
    static constexpr int TipLength = 64;

    // The one tray form, loaded (with its icon) on first use; asking again while it is loaded loads
    // nothing anew.
    static frmSysTray* instance();
    // The tray form while it is loaded, else nullptr.
    static frmSysTray* existing();
    // Loads the tray form when the desktop has a tray. False, and nothing loaded, when it has none.
    static bool loadWhenTrayAvailable();

    QString Tooltip() const { return m_szTip; }
    void setTooltip(const QString& text);
    // Refreshes the icon; the value is not kept.
    int Interval() const { return 0; }
    void setInterval(int value);
    // A picture (QPixmap, QImage, QIcon), a picture box or other widget (its picture or window icon),
    // "DEFAULT" in any letter case (the default picture) or a picture file's path. One that gives no
    // picture leaves the icon as it was.
    void setTrayIcon(const QVariant& value);

    void mExit_Click();
    // For a form that goes to the tray instead of closing: a close from its frame (unloadMode 0) is
    // cancelled and the form is minimised and hidden.
    void MeQueryUnload(QWidget* form, int& cancel, int unloadMode);
    // A minimised form hides; the normal (0) or maximised (2) state is remembered.
    void MeResize(QWidget* form);
    int rememberedWindowState() const { return m_windowState; }

    QSystemTrayIcon* trayIcon() const { return m_icon; }
    QMenu* mPopupMenu() const { return m_mPopupMenu; }
    // What the tray reports of the icon. A double click brings the orbin back, and so does a click that the
    // tray reports without a press of our own (a tray that never reports a double click); a click
    // beginning with a press on an icon the program draws itself waits for the double click.
    void icon_Activated(QSystemTrayIcon::ActivationReason reason, bool pressedHere);

protected:
    void formUnload() override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    frmSysTray();
    void Form_Load();
    enum class Notify { Add, Modify, Delete };
    void notifyTray(Notify message);
    void restoreOrbin();
    // While in the tray: when the tray goes away, the orbin comes back rather than stay out of reach.
    void watchTray();

    QLabel* m_Flash1 = nullptr;
    QLabel* m_Flash2 = nullptr;
    QLabel* m_picIcon = nullptr;
    QLabel* m_Picture1 = nullptr;
    QPushButton* m_Command1 = nullptr;
    QMenu* m_mPopupMenu = nullptr;
    QAction* m_mAbout = nullptr;
    QAction* m_mRestore = nullptr;
    QSystemTrayIcon* m_icon = nullptr;
    QTimer* m_trayWatch = nullptr;
    QString m_szTip = QString(TipLength, QChar(0));
    int m_windowState = 0;
};
