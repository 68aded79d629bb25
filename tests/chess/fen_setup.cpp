#include "tests/chess/fen_setup.h"

#include <cstring>
#include <sstream>
#include <string>

bool SetupFromFen(doska& board, std::string_view fen, bool& blackToMove) {
  std::istringstream in{std::string(fen)};
  std::string placement, side, castling = "-", enPassant = "-";
  if (!(in >> placement >> side)) return false;
  in >> castling >> enPassant;
  board.clear();
  int file = 1, rank = 8;
  for (char c : placement) {
    if (c == '/') {
      --rank;
      file = 1;
    } else if (c >= '1' && c <= '8') {
      file += c - '0';
    } else {
      const char* letters = "PNBRQKpnbrqk";
      const char* at = std::strchr(letters, c);
      if (!at || !OnBoard(file, rank)) return false;
      board.put(file, rank, uint8_t(at - letters + 1));
      ++file;
    }
  }
  blackToMove = side == "b";
  const bool whiteShort = castling.find('K') != std::string::npos;
  const bool whiteLong = castling.find('Q') != std::string::npos;
  const bool blackShort = castling.find('k') != std::string::npos;
  const bool blackLong = castling.find('q') != std::string::npos;
  board.wkinglost = !whiteShort;
  board.wqueenlost = !whiteLong;
  board.bkinglost = !blackShort;
  board.bqueenlost = !blackLong;
  board.wkingmoved = !whiteShort && !whiteLong;
  board.bkingmoved = !blackShort && !blackLong;
  if (enPassant.size() == 2 && enPassant[0] >= 'a' && enPassant[0] <= 'h') {
    const int epFile = enPassant[0] - 'a' + 1;
    // A square on rank 3 follows a white double step; black may capture there.
    if (enPassant[1] == '3') board.epforblack = uint8_t(epFile);
    if (enPassant[1] == '6') board.epforwhite = uint8_t(epFile);
  }
  return true;
}
