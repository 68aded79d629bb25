// Every choice that steers a batch job, held in one record, and the user's choices for the next
// job: that record with the output path and the "Make default automatically" mode.
#pragma once

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "options/date_key.h"

// Bits of resultMask.
enum ResultBit : uint8_t {
  ResultWhiteWins = 1,  // "1-0"
  ResultBlackWins = 2,  // "0-1"
  ResultDraw = 4,       // "1/2-1/2"
  ResultUnknown = 8,    // "*"
  ResultOther = 16,     // any other result text
  ResultAll = 31,
};

// Which tags a written game keeps (the values are those of the settings file).
enum class TagRemoval : uint8_t {
  All = 0,           // every tag goes (but those the moves depend on)
  AllButRoster = 1,  // the seven tag roster stays
  None = 2,          // every tag stays
};

// How finely the output is split by ECO code: the number is the length of the code's part that
// names a file ("B" for Letter, "B2" for LetterAndDigit, "B22" for WholeCode).
enum class EcoSplit : uint8_t { None = 0, Letter = 1, LetterAndDigit = 2, WholeCode = 3 };
constexpr size_t EcoPartLength(EcoSplit split) { return size_t(split); }

// How finely the output is split by date; each level adds a part to the name of the one before.
enum class DateSplit : uint8_t { None = 0, Year = 1, Month = 2, Day = 3 };

constexpr int32_t NoUpperDate = DateKey(10000, 12, 31);  // 4160415
constexpr int32_t AnyElo = 10000;
constexpr int32_t AnyMoves = 100000;

struct TProcessingOptions {
  bool removeComments = false;
  TagRemoval tagRemoval = TagRemoval::None;
  bool removeVariations = false;
  std::bitset<256> keptNags = std::bitset<256>().set();  // NAG $n is written only if n is here
  bool removeDuplicates = false;
  bool addEcoNames = false;
  bool removeOldEcoTags = true;
  EcoSplit splitEcoLevel = EcoSplit::None;
  bool splitByWhite = false;
  bool splitByBlack = false;
  bool splitByPlayer = false;
  DateSplit splitDateLevel = DateSplit::None;
  bool splitByTournament = false;
  uint8_t splitWhiteEloParts = 1;  // 1: no split
  uint8_t splitBlackEloParts = 1;
  bool splitByResult = false;
  uint8_t resultMask = ResultAll;
  int32_t dateFrom = 0;          // date keys, inclusive
  int32_t dateTo = NoUpperDate;  // 4160000 or more: no upper bound
  std::string whitePlayer;       // empty: any
  std::string blackPlayer;
  bool ignorePlayerColour = false;
  int32_t whiteEloFrom = 0;
  int32_t whiteEloTo = AnyElo;
  int32_t blackEloFrom = 0;
  int32_t blackEloTo = AnyElo;
  std::string ecoOpening;  // empty, or a code or prefix of at most 3 characters
  int32_t movesFrom = 0;
  int32_t movesTo = AnyMoves;
  bool doNotRewrite = true;  // append to existing output files instead of replacing them
  // Splits of the command line's own: the panel has no control for them and the settings file
  // does not store them.
  bool splitByOpening = false;  // one file per Opening tag
  int32_t gamesPerFile = 0;     // more than 0: a new file after so many games (numbered parts)

  bool operator==(const TProcessingOptions&) const = default;
};

// What the user chose for the next job: the option record, the output path without extension,
// and the "Make default automatically" mode (while on, the options are not stored at stop and a
// new output path resets them). The plug-in's session holds one; the settings file stores it.
struct TJobChoices {
  TProcessingOptions ProcessingOptions;
  std::u16string outputBase = u"output";
  bool makeDefaultAutomatically = true;
};

// Every option back to its default; the output path and the mode stay.
void ResetOptions(TJobChoices& choices);

// Whether a text typed as the output path can name files: not empty or blank, a last component
// that is a name (not "", "." or ".."; the ".pgn" goes after it), none of the characters Windows
// forbids in names, a ":" only after a drive letter, and no device name such as "CON" or "LPT1"
// (whose ".pgn" would still be the device).
bool IsUsableOutputBase(std::u16string_view base);

enum class OutputBaseCommit {
  Refused,        // not a usable path: nothing changed
  Unchanged,      // the path the settings hold already: nothing changed
  Taken,          // a new path, the options as they were
  TakenAndReset,  // a new path, and "Make default automatically" reset the options
};

// Commits a new output path to `choices`. With "Make default automatically" on, a path different
// from the current one (compared exactly) first resets the options.
OutputBaseCommit CommitOutputBase(TJobChoices& choices, const std::u16string& newBase);

// Brings loaded values into range, as the refresh of the option controls does: levels above 3
// to 3, Elo parts of 0 to 1, negative dates to 0, a missing month or day of the upper date to 1,
// Elo upper bounds into 0..10000, the ECO prefix to 3 characters, the move bounds to 1..100000.
void NormaliseOptions(TProcessingOptions& options);

// The options with every split taken away: all games go into one file.
TProcessingOptions WithoutSplits(TProcessingOptions options);
// The options with every filter taken away: every game passes.
TProcessingOptions WithoutFilters(TProcessingOptions options);
