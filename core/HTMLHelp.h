#pragma once

#include <QString>

// The help viewer as the core sees it: start-up and quit only need to close its windows. The help
// subsystem installs the real one.
class HTMLHelp {
public:
    virtual ~HTMLHelp() = default;
    // The help file the viewer opens.
    const QString& CHMFile() const { return m_chmFile; }
    void setCHMFile(const QString& file) { m_chmFile = file; }
    // Shows the help file's contents. (The viewer comes with the help subsystem; until then nothing
    // shows.)
    virtual void HHDisplayContents() {}
    // Closes every help window.
    virtual void HHClose() {}

private:
    QString m_chmFile;
};

// Made on first use through the installed factory (a plain one when none was installed).
HTMLHelp* helpObject();
using HTMLHelpFactory = HTMLHelp* (*)();
void setHTMLHelpFactory(HTMLHelpFactory factory);
