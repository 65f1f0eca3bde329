#pragma once

#include "core/OrbinWindow.h"
#include "orbin/OrbinPicture.h"
#include "platform/Integer.h"
#include "platform/gui/FormWidget.h"

#include <QDate>
#include <QList>
#include <QSet>
#include <QTime>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class HiddenKeys;
class MeetingLabel;
class MessageBoard;
class OrbinTimers;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QAction;
class QPushButton;
class QTimer;

// The orbin: the program's main window. A borderless window whose round face is a picture drawn by the
// program, with the top strip of buttons, the period buttons, the date, sixteen task slots and the day's
// meetings round the rim like the hours of a clock. Shrunk, only the top strip shows. The window itself is
// frmFloater.cpp; the placing of its controls, what its face shows, its mouse and its search each have a
// file of their own (frmFloaterControls, frmFloaterFace, frmFloaterMouse, frmFloaterSearch).
class frmFloater : public FormWidget, public OrbinWindow {
    Q_OBJECT
public:
    // Heights in twips: the window counts as shrunk exactly when it is ShrunkHeight high.
    static constexpr double ShrunkHeight = 315;
    static constexpr double ExpandedHeight = 6330;
    static constexpr double DesignWidth = 7185;
    static constexpr double DesignHeight = 6300;
    static constexpr int SlotCount = 16;
    // Slot colours: the system colour of an active caption, and grey.
    static constexpr qint64 OpenTaskColor = 0x80000002LL;
    static constexpr qint64 GreyColor = 0x808080LL;
    // The clock face of the meeting labels, in twips: the ellipse and its centre.
    static constexpr double MeetingEllipseWidth = 5935;
    static constexpr double MeetingEllipseHeight = 5100;
    static constexpr double MeetingCentreX = 2982; // 5935 / 2 + 15, rounded half to even
    static constexpr double MeetingCentreY = 3300;
    static constexpr double Pi = 3.14159265;
    // The box a meeting's text may fill (the template's size), and the top of the area the labels stand
    // in: below the period buttons and their marks.
    static constexpr double MeetingBoxWidth = 1230;
    static constexpr double MeetingBoxHeight = 450;
    static constexpr double MeetingTopLimit = 630;
    // The web page of the link label.
    static const QString WebAddress;
    // What a slot shows for a task whose title is empty.
    static const QString NoTitle;

    explicit frmFloater(QWidget* parent = nullptr);
    ~frmFloater() override;

    // The core's port.
    FormPort* form() override { return isUnloaded() ? nullptr : this; }
    void updateInfo() override;
    void shrinkFloater() override;
    void expandFloater() override;
    void showWindow() override;
    void hideWindow() override { hide(); }
    bool isWindowVisible() const override { return isVisible(); }
    void controlsChanged() override;
    void holdRedraws(bool hold) override;
    void afterFirstPaint(std::function<void()> work) override;

    // The clocks, the message board, the reminders and the quit question.
    void timCheckPeriod_Timer() override;
    void TaskCountdown_Timer();
    void timTaskMinutesBlink_Timer() {}
    void timTimeOut_Timer();
    void showMessage(const QString& text) override;
    void hideMessage();
    bool confirmQuit();
    void showReminder(const QString& text);
    void butTimeout_Click();
    // The keys no menu shows (a character code: 12 Ctrl+L, 19 Ctrl+S, 27 Esc).
    void Form_KeyPress(int code);
    OrbinTimers* timers() const { return m_timers; }
    HiddenKeys* hiddenKeys() const { return m_keys; }

    // Task slots.
    void clearTodoText();
    // Writes one task into slot 1 to 16; False (and nothing written) for any other slot.
    bool putTodoText(const QString& title, int slot, int id, qint64 colour);
    // A click on slot 1 to 16: opens the edit-task dialog on its task, or offers the day's article. With
    // more tasks in the period than slots, the last slot counts the others and lists them.
    void txtTodo_Click(int slot);

    // Meeting labels round the rim.
    void removeAllMeetingsFromTheorbin();
    void addMeetingToTheOrbin(int id, const QTime& time, const QString& title, bool done);
    // The meeting labels made at run time (the template, member 0, is not among them).
    QList<QLabel*> meetingLabels() const { return m_lblMeeting.mid(1); }
    // How many places the last layout of the meeting labels tried for them: the measure of its work.
    qint64 meetingPlacesTried() const { return m_meetingPlacesTried; }

    bool isShrunk() const;
    // The date label: the day it shows (today while it shows none).
    void setShownDate(const QDate& date);
    QDate shownDate() const;

    QMenu* mnuPopUp() const { return m_mnuPopUp; }
    // Opens the popup menu at the pointer.
    void showPopupMenu();
    // True while a press and release on the handle waits out the double-click interval before the menu.
    bool menuPending() const;

    // Handlers of the window's controls (also the way tests and other parts of the program drive them).
    void imgArrowUp_Click();
    void imgClose_Click();
    void butClose_Click();
    void butStart_Click();
    void btnNew_Click();
    void cmdShowCalendar_Click();
    void Morning_Click(int index);
    void btnEndperiod_Click();
    void butReturnToPeriodInPlay_Click();
    void lblMeeting_Click(int index);
    void lblMessageBoard_Click();
    void Label1_Click();

