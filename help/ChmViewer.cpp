#include "help/ChmViewer.h"

#include "help/ChmFile.h"
#include "help/HelpWindow.h"
#include "help/TextPopup.h"
#include "platform/MachineRegistry.h"
#include "platform/Prompter.h"
#include "platform/gui/WindowProcs.h"

#include <QApplication>
#include <QCursor>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QTimer>
#include <QWhatsThis>
#include <QWidget>
#include <QWindow>
#include <chm_lib.h>
#include <dlfcn.h>

namespace {

constexpr int ContextHelpCommand = 61824;

QString fromEightBit(const QByteArray& text) {
    return QString::fromLocal8Bit(text);
}

// The help file text, split into the file, the topic after "::" and the window definition after ">".
struct Target {
    QString file;
    QString topic;
    QString definition;
};
Target splitTarget(const QString& text) {
    Target t;
    QString rest = text;
    const qsizetype window = rest.lastIndexOf(u'>');
    if (window >= 0) {
        t.definition = rest.mid(window + 1).trimmed();
        rest = rest.left(window);
    }
    const qsizetype inside = rest.indexOf(QStringLiteral("::"));
    if (inside >= 0) {
        t.topic = rest.mid(inside + 2);
        rest = rest.left(inside);
    }
    t.file = rest;
    return t;
}

QWidget* widgetOf(qint32 handle) {
    return handle ? QWidget::find(static_cast<WId>(static_cast<quint32>(handle))) : nullptr;
}

qint32 handleOf(QWidget* w) {
    return w ? static_cast<qint32>(w->winId()) : 0;
}

// The text of a numbered entry of a popup text file: ".topic N" lines, each followed by its text.
QString popupEntry(const QByteArray& file, quint32 id) {
    QString out;
    bool inEntry = false;
    for (const QString& line : QString::fromUtf8(file).split(u'\n')) {
        const QString t = line.trimmed();
        if (t.startsWith(QStringLiteral(".topic"), Qt::CaseInsensitive)) {
            if (inEntry) break;
            bool ok = false;
            inEntry = t.mid(6).trimmed().toUInt(&ok) == id && ok;
            continue;
        }
        if (inEntry) out += (out.isEmpty() ? QString() : QStringLiteral("\n")) + line.trimmed();
    }
    return out.trimmed();
}

// The file a loaded library was read from, as its real name (with the full version).
QString libraryOf(const void* symbol) {
    Dl_info info{};
    if (!dladdr(symbol, &info) || !info.dli_fname) return {};
    const QFileInfo file(QFile::decodeName(info.dli_fname));
    const QString real = file.canonicalFilePath();
    return real.isEmpty() ? file.absoluteFilePath() : real;
}

} // namespace

QList<HelpWindow*> ChmViewer::windows() const {
    QList<HelpWindow*> out;
    for (const QPointer<HelpWindow>& w : m_windows)
        if (w) out.append(w);
    return out;
}

void ChmViewer::closeAll() {
    for (const QPointer<HelpWindow>& w : m_windows)
        if (w) w->close(); // each deletes itself
    m_windows.clear();
    if (m_popup) m_popup->close();
}

