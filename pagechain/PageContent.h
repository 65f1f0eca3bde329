#pragma once

#include <QList>
#include <QSize>
#include <QString>
#include <optional>

// The content of a chain of pages as the tour and the article readers ship it: every page's caption,
// texts, picture and buttons, read from the chain's content file. The code that shows the pages is one;
// what differs between the programs is this data.

// One line of a page's text column.
struct PageItem {
    enum class Kind { Heading, Subheading, Text, Link };
    Kind kind = Kind::Text;
    QString name;   // the label's name
    QString text;   // whitespace of the content file folded to single blanks
    QString target; // a link's page
};

struct PageButton {
    enum class Action {
        Go,    // show the target page, then unload this one
        End,   // unload every page of the program
        Close, // unload this page only
    };
    QString name;
    QString caption;
    Action action = Action::Go;
    QString target;
};

struct PagePicture {
    QString name;
    QString path; // resolved beside the content file
    // A click on it says that it is only a picture (the chain's picture notice).
    bool notice = false;
};

struct PageSpec {
    QString name; // the form's name
    QString caption;
    bool topmost = true;
    QList<PageItem> items;
    std::optional<PagePicture> picture;
    QList<PageButton> buttons;
};

struct ChainSpec {
    QList<PageSpec> pages; // the first is the one the program starts with
    QSize size;            // a page's size when the program is not started maximised
    QString noticeTitle;
    QString noticeText; // its lines joined by CR LF
    const PageSpec* find(const QString& name) const;
};

// Reads a chain's content file (a Qt resource path or a file). A content file that is missing, not
// well-formed, or that names a page, a picture or an element that is not there raises a Failure that
// says where.
ChainSpec loadChain(const QString& path);
