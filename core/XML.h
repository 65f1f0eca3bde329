#pragma once

#include <QString>
#include <QStringList>
#include <initializer_list>
#include <memory>
#include <optional>
#include <pugixml.hpp>
#include <vector>

// A fixed XPath compiled once. Its variables ($name) are set before each use, so a value never becomes
// part of the expression: quotes, apostrophes and any other character in it are taken as they stand.
class XPathQuery {
public:
    // Every name in textVariables is a text variable, every name in numberVariables a number variable.
    // A faulty expression raises a Failure.
    explicit XPathQuery(const char* xpath, std::initializer_list<const char*> textVariables = {},
                        std::initializer_list<const char*> numberVariables = {});
    XPathQuery(const XPathQuery&) = delete;
    XPathQuery& operator=(const XPathQuery&) = delete;

    XPathQuery& set(const char* name, const QString& value);
    XPathQuery& set(const char* name, double value);

    const pugi::xpath_query& query() const { return *m_query; }

private:
    std::unique_ptr<pugi::xpath_variable_set> m_variables; // the query refers to it: it must not move
    std::unique_ptr<pugi::xpath_query> m_query;
};

// Reads and writes element texts by XPath and moves old items into the archive.
//
// A "node list" here is the child nodes of the node passed in. Text given to setValue and addChild is
// written without the characters XML cannot hold.
class XML {
public:
    XML() = default;

    // The texts of the nodes that xpath selects in document order, each taken from a node whose first
    // child is a text; a list of one empty entry when there is none. Reported (" - XML.getElementValue: ").
    QStringList getElementValue(const pugi::xml_node& document, const QString& xpath);
    QStringList getElementValue(const pugi::xml_node& document, const XPathQuery& xpath);
    // The text of the first node that xpath selects under node, or "" (a failing selection counts as no
    // match). Reported (" - XML.getValue: ").
    QString getValue(const pugi::xml_node& node, const QString& xpath);
    QString getValue(const pugi::xml_node& node, const XPathQuery& xpath);
    // Development aid: one line "<name>text</name>*" per text below parent, indented.
    // Reported (" - XML.displayNode: ").
    QString displayNode(const pugi::xml_node& parent, int indent);
    // Saves the document to the settings folder (File::Path) & fileName.
    void saveToDisk(const pugi::xml_node& document, const QString& fileName);
    // Adds an element name (with value as its text when given) to the root element of the document, or of
    // the node xpath selects in parent. Returns the new element, or an empty node when nothing was added.
    // Reported (" - XML.addChild: ").
    pugi::xml_node addChild(pugi::xml_node parent, const QString& name,
                            const std::optional<QString>& value = {}, const QString& xpath = {});
    // Writes value as the text of the first node xpath selects (or of its first childName child, created
    // when missing). False and nothing written when xpath selects nothing. Reported (" - XML.setValue: ").
    bool setValue(pugi::xml_node document, const QString& xpath, const QString& value,
                  const QString& childName = {});
    bool setValue(pugi::xml_node document, const XPathQuery& xpath, const QString& value);
    // Empties every text below parent (its child nodes, depth first). Reported (" - XML.resetNodeValues: ").
    bool resetNodeValues(pugi::xml_node parent);
    // Moves every item of the items list (the children of the root element) dated more than seven days
    // before today from the items document to the end of "archive.xml" in the data folder, and saves that
    // file; an item that a move put in the archive already, one whose items file was not written after it,
    // is not added to it again (xmlarchive). When the archive cannot be read or written no item leaves the
    // items document. Reported (" - XML.archiveData: ", " error"); false then.
    // *movedCount, when given, is the number of items that left the items document. oldItems, when given,
    // are the items that move, in file order, as the store's index finds them without the XPath.
    bool archiveData(pugi::xml_document& itemsDocument, int* movedCount = nullptr,
                     const std::vector<pugi::xml_node>* oldItems = nullptr);
    // "archive.xml" in the data folder.
    static QString archivePath();
    // The day before which items go to the archive, seven days before today, as the number its
    // eight-digit day text reads as.
    static double archiveCutoff();

    // --- building blocks shared by the stores; they report nothing and raise a Failure instead ---

    // The nodes' texts as getElementValue gives them.
    static QStringList valuesOf(const pugi::xpath_node_set& nodes);
    static QStringList valuesOf(const std::vector<pugi::xml_node>& nodes);
    // The text of a node as a reader sees it: an element's texts joined, an attribute's or text's value.
    static QString textOf(const pugi::xpath_node& node);
    // Replaces the content of node by value (no child at all when value is empty).
    static void setText(pugi::xml_node node, const QString& value);
    // The first node the query selects, or an empty one; selection failures raise a Failure.
    static pugi::xpath_node selectFirst(const pugi::xml_node& node, const XPathQuery& xpath);
    static pugi::xpath_node_set selectAll(const pugi::xml_node& node, const XPathQuery& xpath);
    // value without the characters XML 1.0 cannot hold (control characters other than tab, line feed and
    // carriage return, U+FFFE, U+FFFF and unpaired surrogates).
    static QString xmlSafe(const QString& value);

private:
    pugi::xml_node addChildToDocument(pugi::xml_node document, const QString& name,
                                      const std::optional<QString>& value);
    pugi::xml_node addChildToFragment(pugi::xml_node fragment, const QString& name,
                                      const std::optional<QString>& value);
};
