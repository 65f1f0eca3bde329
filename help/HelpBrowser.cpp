#include "HelpBrowser.h"

#include "ChmFile.h"
#include "Launcher.h"

#include <QTextDocument>
#include <QUrl>

namespace {

// Topics are shown under relative addresses ("/page.htm"), so that the page's own links resolve
// against them and never leave the file by accident.
QUrl topicUrl(const QString& path, const QString& fragment) {
    QUrl url;
    url.setPath(path);
    if (!fragment.isEmpty()) url.setFragment(fragment);
    return url;
}

} // namespace

HelpBrowser::HelpBrowser(QWidget* parent) : QTextBrowser(parent) {
    setObjectName(QStringLiteral("HelpPage"));
    setOpenLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, &HelpBrowser::followLink);
    connect(this, &QTextBrowser::sourceChanged, this, [this] { Q_EMIT topicShown(m_topic); });
}

bool HelpBrowser::showTopic(const QString& topic) {
    if (!m_file) return false;
    const qsizetype hash = topic.indexOf(u'#');
    const QString path = ChmFile::normalPath(hash < 0 ? topic : topic.left(hash));
    const QString fragment = hash < 0 ? QString() : topic.mid(hash + 1);
    if (!m_file->contains(path)) {
        setHtml(QStringLiteral("<p>This topic is not in the help file: %1</p>").arg(path.toHtmlEscaped()));
        return false;
    }
    setSource(topicUrl(path, fragment), QTextDocument::HtmlResource);
    return true;
}

void HelpBrowser::followLink(const QUrl& link) {
    const QString scheme = link.scheme().toLower();
    if (!scheme.isEmpty() && scheme != QStringLiteral("ms-its") && scheme != QStringLiteral("mk")) {
        // Web and mail addresses go to the desktop; a link to anything else (a file, a program) is not
        // followed out of a help page.
        if (scheme == QStringLiteral("http") || scheme == QStringLiteral("https") ||
            scheme == QStringLiteral("mailto"))
            launcher().openUrl(link.toString());
        return;
    }
    if (link.path().isEmpty() && link.hasFragment()) {
        scrollToAnchor(link.fragment());
        return;
    }
    // "file.chm::/page.htm" links name a page inside a help file: this one's.
    QString path = link.path();
    const qsizetype inside = path.indexOf(QStringLiteral("::"));
    if (inside >= 0) path = path.mid(inside + 2);
    if (!path.startsWith(u'/')) path = m_topic.left(m_topic.lastIndexOf(u'/') + 1) + path;
    showTopic(link.hasFragment() ? path + u'#' + link.fragment() : path);
}

QVariant HelpBrowser::loadResource(int type, const QUrl& name) {
    if (!m_file || !name.scheme().isEmpty()) return {};
    QString path = name.path();
    if (!path.startsWith(u'/')) path = m_topic.left(m_topic.lastIndexOf(u'/') + 1) + path;
    // A page is loaded before its pictures (also when going back and forward), so that they resolve
    // against its own place.
    if (type == QTextDocument::HtmlResource) m_topic = ChmFile::normalPath(path);
    const std::optional<QByteArray> bytes = m_file->read(path);
    if (!bytes) return {};
    if (type == QTextDocument::HtmlResource) return QString::fromUtf8(*bytes);
    return *bytes;
}
