#include "core/XML.h"

#include "core/ErrorReport.h"
#include "core/File.h"
#include "core/Globals.h"
#include "core/Settings.h"
#include "core/XmlArchive.h"
#include "platform/AppPaths.h"
#include "platform/Clock.h"
#include "platform/Failure.h"
#include "platform/TextDecoding.h"

#include <QFile>
#include <QSet>
#include <new>

namespace {

const QString ErrorSuffix = QStringLiteral(" Error");

QString fromUtf8(const char* text) {
    return textdecoding::utf8Text(text);
}

[[noreturn]] void raiseXPath(const pugi::xpath_exception& e) {
    throw Failure(err::InvalidCall, QStringLiteral("XPath: ") + fromUtf8(e.what()));
}

// A name an element can carry: a letter, "_" or ":" first, then letters, digits, ".", "-", "_", ":".
bool isElementName(const QString& name) {
    if (name.isEmpty()) return false;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name.at(i);
        const bool start = c.isLetter() || c == QLatin1Char('_') || c == QLatin1Char(':');
        if (i == 0 ? !start : !(start || c.isDigit() || c == QLatin1Char('.') || c == QLatin1Char('-'))) {
            return false;
        }
    }
    return !name.startsWith(QLatin1String("xml"), Qt::CaseInsensitive);
}

// The next node after node in document order below top, or an empty node at the end; children are skipped
// when descend is false. The walks below use it so that no nesting can exhaust the stack.
pugi::xml_node nextBelow(pugi::xml_node node, const pugi::xml_node& top, bool descend = true) {
    if (descend && node.first_child()) return node.first_child();
    while (node && node != top && !node.next_sibling())
        node = node.parent();
    if (!node || node == top) return {};
    return node.next_sibling();
}

int depthBelow(pugi::xml_node node, const pugi::xml_node& top) {
    int depth = 0;
    for (node = node.parent(); node && node != top; node = node.parent())
        ++depth;
    return depth;
}

void appendDisplay(QString& out, const pugi::xml_node& parent, int indent) {
    for (pugi::xml_node node = parent.first_child(); node; node = nextBelow(node, parent)) {
        if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata) {
            const QString name = fromUtf8(node.parent().name());
            out += QString(indent + 2 * depthBelow(node, parent) + 2, QLatin1Char(' ')) + QLatin1Char('<') +
                   name + QLatin1Char('>') + fromUtf8(node.value()) + QStringLiteral("</") + name +
                   QStringLiteral(">*\r\n");
        }
    }
}

void emptyTexts(pugi::xml_node parent) {
    pugi::xml_node node = parent.first_child();
    while (node) {
        if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata) {
            // An empty text is no text at all: the element is written "<name/>" and reads as empty.
            const pugi::xml_node next = nextBelow(node, parent, false);
            node.parent().remove_child(node);
            node = next;
        } else {
            node = nextBelow(node, parent);
        }
    }
}

} // namespace

// --- XPathQuery ---

XPathQuery::XPathQuery(const char* xpath, std::initializer_list<const char*> textVariables,
                       std::initializer_list<const char*> numberVariables)
    : m_variables(std::make_unique<pugi::xpath_variable_set>()) {
    for (const char* name : textVariables)
        m_variables->add(name, pugi::xpath_type_string);
    for (const char* name : numberVariables)
        m_variables->add(name, pugi::xpath_type_number);
    try {
        m_query = std::make_unique<pugi::xpath_query>(xpath, m_variables.get());
    } catch (const pugi::xpath_exception& e) {
        raiseXPath(e);
    }
}

XPathQuery& XPathQuery::set(const char* name, const QString& value) {
    if (!m_variables->set(name, value.toUtf8().constData())) {
        throw Failure(err::InvalidCall, QStringLiteral("XPath: no text variable $") + fromUtf8(name));
    }
    return *this;
}

XPathQuery& XPathQuery::set(const char* name, double value) {
    if (!m_variables->set(name, value)) {
        throw Failure(err::InvalidCall, QStringLiteral("XPath: no number variable $") + fromUtf8(name));
    }
    return *this;
}

// --- building blocks ---

