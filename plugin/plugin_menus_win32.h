// The plug-in's menus: the pop-up menu with its "Rename" submenu, the two items added to the
// host's menu, and what each command does.
#pragma once

#include <windows.h>

// Creates the menus and registers every item's command with the host, in the order the host
// expects.
void BuildMenus();
// Pops the plug-in menu up at a screen point (its top-left corner there, or its bottom-left
// corner when `above`), its commands going to the host's main window.
void PopUpPluginMenu(POINT screen, bool above = false);
// Sets the "Make default automatically" check mark.
void CheckMakeDefaultItem(bool checked);
