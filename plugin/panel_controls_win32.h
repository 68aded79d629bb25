// The panel's controls: made when the panel is created, placed on every resize, and what the
// bottom bar's buttons and field do.
#pragma once

#include <windows.h>

// Shows or hides the controls of an option page.
void ShowPageControls(int page, bool shown);
// The output field's text becomes the output path.
void CommitOutputField();
// "Start": the games chosen, then the job that writes them.
void StartProcessing();
