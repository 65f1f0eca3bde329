#pragma once

#include <cstring>
#include <map>
#include <optional>
#include <pugixml.hpp>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// An index kept beside the items document, so that a field is found without searching the document and a
// query is answered by one pass over the items.
//
// It serves the shape every items file has: each "root" element stands at the top of the document and
// each "item" element directly in one of them. There "//root/item", "/root/item" and "//item" all select
// the same elements, in the order of the file, and the index answers as those expressions do: an item's
// ids are the texts of all its "id" children, compared as text, and the first item in the file is the one
// a field is read from. A document of another shape (an item inside another item's note, say) is not
// indexed: plain() is false and the store asks its XPath instead.
//
// The store tells the index of every item it adds or removes; a change the index cannot follow by itself
// is followed by a rebuild().
// XPath's reading of the document, for answers that must match what an expression gives.
namespace xpathvalue {

// Whether node is an element called name (a processing instruction can carry a name too).
inline bool isElement(const pugi::xml_node& node, const char* name) {
    return node.type() == pugi::node_element && std::strcmp(node.name(), name) == 0;
}
// The first child element called name; empty when none.
pugi::xml_node firstChild(const pugi::xml_node& parent, const char* name);
// The string-value of a node: for an element all its text and CDATA in document order. The view lives as
// long as the node and scratch.
std::string_view text(const pugi::xml_node& node, std::string& scratch);
// A text as XPath's number() reads it: blanks around a decimal number with an optional minus sign;
// anything else is NaN.
double number(std::string_view text);

// Comparisons of the child elements called name of element with a value, true when any child satisfies
// it, as a node-set compares in XPath.
bool anyEquals(const pugi::xml_node& element, const char* name, std::string_view value);
bool anyDiffers(const pugi::xml_node& element, const char* name, std::string_view value);
template <class Compare> bool anyNumber(const pugi::xml_node& element, const char* name, Compare compare) {
    std::string scratch;
    for (pugi::xml_node child = element.first_child(); child; child = child.next_sibling())
        if (isElement(child, name) && compare(number(text(child, scratch)))) return true;
    return false;
}

} // namespace xpathvalue

class ItemIndex {
public:
    explicit ItemIndex(const pugi::xml_document& document) : m_document(document) {}
    ItemIndex(const ItemIndex&) = delete;
    ItemIndex& operator=(const ItemIndex&) = delete;

    // Reads the whole document afresh. When that fails the index stands aside (plain() is false).
    void rebuild() noexcept;
    // Stands aside until the next rebuild, for a change of the document it does not follow: it then holds
    // no node of the document.
    void invalidate() noexcept;
    bool plain() const { return m_plain; }

    // An item just appended as the last child of its parent.
    void appended(const pugi::xml_node& item) noexcept;
    // An item about to leave the document.
    void removing(const pugi::xml_node& item) noexcept;

    // The first element called name of the first item with the id text id that has one; empty when none.
    pugi::xml_node field(std::string_view id, const char* name) const;
    // The first item with the id text id; empty when none.
    pugi::xml_node item(std::string_view id) const;

    // Calls visit with every item, in the order of the file, until it returns false.
    template <class Visit> void forEachItem(Visit&& visit) const {
        for (pugi::xml_node root = m_document.first_child(); root; root = root.next_sibling()) {
            if (!xpathvalue::isElement(root, "root")) continue;
            for (pugi::xml_node item = root.first_child(); item; item = item.next_sibling())
                if (xpathvalue::isElement(item, "item") && !visit(item)) return;
        }
    }

    // The largest of the ids that the list queries give (an id whose first child is a text, and whose text
    // is not empty), into *largest (nullopt when there is none). False, and nothing said, when one of them
    // is not a whole number written as the store writes it: the caller reads them itself then.
    bool largestId(std::optional<int>* largest) const;

private:
    void read();
    void add(const pugi::xml_node& item);
    void remove(const pugi::xml_node& item);

    const pugi::xml_document& m_document;
    bool m_plain = false;
    // Id text -> the items that carry it, in the order of the file.
    std::unordered_map<std::string, std::vector<pugi::xml_node>> m_byId;
    // The ids as whole numbers, with how many items carry each; and how many ids are no plain number.
    std::map<int, int> m_numbers;
    int m_otherIds = 0;
};
