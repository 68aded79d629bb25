// "-o -": the games go to standard output. The job writes one file, as always, into a private
// temporary folder; that file is then copied out and the folder removed.
#pragma once

#include <filesystem>
#include <string>

#include "panel/processing_options.h"

// Whether the output path stands for standard output.
bool IsStandardOutput(const std::filesystem::path& output);

// Whether the options split the output into several files (which one stream cannot hold).
bool SplitsOutput(const TProcessingOptions& options);

class StandardOutputFile {
 public:
  // Makes the temporary folder; on failure `Base` is empty and `error` says why.
  StandardOutputFile();
  // Removes the folder and what is in it.
  ~StandardOutputFile();
  StandardOutputFile(const StandardOutputFile&) = delete;
  StandardOutputFile& operator=(const StandardOutputFile&) = delete;

  // The output path to give the job (without ".pgn").
  const std::filesystem::path& Base() const { return base; }
  // Copies the file the job wrote (none when no game was written) to `to`; false on a failure
  // to read or write, with the reason in `error`. A reader that closed its end (as `head` does)
  // is no failure.
  bool CopyTo(std::FILE* to);

  std::string error;

 private:
  std::filesystem::path folder;
  std::filesystem::path base;
};
