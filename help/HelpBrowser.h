#pragma once

#include <QImage>
#include <QTextBrowser>
#include <optional>

class ChmFile;

// The page of the help viewer: shows the topics of a help file, with their pictures and style sheets, from
// inside the file and from nowhere else. Links to other topics are followed here; web and mail links go to
// the desktop's browser.
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
    QImage picture(const std::optional<QByteArray>& bytes);
    QString styleSheet(const std::optional<QByteArray>& bytes);

    const ChmFile* m_file = nullptr;
    QString m_topic;
    // What the shown topic has taken so far, each kept within its bound.
    qint64 m_pictureBytes = 0;
    int m_sheetRules = 0;
};