QString XML::xmlSafe(const QString& value) {
    QString out;
    out.reserve(value.size());
    const qsizetype n = value.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = value.at(i).unicode();
        if (QChar::isHighSurrogate(c)) {
            if (i + 1 < n && QChar::isLowSurrogate(value.at(i + 1).unicode())) {
                out += value.at(i);
                out += value.at(++i);
            }
            continue;
        }
        if (QChar::isLowSurrogate(c)) continue;
        if (c < 0x20 && c != u'\t' && c != u'\n' && c != u'\r') continue;
        if (c == 0xFFFE || c == 0xFFFF) continue;
        out += value.at(i);
    }
    return out;
}

QString XML::textOf(const pugi::xpath_node& found) {
    if (found.attribute()) return fromUtf8(found.attribute().value());
    const pugi::xml_node node = found.node();
    switch (node.type()) {
    case pugi::node_pcdata:
    case pugi::node_cdata:
    case pugi::node_comment:
    case pugi::node_pi:
        return fromUtf8(node.value());
    case pugi::node_element:
    case pugi::node_document: {
        const pugi::xml_node first = node.first_child();
        if (!first) return {};
        if ((first.type() == pugi::node_pcdata || first.type() == pugi::node_cdata) &&
            !first.next_sibling()) {
            return fromUtf8(first.value());
        }
        QString text;
        for (pugi::xml_node d = first; d;) {
            if (d.type() == pugi::node_pcdata || d.type() == pugi::node_cdata) text += fromUtf8(d.value());
            // Depth first through the subtree of node.
            if (d.first_child()) {
                d = d.first_child();
                continue;
            }
            while (d && !d.next_sibling() && d != node)
                d = d.parent();
            if (!d || d == node) break;
            d = d.next_sibling();
        }
        return text;
    }
    default:
        return {};
    }
}

namespace {

// A node's entry in a list of values: its text, when its first child is a text and the text is not empty.
void appendValue(QStringList& values, const pugi::xml_node& node) {
    const pugi::xml_node first = node.first_child();
    if (!first || (first.type() != pugi::node_pcdata && first.type() != pugi::node_cdata)) return;
    const QString text = XML::textOf(pugi::xpath_node(node));
    if (!text.isEmpty()) values.append(text);
}

} // namespace

QStringList XML::valuesOf(const pugi::xpath_node_set& nodes) {
    QStringList values;
    for (const pugi::xpath_node& found : nodes)
        if (!found.attribute()) appendValue(values, found.node());
    if (values.isEmpty()) values.append(QString());
    return values;
}

QStringList XML::valuesOf(const std::vector<pugi::xml_node>& nodes) {
    QStringList values;
    for (const pugi::xml_node& node : nodes)
        appendValue(values, node);
    if (values.isEmpty()) values.append(QString());
    return values;
}

void XML::setText(pugi::xml_node node, const QString& value) {
    const QByteArray text = xmlSafe(value).toUtf8();
    if (node.type() != pugi::node_element) {
        if (!node.set_value(text.constData())) throw Failure(err::InvalidCall);
        return;
    }
    pugi::xml_node first = node.first_child();
    if (first && first.type() == pugi::node_pcdata && !first.next_sibling() && !text.isEmpty()) {
        if (!first.set_value(text.constData())) throw Failure(err::OutOfMemory);
        return;
    }
    while (node.first_child())
        node.remove_child(node.first_child());
    if (!text.isEmpty() && !node.append_child(pugi::node_pcdata).set_value(text.constData())) {
        throw Failure(err::OutOfMemory);
    }
}

pugi::xpath_node XML::selectFirst(const pugi::xml_node& node, const XPathQuery& xpath) {
    try {
        return xpath.query().evaluate_node(node);
    } catch (const pugi::xpath_exception& e) {
        raiseXPath(e);
    } catch (const std::bad_alloc&) {
        throw Failure(err::OutOfMemory);
    }
}

pugi::xpath_node_set XML::selectAll(const pugi::xml_node& node, const XPathQuery& xpath) {
    try {
        pugi::xpath_node_set nodes = xpath.query().evaluate_node_set(node);
        nodes.sort();
        return nodes;
    } catch (const pugi::xpath_exception& e) {
        raiseXPath(e);
    } catch (const std::bad_alloc&) {
        throw Failure(err::OutOfMemory);
    }
}

// --- the operations ---

QStringList XML::getElementValue(const pugi::xml_node& document, const QString& xpath) {
    QStringList values{QString()};
    trapped(QStringLiteral(" - XML.getElementValue: "), ErrorSuffix, [&] {
        const XPathQuery query(xpath.toUtf8().constData());
        values = valuesOf(selectAll(document, query));
    });
    return values;
}

