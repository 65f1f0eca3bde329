#pragma once

#include "help/HelpWindow.h"
#include "help/TextPopup.h"
#include "platform/HelpViewer.h"

#include <QList>
#include <QPointer>
#include <QString>

// The help viewer of this program: opens compiled help files in its own windows (one for each file and
// window definition), shows text popups, and closes them all on request.
class ChmViewer final : public HelpViewer {
public:
    qint32 htmlHelp(qint32 owner, const QByteArray& file, int command, const hh::Data& data) override;
    QPoint cursorPosition() override;
    void deleteSystemMenuCommand(qint32 window, int command) override;
    void sendSystemCommand(qint32 window, int command) override;

    // The viewer's windows that are open, oldest first.
    QList<HelpWindow*> windows() const;
    TextPopup* popup() const { return m_popup; }

private:
    HelpWindow* windowFor(const QString& file, const QString& definition, qint32 owner);
    qint32 popUp(qint32 owner, const QString& file, const QString& inner, const hh::Popup& record);
    qint32 lookUp(HelpWindow* window, const hh::LinkLookup& record, bool links);
    void closeAll();
    void sayUnreadable(const QString& file);

    QList<QPointer<HelpWindow>> m_windows;
    QPointer<TextPopup> m_popup;
    bool m_saidUnreadable = false;
};

// Makes this viewer the one the help object calls, and names the libraries it draws on in the
// machine-wide registry places of the viewer and its page component.
void installHelpViewer();
ChmViewer& chmViewer();
