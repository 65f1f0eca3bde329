#pragma once

#include "tests/orbin/OrbinFixture.h"

#include "core/Game.h"
#include "core/Items.h"
#include "dialogs/ItemOpeners.h"
#include "dialogs/dlgEditTaskDetails.h"
#include "dialogs/dlgNewTaskDetails.h"
#include "tests/support/ItemXml.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <pugixml.hpp>

// The program started on Monday 7 December 2026 at 10:00 with the items given (period 1 runs), and the
// ways a person reaches the task dialogs and what lands in the items file.
class Tasks : public Orbin {
protected:
    void seed() override { writeItems(items); }
    void SetUp() override {
        Orbin::SetUp();
        gGame->getStatus(); // as at start-up: today on the orbin, the period of the clock running
    }

    // New -> Task on the orbin's menu.
    dlgNewTaskDetails* openNew() const {
        action("mnuTask")->trigger();
        dlgNewTaskDetails* found = nullptr;
        for (FormPort* f : forms::loaded())
            if (auto* d = dynamic_cast<dlgNewTaskDetails*>(f)) found = d;
        return found;
    }
    static dlgEditTaskDetails* openEdit(int id) {
        openEditTask(Integer(id));
        return dlgEditTaskDetails::instance();
    }
    template <class T = QWidget> static T* child(const QWidget* form, const char* name) {
        return form->findChild<T*>(QString::fromLatin1(name));
    }
    static QAbstractButton* buttonCaptioned(const QWidget* form, const QString& caption) {
        for (QAbstractButton* b : form->findChildren<QAbstractButton*>())
            if (b->text() == caption) return b;
        return nullptr;
    }
    static bool loaded(QWidget* form) {
        return form && forms::loaded().contains(dynamic_cast<FormPort*>(form));
    }
    static QString shortDate(const QDate& d) { return QLocale().toString(d, QLocale::ShortFormat); }
    // A field of an item as the items file on disk holds it (a null text when there is no such item).
    QString stored(int id, const char* field) const {
        pugi::xml_document doc;
        doc.load_file((env.dataDir() + QStringLiteral("items.xml")).toLocal8Bit().constData());
        const std::string path = "//item[id='" + std::to_string(id) + "']/" + field;
        const pugi::xpath_node node = doc.select_node(path.c_str());
        return node ? QString::fromUtf8(node.node().text().as_string()) : QString();
    }

    QByteArray items;
};
