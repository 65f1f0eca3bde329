// The main of the tour and of every article reader: each is built with its own content (QV_CHAIN names
// the content folder inside its resources) and shows that chain of pages until the last page is gone.
#include "pagechain/PageChain.h"
#include "platform/Launcher.h"
#include "platform/gui/GuardedApplication.h"
#include "platform/gui/QtPrompter.h"

#ifndef QV_CHAIN
#error "QV_CHAIN names the content of the program"
#endif

int main(int argc, char** argv) {
    GuardedApplication app(argc, argv);
    GuardedApplication::setQuitOnLastWindowClosed(false);
    static QtPrompter boxes;
    setPrompter(&boxes);
    // A failure in a page's handler is told and ends the program.
    GuardedApplication::setFailureHandler([](const std::exception* e) {
        prompter().messageBox(e ? QString::fromUtf8(e->what()) : QStringLiteral("Unknown failure"),
                              Prompter::Buttons::OK, Prompter::Icon::Critical,
                              QCoreApplication::applicationName());
        QCoreApplication::exit(1);
    });

    ChainSpec spec;
    try {
        spec = loadChain(QStringLiteral(":/" QV_CHAIN "/pages.xml"));
    } catch (const std::exception& e) {
        prompter().messageBox(QString::fromUtf8(e.what()), Prompter::Buttons::OK, Prompter::Icon::Critical,
                              QCoreApplication::applicationName());
        return 1;
    }
    PageChain chain(std::move(spec));
    chain.setMaximized(qgetenv(Launcher::WindowStateVariable) == "maximized");
    QObject::connect(&chain, &PageChain::ended, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    chain.start();
    const int code = GuardedApplication::exec();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return code;
}