HelpWindow* ChmViewer::windowFor(const QString& file, const QString& definition, qint32 owner) {
    const QString canonical = QFileInfo(file).canonicalFilePath();
    m_windows.removeAll(nullptr);
    HelpWindow* window = nullptr;
    for (HelpWindow* w : windows()) {
        if (QFileInfo(w->file().path()).canonicalFilePath() != canonical) continue;
        // No definition asked for is the file's default window.
        const QString wanted = definition.isEmpty() && w->file().window(w->file().defaultWindow())
                                   ? w->file().defaultWindow()
                                   : definition;
        if (w->definition().compare(wanted, Qt::CaseInsensitive) == 0) window = w;
    }
    if (!window) {
        std::shared_ptr<const ChmFile> chm = ChmFile::open(file);
        if (!chm) {
            sayUnreadable(file);
            return nullptr;
        }
        QString def = definition.isEmpty() ? chm->defaultWindow() : definition;
        // A window the file does not define cannot be shown.
        if (!definition.isEmpty() && !chm->window(definition)) return nullptr;
        if (!chm->window(def)) def.clear();
        window = new HelpWindow(chm, def);
        m_windows.append(window);
    }
    bool aboveAll = false;
    if (QWidget* ownerWidget = widgetOf(owner)) {
        window->winId();
        if (window->windowHandle() && ownerWidget->window()->windowHandle())
            window->windowHandle()->setTransientParent(ownerWidget->window()->windowHandle());
        aboveAll = windowprocs::isTopMost(ownerWidget->window());
    } else {
        // Without an owner, any window of the program kept above every other would cover the help.
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w != window && w->isVisible() && windowprocs::isTopMost(w)) aboveAll = true;
    }
    // The help stands above a window kept on top, or that window would cover it.
    windowprocs::setTopMost(window, aboveAll);
    return window;
}

void ChmViewer::sayUnreadable(const QString& file) {
    // One request may call the viewer twice (a topic, then a lookup): one box is enough for it.
    if (m_saidUnreadable) return;
    m_saidUnreadable = true;
    prompter().messageBox(QStringLiteral("The help file ") + file +
                              QStringLiteral(" cannot be read: it is damaged, or it is no help file."),
                          Prompter::Buttons::OK, Prompter::Icon::Exclamation, QStringLiteral("Help"));
    QTimer::singleShot(0, [this] { m_saidUnreadable = false; });
}

qint32 ChmViewer::htmlHelp(qint32 owner, const QByteArray& fileText, int command, const hh::Data& data) {
    if (command == hh::CloseAll) {
        closeAll();
        return 0;
    }
    const Target target = splitTarget(fromEightBit(fileText));
    if (command == hh::DisplayTextPopup) {
        const auto* record = std::get_if<hh::Popup>(&data);
        return record ? popUp(owner, target.file, target.topic, *record) : 0;
    }
    if (target.file.isEmpty() || !QFileInfo(target.file).isFile()) return 0;

    // A lookup by number needs its topic before a window is worth showing.
    QString topic = target.topic;
    if (command == hh::HelpContext) {
        const auto* id = std::get_if<qint64>(&data);
        std::unique_ptr<ChmFile> chm = ChmFile::open(target.file);
        topic = id && chm ? chm->topicOfId(*id) : QString();
        if (topic.isEmpty()) return 0;
    }

    HelpWindow* window = windowFor(target.file, target.definition, owner);
    if (!window) return 0;
    switch (command) {
    case hh::DisplayTopic: {
        if (const auto* address = std::get_if<QByteArray>(&data); address && !address->isEmpty())
            topic = fromEightBit(*address);
        if (topic.isEmpty())
            window->showFirstTopic();
        else
            window->showTopic(topic);
        break;
    }
    case hh::HelpContext:
        window->showTopic(topic);
        break;
    case hh::DisplayToc:
        window->showPane(HelpWindow::Pane::Contents);
        window->showFirstTopic();
        break;
    case hh::DisplayIndex:
        window->showPane(HelpWindow::Pane::Index);
        window->showFirstTopic();
        break;
    case hh::DisplaySearch: {
        window->showFirstTopic();
        const auto* query = std::get_if<hh::SearchQuery>(&data);
        if (query && !query->query.isEmpty())
            window->search(fromEightBit(query->query));
        else
            window->showPane(HelpWindow::Pane::Search);
        break;
    }
    case hh::KeywordLookup:
    case hh::ALinkLookup: {
        const auto* record = std::get_if<hh::LinkLookup>(&data);
        if (!record) return 0;
        return lookUp(window, *record, command == hh::ALinkLookup);
    }
    default:
        return 0;
    }
    window->show();
    window->raise();
    window->activateWindow();
    return handleOf(window);
}

