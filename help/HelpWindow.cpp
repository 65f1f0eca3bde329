#include "help/HelpWindow.h"

#include "help/ChmFile.h"
#include "help/HelpBrowser.h"
#include "help/PageBounds.h"
#include "help/SealedDocument.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSplitter>
#include <QTabWidget>
#include <QTextDocumentFragment>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>
#include <functional>

namespace {

constexpr int TopicsRole = Qt::UserRole;

QString joinedPath(const QString& topic) {
    return ChmFile::normalPath(topic.section(u'#', 0, 0));
}

} // namespace

HelpWindow::HelpWindow(std::shared_ptr<const ChmFile> file, const QString& definition)
    : m_file(std::move(file)), m_definition(definition) {
    setObjectName(QStringLiteral("HelpWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    const ChmFile::WindowDefinition* def = m_file->window(definition);
    QString caption = def ? def->caption : QString();
    if (caption.isEmpty()) caption = m_file->title();
    if (caption.isEmpty()) caption = QStringLiteral("Help");
    setWindowTitle(caption);
    m_firstTopic = def && !def->home.isEmpty() ? def->home : m_file->defaultTopic();

    m_tabs = new QTabWidget;
    m_tabs->setObjectName(QStringLiteral("HelpPanes"));

    m_contents = new QTreeWidget;
    m_contents->setObjectName(QStringLiteral("treContents"));
    m_contents->setHeaderHidden(true);
    m_contents->setRootIsDecorated(true);
    m_tabs->addTab(m_contents, QStringLiteral("Contents"));

    auto* indexPane = new QWidget;
    auto* indexLayout = new QVBoxLayout(indexPane);
    auto* indexLabel = new QLabel(QStringLiteral("Type in the keyword to find:"));
    m_indexText = new QLineEdit;
    m_indexText->setObjectName(QStringLiteral("txtIndex"));
    indexLabel->setBuddy(m_indexText);
    m_index = new QListWidget;
    m_index->setObjectName(QStringLiteral("lstIndex"));
    auto* display = new QPushButton(QStringLiteral("&Display"));
    display->setObjectName(QStringLiteral("butDisplay"));
    indexLayout->addWidget(indexLabel);
    indexLayout->addWidget(m_indexText);
    indexLayout->addWidget(m_index);
    indexLayout->addWidget(display, 0, Qt::AlignRight);
    m_tabs->addTab(indexPane, QStringLiteral("Index"));

    auto* searchPane = new QWidget;
    auto* searchLayout = new QVBoxLayout(searchPane);
    auto* searchLabel = new QLabel(QStringLiteral("Type in the word(s) to search for:"));
    m_searchText = new QLineEdit;
    m_searchText->setObjectName(QStringLiteral("txtSearch"));
    searchLabel->setBuddy(m_searchText);
    auto* list = new QPushButton(QStringLiteral("&List Topics"));
    list->setObjectName(QStringLiteral("butListTopics"));
    m_results = new QListWidget;
    m_results->setObjectName(QStringLiteral("lstTopics"));
    searchLayout->addWidget(searchLabel);
    searchLayout->addWidget(m_searchText);
    searchLayout->addWidget(list, 0, Qt::AlignRight);
    searchLayout->addWidget(m_results);
    m_tabs->addTab(searchPane, QStringLiteral("Search"));

    m_page = new HelpBrowser;
    m_page->setFile(m_file.get());
    m_back = new QPushButton(QStringLiteral("&Back"));
    m_back->setObjectName(QStringLiteral("butBack"));
    m_back->setEnabled(false);
    m_forward = new QPushButton(QStringLiteral("&Forward"));
    m_forward->setObjectName(QStringLiteral("butForward"));
    m_forward->setEnabled(false);

    auto* right = new QWidget;
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_back);
    buttons->addWidget(m_forward);
    buttons->addStretch();
    rightLayout->addLayout(buttons);
    rightLayout->addWidget(m_page);

    auto* splitter = new QSplitter;
    splitter->addWidget(m_tabs);
    splitter->addWidget(right);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({260, 540});
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(splitter);

    if (def && !def->place.isEmpty()) {
        // Where the file's window definition puts it, kept on the screen.
        QRect place = def->place;
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            const QRect avail = screen->availableGeometry();
            place.setSize(place.size().boundedTo(avail.size()));
            if (!avail.contains(place)) place.moveTopLeft(avail.topLeft());
        }
        setGeometry(place);
    } else {
        resize(800, 600);
    }

    if (const auto hhc = m_file->read(m_file->contentsFile())) fillContents(sitemap::parse(*hhc), nullptr);
    if (const auto hhk = m_file->read(m_file->indexFile())) {
        m_keywords = sitemap::parse(*hhk);
        fillIndex(m_keywords, 0);
    }

    connect(m_contents, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (!item) return;
        const QStringList topics = item->data(0, TopicsRole).toStringList();
        if (!topics.isEmpty() && joinedPath(topics.front()) != m_page->topic())
            m_page->showTopic(topics.front());
    });
    connect(m_contents, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
        const QStringList topics = item->data(0, TopicsRole).toStringList();
        if (topics.isEmpty()) item->setExpanded(!item->isExpanded());
    });
    connect(m_indexText, &QLineEdit::textEdited, this, &HelpWindow::findInIndex);
    auto showIndexEntry = [this] {
        if (QListWidgetItem* item = m_index->currentItem()) showChosen(item->data(TopicsRole).toStringList());
    };
    connect(m_index, &QListWidget::itemActivated, this, showIndexEntry);
    connect(m_indexText, &QLineEdit::returnPressed, this, showIndexEntry);
    connect(display, &QPushButton::clicked, this, showIndexEntry);
    auto runSearch = [this] { search(m_searchText->text()); };
    connect(list, &QPushButton::clicked, this, runSearch);
    connect(m_searchText, &QLineEdit::returnPressed, this, runSearch);
    connect(m_results, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { showChosen(item->data(TopicsRole).toStringList()); });
    connect(m_back, &QPushButton::clicked, m_page, &QTextBrowser::backward);
    connect(m_forward, &QPushButton::clicked, m_page, &QTextBrowser::forward);
    connect(m_page, &QTextBrowser::backwardAvailable, m_back, &QWidget::setEnabled);
    connect(m_page, &QTextBrowser::forwardAvailable, m_forward, &QWidget::setEnabled);
    connect(m_page, &HelpBrowser::topicShown, this, &HelpWindow::markContentsEntry);
}

