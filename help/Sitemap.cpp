#include "help/Sitemap.h"

#include <QRegularExpression>
#include <QTextDocumentFragment>

namespace {

constexpr int MostLevels = 32;

bool isAsciiLetter(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

struct Tag {
    bool closing = false;
    QString name; // in lower case
    QString attributes;
    qsizetype end = 0; // just after the tag
};

// The tags of an HTML text, in order; comments are passed over. Read in one pass: a pattern that looks
// for the end of each tag anew took minutes over a damaged file of a few hundred "<a " without a '>'.
QList<Tag> tags(const QString& html) {
    QList<Tag> out;
    bool commentsEnd = true; // whether a "-->" is still ahead
    for (qsizetype at = html.indexOf(u'<'); at >= 0; at = html.indexOf(u'<', at + 1)) {
        if (commentsEnd && QStringView(html).mid(at).startsWith(u"<!--")) {
            const qsizetype end = html.indexOf(QStringLiteral("-->"), at + 4);
            if (end >= 0) {
                at = end + 2;
                continue;
            }
            commentsEnd = false;
        }
        qsizetype p = at + 1;
        const auto skipSpace = [&] {
            while (p < html.size() && html[p].isSpace())
                ++p;
        };
        skipSpace();
        const bool closing = p < html.size() && html[p] == u'/';
        if (closing) {
            ++p;
            skipSpace();
        }
        const qsizetype nameAt = p;
        if (p >= html.size() || !isAsciiLetter(html[p])) continue;
        while (p < html.size() && (isAsciiLetter(html[p]) || (html[p] >= u'0' && html[p] <= u'9')))
            ++p;
        const qsizetype end = html.indexOf(u'>', p);
        if (end < 0) break; // no tag can end after this
        out.append(Tag{closing, html.mid(nameAt, p - nameAt).toLower(), html.mid(p, end - p), end + 1});
        at = end;
    }
    return out;
}

QString unescape(const QString& text) {
    if (!text.contains(u'&')) return text;
    return QTextDocumentFragment::fromHtml(
               text.toHtmlEscaped().replace(QStringLiteral("&amp;"), QStringLiteral("&")))
        .toPlainText();
}

QString attribute(const QString& attributes, const QString& name) {
    static const QRegularExpression attr(
        QStringLiteral(R"re(([A-Za-z_:][-A-Za-z0-9_:.]*)\s*=\s*(?:"([^"]*)"|'([^']*)'|([^\s"'>]+)))re"));
    for (auto it = attr.globalMatch(attributes); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (m.captured(1).compare(name, Qt::CaseInsensitive) != 0) continue;
        for (int g = 2; g <= 4; ++g)
            if (m.capturedStart(g) >= 0) return unescape(m.captured(g));
    }
    return {};
}

QString decode(const QByteArray& html) {
    return QString::fromUtf8(html);
}

} // namespace

QList<SitemapEntry> sitemap::parse(const QByteArray& bytes) {
    QList<SitemapEntry> root;
    // The lists being filled, outermost first; a nested list belongs to the last entry of the list around
    // it.
    QList<QList<SitemapEntry>*> open{&root};
    QList<bool> nests{false}; // whether each of them hangs on an entry, one level deeper
    int levels = 0;
    std::optional<SitemapEntry> entry;
    int depth = 0; // lists opened, including any that hold no entry yet
    for (const Tag& t : tags(decode(bytes))) {
        if (t.name == QStringLiteral("ul")) {
            if (!t.closing) {
                ++depth;
                // Lists nested deeper than any reader could follow keep their entries at the deepest level.
                if (depth > 1 && levels < MostLevels) {
                    QList<SitemapEntry>* around = open.back();
                    if (!around->isEmpty()) {
                        open.append(&around->back().children);
                        nests.append(true);
                        ++levels;
                        continue;
                    }
                }
                open.append(open.back()); // a list with no entry to hang on: its entries stay at this level
                nests.append(false);
            } else if (depth > 0) {
                --depth;
                if (open.size() > 1) {
                    open.removeLast();
                    if (nests.takeLast()) --levels;
                }
            }
        } else if (t.name == QStringLiteral("object")) {
            if (!t.closing) {
                if (attribute(t.attributes, QStringLiteral("type"))
                        .compare(QStringLiteral("text/sitemap"), Qt::CaseInsensitive) == 0)
                    entry.emplace();
            } else if (entry) {
                if (!entry->name.isEmpty() || !entry->topics.isEmpty()) open.back()->append(*entry);
                entry.reset();
            }
        } else if (t.name == QStringLiteral("param") && entry) {
            const QString name = attribute(t.attributes, QStringLiteral("name"));
            const QString value = attribute(t.attributes, QStringLiteral("value"));
            if (name.compare(QStringLiteral("Name"), Qt::CaseInsensitive) == 0 && entry->name.isEmpty())
                entry->name = value;
            else if (name.compare(QStringLiteral("Local"), Qt::CaseInsensitive) == 0 && !value.isEmpty())
                entry->topics.append(value);
        }
    }
    return root;
}

QStringList sitemap::linkNames(const QByteArray& bytes) {
    QStringList out;
    for (const Tag& t : tags(decode(bytes))) {
        if (t.closing || t.name != QStringLiteral("param")) continue;
        if (attribute(t.attributes, QStringLiteral("name"))
                .compare(QStringLiteral("ALink Name"), Qt::CaseInsensitive) != 0)
            continue;
        for (const QString& n :
             attribute(t.attributes, QStringLiteral("value")).split(u';', Qt::SkipEmptyParts))
            if (!n.trimmed().isEmpty()) out.append(n.trimmed());
    }
    return out;
}

QString sitemap::pageTitle(const QByteArray& bytes) {
    static const QRegularExpression title(QStringLiteral(R"(<title[^>]*>(.*?)</title>)"),
                                          QRegularExpression::CaseInsensitiveOption |
                                              QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch m = title.match(decode(bytes));
    return m.hasMatch() ? unescape(m.captured(1).simplified()) : QString();
}
