#include "help/PageBounds.h"

#include "help/SealedDocument.h"

#include <QSet>
#include <QStringList>
#include <QTextFrame>
#include <QTextTable>
#include <algorithm>

namespace {

// The bounds, with what a page at each of them took to show here (Qt 6.4, a 540-pixel wide page) when
// nothing else held it back: the help file's largest real page is about 5 000 characters, with one
// table of 30 cells, no nesting deeper than 8 and one style sheet of 8 rules.
constexpr qsizetype MostChars = 256 * 1024; // a single paragraph this long: 0.2 s
constexpr int MostNesting = 100;            // 30 000 nested elements: 12 s to read
constexpr int MostPictures = 64;            // 5 000 pictures in one paragraph of 200 000 characters: 17 s
// Each picture has Qt measure the paragraph it stands in once more, up to the picture: the characters
// before each picture in its paragraph, all together. 64 pictures in a paragraph of 256 000: 3.3 s.
constexpr qint64 MostPictureWork = 1'000'000;
constexpr qint64 MostGrid = 10'000;         // cells that spans make, all tables together; 10 million: 15 s
constexpr qint64 MostStyleWork = 2'000'000; // elements times style rules; 50 million: 18 s to read
// Characters laid out within tables, counted again for each time a table lays its cells out (three
// times a level), and each cell counted as CellWork characters; 16 nested tables: 0.7 s, 22: 40 s.
constexpr qint64 MostTableWork = 2'000'000;
constexpr qint64 CellWork = 100;
constexpr qint64 PassesPerLevel = 3;

const QString Note = QStringLiteral(
    "<p><i>This page of the help file is damaged or too large; it is shown simplified.</i></p>");

// A set of element names, from a list of them with spaces between.
QSet<QString> names(const char* list) {
    QSet<QString> out;
    for (const QString& name : QString::fromLatin1(list).split(u' ', Qt::SkipEmptyParts))
        out.insert(name);
    return out;
}

bool isTableTag(const QString& name) {
    static const QSet<QString> tags = names("table tr td th thead tbody tfoot caption col colgroup");
    return tags.contains(name);
}

// Elements that Qt's reader gives no children.
bool isEmptyElement(const QString& name) {
    static const QSet<QString> empty = names("br img hr");
    return empty.contains(name);
}

// Elements that begin a paragraph of their own.
bool beginsParagraph(const QString& name) {
    static const QSet<QString> blocks =
        names("p div h1 h2 h3 h4 h5 h6 li ul ol pre td th tr table hr blockquote");
    return blocks.contains(name);
}

// Elements that a new paragraph passes over to close the paragraph they stand in.
bool isInline(const QString& name) {
    static const QSet<QString> inlines =
        names("a b i u s em strong span font big small sub sup tt code kbd var cite");
    return inlines.contains(name);
}

qint64 saturated(qint64 a, qint64 b) {
    if (a > 0 && b > std::numeric_limits<qint64>::max() / a) return std::numeric_limits<qint64>::max();
    return a * b;
}

// One tag, read the way Qt's HTML reader reads it, so that both find the same tags in the same places.
struct Tag {
    QString name; // in lower case
    bool closing = false;
    bool closed = false; // "<br/>"
    bool odd = false;    // a name in quotes or with an entity: not written by hand, and not worth following
    bool oddAttributes = false; // an entity in an attribute, which could stand for anything
    QList<std::pair<QString, QString>> attributes;
};

class Reader {
public:
    Reader(const QString& text, qsizetype at) : m_s(text), m_pos(at) {}
    qsizetype pos() const { return std::min(m_pos, m_s.size()); }

