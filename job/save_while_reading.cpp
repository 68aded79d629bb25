#include "job/save_while_reading.h"

#include <vector>

#include "pgn/eco_tags.h"

SaveWhileReading::SaveWhileReading(const JobRequest& job, Host& host, const std::filesystem::path& source,
                                   JobProgress& shown, int64_t listed)
    : request(job),
      services(host),
      progress(shown),
      gamesBefore(listed),
      selector(job.options, job.search),
      output(!job.options.doNotRewrite,
             source.empty() ? std::vector<std::filesystem::path>{} : std::vector<std::filesystem::path>{source},
             OutputPieceSize) {}

void SaveWhileReading::Take(TGames& games) {
  const TProcessingOptions& options = request.options;
  // The games selected, by their place among `games`; their numbers count every game taken.
  std::vector<int32_t> order;
  order.reserve(games.size());
  for (size_t i = 0; i < games.size(); ++i) {
    TGame& entry = games[i];
    if (options.addEcoNames && (entry.game || entry.summary.known)) RefreshEcoTag(entry, options.removeOldEcoTags);
    if (selector.Selects(entry, gamesBefore + taken + int64_t(i) + 1, counts)) order.push_back(int32_t(i));
  }
  const int64_t firstNumber = gamesBefore + taken;
  taken += int64_t(games.size());
  if (file.empty() && !order.empty()) {
    SplitWork work;
    file = request.outputBaseIsFile ? request.outputBase
                                    : OutputFileName(work, request.outputBase.u16string(), games, order, 0, options,
                                                     services.PathLength(), OutputExtension(request.form.format));
    progress.SetFile(file);
  }
  const OpeningNames* openings = request.form.addOpening ? request.openings : nullptr;
  for (size_t p = 0; p < order.size(); p = block.End()) {
    if (progress.stopRequested.load()) break;
    block.Format(games, order, p, options, request.form, openings, firstNumber);
    const size_t end = block.End();
    bool whole = true;
    for (size_t q = p; q < end && whole; ++q) whole = block.Holds(q);
    if (whole) {
      // The block's texts go to the output as they are, after what waits before them.
      if (buffer.Size() > 0) output.Write(file, buffer);
      for (uint8_t half : {0, 1})
        if (block.Half(half).Size() > 0) output.Write(file, block.Half(half));
      counts.written += int64_t(end - p);
      progress.gamesWritten += int64_t(end - p);
      gamesInFile += int64_t(end - p);
      continue;
    }
    for (size_t q = p; q < end; ++q) {
      if (!block.Holds(q)) {
        // Held neither whole nor packed (nothing lets a game go here): never lost without a word.
        const TGame& entry = games[size_t(order[q])];
        unwritten.push_back(
            UnwrittenGame{entry.sourcePath, entry.sourcePosition, "it was let go before it was written"});
        continue;
      }
      buffer.Append(block.Text(q));
      ++counts.written;
      ++progress.gamesWritten;
      ++gamesInFile;
    }
    if (buffer.Size() >= OutputPieceSize) output.Write(file, buffer);
  }
  games.clear();
}

OutputQueue::Outcome SaveWhileReading::Close(bool finished) {
  if (!finished) {
    counts.written -= gamesInFile;  // the file being built is dropped
    progress.gamesWritten -= gamesInFile;
    output.Abandon();
  } else if (gamesInFile > 0) {
    output.Finish(file, buffer, gamesInFile);
  }
  return output.Close();
}
