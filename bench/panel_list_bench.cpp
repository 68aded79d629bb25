// The panel's list at 400,000 games: sorting by a column, a Shift-click across the whole list,
// and deleting half of it. Entries carry the tags of real games, without their moves.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "job/list_view.h"
#include "pgn/game_reader.h"

namespace {

constexpr size_t ListSize = 400000;

// 400,000 entries made of the tags of the over-the-board games, repeated.
TGameList FourHundredThousandRows() {
  TGames read;
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(PGN_SHARED_DATA "/pgn/otb"))
    files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  for (const auto& path : files) {
    std::ifstream in(path, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ReadOptions options;
    options.sourcePath = path;
    ReadGames(text, read, options);
  }
  TGameList list;
  list.entries.resize(ListSize);
  for (size_t i = 0; i < ListSize && !read.empty(); ++i) {
    const TGame& from = read[i % read.size()];
    list.entries[i].tags = from.tags;
    list.entries[i].sourcePath = from.sourcePath;
    list.entries[i].sourcePosition = int32_t(i + 1);
  }
  list.displayOrder.resize(ListSize);
  for (size_t i = 0; i < ListSize; ++i) list.displayOrder[i] = int32_t(i);
  list.highlight.assign(ListSize, false);
  return list;
}

const TGameList& Rows() {
  static const TGameList list = FourHundredThousandRows();
  return list;
}

TGameList Copy(const TGameList& from) {
  TGameList list;
  list.entries.resize(from.entries.size());
  for (size_t i = 0; i < from.entries.size(); ++i) {
    list.entries[i].tags = from.entries[i].tags;
    list.entries[i].sourcePath = from.entries[i].sourcePath;
    list.entries[i].sourcePosition = from.entries[i].sourcePosition;
  }
  list.displayOrder = from.displayOrder;
  list.highlight = from.highlight;
  return list;
}

void SortByAColumn(benchmark::State& state) {
  const int column = int(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    TGameList list = Copy(Rows());
    list.currentRow = 200000;
    state.ResumeTiming();
    SortByColumn(list, column);
    benchmark::DoNotOptimize(list.displayOrder.data());
  }
}
BENCHMARK(SortByAColumn)->Arg(2)->Arg(5)->Arg(6)->Unit(benchmark::kMillisecond)->Iterations(3);

void ShiftClickAcrossTheList(benchmark::State& state) {
  TGameList list = Copy(Rows());
  for (auto _ : state) {
    list.currentRow = 0;
    ClickRow(list, int32_t(ListSize) - 1, true, false);
    benchmark::DoNotOptimize(list.highlight);
  }
}
BENCHMARK(ShiftClickAcrossTheList)->Unit(benchmark::kMillisecond)->Iterations(5);

void DeleteHalfTheList(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    TGameList list = Copy(Rows());
    for (size_t i = 0; i < ListSize; i += 2) list.highlight[i] = true;
    state.ResumeTiming();
    DeleteHighlighted(list);
    benchmark::DoNotOptimize(list.entries.data());
  }
}
BENCHMARK(DeleteHalfTheList)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
