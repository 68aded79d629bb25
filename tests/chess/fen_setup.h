// Sets a board from the first four fields of a FEN text, for tests.
#pragma once

#include <string_view>

#include "chess/doska.h"

// Returns false when the text is not a FEN position; blackToMove receives the side field.
bool SetupFromFen(doska& board, std::string_view fen, bool& blackToMove);
