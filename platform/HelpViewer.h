#pragma once

#include "platform/Injectable.h"

#include <QByteArray>
#include <QPoint>
#include <QRect>
#include <variant>

// The compiled-help viewer, reached through one call: an owner window, the help file (with "::/topic"
// or ">window" after the file name where the command needs them), a command and its data. The call
// answers the handle of the window that shows the result, 0 when nothing was shown. Texts are 8-bit.
//
// Until the window layer installs the real viewer, a stand-in answers every call with 0: no viewer.
namespace hh {

enum Command : int {
    DisplayTopic = 0,
    DisplayToc = 1,
    DisplayIndex = 2,
    DisplaySearch = 3,
    KeywordLookup = 13,
    DisplayTextPopup = 14,
    HelpContext = 15,
    CloseAll = 18,
    ALinkLookup = 19,
};

// The record of a full-text search request.
struct SearchQuery {
    int size = 32;
    bool unicode = false;
    QByteArray query; // empty: the search page opens empty
    bool wholeWords = false;
    bool titlesOnly = false;
};

// The record of a keyword or link lookup.
struct LinkLookup {
    int size = 28;
    bool reserved = false;
    QByteArray keywords; // several are separated by ";"
    QByteArray url;      // the topic shown when nothing is found
    QByteArray msgText;  // the message shown when nothing is found
    QByteArray msgTitle;
    QByteArray window;
    bool indexOnFail = false;
};

// The record of a text popup.
struct Popup {
    int size = 52;
    quintptr module = 0; // the module whose string table holds idString; 0 for none
    quint32 idString = 0;
    QByteArray text;
    QPoint pt;             // screen position of the popup's top centre
    qint32 textColor = -1; // colour numbers, -1 for the system's
    qint32 backColor = -1;
    QRect margins{QPoint(-1, -1), QPoint(-1, -1)}; // left, top, right, bottom; -1 for the default
    QByteArray font;                               // "face, size, charset, Bold Italic Underline"
};

// The data of a call: none, a number (a topic id), a text (a topic address), or one of the records.
using Data = std::variant<std::monostate, qint64, QByteArray, SearchQuery, LinkLookup, Popup>;

} // namespace hh

// This class itself is the stand-in: no viewer, no cursor, no system menu.
class HelpViewer {
public:
    virtual ~HelpViewer() = default;
    virtual qint32 htmlHelp(qint32 owner, const QByteArray& file, int command, const hh::Data& data) {
        (void)owner;
        (void)file;
        (void)command;
        (void)data;
        return 0;
    }
    // Where the mouse cursor is on the screen.
    virtual QPoint cursorPosition() { return {}; }
    // Takes a command out of a window's system menu (where the window has such a menu).
    virtual void deleteSystemMenuCommand(qint32 window, int command) {
        (void)window;
        (void)command;
    }
    // Hands a window a system command, as its default window procedure would take it.
    virtual void sendSystemCommand(qint32 window, int command) {
        (void)window;
        (void)command;
    }
};

// The viewer in force: the stand-in unless one was installed through Injectable<HelpViewer>.
inline HelpViewer& helpViewer() {
    return Injectable<HelpViewer>::instance();
}
// Installs a viewer (not owned); nullptr brings the stand-in back.
inline void setHelpViewer(HelpViewer* viewer) {
    Injectable<HelpViewer>::install(viewer);
}
