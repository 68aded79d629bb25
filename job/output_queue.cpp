#include "job/output_queue.h"

#include <exception>
#include <new>

OutputQueue::OutputQueue(bool replace, const std::vector<std::filesystem::path>& sources, size_t pendingLimitBytes)
    : files(replace, sources), pendingLimit(pendingLimitBytes), writer([this] { Run(); }) {}

OutputQueue::~OutputQueue() {
  if (writer.joinable()) Drain();
}

void OutputQueue::Hand(Kind kind, const std::filesystem::path& path, OutputBuffer* text, int64_t games) {
  std::unique_lock lock(mutex);
  const size_t size = text ? text->Size() : 0;
  // A piece larger than the limit alone is still taken once the queue is empty.
  changed.wait(lock, [&] { return pieces.empty() || pendingBytes + size <= pendingLimit; });
  Piece& piece = pieces.emplace_back();
  piece.kind = kind;
  piece.path = path;
  piece.games = games;
  if (text) {
    std::swap(piece.text, *text);
    pendingBytes += size;
    if (!spare.empty()) {
      std::swap(*text, spare.back());
      spare.pop_back();
    }
    text->Clear();
  }
  changed.notify_all();
}

void OutputQueue::Write(const std::filesystem::path& path, OutputBuffer& text) { Hand(Kind::Write, path, &text, 0); }

void OutputQueue::Finish(const std::filesystem::path& path, OutputBuffer& text, int64_t games) {
  Hand(Kind::Finish, path, &text, games);
}

void OutputQueue::Abandon() { Hand(Kind::Abandon, {}, nullptr, 0); }

void OutputQueue::Run() {
  std::unique_lock lock(mutex);
  for (;;) {
    changed.wait(lock, [&] { return closing || !pieces.empty(); });
    if (pieces.empty()) return;  // closing, and everything written
    Piece piece = std::move(pieces.front());
    pieces.pop_front();
    lock.unlock();
    Carry(piece);
    lock.lock();
    pendingBytes -= piece.text.Size();
    piece.text.Clear();
    if (spare.size() < 4) spare.push_back(std::move(piece.text));
    changed.notify_all();
  }
}

void OutputQueue::Carry(Piece& piece) {
  if (piece.kind == Kind::Abandon) {
    current.reset();
    lostFile = false;
    return;
  }
  if (lostFile) {
    // Its earlier piece could not be written: the rest has nowhere to go.
    if (piece.kind == Kind::Finish) {
      failures.push_back(Failure{piece.path, lostReason, piece.games});
      lostFile = false;
    }
    return;
  }
  try {
    if (!current) current = files.Begin(piece.path);
    current->Write(piece.text);
    if (piece.kind == Kind::Write) return;
    const WriteResult result = current->Finish();
    current.reset();
    files.Finished(piece.path, result);
    if (!result.ok) failures.push_back(Failure{piece.path, result.error, piece.games});
  } catch (const std::bad_alloc&) {
    // No memory left for the file's name or writer: the file is left as it was.
    LoseFile(piece, "out of memory");
  } catch (const std::exception& error) {
    // Anything else the making of a file may throw (a name the system's code page cannot
    // spell, taken apart by the standard library) fails that file alone, as a failed write
    // does: on this thread an exception let go would end the whole process.
    LoseFile(piece, error.what());
  }
}

void OutputQueue::LoseFile(const Piece& piece, const char* reason) {
  current.reset();
  try {
    lostReason = reason;
  } catch (const std::bad_alloc&) {
    lostReason = "out of memory";  // short enough to need no memory of its own
  }
  if (piece.kind == Kind::Finish)
    failures.push_back(Failure{piece.path, lostReason, piece.games});
  else
    lostFile = true;
}

void OutputQueue::Drain() {
  {
    std::lock_guard lock(mutex);
    closing = true;
  }
  changed.notify_all();
  writer.join();
  current.reset();  // a file never finished is left as it was
}

OutputQueue::Outcome OutputQueue::Close() {
  Drain();
  Outcome outcome;
  outcome.failures = std::move(failures);
  outcome.files = files.FileCount();
  outcome.appendedToExisting = files.AppendedToExisting();
  outcome.notPlaced = files.Complete();
  return outcome;
}
