// Runs a script of user actions in the host: one step per timer tick on the user-interface
// thread, so that steps run inside whatever message loop is running then (the host's, a modal
// window's, a message box's, a file dialog's or a pop-up menu's) and act through the messages a
// person's mouse and keyboard would send.
#pragma once

#include <windows.h>

#include "host/host_script.h"

namespace hostsim {

// Starts running the steps; a step that fails prints its line and reason, sets exit code 3 and
// closes the host.
void RunScript(Script script, HWND mainWindow);

}  // namespace hostsim
