#include "job/source_index.h"

void SourceIndex::Clear() {
  positions.clear();
  covered = 0;
}

void SourceIndex::CatchUp(const TGames& entries) {
  if (covered > entries.size()) Clear();  // the list was replaced behind the index's back
  // Entries of one file come in runs sharing one copy of its path: one look-up per run.
  const SourcePath* runPath = nullptr;
  std::unordered_set<int64_t>* runPositions = nullptr;
  for (; covered < entries.size(); ++covered) {
    const TGame& entry = entries[covered];
    if (entry.sourcePath.empty()) continue;
    if (!runPath || !entry.sourcePath.SharesCopyWith(*runPath)) {
      runPositions = &positions[entry.sourcePath.get()];
      runPath = &entry.sourcePath;
    }
    runPositions->insert(entry.sourcePosition);
  }
}

const std::unordered_set<int64_t>* SourceIndex::PositionsOf(const std::filesystem::path& path) const {
  if (path.empty()) return nullptr;
  const auto found = positions.find(path);
  return found != positions.end() ? &found->second : nullptr;
}