    void eatSpace() {
        while (m_pos < m_s.size() && m_s[m_pos].isSpace() && m_s[m_pos] != QChar::ParagraphSeparator)
            ++m_pos;
    }
    bool at(QChar c, qsizetype ahead = 0) const {
        return m_pos + ahead < m_s.size() && m_s[m_pos + ahead] == c;
    }
    // A comment or a declaration ("<!...>"): passed over whole.
    bool skipDeclaration() {
        if (!at(u'!')) return false;
        ++m_pos;
        if (at(u'-') && at(u'-', 1)) {
            const qsizetype end = m_s.indexOf(QStringLiteral("-->"), m_pos + 2);
            m_pos = end >= 0 ? end + 3 : m_s.size();
        } else {
            const qsizetype end = m_s.indexOf(u'>', m_pos);
            m_pos = end >= 0 ? end + 1 : m_s.size();
        }
        return true;
    }
    Tag tag() {
        Tag t;
        if (at(u'/')) {
            t.closing = true;
            ++m_pos;
            bool quoted = false, entity = false;
            t.name = word(quoted, entity).toLower().trimmed();
            t.odd = quoted || entity;
            const qsizetype end = m_s.indexOf(u'>', m_pos);
            m_pos = end >= 0 ? end + 1 : m_s.size();
            return t;
        }
        bool quoted = false, entity = false;
        t.name = word(quoted, entity).toLower();
        t.odd = quoted || entity;
        if (m_pos < m_s.size() && m_s[m_pos].isSpace()) {
            while (m_pos < m_s.size()) {
                eatSpace();
                if (at(u'>') || at(u'/')) break;
                const QString key = word(quoted, entity).toLower();
                if (key.isEmpty()) break;
                QString value = QStringLiteral("1");
                eatSpace();
                if (at(u'=')) {
                    ++m_pos;
                    eatSpace();
                    value = word(quoted, entity);
                }
                if (!value.isEmpty()) t.attributes.append({key, value});
            }
            t.oddAttributes = entity;
        }
        while (m_pos < m_s.size() && m_s[m_pos] != u'>') {
            if (m_s[m_pos] == u'/') t.closed = true;
            ++m_pos;
        }
        ++m_pos;
        return t;
    }

private:
    // A word as Qt's reader takes it: in double or single quotes, or up to a space, '=', '<', '>' or "/>".
    // Tells whether it stood in quotes and whether it holds an entity, which Qt reads as what it stands for.
    QString word(bool& quoted, bool& entity) {
        QString w;
        const QChar quote = at(u'"') ? u'"' : at(u'\'') ? u'\'' : QChar();
        if (!quote.isNull()) {
            quoted = true;
            ++m_pos;
            while (m_pos < m_s.size()) {
                const QChar c = m_s[m_pos++];
                // Qt's reader takes a single quote after a backslash as part of the word.
                if (c == quote && (quote == u'"' || m_s[m_pos - 2] != u'\\')) break;
                if (c == u'&' && quote == u'"') entity = true;
                w += c;
            }
            return w;
        }
        while (m_pos < m_s.size()) {
            const QChar c = m_s[m_pos];
            if (c == u'>' || (c == u'/' && at(u'>', 1)) || c == u'<' || c == u'=' || c.isSpace()) break;
            if (c == u'&') entity = true;
            w += c;
            ++m_pos;
        }
        return w;
    }

