#pragma once

#include <functional>

class QMenu;
class QWidget;

// Small duties of the orbin window.
namespace orbinduties {

// Adds the entries "Read Article &2" onwards under the Articles menu, up to the article after the last
// one read (all ten once the ninth has been read); entry n calls read(n). Entries already there stay.
void makeMenu(QMenu* articles, const std::function<void(int index)>& read);

// Asks whether to close the program, after shrinking the orbin; False only for the answer No.
bool confirmQuit();

// The orbin's window, as the owner of a companion window that the desktop keeps above it (the orbin itself
// stays above all others); none when there is no orbin.
QWidget* companionOwner();

} // namespace orbinduties
