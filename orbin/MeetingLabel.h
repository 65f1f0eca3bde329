#pragma once

#include <QLabel>
#include <QStringList>

class QTime;

// A meeting on the orbin's rim. Its caption is "hh:mm - title" on one line when that fits its box, else
// the time stands above the title. A title too long for the box is cut with an ellipsis, and the label
// then shows the whole title as its tool tip. The label is as large as its text, so that labels near each
// other can stand close without covering one another.
class MeetingLabel : public QLabel {
    Q_OBJECT
public:
    explicit MeetingLabel(QWidget* parent = nullptr);

    // Writes the meeting into the label; boxWidth (pixels) is the widest the text may run.
    void setMeeting(const QTime& time, const QString& title, int boxWidth);
    // The size the text takes, margins included.
    QSize textSize() const { return m_textSize; }
    QSize sizeHint() const override { return m_textSize; }

    // Space left and right of the text, in pixels.
    static constexpr int Margin = 2;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QStringList m_lines;
    QSize m_textSize;
};