QStringList XML::getElementValue(const pugi::xml_node& document, const XPathQuery& xpath) {
    QStringList values{QString()};
    trapped(QStringLiteral(" - XML.getElementValue: "), ErrorSuffix,
            [&] { values = valuesOf(selectAll(document, xpath)); });
    return values;
}

QString XML::getValue(const pugi::xml_node& node, const QString& xpath) {
    QString value;
    trapped(QStringLiteral(" - XML.getValue: "), ErrorSuffix, [&] {
        try {
            const XPathQuery query(xpath.toUtf8().constData());
            value = textOf(selectFirst(node, query));
        } catch (const Failure& f) {
            if (f.number() != err::InvalidCall) throw; // a selection that fails is no match
        }
    });
    return value;
}

QString XML::getValue(const pugi::xml_node& node, const XPathQuery& xpath) {
    QString value;
    trapped(QStringLiteral(" - XML.getValue: "), ErrorSuffix, [&] {
        try {
            value = textOf(selectFirst(node, xpath));
        } catch (const Failure& f) {
            if (f.number() != err::InvalidCall) throw;
        }
    });
    return value;
}

QString XML::displayNode(const pugi::xml_node& parent, int indent) {
    QString text;
    trapped(QStringLiteral(" - XML.displayNode: "), ErrorSuffix,
            [&] { appendDisplay(text, parent, indent); });
    return text;
}

void XML::saveToDisk(const pugi::xml_node& document, const QString& fileName) {
    if (gFile)
        gFile->saveXMLToDisk(document, gFile->Path() + fileName);
    else
        File().saveXMLToDisk(document, File().Path() + fileName);
}

pugi::xml_node XML::addChild(pugi::xml_node parent, const QString& name, const std::optional<QString>& value,
                             const QString& xpath) {
    pugi::xml_node added;
    trapped(QStringLiteral(" - XML.addChild: "), ErrorSuffix, [&] {
        pugi::xml_node target = parent;
        if (!xpath.isEmpty()) {
            const XPathQuery query(xpath.toUtf8().constData());
            const pugi::xpath_node found = selectFirst(parent, query);
            if (found.node()) target = found.node();
        }
        if (target.type() == pugi::node_document)
            added = addChildToDocument(target, name, value);
        else
            added = addChildToFragment(target, name, value);
    });
    return added;
}

pugi::xml_node XML::addChildToDocument(pugi::xml_node document, const QString& name,
                                       const std::optional<QString>& value) {
    pugi::xml_node added;
    trapped(QStringLiteral(" - XML.addChildToDocument: "), ErrorSuffix, [&] {
        const pugi::xml_node root =
            document.find_child([](const pugi::xml_node& n) { return n.type() == pugi::node_element; });
        if (!root) throw Failure(err::ObjectNotSet, QStringLiteral("The document has no root element"));
        added = addChildToFragment(root, name, value);
    });
    return added;
}

pugi::xml_node XML::addChildToFragment(pugi::xml_node fragment, const QString& name,
                                       const std::optional<QString>& value) {
    if (!isElementName(name)) throw Failure(err::InvalidCall, QStringLiteral("Not an element name: ") + name);
    if (fragment.type() != pugi::node_element && fragment.type() != pugi::node_document) {
        throw Failure(err::InvalidCall, QStringLiteral("Only an element can take a child"));
    }
    pugi::xml_node added = fragment.append_child(name.toUtf8().constData());
    if (!added) throw Failure(err::OutOfMemory);
    if (value) setText(added, *value);
    return added;
}

bool XML::setValue(pugi::xml_node document, const QString& xpath, const QString& value,
                   const QString& childName) {
    bool written = false;
    trapped(QStringLiteral(" - XML.setValue: "), ErrorSuffix, [&] {
        const XPathQuery query(xpath.toUtf8().constData());
        const pugi::xpath_node found = selectFirst(document, query);
        if (!found) return;
        if (childName.isEmpty()) {
            if (found.attribute())
                found.attribute().set_value(xmlSafe(value).toUtf8().constData());
            else
                setText(found.node(), value);
            written = true;
            return;
        }
        const XPathQuery childQuery(childName.toUtf8().constData());
        const pugi::xpath_node child = selectFirst(found.node(), childQuery);
        if (child.node()) {
            setText(child.node(), value);
        } else {
            addChild(document, childName, value, xpath);
        }
        written = true;
    });
    return written;
}

