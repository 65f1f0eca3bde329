#include "orbin/MessageBoard.h"

#include "core/ErrorReport.h"
#include "core/File.h"
#include "core/Globals.h"

#include <QLabel>
#include <QTimer>
#include <QWidget>

MessageBoard::MessageBoard(QLabel* board, QList<QWidget*> strip, QTimer* timShowTime)
    : m_board(board), m_strip(std::move(strip)), m_timShowTime(timShowTime) {
    m_timShowTime->setInterval(ShowTimeMs);
    QObject::connect(m_timShowTime, &QTimer::timeout, m_board, [this] { hideMessage(); });
    // Running from the start: its first tick hides the empty board.
    m_timShowTime->start();
}

void MessageBoard::showMessage(const QString& text) {
    // A failure leaves the board as far as it got, without a word.
    ignoringFailures([&] {
        for (QWidget* w : m_strip)
            w->hide();
        m_board->show();
        m_board->raise();
        m_board->setText(text);
        m_timShowTime->start(ShowTimeMs);
        if (gFile) gFile->writeToLog(QStringLiteral("Message: ") + text);
    });
}

void MessageBoard::hideMessage() {
    ignoringFailures([&] {
        for (QWidget* w : m_strip)
            w->show();
        m_board->hide();
        m_board->setText(QString());
        m_timShowTime->stop();
    });
}
