#include "core/Initialize.h"

#include "core/ErrorReport.h"
#include "core/File.h"
#include "core/Game.h"
#include "core/Globals.h"
#include "core/HTMLHelp.h"
#include "core/HotKey.h"
#include "core/Items.h"
#include "core/OrbinWindow.h"
#include "core/Projects.h"
#include "core/Settings.h"
#include "core/Statistics.h"
#include "core/WindowShell.h"
#include "core/XML.h"
#include "platform/AppPaths.h"
#include "platform/AtomicFile.h"
#include "platform/Clock.h"
#include "platform/FormPort.h"
#include "platform/Launcher.h"
#include "platform/NumberText.h"
#include "platform/Prompter.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QThread>

bool gQuitting = false;
bool gQuitRequested = false;
bool gStartingUp = false;
QString gHelpFile;

namespace {

const QString MainLocation = QStringLiteral(" Initialize.Main: ");

// A failure start-up cannot go on from: reported as Main's, and the program quits.
void reportAndQuit(const std::exception& e) {
    reportError(asFailure(&e), MainLocation, QStringLiteral(" Error"));
    quitApplication(true);
}

void startProgramIgnoringFailures(const QString& path, Launcher::WindowState state) {
    try {
        launcher().startProgram(path, state);
    } catch (const std::exception&) {
    }
}

// Clears away what saves left when the program was ended in the middle of one.
void removeSaveLeftovers() {
    for (const QString& path : {Items::itemsPath(), Projects::filePath(), XML::archivePath(),
                                Game::statusFilePath(), gSettings->storePath()}) {
        atomicfile::removeLeftovers(path);
    }
}

// Whether the store holds an item of day titled title: the article task made already. The settings keep
// the day of the last one, but a settings file that cannot be written keeps nothing.
bool articleTaskMadeOn(const QDate& day, const QString& title) {
    for (const QString& id : gItems->getIDsMatchingString(title)) {
        bool ok = false;
        const int n = id.toInt(&ok);
        if (!ok || n < 1 || n > Integer::Max) continue;
        if (gItems->Date_(n) == day && gItems->Title(n) == title) return true;
    }
    return false;
}

} // namespace

void createObjects() {
    try {
        gSettings = new Settings();
        gFile = new File();
        gXML = new XML();
        gItems = new Items();
        gProjects = new Projects();
        gGame = new Game();
        gStatistics = new Statistics();
        gHotKey = new HotKey();
        gHelpFile = programFolder() + QStringLiteral("qvn_OnlineHelp.chm");
    } catch (const std::exception& e) {
        reportAndQuit(e);
        throw; // start-up goes no further
    }
}

void releaseObjects() {
    delete gHotKey;
    gHotKey = nullptr;
    delete gStatistics;
    gStatistics = nullptr;
    delete gGame;
    gGame = nullptr;
    delete gProjects;
    gProjects = nullptr;
    delete gItems;
    gItems = nullptr;
    delete gXML;
    gXML = nullptr;
    delete gSettings;
    gSettings = nullptr;
    delete gFile;
    gFile = nullptr;
    helpObject()->HHClose();
    delete gHTMLHelp;
    gHTMLHelp = nullptr;
}

void Main() {
    bool armed = true;
    gStartingUp = true;
    struct StartUpEnds {
        ~StartUpEnds() { gStartingUp = false; }
    } startUpEnds;
    // A quit asked for from outside while a box of start-up was up runs here, between the steps, once
    // start-up's own work is back in a whole state.
    auto endedFromOutside = [] {
        if (gQuitting) return true;
        if (!gQuitRequested) return false;
        quitApplication(true);
        return true;
    };
    try {
        try {
            createObjects();
        } catch (const std::exception&) {
            return; // already reported, and the program has quit
        }
        if (endedFromOutside()) return;
        armed = gSettings->bErrorHandling();
        ignoringFailures(removeSaveLeftovers);
        if (!gSettings->storeReadable()) {
            prompter().messageBox(
                QStringLiteral("The settings file %1 could not be read.\r\nQuorvane starts with "
                               "its built-in settings and leaves that file as it is.")
                    .arg(gSettings->storePath()),
                Prompter::Buttons::OK, Prompter::Icon::Exclamation, QStringLiteral("Quorvane"));
            if (endedFromOutside()) return;
        }

        const QString password =
            gSettings->getMySetting(QStringLiteral("password"), QStringLiteral("General"), QString())
                .toString();
        if (!password.isEmpty()) {
            gSettings->setStopApplication(true);
            windowShell().runLogin();
            if (endedFromOutside()) return;
        }
        if (gSettings->stopApplication()) {
            quitApplication(true);
            return;
        }
        if (OrbinWindow* made = windowShell().createOrbinWindow()) gOrbinWindow = made;
        // The restore, the carry-over, the period clock and the article task each ask for the orbin to be
        // drawn; it is drawn once, with all of them done.
        struct RedrawsHeld {
            RedrawsHeld() {
                if (gOrbinWindow) gOrbinWindow->holdRedraws(true);
            }
            ~RedrawsHeld() { release(); }
            void release() {
                if (gOrbinWindow) gOrbinWindow->holdRedraws(false);
            }
        } redrawsHeld;
        gGame->getStatus();
        if (endedFromOutside()) return;
        if (gOrbinWindow) gOrbinWindow->showWindow();
        // The hide key, when the settings want it; a desktop that refuses it costs the start nothing. Its
        // grab asks the window system and waits for the answers, so it is made once the orbin is drawn.
        if (gOrbinWindow && gOrbinWindow->form()) {
            const quintptr orbin = gOrbinWindow->form()->windowHandle();
            gOrbinWindow->afterFirstPaint([orbin] {
                if (gOrbinWindow && !gQuitting) ignoringFailures([orbin] { gHotKey->createHotKey(orbin); });
            });
        }
        checkWelcome();
        if (endedFromOutside()) return;
        redrawsHeld.release();
        // The move of old items to the archive comes last, once the orbin stands drawn: nothing it moves is
        // on the orbin, and the first drawing does not wait for its writes and the items file's. A start
        // that moves a day's items into a ten-year archive drew first after 1.62 times the bare window's
        // time with them before, after 1.41 times without (tools/bench, a quiet machine).
        const auto archive = [armed] {
            if (!gItems || gQuitting) return;
            const auto moveOldItems = [] { gItems->archiveData(); };
            underErrorSwitch(armed, moveOldItems, reportAndQuit);
        };
        if (gOrbinWindow)
            gOrbinWindow->afterFirstPaint(archive);
        else
            archive();
        if (endedFromOutside()) return;
    } catch (const std::exception& e) {
        if (!armed) throw;
        if (endedFromOutside()) return;
        reportAndQuit(e);
    }
}

