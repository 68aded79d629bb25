// The records of a game list: tags, and one entry per game with where it came from.
#pragma once

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "chess/jurnal.h"
#include "chess/packed_game.h"
#include "pgn/tag_array.h"

// What is still known of a game once its record has been let go to save memory: enough to
// key it for the duplicate check, filter it by length and give it its ECO code without
// reading it again.
struct TGameSummary {
  bool known = false;
  int32_t plies = 0;  // main line half-moves
  uint64_t startKey = 0;
  uint64_t movesKey = 0;
  char eco[4] = {};                  // the code its main line gives, "" when none
  bool ecoKnown = false;             // eco was looked for (a summary made while reading may leave it out)
  uint8_t boardCriteriaHeld = 0xFF;  // BoardCriterion bits the reader's position search found held
  // The name the reader found for the main line in the job's opening names (their index), -1
  // when none names it; OpeningNotLookedFor when the reading had no names to look in.
  int16_t opening = OpeningNotLookedFor;
  static constexpr int16_t OpeningNotLookedFor = -2;
};

class GameSpool;

// The file an entry came from. The entries of one file share one copy of its name: a path
// object with its parts costs hundreds of bytes, more than the tags of many a game. A text that
// cannot be read again by position (compressed, or a stream) has a spool beside its name, where
// the games let go while it was read are kept.
class SourcePath {
 public:
  SourcePath() = default;
  SourcePath(const std::filesystem::path& path, std::shared_ptr<GameSpool> spool = nullptr)
      : shared(path.empty() && !spool ? nullptr : std::make_shared<const Record>(Record{path, std::move(spool)})) {}
  const std::filesystem::path& get() const {
    static const std::filesystem::path none;
    return shared ? shared->path : none;
  }
  operator const std::filesystem::path&() const { return get(); }
  bool empty() const { return !shared; }
  // Where the games let go are read again instead of the file; null: from the file.
  GameSpool* Spool() const { return shared ? shared->spool.get() : nullptr; }
  friend bool operator==(const SourcePath& a, const std::filesystem::path& b) { return a.get() == b; }
  // The same copy of a path (as the entries of one file read share): then surely the same path.
  bool SharesCopyWith(const SourcePath& other) const { return shared == other.shared; }
  // Whether games of both are read again from the same place: the same file, or the same spool.
  bool ReadAgainFromTheSamePlace(const SourcePath& other) const {
    return SharesCopyWith(other) || (Spool() == other.Spool() && get() == other.get());
  }

 private:
  struct Record {
    std::filesystem::path path;
    std::shared_ptr<GameSpool> spool;
  };
  std::shared_ptr<const Record> shared;
};

struct TGame {
  std::unique_ptr<jurnal> game;  // null for an entry not yet loaded, or kept packed
  PackedGame packed;             // the game of a list entry, packed; empty when let go or not loaded
  TGameSummary summary;          // filled when the game was let go, or while it was read
  TGamesTagArray tags;
  SourcePath sourcePath;
  int64_t sourcePosition = 0;  // 1-based byte position of the game's "[" in that file
  int64_t sourceLength = 0;    // bytes from there to where the movetext reader stopped
};

using TGames = std::vector<TGame>;

// Room for `extra` more games, grown by half at least: lists that grow by one file's or one
// window's games at a time would otherwise be moved whole at every step, a cost that grows with
// the square of the collection.
inline void ReserveMore(TGames& games, size_t extra) {
  const size_t needed = games.size() + extra;
  if (needed > games.capacity()) games.reserve(std::max(needed, games.capacity() + games.capacity() / 2));
}

// The places of a normalised tag list: the seven tag roster first, then SetUp and FEN when the
// game starts from a set-up position; the ECO tag follows them (Roster or AfterSetUp).
enum TagSlot : size_t {
  EventSlot = 0,
  SiteSlot = 1,
  DateSlot = 2,
  RoundSlot = 3,
  WhiteSlot = 4,
  BlackSlot = 5,
  ResultSlot = 6,
  SetUpSlot = 7,
  FenSlot = 8,
};
constexpr size_t RosterSize = 7;            // the tags every normalised list begins with
constexpr size_t AfterSetUp = FenSlot + 1;  // the first place after SetUp and FEN

// The value at a slot of a normalised tag list; "" when the list is shorter.
std::string_view TagAt(const TGamesTagArray& tags, TagSlot slot);
inline std::string_view TagAt(const TGame& game, TagSlot slot) { return TagAt(game.tags, slot); }
// The value of the first tag of the name (compared without regard to case); "" when none.
std::string_view TagNamed(const TGamesTagArray& tags, std::string_view name);
inline std::string_view OpeningTag(const TGame& game) { return TagNamed(game.tags, "Opening"); }

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

// Whether a Variant tag's value names Chess960 ("Chess960", "fischerandom"... in any case):
// its game is played by Chess960's castling rules.
bool NamesChess960(std::string_view variant);
