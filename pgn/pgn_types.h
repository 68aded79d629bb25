// The records of a game list: tags, and one entry per game with where it came from.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "chess/jurnal.h"

struct TPGNTag {
  std::string name;
  std::string value;  // unescaped
};

// Tags in normalised order: the seven tag roster first, then SetUp, FEN and ECO when present.
using TGamesTagArray = std::vector<TPGNTag>;

struct TGame {
  std::unique_ptr<jurnal> game;  // null for an entry not yet loaded
  TGamesTagArray tags;
  std::filesystem::path sourcePath;
  int32_t sourcePosition = 0;  // 1-based byte position of the game's "[" in that file
  int32_t sourceLength = 0;    // bytes from there to where the movetext reader stopped
};

using TGames = std::vector<TGame>;

// Lower-case folding of one byte: ASCII letters, and the Windows-1251 capitals 0xC0..0xDF and
// 0xA8; every other byte is left as it is.
constexpr unsigned char FoldByte(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
  if (c >= 0xC0 && c <= 0xDF) return static_cast<unsigned char>(c + 32);
  if (c == 0xA8) return 0xB8;
  return c;
}

std::string LowerFold(std::string_view text);

// Whether two names are equal once folded.
bool FoldedEqual(std::string_view a, std::string_view b);
