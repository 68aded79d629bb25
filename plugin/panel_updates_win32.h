// The panel brought up to date after what changes the list or the options it shows, and the two
// commands that delete games from the list. Below every window and command of the plug-in that
// changes them, so that none of those needs another's module for it.
#pragma once

// Repaints the panel when it is visible.
void RefreshPanel();
// After every change of the list: the scroll bar placed, shown or hidden with its range, the
// current row scrolled into view, the panel repainted.
void RefreshList();
// Brings the panel's option controls in line with the processing options.
void RefreshOptionControls();
// "Delete highlighted" and "Delete all", with the list refreshed.
void DeleteHighlightedGames();
void DeleteAllGames();
