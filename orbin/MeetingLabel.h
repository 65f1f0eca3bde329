#pragma once

#include <QLabel>

// A meeting on the orbin's rim. Its caption is "hh:mm - title"; when it does not fit on one line it breaks
// after the dash, so the time stands above the title instead of the title being cut at a hyphen.
class MeetingLabel : public QLabel {
    Q_OBJECT
public:
    explicit MeetingLabel(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};
