#pragma once

#include <QByteArrayView>
#include <QList>
#include <optional>
#include <utility>

// Where the parts of an XML text stand, found without building its tree: for a file that grows by items
// added before its end, such as the archive, which then need not be read and written whole.
namespace xmllayout {

struct Layout {
    // Where the content of the root element starts, just after its start tag.
    qsizetype rootContent = -1;
    // Where the end tag of the root element (the first element at the top) starts.
    qsizetype rootEnd = -1;
    // Each "item" element directly in the root element: where it starts and how many bytes it takes.
    QList<std::pair<qsizetype, qsizetype>> items;
};

// The layout of text when it keeps to the plain forms this program writes (elements with plain ASCII
// names and attributes in quotes, text, comments, CDATA sections, processing instructions, a declaration
// at the start), which the parser reads without fail to the same tree. nullopt for anything else (a
// document type, a root element written "<root/>", a character NUL, tags that do not match, text outside
// the root element...): such a text is for the parser to read.
std::optional<Layout> scan(QByteArrayView text);
// The layout of content read as what stands inside a root element (after its start tag, before its end
// tag), on the same terms: rootContent is 0, rootEnd stays -1, the items are those directly in it.
// nullopt when it is not in the plain forms, or when it does not close every element it opens or closes
// one it did not open.
std::optional<Layout> scanContent(QByteArrayView content);

// Whether the text of an element is, to the byte, what the program writes for the element it reads as:
// plain ASCII names, attributes in double quotes one blank apart, "<name/>" for an element without
// content, texts of valid UTF-8 without characters XML cannot hold, with "&", "<" and ">" escaped and no
// other reference, comments without "--", no instruction. False when it is not, or not surely.
bool asWritten(QByteArrayView element);

} // namespace xmllayout
