#pragma once

// The help viewer as the core sees it: start-up and quit only need to close its windows. The help
// subsystem installs the real one.
class HTMLHelp {
public:
    virtual ~HTMLHelp() = default;
    // Closes every help window.
    virtual void HHClose() {}
};

// Made on first use through the installed factory (a plain one when none was installed).
HTMLHelp* helpObject();
using HTMLHelpFactory = HTMLHelp* (*)();
void setHTMLHelpFactory(HTMLHelpFactory factory);
