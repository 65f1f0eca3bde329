// The orbin's search: the box over the top strip, its close cross, and the list of hits beside the window.

#include "frmFloater.h"

#include "ErrorReport.h"
#include "Globals.h"
#include "Items.h"
#include "NumberText.h"
#include "OrbinPicture.h"
#include "WindowProcs.h"
#include "frmSearch.h"

#include <QFrame>
#include <QLineEdit>
#include <QListWidget>
#include <cmath>

const QString frmFloater::SearchPrompt = QStringLiteral("Enter search text here!");

void frmFloater::btnSearch_Click() {
    trapped(QStringLiteral(" - frmFloater.btnSearch_Click: "), QStringLiteral(" Error"), [&] {
        m_txtSearch->show();
        // The prompt is searched for once, as any change of the text is, even when it stood there already.
        {
            const QSignalBlocker quiet(m_txtSearch);
            m_txtSearch->setText(SearchPrompt);
        }
        txtSearch_Change();
        m_txtSearch->raise();
        // The whole text selected from its end back to its start: the cursor rests at the start, so the
        // box, narrower than the prompt, shows the prompt from its first letter.
        const int length = static_cast<int>(m_txtSearch->text().size());
        m_txtSearch->setSelection(length, -length);
        m_fraCloseSearch->show();
        m_fraCloseSearch->raise();
        // The list comes up without taking the keyboard from the box.
        windowprocs::showWithoutActivating(frmSearch::instance());
        activateWindow();
        m_txtSearch->setFocus();
    });
}

void frmFloater::txtSearch_Change() {
    trapped(QStringLiteral(" - frmFloater.txtSearch_Change: "), QStringLiteral(" Error"), [&] {
        QListWidget* list = frmSearch::instance()->lstSearch();
        list->clear();
        const QStringList ids = gItems->getIDsMatchingString(m_txtSearch->text());
        if (ids.isEmpty() || ids.first().isEmpty()) return;
        for (const QString& text : ids) {
            // Only ids that name an item: whole numbers from 1 up.
            const std::optional<double> number = numtext::parseNumber(text);
            if (!number || *number < 1 || *number > 32767 || *number != std::floor(*number)) continue;
            const Integer id = numtext::toInteger(*number);
            auto* entry = new QListWidgetItem(gItems->Title(id) + QStringLiteral(" (") + gItems->Type_(id) +
                                              QStringLiteral(")"));
            entry->setData(Qt::UserRole, id.value());
            list->addItem(entry);
        }
    });
}

void frmFloater::txtSearch_Click() {
    if (m_txtSearch->text() == SearchPrompt) m_txtSearch->setText(QString());
}

void frmFloater::imgCloseSearch_Click() {
    ignoringFailures([&] {
        m_txtSearch->hide();
        m_fraCloseSearch->hide();
    });
    ignoringFailures([&] {
        if (FormPort* list = forms::find(QStringLiteral("frmSearch"))) {
            frmSearch::instance()->lstSearch()->clear();
            list->unloadForm();
        }
    });
}
