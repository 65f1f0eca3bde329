#pragma once

#include "platform/Integer.h"

#include <QStringList>
#include <optional>

// The largest entry of a list of number texts, as a whole number. The running maximum starts at -32768;
// each entry is compared as a number (an empty entry counts as 0) and, when greater, becomes the running
// maximum as a 16-bit whole number. The result is nullopt (False) when nothing was greater than -32768
// while the first entry is not -32768, or when the list has no entries.
//
// An entry that is not a number, or that does not fit a 16-bit whole number, is a failing step: with the
// error-handling switch on it is skipped; with it off the failure passes on to the caller.
std::optional<Integer> arrayMax(const QStringList& list);
