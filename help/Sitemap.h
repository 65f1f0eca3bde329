#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The contents and index files of a help file: nested lists of entries, each with a name and the topics
// it leads to.
struct SitemapEntry {
    QString name;
    QStringList topics; // in the order given; a book of the contents may have none
    QList<SitemapEntry> children;
};

namespace sitemap {
QList<SitemapEntry> parse(const QByteArray& html);
// The link names a page declares for link lookups.
QStringList linkNames(const QByteArray& html);
// A page's title; empty when it has none.
QString pageTitle(const QByteArray& html);
} // namespace sitemap
