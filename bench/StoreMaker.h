#pragma once

#include <QDate>
#include <QString>

// The stores the benchmark starts the program on, each in a folder of its own: "settings.ini" (no tour,
// no article task, no quit question) and "data/" with "items.xml" and, when asked, "archive.xml".
namespace storemaker {

struct Store {
    int items = 0;        // besides the two templates
    int archiveItems = 0; // 0: no archive file
    int itemsToMove = 0;  // of the items, how many are old enough to go to the archive at start
};

// Writes the store into folder (made when missing). Items run from seven days before today onwards, fifty
// a day: 46 tasks over the four periods and four meetings; those of past days are done. The archive holds
// ten items a day on the days before that, and is recorded as the program leaves it after a move.
void make(const QString& folder, const Store& store, const QDate& today);

// Makes folder a copy of the store made in made, as it was made: its settings name its own data folder,
// and its archive is recorded as the copy it is.
void copy(const QString& made, const QString& folder);

// The settings file of the store in folder.
QString settingsFile(const QString& folder);

} // namespace storemaker
