// "NAGs selection": the host's modal window in which the kept NAGs are chosen in groups.
#pragma once

// Runs the window over the panel; true when it ended with "Save" (the kept set then changed).
bool RunNagSelection();
