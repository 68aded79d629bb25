// The output files of a job written on a thread of their own, in the order the job hands their
// pieces over, while the job goes on making the texts of the games that follow. Creating and
// filling hundreds of files costs the system more time than formatting their games does; this
// way the two overlap.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "job/output_files.h"
#include "pgn/pgn_writer.h"

// An output file's text is handed over in pieces of about this size, so that a file of hundreds
// of megabytes never sits whole in memory.
constexpr size_t OutputPieceSize = size_t(16) << 20;

class OutputQueue {
 public:
  // A file that could not be written, and the games meant for it.
  struct Failure {
    std::filesystem::path path;
    std::string reason;
    int64_t games = 0;
  };
  // What the files came to, once everything handed over is written.
  struct Outcome {
    std::vector<Failure> failures;  // in the order the files were finished
    int64_t files = 0;              // files that hold what at least one group wrote
    int64_t appendedToExisting = 0;
    // Files written aside (they replace a source) that could not be put in place.
    std::vector<std::pair<std::filesystem::path, std::string>> notPlaced;
  };

  // As OutputFileSet: `replace` existing files or append to them; `sources` may be read again
  // while the job writes. Pieces handed over wait in memory up to `pendingLimitBytes` together.
  OutputQueue(bool replace, const std::vector<std::filesystem::path>& sources, size_t pendingLimitBytes);
  // Waits for what was handed over; a queue not closed leaves its last file as it was before,
  // and the files written aside where they are.
  ~OutputQueue();
  OutputQueue(const OutputQueue&) = delete;
  OutputQueue& operator=(const OutputQueue&) = delete;

  // Appends `text` to the file `path`, begun with its first piece. `text` comes back empty.
  void Write(const std::filesystem::path& path, OutputBuffer& text);
  // Appends `text` as the last piece of `path` and puts the file in place; `games` went into
  // it. `text` comes back empty.
  void Finish(const std::filesystem::path& path, OutputBuffer& text, int64_t games);
  // Drops the file being written: what went out of it is undone.
  void Abandon();
  // Waits for everything handed over to be written and the files written aside to be put in
  // place.
  Outcome Close();

 private:
  enum class Kind : uint8_t { Write, Finish, Abandon };
  struct Piece {
    Kind kind = Kind::Write;
    std::filesystem::path path;
    OutputBuffer text;
    int64_t games = 0;
  };

  void Hand(Kind kind, const std::filesystem::path& path, OutputBuffer* text, int64_t games);
  void Drain();              // waits for the writing thread to write everything and end
  void Run();                // the writing thread
  void Carry(Piece& piece);  // one piece, on the writing thread
  // Drops the file being written, for a reason, after a piece of it could not be carried.
  void LoseFile(const Piece& piece, const char* reason);

  OutputFileSet files;  // the writing thread's alone until it ends
  std::unique_ptr<OutputFileWriter> current;
  bool lostFile = false;  // a piece of the current file failed: the file is dropped at its end
  std::string lostReason;
  std::vector<Failure> failures;

  const size_t pendingLimit;
  std::mutex mutex;
  std::condition_variable changed;  // a piece handed over or written, or the queue closed
  std::deque<Piece> pieces;
  std::vector<OutputBuffer> spare;  // emptied buffers, to be filled again
  size_t pendingBytes = 0;
  bool closing = false;
  std::thread writer;
};
