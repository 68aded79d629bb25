// What the host sees of the plug-in's calls to the system: its beeps. A person hears a beep;
// the host's scripts print "beep" where it sounded, so a test can tell a refused entry.
#pragma once

#include <windows.h>

// Points the plug-in's import of MessageBeep at the host's own, which prints "beep". False
// when the module imports no MessageBeep.
bool RecordBeepsOf(HMODULE plugin);
