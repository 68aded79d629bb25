// Reading PGN with full validation, and writing it back, on the real collections.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "chess/eco.h"
#include "pgn/eco_tags.h"
#include "pgn/game_reader.h"
#include "pgn/memory_budget.h"
#include "pgn/pgn_writer.h"
#include "pgn/position_search.h"
#include "tests/support/job_reading.h"

namespace {

// All files of one collection folder, concatenated (several times, for a stable figure).
std::string Collection(const std::string& folder, int copies) {
  std::string all;
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(std::string(PGN_SHARED_DATA "/pgn/") + folder))
    if (entry.path().extension() == ".pgn") files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  for (int copy = 0; copy < copies; ++copy)
    for (const auto& path : files) {
      std::ifstream in(path, std::ios::binary);
      all.append(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
      all += "\n\n";
    }
  return all;
}

long CountPlies(const jurnal& line) {
  long plies = long(line.moves.size());
  for (const mov& m : line.moves)
    for (const jurnal* variation : m.variations) plies += CountPlies(*variation);
  return plies;
}

void ReadCollection(benchmark::State& state, const std::string& folder, int copies) {
  const std::string text = Collection(folder, copies);
  long games = 0, plies = 0;
  for (auto _ : state) {
    TGames read;
    ReadOptions options;
    ReadGames(text, read, options);
    // Counting and letting the games go are not reading.
    state.PauseTiming();
    games += long(read.size());
    for (const TGame& game : read)
      if (game.game) plies += CountPlies(*game.game);
    read = TGames();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
  state.counters["games/s"] = benchmark::Counter(double(games), benchmark::Counter::kIsRate);
  state.counters["plies/s"] = benchmark::Counter(double(plies), benchmark::Counter::kIsRate);
  state.counters["MB"] = double(text.size()) / 1e6;
}

// The same as the command line's job reads: each game packed as soon as it is read (its record
// reused for the next), summarised with its keys and the ECO code of its main line.
void ReadCollectionForJob(benchmark::State& state, const std::string& folder) {
  SetEcoTableSource(PGN_SOURCE_DIR "/data/ecos.dat");
  PrepareConcurrentReading();
  const std::string text = Collection(folder, 1);
  long games = 0;
  for (auto _ : state) {
    TGames read;
    MemoryBudget budget;
    const ReadOptions options = sample::JobReading(budget, true);
    ReadGames(text, read, options);
    state.PauseTiming();
    games += long(read.size());
    read = TGames();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
  state.counters["games/s"] = benchmark::Counter(double(games), benchmark::Counter::kIsRate);
  state.counters["MB"] = double(text.size()) / 1e6;
}

// The job's reading with a board search asked at every position (game kept or not, as when
// games left out are wanted): what each kind of criterion costs over the reading alone (0).
void ReadCollectionSearching(benchmark::State& state, const std::string& folder) {
  SetEcoTableSource(PGN_SOURCE_DIR "/data/ecos.dat");
  PrepareConcurrentReading();
  const std::string text = Collection(folder, 1);
  PositionSearch search;
  std::string error;
  switch (state.range(0)) {
    case 1:
      search.AddFen("rnbqkbnr/pp1ppppp/8/2p5/4P3/8/PPPP1PPP/RNBQKBNR w KQkq -", false, error);
      state.SetLabel("--position");
      break;
    case 2: {
      BoardPattern pattern;
      BoardPattern::Parse("?????rk?/?????ppp/*/*/*/*/*/*", pattern, error);
      search.AddPattern(pattern, true);
      state.SetLabel("--pattern --either-colour");
      break;
    }
    case 3: {
      MaterialBalance balance;
      MaterialBalance::Parse("KRP*:KRP*", balance, error);
      search.AddMaterial(balance, false);
      search.materialPlies = 4;
      state.SetLabel("--material --material-plies 4");
      break;
    }
    case 4:
      search.endsIn = GameEnd::Checkmate;
      search.events = HasRepetition | HasFiftyMoves | HasUnderpromotion | HasEnPassant;
      state.SetLabel("--ends-in checkmate, every --has");
      break;
    default:
      state.SetLabel("reading alone");
  }
  for (auto _ : state) {
    TGames read;
    MemoryBudget budget;
    budget.limit = int64_t(1) << 40;
    ReadOptions options;
    options.budget = &budget;
    options.summarise = true;
    options.findEco = false;
    options.positions = &search;
    ReadGames(text, read, options);
    state.PauseTiming();
    read = TGames();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}

void WriteCollection(benchmark::State& state, const std::string& folder) {
  const std::string text = Collection(folder, 1);
  TGames read;
  ReadOptions options;
  ReadGames(text, read, options);
  const TProcessingOptions keepAll;
  size_t written = 0;
  for (auto _ : state) {
    OutputBuffer buffer;
    for (const TGame& game : read) WriteGame(game, buffer, keepAll);
    written += buffer.Size();
    benchmark::DoNotOptimize(buffer.Text().data());
  }
  state.SetBytesProcessed(int64_t(written));
}

// ECO classification of every game of a collection: the main line replayed and each position
// looked up in the table built from the opening lines.
void ClassifyCollection(benchmark::State& state, const std::string& folder) {
  SetEcoTableSource(PGN_SOURCE_DIR "/data/ecos.dat");
  const std::string text = Collection(folder, 1);
  TGames games;
  ReadOptions options;
  ReadGames(text, games, options);
  long classified = 0, found = 0;
  for (auto _ : state) {
    for (TGame& game : games) {
      found += !RefreshEcoTag(game, true).empty();
      ++classified;
    }
  }
  state.counters["games/s"] = benchmark::Counter(double(classified), benchmark::Counter::kIsRate);
  state.counters["with code"] = double(found) / double(classified);
}

BENCHMARK_CAPTURE(ClassifyCollection, otb, std::string("otb"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReadCollection, otb, std::string("otb"), 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReadCollectionForJob, otb, std::string("otb"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReadCollectionForJob, online, std::string("online"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReadCollectionForJob, engine, std::string("engine"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReadCollectionSearching, otb, std::string("otb"))->DenseRange(0, 4)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReadCollection, engine, std::string("engine"), 4)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReadCollection, online, std::string("online"), 4)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(WriteCollection, otb, std::string("otb"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(WriteCollection, engine, std::string("engine"))->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
