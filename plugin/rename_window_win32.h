// The rename window: a player, tournament or site renamed across every game of the list.
#pragma once

#include "dialogs/renaming.h"

// Runs the host's modal window "Переименовать" for the kind; renames may be run in it any
// number of times before it is closed.
void RunRenameWindow(RenameKind kind);
