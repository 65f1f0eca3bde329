#pragma once

#include <QString>

// What a help page may ask of the page view, which lays pages out in the program's one event loop. Some
// shapes of HTML make Qt's rich text take seconds or minutes over a page: tables within tables (each
// level lays its cells out two or three times over, so the time grows threefold a level), spans that make
// a table of millions of cells, elements nested thousands deep, pictures in a long paragraph (the whole
// paragraph is measured again for each), many style rules times many elements, and a paragraph of
// megabytes. A damaged help file holds such pages; the help file's real pages stay far inside.
namespace pagebounds {

// How much of a page is read from the help file.
constexpr qsizetype MostPageBytes = 1024 * 1024;
// The most style rules that the style sheets a page links to may bring, all together.
constexpr int MostSheetRules = 200;

// The page as it stands when it keeps within the bounds. Otherwise a simpler page that does, with a note
// at its top: cut short, elements nested too deep and pictures too many left out, its tables laid flat,
// its styles dropped, or at last its plain text.
QString bounded(const QString& html);

// The style rules a style sheet holds, counted as Qt's reader could find them (one for each '{').
int ruleCount(const QString& css);

} // namespace pagebounds
