#pragma once

#include <QApplication>
#include <exception>
#include <functional>

// The application object of the window programs: no failure escapes an event handler or a timer. What
// escapes is handed to the handler (the error reporter) and the event loop goes on.
class GuardedApplication : public QApplication {
    Q_OBJECT
public:
    GuardedApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;

    using Handler = std::function<void(const std::exception*)>;
    static void setFailureHandler(Handler handler);

private:
    static Handler& handler();
};