    const QString& m_s;
    qsizetype m_pos;
};

// A span as Qt reads it, or more.
qint64 spanOf(const Tag& t, const QString& name) {
    if (t.oddAttributes) return MostGrid; // an entity could stand for any number
    for (const auto& [key, value] : t.attributes) {
        if (key != name) continue;
        QString v = value.trimmed();
        if (v.startsWith(u'+')) v.remove(0, 1);
        qint64 n = 0;
        for (const QChar c : v) {
            if (!c.isDigit()) break;
            n = std::min<qint64>(n * 10 + c.digitValue(), 1'000'000'000);
        }
        return std::max<qint64>(n, 1);
    }
    return 1;
}

struct Options {
    bool flatTables = false;
    bool noStyles = false;
};

// What one pass over a page found, and the page it wrote.
struct Pass {
    QString html;
    bool changed = false;
    qint64 grid = 0; // cells of all tables, spans counted out
    qint64 elements = 0;
    qint64 rules = 0; // style rules of the page's own style elements
};

struct Table {
    qsizetype owner; // the open element whose end ends the table
    qint64 rows = 0;
    qint64 columns = 0;
    qint64 rowColumns = 0;
    qint64 spanColumns = 0;
    qint64 deepestSpan = 1;
    bool rowOpen = false;
    void endRow() {
        columns = std::max(columns, rowColumns);
        rowColumns = 0;
        rowOpen = false;
    }
};

// Writes the page again, leaving out what goes past the bounds that a pass can see by itself.
Pass rewrite(const QString& in, Options options) {
    Pass out;
    out.html.reserve(in.size());
    QStringList open; // the elements open, outermost first
    QList<Table> tables;
    int styles = 0; // style elements open
    int pictures = 0;
    qint64 pictureWork = 0;
    qsizetype paragraph = 0; // where the paragraph being read began

    const auto closeTable = [&] {
        Table t = tables.takeLast();
        t.endRow();
        out.grid = std::min(out.grid + saturated(t.rows + t.deepestSpan - 1, t.columns + t.spanColumns),
                            std::numeric_limits<qint64>::max() / 2);
    };
    const auto closeTo = [&](qsizetype size) {
        while (open.size() > size) {
            if (open.takeLast() == QStringLiteral("style")) --styles;
        }
        while (!tables.isEmpty() && tables.back().owner >= size)
            closeTable();
    };
    const auto nearest = [&](const QString& name, const QStringList& stops = {}) -> qsizetype {
        for (qsizetype i = open.size() - 1; i >= 0; --i) {
            if (open[i] == name) return i;
            if (stops.contains(open[i])) return -1;
        }
        return -1;
    };
    const auto table = [&]() -> Table& {
        if (tables.isEmpty())
            tables.append(Table{open.size() - 1}); // Qt makes a table round a lone row or cell
        return tables.back();
    };

    for (qsizetype pos = 0; pos < in.size();) {
        if (in[pos] != u'<') {
            qsizetype end = in.indexOf(u'<', pos);
            if (end < 0) end = in.size();
            const QStringView text = QStringView(in).mid(pos, end - pos);
            if (styles > 0) out.rules += text.count(u'{');
            if (styles > 0 && options.noStyles)
                out.changed = true;
            else
                out.html += text;
            pos = end;
            continue;
        }
        Reader reader(in, pos + 1);
        reader.eatSpace();
        if (reader.skipDeclaration()) {
            out.html += QStringView(in).mid(pos, reader.pos() - pos);
            pos = reader.pos();
            continue;
        }
        const Tag t = reader.tag();
        const QStringView raw = QStringView(in).mid(pos, reader.pos() - pos);
        pos = reader.pos();
        const auto leaveOut = [&] { out.changed = true; };
        if (t.odd) {
            leaveOut();
            continue;
        }
        if (t.name.isEmpty()) { // "a < b": Qt too takes it for a tag, but one that holds nothing
            out.html += raw;
            continue;
        }
        const bool tableTag = isTableTag(t.name);
        const bool styleTag = t.name == QStringLiteral("style") || t.name == QStringLiteral("link");

        if (t.closing) {
            if (!tables.isEmpty() && (t.name == QStringLiteral("tr") || t.name == QStringLiteral("thead") ||
                                      t.name == QStringLiteral("tbody") || t.name == QStringLiteral("tfoot")))
                tables.back().endRow();
            if (tableTag && options.flatTables) {
                out.html += t.name == QStringLiteral("table") || t.name == QStringLiteral("caption")
                                ? QStringLiteral("<br>")
                                : QString();
                out.changed = true;
                continue;
            }
            if (const qsizetype i = nearest(t.name); i >= 0) closeTo(i);
            if (styleTag && options.noStyles)
                leaveOut();
            else
                out.html += raw;
            continue;
        }

        if (beginsParagraph(t.name)) paragraph = pos;
        if (t.name == QStringLiteral("img")) {
            pictureWork += pos - paragraph;
            if (++pictures > MostPictures || pictureWork > MostPictureWork) {
                leaveOut();
                continue;
            }
        }
        if (tableTag && options.flatTables) {
            if (t.name == QStringLiteral("td") || t.name == QStringLiteral("th"))
                out.html += QStringLiteral("&nbsp; ");
            else if (t.name == QStringLiteral("table") || t.name == QStringLiteral("tr") ||
                     t.name == QStringLiteral("caption"))
                out.html += QStringLiteral("<br>");
            out.changed = true;
            continue;
        }
        // Where Qt's reader puts the element: a new paragraph or list item ends the one it stands in, a
        // row or cell ends the row or cell before it.
        if (t.name == QStringLiteral("p") || t.name == QStringLiteral("li")) {
            for (qsizetype i = open.size() - 1; i >= 0; --i) {
                if (open[i] == t.name) {
                    closeTo(i);
                    break;
                }
                if (t.name == QStringLiteral("li") || !isInline(open[i])) break;
            }
        } else if (t.name == QStringLiteral("td") || t.name == QStringLiteral("th")) {
            if (const qsizetype row = nearest(QStringLiteral("tr"), {QStringLiteral("table")}); row >= 0)
                closeTo(row + 1);
        } else if (t.name == QStringLiteral("tr") || t.name == QStringLiteral("thead") ||
                   t.name == QStringLiteral("tbody") || t.name == QStringLiteral("tfoot") ||
                   t.name == QStringLiteral("caption")) {
            for (qsizetype i = open.size() - 1; i >= 0; --i) {
                if (open[i] == QStringLiteral("table") ||
                    (t.name == QStringLiteral("tr") &&
                     (open[i] == QStringLiteral("thead") || open[i] == QStringLiteral("tbody") ||
                      open[i] == QStringLiteral("tfoot")))) {
                    closeTo(i + 1);
                    break;
                }
            }
        }
        const bool empty = isEmptyElement(t.name) || t.closed;
        if (!empty && open.size() >= MostNesting) {
            leaveOut();
            continue;
        }
        ++out.elements;
        if (t.name == QStringLiteral("table")) {
            tables.append(Table{open.size()});
        } else if (t.name == QStringLiteral("tr")) {
            Table& tb = table();
            tb.endRow();
            ++tb.rows;
            tb.rowOpen = true;
        } else if (t.name == QStringLiteral("td") || t.name == QStringLiteral("th")) {
            Table& tb = table();
            if (!tb.rowOpen) {
                ++tb.rows;
                tb.rowOpen = true;
            }
            const qint64 columns = spanOf(t, QStringLiteral("colspan"));
            const qint64 rows = spanOf(t, QStringLiteral("rowspan"));
            tb.rowColumns = std::min<qint64>(tb.rowColumns + columns, 1'000'000'000);
            if (rows > 1) {
                tb.spanColumns = std::min<qint64>(tb.spanColumns + columns, 1'000'000'000);
                tb.deepestSpan = std::max(tb.deepestSpan, rows);
            }
        } else if ((t.name == QStringLiteral("thead") || t.name == QStringLiteral("tbody") ||
                    t.name == QStringLiteral("tfoot")) &&
                   !tables.isEmpty()) {
            tables.back().endRow();
        }
        if (!empty) {
            open.append(t.name);
            if (t.name == QStringLiteral("style")) ++styles;
        }
        if (styleTag && options.noStyles)
            leaveOut();
        else
            out.html += raw;
    }
    closeTo(0);
    while (!tables.isEmpty())
        closeTable();
    return out;
}

// How much laying out the tables of a page comes to, as Qt's reader built them.
qint64 tableWork(QTextFrame* frame, qint64 weight) {
    qint64 work = 0;
    for (auto it = frame->begin(); !it.atEnd() && work <= MostTableWork; ++it) {
        if (QTextFrame* child = it.currentFrame()) {
            if (auto* table = qobject_cast<QTextTable*>(child)) {
                const qint64 inner = saturated(weight, PassesPerLevel);
                work += saturated(saturated(qint64(table->rows()) * table->columns(), CellWork), inner);
                work += tableWork(child, inner);
            } else {
                work += tableWork(child, weight);
            }
        } else if (weight > 1) {
            work += saturated(it.currentBlock().length(), weight);
        }
        work = std::min(work, MostTableWork + 1);
    }
    return work;
}

qint64 tableWorkOf(const QString& html) {
    SealedDocument probe;
    probe.setHtml(html);
    return tableWork(probe.rootFrame(), 1);
}

QString plainPage(const QString& html) {
    SealedDocument probe;
    probe.setHtml(html);
    QString out = Note;
    for (const QString& line : probe.toPlainText().split(u'\n'))
        out += QStringLiteral("<p>") + line.toHtmlEscaped() + QStringLiteral("</p>");
    return out;
}

} // namespace

int pagebounds::ruleCount(const QString& css) {
    return int(css.count(u'{'));
}

QString pagebounds::bounded(const QString& html) {
    QString page = html;
    bool cut = false;
    if (page.size() > MostChars) {
        // Cut before the tag that the end falls in, if it falls in one.
        qsizetype end = MostChars;
        const qsizetype lt = page.lastIndexOf(u'<', end - 1);
        if (lt >= 0 && page.indexOf(u'>', lt) >= end) end = lt;
        page.truncate(end);
        cut = true;
    }
    Options options;
    Pass pass = rewrite(page, options);
    const auto styleWork = [](const Pass& p) { return saturated(p.elements, p.rules + MostSheetRules); };
    if (pass.grid > MostGrid || styleWork(pass) > MostStyleWork) {
        options.flatTables = pass.grid > MostGrid;
        options.noStyles = styleWork(pass) > MostStyleWork;
        pass = rewrite(page, options);
    }
    if (!options.flatTables && tableWorkOf(pass.html) > MostTableWork) {
        options.flatTables = true;
        pass = rewrite(page, options);
    }
    // Laid flat, a page has no tables left for Qt to find; should it still find any, only the text stays.
    if (options.flatTables && tableWorkOf(pass.html) > 0) return plainPage(pass.html);
    if (!cut && !pass.changed) return html;
    return Note + pass.html;
}
