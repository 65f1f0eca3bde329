#pragma once

#include "platform/gui/FormWidget.h"

#include <QDate>
#include <optional>

class DayChoiceBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;

// What the new-task and edit-task dialogs share: the title box, the note box, the day frame, the repeat
// buttons, the stored form of a note, and Esc, which closes the dialog without storing anything.
// Controls are placed by their design places in twips.
class TaskForm : public FormWidget {
    Q_OBJECT
public:
    // The note as the item store keeps it: every backslash doubled, every line break a backslash and "n".
    static QString escapeNote(const QString& note);
    // A stored note read back in one pass from left to right: backslash and "n" is a line break, two
    // backslashes are one, and any other backslash stays as it is. Gives back exactly what escapeNote took.
    static QString unescapeNote(const QString& stored);

    // Keeps the window with this handle above all others, or lets it go, without moving or sizing it.
    void MakeTopMost(quintptr hWnd);
    void MakeNormal(quintptr hWnd);

    QLineEdit* txtTaskTitle() const { return m_txtTaskTitle; }
    QPlainTextEdit* txtTaskBody() const { return m_txtTaskBody; }

protected:
    TaskForm(const QString& name, const QString& caption, double widthTwips, QWidget* parent);

    // "Task:" and the title box along the top.
    void buildTitle();
    void buildNote(double top, double height);
    // The day frame: the day choice above the date box; a day chosen goes into the date box.
    void buildDay(const char* frameName, double left, double top, double width);
    // The repeat frame: its four buttons in two columns, or in one row when the frame is wide enough.
    void buildRepeat(const char* frameName, double left, double top, double width, double height);
    QRadioButton* radio(QWidget* parent, const char* name, const QString& caption, double left, double top,
                        double width);
    QLabel* hiddenLabel(const char* name, const QString& text);

    // The day in the date box. A text that is no date raises 13 "Type mismatch".
    QDate dateInField() const;
    // The day to store: that of the date box, or none while the box keeps a stored day it could not
    // show. A text that is no date raises 13 "Type mismatch".
    std::optional<QDate> dayToStore() const;

    // The repeat code of the repeat buttons: "", "D", "W" or "M"; and the button for a code.
    QString repeatCode() const;
    void setRepeatCode(const QString& code);

    // Sets the window's outer height (twips), title bar and borders included; its width stays.
    void setHeightTwips(double outerHeight);

    QLineEdit* m_txtTaskTitle = nullptr;
    QPlainTextEdit* m_txtTaskBody = nullptr;
    QGroupBox* m_fraDate = nullptr;
    DayChoiceBox* m_day = nullptr;
    QGroupBox* m_fraRepeat = nullptr;
    QRadioButton* m_radOnceOnly = nullptr;
    QRadioButton* m_radEveryDay = nullptr;
    QRadioButton* m_radEveryWeek = nullptr;
    QRadioButton* m_radEveryMonth = nullptr;
    QLabel* m_txtID = nullptr;

private:
    double m_widthTwips;
};
