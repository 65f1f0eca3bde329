#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <pugixml.hpp>

// The archive file grows where it stands: the items a move adds are written in place before the end tag
// of its root element, and what stood from there to the end of the file follows them again.
//
// Beside the archive a small record ("<archive>.record") keeps what the program knows of the archive as
// it left it: the file (device, inode, size, time of its last change), where the end tag of its root
// element starts, and from where on its items may still stand in the items file too, the items of the
// moves whose items file was not written yet (a run ended between the two writes). Only those can be
// held twice, so that a move compares the items it moves with them alone and reads nothing else of the
// archive. An archive that is not as the record knows it (changed by hand, copied, written by an older
// release, no record at all) is read whole once, as it always was, and recorded afresh.
//
// A move in place is recorded first, with what it overwrites and what it writes, and that record is on
// the disk before the archive is touched; a failure puts back what stood there at once, and a move cut
// off midway (the program killed, the machine stopped) is put back, or recorded as done when it was
// complete, by recover at the next start. The archive is thus always either as it was before a move or
// as it is after it.
//
// Measured on a ten-year archive (36,500 items, 18 MB) taking a day's 50 items (tools/bench): read whole
// to find the items it held already and written anew through a copy, the move took 155 to 188 ms in the
// program (1,570 M instructions); in place, with the record, 1.2 to 1.5 ms (1.3 M instructions), beside
// 0.3 ms for writing the items' bytes to a file and bringing them onto the disk.
namespace xmlarchive {

// Adds texts (items as the program writes them, in file order) to the end of the root element of the
// archive at path, each one the archive may hold already left out: one of the items that may still stand
// in the items file reads as the same text (its own bytes, or what they read as when written otherwise).
// A missing archive is made. False, with the archive untouched, when it is not laid out in the plain
// forms of xmllayout: it must then be read and written whole. Raises a Failure when it cannot be read or
// written; the archive is then as it was.
bool append(const QString& path, const QList<QByteArray>& texts);

// Puts the archive at path back as it was before a move that was cut off midway, or records the move as
// done when it was complete. A failure leaves both for the next call; it raises nothing.
void recover(const QString& path);

// Once the items file was written after a move: the recorded items that items (the items document) no
// longer holds are left out of the ones to compare. A failure leaves the record as it was; it raises
// nothing.
void settle(const QString& path, const pugi::xml_document& items);

// Records the archive at path as the program leaves it after a move whose items file was written: for a
// store made by other means, such as the benchmark's. False when the archive is not in the plain forms.
bool note(const QString& path);

// The record kept beside the archive at path.
QString recordPath(const QString& path);

} // namespace xmlarchive
