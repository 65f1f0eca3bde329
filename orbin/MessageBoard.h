#pragma once

#include <QList>
#include <QString>

class QLabel;
class QTimer;
class QWidget;

// The orbin's message board: a label over the top strip that stands in for its buttons for five seconds
// (or until it is clicked), and a line in the log for every message.
class MessageBoard {
public:
    // strip: the buttons the board covers (butStart, btnNew, btnSearch); timShowTime hides the board.
    MessageBoard(QLabel* board, QList<QWidget*> strip, QTimer* timShowTime);

    // Shows text on the board; a second message while one shows replaces it.
    void showMessage(const QString& text);
    void hideMessage();

    static constexpr int ShowTimeMs = 5000;

private:
    QLabel* m_board;
    QList<QWidget*> m_strip;
    QTimer* m_timShowTime;
};
