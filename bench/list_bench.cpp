// The grouping sort and the duplicate pass over about 100,000 real games: time and memory.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "job/game_list.h"
#include "pgn/game_reader.h"
#include "pgn/grouping_sort.h"

namespace {

long ResidentKilobytes() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  statm >> pages >> resident;
  return resident * 4;
}

// The over-the-board games twice and the opening lines: about 110,000 games.
const TGames& HundredThousandGames() {
  static TGames games = [] {
    TGames all;
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(PGN_SHARED_DATA "/pgn/otb"))
      files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    const std::vector<std::filesystem::path> once = files;
    files.insert(files.end(), once.begin(), once.end());
    files.push_back(PGN_SHARED_DATA "/pgn/openings/8moves_v3.pgn");
    for (const auto& path : files) {
      std::ifstream in(path, std::ios::binary);
      const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      ReadOptions options;
      ReadGames(text, all, options);
    }
    return all;
  }();
  return games;
}

void GroupingSort(benchmark::State& state, bool byPlayer) {
  TGames& games = const_cast<TGames&>(HundredThousandGames());
  std::vector<int32_t> selection(games.size());
  for (size_t i = 0; i < selection.size(); ++i) selection[i] = int32_t(i);
  TProcessingOptions options;
  options.splitByPlayer = byPlayer;
  options.splitByTournament = true;
  options.splitByResult = true;
  options.splitDateLevel = DateSplit::Year;
  const long before = ResidentKilobytes();
  size_t written = 0;
  for (auto _ : state) {
    SplitWork work;
    std::vector<int32_t> order;
    SortForOutput(games, selection, order, work, options);
    written = order.size();
  }
  state.counters["games"] = double(games.size());
  state.counters["listed"] = double(written);
  state.counters["extra MB"] = double(ResidentKilobytes() - before) / 1024;
}
BENCHMARK_CAPTURE(GroupingSort, tournament_result_year, false)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(GroupingSort, player_tournament_result_year, true)->Unit(benchmark::kMillisecond)->Iterations(1);

void DuplicatePass(benchmark::State& state) {
  const TGames& games = HundredThousandGames();
  long removed = 0;
  const long before = ResidentKilobytes();
  for (auto _ : state) {
    state.PauseTiming();
    TGameList list;
    list.entries.reserve(games.size());
    for (const TGame& game : games) {
      TGame copy;
      copy.tags = game.tags;
      copy.game.reset(const_cast<jurnal*>(game.game.get()));  // borrowed for the pass
      list.entries.push_back(std::move(copy));
      list.displayOrder.push_back(int32_t(list.displayOrder.size()));
      list.highlight.push_back(false);
    }
    state.ResumeTiming();
    // The pass releases the games it drops: give them back to nobody by keying only.
    THashes keys(list.entries.size());
    for (size_t i = 0; i < list.entries.size(); ++i) keys[i] = KeyOfEntry(list.entries[i], int32_t(i));
    const THashes sorted = SortedKeys(keys);
    for (size_t i = 0; i + 1 < sorted.size(); ++i) removed += SameKey(sorted[i], sorted[i + 1]);
    state.PauseTiming();
    for (TGame& entry : list.entries) (void)entry.game.release();
    state.ResumeTiming();
  }
  state.counters["games"] = double(games.size());
  state.counters["duplicates"] = double(removed) / double(state.iterations());
  state.counters["extra MB"] = double(ResidentKilobytes() - before) / 1024;
}
BENCHMARK(DuplicatePass)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
