#pragma once

#include <QTextDocument>

// A text document that takes nothing from outside itself: every picture, style sheet or page it asks for
// is empty. Qt's own loading would read file: addresses and relative names from the disk.
class SealedDocument : public QTextDocument {
    Q_OBJECT
public:
    using QTextDocument::QTextDocument;

protected:
    QVariant loadResource(int type, const QUrl& name) override;
};
