// Copying games from the host's game list: all of them in its display order, or its current
// game; afterwards the host shows the same game, line and move as before.
#pragma once

#include "options/processing_options.h"
#include "pgn/pgn_types.h"
#include "services/host.h"

// The host's games as new entries, in the host's list order: each with the host entry's tags,
// source file and place. A game record is built from the host's moves where the host holds one,
// and for every entry while an option needs the moves (ECO names or split, the ECO filter,
// "Duplicates"); the ECO tag is refreshed while an ECO option is on.
TGames TransferAllFromHost(Host& host, const TProcessingOptions& options);
// The same for the host's current game alone; none when the host has no current row.
TGames TransferCurrentFromHost(Host& host, const TProcessingOptions& options);