    // The search: the box over the top strip and the list of hits beside the orbin.
    void btnSearch_Click();
    // Lists the items whose title holds the box's text; runs on every change of it.
    void txtSearch_Change();
    // A click in the box takes the prompt away.
    void txtSearch_Click();
    void imgCloseSearch_Click();
    static const QString SearchPrompt;

protected:
    void formUnload() override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildControls();
    void buildMenu();
    void Form_Load();
    void setHeightTwips(double height);
    void markSelectedPeriod();
    void lblDate_Change();
    void setTodayCaption();
    void redrawNow();
    void makeSearchBox();
    // Pixels between the search box's frame and its close cross; the space a line edit leaves either side
    // of its text inside its frame.
    static constexpr int CrossGap = 3, LineEditPadding = 2;
    static void addSearchHit(QListWidget* list, Integer id);
    void putMoreText(const QList<Integer>& tasks, qint64 colour);
    void showMoreTasks();
    OrbinPicture* placePicture(OrbinPicture::Kind kind, const char* name, QWidget* parent, double left,
                               double top, double width, double height);
    void firstPainted();
    static constexpr int AfterPaintLongestWait = 1000; // ms
    // Fills the slots and the rim from the store; redrawNow then lays out the meeting labels. (Not named
    // redraw: that would take the place of the form's redraw, the repaint a drag asks for on every move.)
    void drawFace();
    struct PendingMeeting {
        int id;
        QTime time;
        QString title;
        bool done;
    };
    MeetingLabel* makeMeetingLabel(const PendingMeeting& meeting);
    void layoutMeetingLabels();

    // A mouse event on one of the controls the window watches.
    bool controlMouseEvent(QObject* watched, QMouseEvent* event);
    // Dragging by the handle; x and y are twips inside the handle.
    void imgDragArrow_MouseDown(Qt::MouseButton button, double x, double y);
    void imgDragArrow_MouseMove(Qt::MouseButtons buttons, double x, double y);
    void imgDragArrow_MouseUp();
    void imgDragArrow_DblClick();
    void dragWithCompanions(double x, double y, bool reset);

    void startProgram(const QString& fileName, bool maximized);
    void mnuReadArticle_Click(int index);

    QLabel* m_txtTodo[SlotCount] = {};
    // The task of each slot (none in an emptied slot), and the tasks the slots have no room for.
    std::optional<int> m_slotItem[SlotCount];
    QList<Integer> m_moreTasks;
    QList<QLabel*> m_lblMeeting;
    QList<QFrame*> m_shaCurrentPeriod;
    QList<QPushButton*> m_morning;
    OrbinPicture* m_imgDragArrow = nullptr;
    OrbinPicture* m_imgArrowUp = nullptr;
    OrbinPicture* m_imgClose = nullptr;
    OrbinPicture* m_imgOrbin = nullptr;
    OrbinPicture* m_picSmiley = nullptr;
    QPushButton* m_btnNew = nullptr;
    QPushButton* m_butStart = nullptr;
    QPushButton* m_btnSearch = nullptr;
    QPushButton* m_cmdShowCalendar = nullptr;
    QPushButton* m_btnEndperiod = nullptr;
    QPushButton* m_butReturnToPeriodInPlay = nullptr;
    QPushButton* m_butClose = nullptr;
    QPushButton* m_butTimeout = nullptr;
    QLineEdit* m_txtSearch = nullptr;
    OrbinPicture* m_imgCloseSearch = nullptr;
    QFrame* m_fraCloseSearch = nullptr;
    QFrame* m_fraTimeOut = nullptr;
    QLabel* m_lblStats = nullptr;
    QLabel* m_lblDate = nullptr;
    QLabel* m_lblMessageBoard = nullptr;
    QLabel* m_Label1 = nullptr;
    QLabel* m_txtTaskMinutes = nullptr;
    QLabel* m_txtMinLeftOfPeriod = nullptr;
    QTimer* m_timShowTime = nullptr;
    QTimer* m_timCheckPeriod = nullptr;
    OrbinTimers* m_timers = nullptr;
    std::unique_ptr<MessageBoard> m_board;
    HiddenKeys* m_keys = nullptr;
    QTimer* m_TaskCountdown = nullptr;
    QTimer* m_timTaskMinutesBlink = nullptr;
    QTimer* m_timTimeOut = nullptr;
    QLabel* m_lblTimeOut = nullptr;
    QMenu* m_mnuPopUp = nullptr;
    QMenu* m_mnuNew = nullptr;
    QMenu* m_mnuArticles = nullptr;

    // A press and release on the handle opens the menu only once a double click can no longer follow.
    QTimer* m_menuDelay = nullptr;
    QObject* m_pressedOn = nullptr;
    bool m_dragMoved = false;
    bool m_swallowRelease = false;
    bool m_systemMove = false;
    // Meetings already logged as unreadable (id and stored time), so the log says it once.
    QSet<QString> m_unreadableMeetings;
    QSet<QString> m_unreadableIds; // ids already logged as unreadable
    bool m_redrawsHeld = false;
    bool m_meetingsHeld = false; // while a redraw adds the day's meetings
    // The meetings a redraw added, waiting for the layout to make their labels.
    QList<PendingMeeting> m_pendingMeetings;
    qint64 m_meetingPlacesTried = 0;
    bool m_redrawPending = false;
    // Work waiting for the first drawing of the window, and what runs it.
    bool m_painted = false;
    std::vector<std::function<void()>> m_afterPaint;
    QTimer* m_afterPaintTimer = nullptr;
};
