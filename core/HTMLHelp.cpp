#include "HTMLHelp.h"

#include "Globals.h"

namespace {
HTMLHelpFactory g_factory = nullptr;
}

HTMLHelp* helpObject() {
    if (!gHTMLHelp) gHTMLHelp = g_factory ? g_factory() : new HTMLHelp;
    return gHTMLHelp;
}

void setHTMLHelpFactory(HTMLHelpFactory factory) {
    g_factory = factory;
}
