#pragma once

// Brings the running program in line with settings just applied: the orbin kept on top or released, and
// the hide key registered or released when its setting changed. hideKeyWasOn: the setting before.
void takeEffectAtOnce(bool hideKeyWasOn);
