#include "orbin/OrbinDuties.h"

#include "core/ErrorReport.h"
#include "core/Globals.h"
#include "core/OrbinWindow.h"
#include "core/Settings.h"
#include "platform/FormPort.h"
#include "platform/Prompter.h"

#include <QAction>
#include <QMenu>
#include <QWidget>

namespace orbinduties {

void makeMenu(QMenu* articles, const std::function<void(int index)>& read) {
    trapped(QStringLiteral(" - frmFloater.makeMenu: "), QStringLiteral(" Error"), [&] {
        const int m = gSettings->MaxNumberOfArticles().value();
        const int r = gSettings->LastArticleRead().value();
        const int n = r < m - 1 ? r : m;
        int count = 0;
        for (const QAction* a : articles->actions())
            if (a->objectName() == QStringLiteral("mnuReadArticle")) ++count;
        for (int i = count; i < n; ++i) {
            QAction* a = articles->addAction(QStringLiteral("Read Article &%1").arg(i + 1));
            a->setObjectName(QStringLiteral("mnuReadArticle"));
            a->setProperty("Index", i);
            QObject::connect(a, &QAction::triggered, articles, [read, i] { read(i); });
        }
    });
}

bool confirmQuit() {
    if (gOrbinWindow) gOrbinWindow->shrinkFloater();
    return prompter().messageBox(QStringLiteral("Do you really want to close down Quorvane?"),
                                 Prompter::Buttons::YesNo, Prompter::Icon::Question,
                                 QStringLiteral("Quorvane!")) != Prompter::No;
}

QWidget* companionOwner() {
    QWidget* owner = nullptr;
    ignoringFailures([&] {
        if (gOrbinWindow) owner = dynamic_cast<QWidget*>(gOrbinWindow->form());
    });
    return owner;
}

} // namespace orbinduties