void checkWelcome() {
    trapped(QStringLiteral(" - Initialize.checkWelcome: "), QStringLiteral(" error"), [] {
        const QString firstTime =
            gSettings
                ->getMySetting(QStringLiteral("FirstTime"), QStringLiteral("General"), QStringLiteral("true"))
                .toString();
        if (firstTime == QStringLiteral("true")) {
            startProgramIgnoringFailures(gSettings->ArticlePath() + QStringLiteral("Welcome"),
                                         Launcher::WindowState::Maximized);
            gSettings->putMySetting(QStringLiteral("FirstTime"), QStringLiteral("false"),
                                    QStringLiteral("General"));
        }

        const QDate lastCreated = gSettings->LastArticleCreated();
        const QDate today = appClock().today();
        const Integer lastRead = gSettings->LastArticleRead();
        const bool due = today != lastCreated && lastRead < gSettings->MaxNumberOfArticles();
        const QString title = due ? gSettings->ArticleTaskText() + QStringLiteral("  ") +
                                        QString::number((lastRead + Integer(1)).value())
                                  : QString();
        // Without a free id (already reported) the task and its counters wait for another start.
        const Integer id =
            due && !articleTaskMadeOn(today, title) ? gItems->newItem(QStringLiteral("Task")) : Integer(0);
        if (id > Integer(0)) {
            gItems->setNow(appClock().now(), id);
            gItems->setDate(today, id);
            gItems->setTitle(title, id);
            gItems->setPeriod(QString::number(gGame->CurrentPeriod().value()), id);
            gItems->setEstimate(QStringLiteral("15"), id);
            gItems->setDone(QStringLiteral("false"), id);
            gItems->setDoneDate(QStringLiteral("NotDone"), id);
            gItems->setPoints(Integer(0), id);
            gItems->setTimingBonus(Integer(0), id);
            gItems->setType(QStringLiteral("Task"), id);
            gSettings->setLastArticleCreated(today);
            gSettings->setLastArticleRead(lastRead + Integer(1));
        }
        // (A settings file that could not be read has been reported already.)
        if (gSettings->storeWriteFailed() && gSettings->storeReadable()) {
            prompter().messageBox(
                QStringLiteral("The settings cannot be saved to %1.\r\nQuorvane goes on, but what it should "
                               "remember for the next start is lost.")
                    .arg(gSettings->storePath()),
                Prompter::Buttons::OK, Prompter::Icon::Exclamation, QStringLiteral("Quorvane"));
        }
        if (gOrbinWindow) gOrbinWindow->updateInfo();
    });
}

bool quitApplication(bool force) {
    // With the switch on every failing step is skipped and the next one runs.
    const bool trap = errorHandlingOn();
    auto step = [trap](auto&& body) { underErrorSwitch(trap, body, skipFailure); };

    if (gQuitting) return false;
    if (gSettings && gSettings->confirmExit() && !force) {
        // Only a Yes closes the program: a question that failed to be asked counts as No.
        bool declined = true;
        step([&] {
            if (gOrbinWindow) gOrbinWindow->hideWindow();
            const auto answer = prompter().messageBox(
                QStringLiteral("Do you really want to close down Quorvane?"), Prompter::Buttons::YesNo,
                Prompter::Icon::Question, QStringLiteral("Quorvane!"));
            declined = answer != Prompter::Yes;
        });
        // A quit from elsewhere (the session ending) may have run while the question was up.
        if (gQuitting) return false;
        if (declined) {
            step([] {
                if (gOrbinWindow) gOrbinWindow->showWindow();
            });
            return false;
        }
    }
    gQuitting = true;
    // Every file is closed as soon as it is written or read, so none is open here to close.

    step([] { windowShell().showSavingNotice(); });
    step([] {
        if (gGame) gGame->saveStatus();
    });
    step([] {
        if (gItems) gItems->saveItemXML();
    });
    step([] {
        if (gProjects) gProjects->saveItemXML();
    });

    for (FormPort* form : forms::loaded()) {
        if (!forms::loaded().contains(form)) continue; // went with an earlier form
        step([&] {
            if (gHotKey) gHotKey->destroyHotKey(form->windowHandle());
        });
        step([&] { form->hideForm(); });
        step([&] { form->unloadForm(); });
    }
    gOrbinWindow = nullptr; // unloaded with the other forms

    releaseObjects();
    // End the event loops that run; when none runs yet, start-up sees gQuitting and never starts one.
    // (Asking a loop that does not run to end would also end every later nested loop at once.)
    if (QCoreApplication::instance() && QThread::currentThread()->loopLevel() > 0) QCoreApplication::exit(0);
    return true;
}
