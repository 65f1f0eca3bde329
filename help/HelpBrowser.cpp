#include "help/HelpBrowser.h"

#include "help/ChmFile.h"
#include "help/PageBounds.h"
#include "platform/Launcher.h"

#include <QApplication>
#include <QBuffer>
#include <QImageReader>
#include <QStyle>
#include <QTextDocument>
#include <QUrl>

namespace {

// Pictures are kept decoded while their page is shown: a damaged file could name thousands of them, or
// make a few bytes stand for a picture of gigabytes.
constexpr qint64 MostPictureBytes = 64 * 1024 * 1024; // a page's pictures, all together
constexpr qsizetype MostSheetBytes = 256 * 1024;

// The mark of a missing picture, as Qt draws it for one it cannot load; never a null picture, for on a
// null one Qt loads the name from the disk.
QImage missingPicture() {
    QImage mark = QApplication::style()->standardIcon(QStyle::SP_FileIcon).pixmap(16, 16).toImage();
    if (mark.isNull()) {
        mark = QImage(16, 16, QImage::Format_ARGB32);
        mark.fill(Qt::transparent);
    }
    return mark;
}

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

// Everything a page shows comes from inside the help file. A name with a scheme (file:, http:) or a path
// that is not in the file gets an empty resource, not a null one: on a null one Qt reads the name from
// the disk itself, and a page naming /dev/zero would have it read until memory runs out.
QVariant HelpBrowser::loadResource(int type, const QUrl& name) {
    std::optional<QByteArray> bytes;
    if (m_file && name.scheme().isEmpty()) {
        QString path = name.path();
        if (!path.startsWith(u'/')) path = m_topic.left(m_topic.lastIndexOf(u'/') + 1) + path;
        // A page is loaded before its pictures (also when going back and forward), so that they resolve
        // against its own place.
        if (type == QTextDocument::HtmlResource) {
            m_topic = ChmFile::normalPath(path);
            m_pictureBytes = 0;
            m_sheetRules = 0;
        }
        bytes = m_file->read(path, type == QTextDocument::HtmlResource ? pagebounds::MostPageBytes : -1);
    }
    switch (type) {
    case QTextDocument::HtmlResource:
        return bytes ? pagebounds::bounded(QString::fromUtf8(*bytes)) : QString();
    case QTextDocument::ImageResource:
        return picture(bytes);
    case QTextDocument::StyleSheetResource:
        return styleSheet(bytes);
    default:
        return QString();
    }
}

QImage HelpBrowser::picture(const std::optional<QByteArray>& bytes) {
    if (bytes) {
        QBuffer buffer;
        buffer.setData(*bytes);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer);
        const QSize size = reader.size();
        if (size.isValid() && qint64(size.width()) * size.height() * 4 <= MostPictureBytes - m_pictureBytes) {
            const QImage image = reader.read();
            if (!image.isNull()) {
                m_pictureBytes += image.sizeInBytes();
                return image;
            }
        }
    }
    return missingPicture();
}

QString HelpBrowser::styleSheet(const std::optional<QByteArray>& bytes) {
    if (!bytes) return QString();
    const QString css = QString::fromUtf8(bytes->left(MostSheetBytes));
    const int rules = pagebounds::ruleCount(css);
    if (rules > pagebounds::MostSheetRules - m_sheetRules) return QString();
    m_sheetRules += rules;
    return css;
}
