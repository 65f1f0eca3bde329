#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Files written by hand are not always the UTF-8 they should be: an editor may have saved a letter or two
// in the Western single-byte code page, or the whole file in it. Reading every byte of such a file as
// UTF-8 would turn those letters into replacement characters, and reading the whole file as single bytes
// would garble every correct UTF-8 letter in it. So each part is read as what it is: a sequence that is
// valid UTF-8 stays UTF-8, and any other byte stands for the character it has in the Western code page
// (windows-1252: Latin-1, with the printable characters it adds in 0x80-0x9F).
namespace textdecoding {

// bytes with every byte that is not part of a valid UTF-8 sequence replaced by the UTF-8 of its
// single-byte character. Valid UTF-8 comes back unchanged.
QByteArray toValidUtf8(QByteArrayView bytes);

// The text that UTF-8 bytes held in memory stand for, a leading U+FEFF included (a plain conversion
// takes it for a byte order mark and drops it).
QString utf8Text(const char* text);

} // namespace textdecoding
