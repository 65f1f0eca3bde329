#include "pagechain/PageContent.h"

#include "platform/Failure.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <pugixml.hpp>

namespace {

QString attr(const pugi::xml_node& node, const char* name) {
    return QString::fromUtf8(node.attribute(name).value());
}

QString textOf(const pugi::xml_node& node) {
    return QString::fromUtf8(node.child_value()).simplified();
}

[[noreturn]] void fail(const QString& path, const QString& what) {
    throw Failure(err::InvalidCall, QStringLiteral("%1: %2").arg(path, what), QStringLiteral("Pages"));
}

bool yes(const pugi::xml_node& node, const char* name, bool byDefault) {
    const QString v = attr(node, name);
    if (v.isEmpty()) return byDefault;
    return v == QLatin1String("yes");
}

} // namespace

const PageSpec* ChainSpec::find(const QString& name) const {
    for (const PageSpec& p : pages)
        if (p.name == name) return &p;
    return nullptr;
}

ChainSpec loadChain(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Failure(err::FileNotFound, QStringLiteral("%1: %2").arg(path, file.errorString()),
                      QStringLiteral("Pages"));
    const QByteArray bytes = file.readAll();
    pugi::xml_document doc;
    const pugi::xml_parse_result parsed =
        doc.load_buffer(bytes.constData(), static_cast<size_t>(bytes.size()));
    if (!parsed)
        fail(path,
             QStringLiteral("%1 at byte %2").arg(QString::fromUtf8(parsed.description())).arg(parsed.offset));

    const pugi::xml_node root = doc.child("chain");
    if (!root) fail(path, QStringLiteral("no <chain>"));
    const QDir folder = QFileInfo(path).dir();

    ChainSpec chain;
    chain.size = QSize(QString::fromUtf8(root.attribute("width").value()).toInt(),
                       QString::fromUtf8(root.attribute("height").value()).toInt());
    if (chain.size.width() < 200 || chain.size.height() < 150) fail(path, QStringLiteral("no page size"));

    for (const pugi::xml_node& node : root.children()) {
        if (node.type() != pugi::node_element) continue;
        const QString tag = QString::fromUtf8(node.name());
        if (tag == QLatin1String("notice")) {
            chain.noticeTitle = attr(node, "title");
            QStringList lines;
            for (const pugi::xml_node& line : node.children("line"))
                lines << textOf(line);
            chain.noticeText = lines.join(QStringLiteral("\r\n"));
            continue;
        }
        if (tag != QLatin1String("page")) fail(path, QStringLiteral("unknown element <%1>").arg(tag));

        PageSpec page;
        page.name = attr(node, "name");
        page.caption = attr(node, "caption");
        page.topmost = yes(node, "topmost", true);
        if (page.name.isEmpty()) fail(path, QStringLiteral("a page without a name"));
        if (chain.find(page.name)) fail(path, QStringLiteral("page %1 twice").arg(page.name));

        // Labels without a name of their own take the next free "LabelN".
        QSet<QString> names;
        for (const pugi::xml_node& child : node.children())
            if (child.attribute("name")) names.insert(attr(child, "name"));
        int nextLabel = 1;
        auto freeLabelName = [&] {
            QString n;
            do {
                n = QStringLiteral("Label%1").arg(nextLabel++);
            } while (names.contains(n));
            names.insert(n);
            return n;
        };

        for (const pugi::xml_node& child : node.children()) {
            if (child.type() != pugi::node_element) continue;
            const QString kind = QString::fromUtf8(child.name());
            const QString where = QStringLiteral("page %1, <%2>").arg(page.name, kind);
            if (kind == QLatin1String("picture")) {
                if (page.picture) fail(path, where + QStringLiteral(": a second picture"));
                PagePicture pic{attr(child, "name"), folder.filePath(attr(child, "file")),
                                yes(child, "notice", false)};
                if (pic.name.isEmpty()) fail(path, where + QStringLiteral(": no name"));
                // A picture without a file name would name the content folder itself.
                if (!QFileInfo(pic.path).isFile())
                    fail(path, where + QStringLiteral(": no file %1").arg(pic.path));
                page.picture = pic;
            } else if (kind == QLatin1String("button")) {
                PageButton b{attr(child, "name"), textOf(child), PageButton::Action::Go, attr(child, "to")};
                const QString action = attr(child, "do");
                if (action == QLatin1String("end"))
                    b.action = PageButton::Action::End;
                else if (action == QLatin1String("close"))
                    b.action = PageButton::Action::Close;
                else if (!action.isEmpty() || b.target.isEmpty())
                    fail(path, where + QStringLiteral(": neither a page to go to nor end or close"));
                if (b.name.isEmpty() || b.caption.isEmpty())
                    fail(path, where + QStringLiteral(": no name or caption"));
                page.buttons << b;
            } else {
                PageItem item;
                if (kind == QLatin1String("heading"))
                    item.kind = PageItem::Kind::Heading;
                else if (kind == QLatin1String("subheading"))
                    item.kind = PageItem::Kind::Subheading;
                else if (kind == QLatin1String("text"))
                    item.kind = PageItem::Kind::Text;
                else if (kind == QLatin1String("link"))
                    item.kind = PageItem::Kind::Link;
                else
                    fail(path, QStringLiteral("page %1: unknown element <%2>").arg(page.name, kind));
                item.name = child.attribute("name") ? attr(child, "name") : freeLabelName();
                item.text = textOf(child);
                item.target = attr(child, "to");
                if (item.text.isEmpty()) fail(path, where + QStringLiteral(": no text"));
                if (item.kind == PageItem::Kind::Link && item.target.isEmpty())
                    fail(path, where + QStringLiteral(": a link to nowhere"));
                page.items << item;
            }
        }
        if (page.buttons.isEmpty()) fail(path, QStringLiteral("page %1 has no button").arg(page.name));
        chain.pages << page;
    }
    if (chain.pages.isEmpty()) fail(path, QStringLiteral("no page"));

    // Every way on leads to a page of this chain.
    for (const PageSpec& page : chain.pages) {
        QStringList targets;
        for (const PageItem& item : page.items)
            if (item.kind == PageItem::Kind::Link) targets << item.target;
        for (const PageButton& b : page.buttons)
            if (b.action == PageButton::Action::Go) targets << b.target;
        for (const QString& t : targets)
            if (!chain.find(t))
                fail(path, QStringLiteral("page %1 leads to %2, which is not there").arg(page.name, t));
        if (page.picture && page.picture->notice && chain.noticeText.isEmpty())
            fail(path, QStringLiteral("page %1: a picture notice, but the chain has none").arg(page.name));
    }
    return chain;
}
