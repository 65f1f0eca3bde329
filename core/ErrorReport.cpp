#include "core/ErrorReport.h"

#include "core/File.h"
#include "core/Globals.h"
#include "core/Initialize.h"
#include "core/OrbinWindow.h"
#include "core/Settings.h"
#include "platform/Prompter.h"

#include <QDebug>

namespace {
int g_redrawDepth = 0;
}

OrbinRedrawScope::OrbinRedrawScope() {
    ++g_redrawDepth;
}
OrbinRedrawScope::~OrbinRedrawScope() {
    --g_redrawDepth;
}
bool OrbinRedrawScope::active() {
    return g_redrawDepth > 0;
}

QString errorReportText(const Failure& failure, const QString& location) {
    return QStringLiteral("Error!\r\n") + failure.source() + location + QString::number(failure.number()) +
           QStringLiteral(" - ") + failure.description();
}

QString errorReportTitle(const QString& titleSuffix) {
    return QStringLiteral("Quorvane") + titleSuffix;
}

void reportError(const Failure& failure, const QString& location, const QString& titleSuffix,
                 bool shrinkOrbin) {
    if (shrinkOrbin && boxesCanBeAnswered()) shrinkOrbinBeforeBox();
    if (!boxesCanBeAnswered()) {
        logLine(errorReportTitle(titleSuffix) + QStringLiteral(": ") + errorReportText(failure, location));
        return;
    }
    prompter().messageBox(errorReportText(failure, location), Prompter::Buttons::OK,
                          Prompter::Icon::Exclamation, errorReportTitle(titleSuffix));
}

void shrinkOrbinBeforeBox() {
    if (!gOrbinWindow || OrbinRedrawScope::active()) return;
    try {
        gOrbinWindow->shrinkFloater();
    } catch (const std::exception&) {
        // The box matters more than the shrink.
    }
}

bool boxesCanBeAnswered() {
    return !gQuitRequested;
}

void logLine(const QString& text) {
    QString line = text;
    line.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    qWarning().noquote() << line;
    if (!gSettings) return;
    try {
        if (gFile)
            gFile->writeToLog(line);
        else
            File().writeToLog(line);
    } catch (const std::exception&) {
        // The standard error stream has it.
    }
}

Failure asFailure(const std::exception* e) {
    if (const auto* f = dynamic_cast<const Failure*>(e)) return *f;
    if (e) return Failure(51, QStringLiteral("Internal error: ") + QString::fromLocal8Bit(e->what()));
    return Failure(51, QStringLiteral("Internal error"));
}

bool errorHandlingOn() {
    return !gSettings || gSettings->bErrorHandling();
}
