#include "platform/HelpViewer.h"

namespace {

class NoViewer final : public HelpViewer {
public:
    qint32 htmlHelp(qint32, const QByteArray&, int, const hh::Data&) override { return 0; }
    QPoint cursorPosition() override { return {}; }
    void deleteSystemMenuCommand(qint32, int) override {}
    void sendSystemCommand(qint32, int) override {}
};

NoViewer g_noViewer;
HelpViewer* g_viewer = nullptr;

} // namespace

HelpViewer& helpViewer() {
    return g_viewer ? *g_viewer : g_noViewer;
}

void setHelpViewer(HelpViewer* viewer) {
    g_viewer = viewer;
}