qint32 ChmViewer::lookUp(HelpWindow* window, const hh::LinkLookup& record, bool links) {
    const QStringList names = fromEightBit(record.keywords).split(u';', Qt::SkipEmptyParts);
    const QStringList topics = links ? window->linkTopics(names) : window->keywordTopics(names);
    const bool wasShown = window->isVisible();
    if (!topics.isEmpty()) {
        window->showTopic(topics.front());
        if (!links && !names.isEmpty()) {
            // The index stands at the keyword, so that the other topics it leads to are at hand.
            window->showPane(HelpWindow::Pane::Index);
            window->findInIndex(names.front().trimmed());
        }
    } else {
        if (!record.msgText.isEmpty())
            prompter().messageBox(fromEightBit(record.msgText), Prompter::Buttons::OK,
                                  Prompter::Icon::Information, fromEightBit(record.msgTitle));
        if (!record.url.isEmpty()) {
            window->showTopic(fromEightBit(record.url));
        } else if (record.indexOnFail) {
            window->showPane(HelpWindow::Pane::Index);
            window->showFirstTopic();
        } else {
            if (!wasShown) window->close();
            return wasShown ? handleOf(window) : 0;
        }
    }
    window->show();
    window->raise();
    window->activateWindow();
    return handleOf(window);
}

qint32 ChmViewer::popUp(qint32, const QString& file, const QString& inner, const hh::Popup& record) {
    QString text = fromEightBit(record.text);
    if (text.isEmpty() && !file.isEmpty() && !inner.isEmpty()) {
        const std::unique_ptr<ChmFile> chm = ChmFile::open(file);
        if (const auto bytes = chm ? chm->read(inner) : std::nullopt)
            text = popupEntry(*bytes, record.idString);
    }
    if (text.isEmpty()) return 0;
    if (m_popup) m_popup->close();
    TextPopup::Style style;
    style.textColor = record.textColor;
    style.backColor = record.backColor;
    style.font = fromEightBit(record.font);
    style.margins = QMargins(record.margins.left(), record.margins.top(), record.margins.right(),
                             record.margins.bottom());
    m_popup = new TextPopup(text, style);
    m_popup->popUpAt(record.pt);
    return handleOf(m_popup);
}

QPoint ChmViewer::cursorPosition() {
    return QCursor::pos();
}

void ChmViewer::deleteSystemMenuCommand(qint32, int) {
    // The window manager draws the window menus here, and none of them has a jump-to-address command.
}

void ChmViewer::sendSystemCommand(qint32 window, int command) {
    if (command == ContextHelpCommand && widgetOf(window)) QWhatsThis::enterWhatsThisMode();
}

ChmViewer& chmViewer() {
    static ChmViewer viewer;
    return viewer;
}

void installHelpViewer() {
    setHelpViewer(&chmViewer());
    // The viewer is the help file reader and the page component is the widget library that draws the
    // pages: their class entries name those libraries.
    MachineRegistry::provideKey(
        MachineRegistry::LocalMachine,
        QStringLiteral("SOFTWARE\\Classes\\TypeLib\\{ADB880A2-D8FF-11CF-9377-00AA003B7A11}"));
    MachineRegistry::provide(MachineRegistry::ClassesRoot,
                             QStringLiteral("CLSID\\{4662DAB0-D393-11D0-9A56-00C04FB68B66}\\InprocServer32"),
                             QString(), libraryOf(reinterpret_cast<const void*>(&chm_open)));
    MachineRegistry::provide(MachineRegistry::ClassesRoot,
                             QStringLiteral("CLSID\\{0A89A860-D7B1-11CE-8350-444553540000}\\InProcServer32"),
                             QString(), libraryOf(&QTextBrowser::staticMetaObject));
}
