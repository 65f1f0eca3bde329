#pragma once

#include "help/Sitemap.h"

#include <QMap>
#include <QWidget>
#include <memory>
#include <optional>

class ChmFile;
class HelpBrowser;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;

// A window of the help viewer: the contents, the index and the search page on the left, the topic on the
// right. One window shows one help file in one of its window definitions.
class HelpWindow : public QWidget {
    Q_OBJECT
public:
    enum class Pane { Contents, Index, Search };

    HelpWindow(std::shared_ptr<const ChmFile> file, const QString& definition);

    const ChmFile& file() const { return *m_file; }
    const QString& definition() const { return m_definition; }

    void showPane(Pane pane);
    // Shows a topic; false (with a note in the page) when the file has no such topic.
    bool showTopic(const QString& topic);
    // Shows the window's first topic unless a topic is shown already.
    void showFirstTopic();
    // The topics of the index entries named by the keywords, in index order, each once.
    QStringList keywordTopics(const QStringList& keywords) const;
    // The topics that declare one of the link names, in file order.
    QStringList linkTopics(const QStringList& names) const;
    // Lists the topics that hold every word of the text on the search page.
    void search(const QString& words);
    // Puts the index at the first entry that begins with the text.
    void findInIndex(const QString& text);

    HelpBrowser* page() const { return m_page; }
    QTreeWidget* contentsTree() const { return m_contents; }
    QListWidget* indexList() const { return m_index; }
    QListWidget* searchResults() const { return m_results; }
    QTabWidget* panes() const { return m_tabs; }

private:
    void fillContents(const QList<SitemapEntry>& entries, QTreeWidgetItem* parent);
    void fillIndex(const QList<SitemapEntry>& entries, int level);
    void markContentsEntry(const QString& topic);
    void showChosen(const QStringList& topics);
    // Each page of the file: its path, title and plain text, read on first need.
    struct Page {
        QString path;
        QString title;
        QString text;
        QStringList linkNames;
    };
    const QList<Page>& pages() const;

    std::shared_ptr<const ChmFile> m_file;
    QString m_definition;
    QString m_firstTopic;
    QList<SitemapEntry> m_keywords;
    mutable std::optional<QList<Page>> m_pages;

    QTabWidget* m_tabs = nullptr;
    QTreeWidget* m_contents = nullptr;
    QLineEdit* m_indexText = nullptr;
    QListWidget* m_index = nullptr;
    QLineEdit* m_searchText = nullptr;
    QListWidget* m_results = nullptr;
    QPushButton* m_back = nullptr;
    QPushButton* m_forward = nullptr;
    HelpBrowser* m_page = nullptr;
};