void HelpWindow::fillContents(const QList<SitemapEntry>& entries, QTreeWidgetItem* parent) {
    for (const SitemapEntry& e : entries) {
        auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(m_contents);
        item->setText(0, e.name);
        item->setData(0, TopicsRole, e.topics);
        fillContents(e.children, item);
        if (!parent) item->setExpanded(true);
    }
}

void HelpWindow::fillIndex(const QList<SitemapEntry>& entries, int level) {
    for (const SitemapEntry& e : entries) {
        auto* item = new QListWidgetItem(QString(level * 4, u' ') + e.name, m_index);
        item->setData(TopicsRole, e.topics);
        fillIndex(e.children, level + 1);
    }
}

void HelpWindow::markContentsEntry(const QString& topic) {
    for (QTreeWidgetItemIterator it(m_contents); *it; ++it) {
        const QStringList topics = (*it)->data(0, TopicsRole).toStringList();
        if (!topics.isEmpty() && joinedPath(topics.front()) == topic) {
            const QSignalBlocker quiet(m_contents);
            m_contents->setCurrentItem(*it);
            return;
        }
    }
}

void HelpWindow::showPane(Pane pane) {
    m_tabs->setCurrentIndex(static_cast<int>(pane));
    if (pane == Pane::Index) m_indexText->setFocus();
    if (pane == Pane::Search) m_searchText->setFocus();
}

bool HelpWindow::showTopic(const QString& topic) {
    return m_page->showTopic(topic);
}

