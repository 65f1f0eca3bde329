#pragma once

#include <QTextBrowser>

class ChmFile;

// The page of the help viewer: shows the topics of a help file, with their pictures, from inside the
// file. Links to other topics are followed here; links out of the file go to the desktop's browser.
class HelpBrowser : public QTextBrowser {
    Q_OBJECT
public:
    explicit HelpBrowser(QWidget* parent = nullptr);
    void setFile(const ChmFile* file) { m_file = file; }
    // Shows a topic ("/page.htm", "page.htm#part"). False when the file holds no such topic; then a note
    // saying so is shown instead.
    bool showTopic(const QString& topic);
    // The topic shown, as a path inside the file; empty before the first.
    const QString& topic() const { return m_topic; }

    QVariant loadResource(int type, const QUrl& name) override;

Q_SIGNALS:
    void topicShown(const QString& topic);

private:
    void followLink(const QUrl& link);

    const ChmFile* m_file = nullptr;
    QString m_topic;
};