bool XML::setValue(pugi::xml_node document, const XPathQuery& xpath, const QString& value) {
    bool written = false;
    trapped(QStringLiteral(" - XML.setValue: "), ErrorSuffix, [&] {
        const pugi::xpath_node found = selectFirst(document, xpath);
        if (!found) return;
        if (found.attribute())
            found.attribute().set_value(xmlSafe(value).toUtf8().constData());
        else
            setText(found.node(), value);
        written = true;
    });
    return written;
}

bool XML::resetNodeValues(pugi::xml_node parent) {
    bool done = false;
    trapped(QStringLiteral(" - XML.resetNodeValues: "), ErrorSuffix, [&] {
        emptyTexts(parent);
        done = true;
    });
    return done;
}

QString XML::archivePath() {
    const QString folder = gSettings ? gSettings->sDataDir() : withTrailingSlash(programFolder());
    return folder + QStringLiteral("archive.xml");
}

namespace {

// The archive read and written whole, for a file not laid out in the plain forms: the items go to the end
// of its root element, each that it holds already left out. Its record goes with the file it stood for.
void rewriteArchive(const QString& path, const std::vector<pugi::xml_node>& found) {
    pugi::xml_document archive;
    XmlParseError outcome = File::readXMLFile(archive, path);
    if (outcome.fileNotFound()) outcome = File::readXMLText(archive, QByteArrayLiteral("<root>\r\n</root>"));
    if (!outcome.ok()) {
        throw Failure(err::PathFileAccess,
                      QStringLiteral("The archive %1 could not be read (%2: %3, line %4, position %5); no "
                                     "item was moved")
                          .arg(path, QString::number(outcome.code), outcome.reason,
                               QString::number(outcome.line), QString::number(outcome.linePos)));
    }
    pugi::xml_node archiveRoot = archive.document_element();
    if (!archiveRoot) throw Failure(err::ObjectNotSet, QStringLiteral("The archive has no root element"));
    QSet<QByteArray> held;
    for (const pugi::xml_node& item : archiveRoot.children("item"))
        held.insert(File::xmlText(item));
    for (const pugi::xml_node& item : found) {
        if (held.contains(File::xmlText(item))) continue;
        if (!archiveRoot.append_copy(item)) throw Failure(err::OutOfMemory);
    }
    File::writeXMLFile(archive, path);
    QFile::remove(xmlarchive::recordPath(path));
}

} // namespace

double XML::archiveCutoff() {
    return appClock().today().addDays(-7).toString(QStringLiteral("yyyyMMdd")).toDouble();
}

bool XML::archiveData(pugi::xml_document& itemsDocument, int* movedCount,
                      const std::vector<pugi::xml_node>* oldItems) {
    bool moved = false;
    if (movedCount) *movedCount = 0;
    trapped(QStringLiteral(" - XML.archiveData: "), QStringLiteral(" error"), [&] {
        // Only the items of the file's own list move: an item element nested inside another one (in a
        // note, say) goes with the item that holds it. Dates are eight-digit day texts, so that as
        // numbers they order like the days.
        std::vector<pugi::xml_node> found;
        if (oldItems) {
            found = *oldItems;
        } else {
            static XPathQuery query("/root/item[date < $cutoff]", {}, {"cutoff"});
            query.set("cutoff", archiveCutoff());
            for (const pugi::xpath_node& item : selectAll(itemsDocument, query))
                found.push_back(item.node());
        }
        // The archive is touched only when an item moves.
        if (!found.empty()) {
            // An item the archive holds already was moved by a run that ended before the items file was
            // written again: it leaves the items document without going into the archive a second time.
            // The items leave the items document only once the archive holding them is safely on disk.
            const QString path = archivePath();
            xmlarchive::recover(path);
            QList<QByteArray> texts;
            for (const pugi::xml_node& item : found)
                texts.append(File::xmlText(item));
            if (!xmlarchive::append(path, texts)) rewriteArchive(path, found);
            for (const pugi::xml_node& item : found)
                item.parent().remove_child(item);
        }
        if (movedCount) *movedCount = static_cast<int>(found.size());
        moved = true;
    });
    return moved;
}