void HelpWindow::showFirstTopic() {
    if (!m_page->topic().isEmpty()) return;
    QString first = m_firstTopic;
    if (first.isEmpty()) {
        // A file without a first topic opens at its first contents entry.
        for (QTreeWidgetItemIterator it(m_contents); *it && first.isEmpty(); ++it)
            first = (*it)->data(0, TopicsRole).toStringList().value(0);
    }
    if (!first.isEmpty()) m_page->showTopic(first);
}

void HelpWindow::showChosen(const QStringList& topics) {
    if (!topics.isEmpty()) m_page->showTopic(topics.front());
}

void HelpWindow::findInIndex(const QString& text) {
    const QString wanted = text.trimmed();
    if (wanted.isEmpty()) return;
    for (int i = 0; i < m_index->count(); ++i) {
        if (m_index->item(i)->text().trimmed().startsWith(wanted, Qt::CaseInsensitive)) {
            m_index->setCurrentRow(i);
            m_index->scrollToItem(m_index->item(i), QAbstractItemView::PositionAtTop);
            return;
        }
    }
}

QStringList HelpWindow::keywordTopics(const QStringList& keywords) const {
    QStringList out;
    std::function<void(const QList<SitemapEntry>&)> walk = [&](const QList<SitemapEntry>& entries) {
        for (const SitemapEntry& e : entries) {
            const bool named = std::any_of(keywords.cbegin(), keywords.cend(), [&](const QString& k) {
                return e.name.compare(k.trimmed(), Qt::CaseInsensitive) == 0;
            });
            if (named)
                for (const QString& t : e.topics)
                    if (!out.contains(joinedPath(t))) out.append(joinedPath(t));
            walk(e.children);
        }
    };
    walk(m_keywords);
    return out;
}

QStringList HelpWindow::linkTopics(const QStringList& names) const {
    QStringList out;
    for (const Page& p : pages()) {
        const bool named = std::any_of(names.cbegin(), names.cend(), [&](const QString& n) {
            return p.linkNames.contains(n.trimmed(), Qt::CaseInsensitive);
        });
        if (named) out.append(p.path);
    }
    return out;
}

const QList<HelpWindow::Page>& HelpWindow::pages() const {
    if (!m_pages) {
        m_pages.emplace();
        for (const QString& path : m_file->files()) {
            if (!path.endsWith(QStringLiteral(".htm"), Qt::CaseInsensitive) &&
                !path.endsWith(QStringLiteral(".html"), Qt::CaseInsensitive))
                continue;
            const QByteArray html = m_file->read(path, pagebounds::MostPageBytes).value_or(QByteArray());
            Page p;
            p.path = path;
            p.title = sitemap::pageTitle(html);
            if (p.title.isEmpty()) p.title = path.mid(1);
            // The words of the page as it is shown, read without its pictures and style sheets.
            const SealedDocument sealed;
            p.text = QTextDocumentFragment::fromHtml(pagebounds::bounded(QString::fromUtf8(html)), &sealed)
                         .toPlainText();
            p.linkNames = sitemap::linkNames(html);
            m_pages->append(p);
        }
    }
    return *m_pages;
}

void HelpWindow::search(const QString& words) {
    showPane(Pane::Search);
    m_searchText->setText(words);
    m_results->clear();
    const QStringList wanted = words.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    if (wanted.isEmpty()) return;
    QList<const Page*> found;
    for (const Page& p : pages()) {
        const QString all = p.title + u'\n' + p.text;
        if (std::all_of(wanted.cbegin(), wanted.cend(),
                        [&](const QString& w) { return all.contains(w, Qt::CaseInsensitive); }))
            found.append(&p);
    }
    std::sort(found.begin(), found.end(),
              [](const Page* a, const Page* b) { return a->title.localeAwareCompare(b->title) < 0; });
    for (const Page* p : found) {
        auto* item = new QListWidgetItem(p->title, m_results);
        item->setData(TopicsRole, QStringList{p->path});
    }
    if (m_results->count() > 0) m_results->setCurrentRow(0);
}
