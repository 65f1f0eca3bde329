#pragma once

#include "platform/Integer.h"
#include "platform/gui/FormWidget.h"

#include <QRectF>

class DayChoiceBox;
class QLineEdit;

// What the new-meeting and edit-meeting dialogs share: "Title" and its box, the first objective in its
// frame, the day frame with the day list and the date box, the writing of title, objective and time, and
// the focus in the title when the dialog shows. Controls are placed by their design places in twips; Esc
// closes the dialog without storing anything.
class MeetingForm : public FormWidget {
    Q_OBJECT
public:
    // Where a dialog has the shared controls (twips; the objective box and the day's list and date box
    // inside their frames).
    struct Places {
        QRectF titleLabel;
        Qt::Alignment titleAlignment;
        QRectF titleBox;
        QRectF objectiveFrame;
        QRectF objectiveBox;
        QRectF dayFrame;
        QRectF dayList;
        QRectF dateBox;
    };

    // The handlers, as the controls call them.
    virtual void txtMeetingTitle_Change() = 0;
    void cmbDate_Click(const QString& text);

protected:
    // dayClickLocation is the location text of a failure in cmbDate_Click.
    MeetingForm(const QString& name, const QString& caption, double width, double height,
                const QString& dayClickLocation, QWidget* parent);

    // "Title", its box and the objective frame, the first controls of the dialog.
    void buildTitle(const Places& at);
    // The day frame "Frame3".
    void buildDay(const Places& at);

    // Writes the title, the first objective and the time to the item.
    void storeTexts(Integer id, const QString& time) const;
    // Writes the items file and lets the orbin show the change.
    static void writeItems();
    // Shows the dialog active, the focus in the title.
    void showForTitle();

    // The title suffix of the meeting dialogs' error reports.
    static inline const QString LowerError = QStringLiteral(" error");

    QLineEdit* m_txtMeetingTitle = nullptr;
    QLineEdit* m_txtObjective1 = nullptr;
    DayChoiceBox* m_day = nullptr;

private:
    QString m_dayClickLocation;
};
