// "Open..." and "Open all games from the folder...": the system's dialogs, then a loading job.
#pragma once

// Prepares the file dialog used by "Open..." and the output "Browse..." button.
void PrepareFileDialog();
void OpenPgnFile();
void OpenPgnFolder();
