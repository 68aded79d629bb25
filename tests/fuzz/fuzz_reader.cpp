// libFuzzer target: any bytes as a PGN file. Reading must never crash, hang or overflow, what
// it keeps must write out and read back, a game packed and unpacked must write the same, and
// reading in small pieces on several threads, or through small windows of a stream, must keep
// the same games and report the same issues.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string_view>

#include "io/byte_source.h"

#include "chess/packed_game.h"
#include "pgn/game_reader.h"
#include "pgn/memory_budget.h"
#include "pgn/pgn_writer.h"
#include "pgn/read_codes.h"
#include "tests/support/job_reading.h"

namespace {

// Another way of reading the text kept the same games, at the same places, and reported the same
// issues as reading it whole.
void ExpectSameReading(const TGames& games, const ReadReport& report, const TGames& other,
                       const ReadReport& otherReport) {
  if (other.size() != games.size() || otherReport.issues.size() != report.issues.size()) __builtin_trap();
  for (size_t g = 0; g < games.size(); ++g)
    if (other[g].sourcePosition != games[g].sourcePosition || other[g].sourceLength != games[g].sourceLength)
      __builtin_trap();
  for (size_t i = 0; i < report.issues.size(); ++i) {
    const ReadIssue& a = report.issues[i];
    const ReadIssue& b = otherReport.issues[i];
    if (a.gameNumber != b.gameNumber || a.position != b.position || a.line != b.line || a.code != b.code)
      __builtin_trap();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  TGames games;
  ReadReport report;
  ReadOptions options;
  options.report = &report;
  const int result = ReadGames(text, games, options);
  OutputBuffer buffer;
  const TProcessingOptions keepAll;
  for (const TGame& game : games) WriteGame(game, buffer, keepAll);
  // What was written reads back whole as the same games: none skipped, the same tags and main
  // lines. (Comments may come back joined differently: a ";" comment and the comments after it
  // are one comment in the record.)
  TGames again;
  ReadReport againReport;
  options.report = &againReport;
  ReadGames(buffer.Text(), again, options);
  if (again.size() != games.size()) __builtin_trap();
  for (const ReadIssue& issue : againReport.issues)
    if (!IsNoteCode(issue.code)) __builtin_trap();
  for (size_t g = 0; g < games.size(); ++g) {
    const jurnal& a = *games[g].game;
    const jurnal& b = *again[g].game;
    if (a.moves.size() != b.moves.size()) __builtin_trap();
    for (size_t m = 0; m < a.moves.size(); ++m)
      if (a.moves[m].san.view() != b.moves[m].san.view() || a.moves[m].nag != b.moves[m].nag) __builtin_trap();
    if (games[g].tags.size() != again[g].tags.size()) __builtin_trap();
    for (size_t t = 0; t < games[g].tags.size(); ++t)
      if (games[g].tags[t].name != again[g].tags[t].name || games[g].tags[t].value != again[g].tags[t].value)
        __builtin_trap();
  }

  // Every game packed and unpacked writes the same text as the game read.
  for (const TGame& game : games) {
    OutputBuffer read, unpacked;
    WriteGame(game, read, keepAll);
    TGame copy;
    copy.tags = game.tags;
    copy.game = PackedGame(*game.game).Unpack();
    if (!copy.game) __builtin_trap();
    WriteGame(copy, unpacked, keepAll);
    if (read.Text() != unpacked.Text()) __builtin_trap();
  }

  // Read as a job reads (each game packed as it is read, the comments of a plain main line in
  // its packed bytes) and written straight from the packed bytes: the same text, with comments
  // and variations kept or removed; a job that removes comments reads none, to the same text.
  {
    MemoryBudget unlimited;
    ReadOptions jobOptions = sample::JobReading(unlimited);
    TGames packed;
    ReadReport packedReport;
    jobOptions.report = &packedReport;
    const int packedResult = ReadGames(text, packed, jobOptions);
    jobOptions.keepsComments = false;
    TGames packedBare;
    ReadReport bareReport;
    jobOptions.report = &bareReport;
    // Comments stepped over: the same games, keys and issues where they were (as inspect lists them).
    if (ReadGames(text, packedBare, jobOptions) != packedResult) __builtin_trap();
    if (packed.size() != games.size() || packedBare.size() != games.size()) __builtin_trap();
    if (packedReport.issues.size() != bareReport.issues.size()) __builtin_trap();
    for (size_t i = 0; i < packedReport.issues.size(); ++i) {
      const ReadIssue &a = packedReport.issues[i], &b = bareReport.issues[i];
      if (a.code != b.code || a.gamePosition != b.gamePosition || a.position != b.position) __builtin_trap();
    }
    for (size_t g = 0; g < games.size(); ++g) {
      const TGameSummary &a = packed[g].summary, &b = packedBare[g].summary;
      if (a.movesKey != b.movesKey || a.startKey != b.startKey || a.plies != b.plies) __builtin_trap();
      if (packed[g].sourceLength != packedBare[g].sourceLength) __builtin_trap();
    }
    TProcessingOptions withoutComments;
    withoutComments.removeComments = true;
    withoutComments.removeVariations = true;
    const TProcessingOptions& bare = withoutComments;
    for (size_t g = 0; g < games.size(); ++g)
      for (const TProcessingOptions* writing : {&keepAll, &bare}) {
        OutputBuffer read, fromPacked;
        WriteGame(games[g], read, *writing);
        WritePackedPgnGame(packed[g].tags, packed[g].packed, fromPacked, *writing, OutputForm{});
        if (read.Text() != fromPacked.Text()) __builtin_trap();
        if (writing == &bare) {
          OutputBuffer unread;
          WritePackedPgnGame(packedBare[g].tags, packedBare[g].packed, unread, *writing, OutputForm{});
          if (unread.Text() != read.Text()) __builtin_trap();
        }
      }
  }

  TGames pieces;
  ReadReport piecesReport;
  options.report = &piecesReport;
  if (ReadGamesInPieces(text, pieces, options, 3, 16) != result) __builtin_trap();
  ExpectSameReading(games, report, pieces, piecesReport);

  // The same bytes as a stream read through small windows: a few dozen bytes, or a sixteenth of
  // a large input, so that a seed costs a few windows (every game longer than one makes the
  // window grow, every cut falls somewhere new). A stream the source takes for compressed or
  // UTF-16 text is decoded first, and is another text.
  // A file of its own: the stream reader waits on the stream's descriptor, which a stream over
  // memory lacks.
  std::FILE* stream = std::tmpfile();
  if (!stream) return 0;
  if (std::fwrite(data, 1, size, stream) != size || std::fseek(stream, 0, SEEK_SET) != 0) {
    std::fclose(stream);
    return 0;
  }
  std::unique_ptr<ByteSource> source = StreamByteSource(stream);
  if (source->GetCompression() == Compression::None) {
    TGames windowed;
    ReadReport windowedReport;
    options.report = &windowedReport;
    WindowedReadOptions windows;
    windows.threads = 2;
    windows.windowBytes = std::max<size_t>(37, size / 16);
    windows.minimumPieceBytes = 16;
    const WindowedRead read = ReadTextInWindows(*source, windowed, options, windows);
    if (read.result != result) __builtin_trap();
    ExpectSameReading(games, report, windowed, windowedReport);
  }
  source.reset();
  std::fclose(stream);
  return 0;
}
