// "-" for an input or for the output: pgnutil reads standard input or writes standard output.
// Standard input is read as it comes; the output goes through a file in a private temporary
// folder (a job writes files, and replaces them only once complete).
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include "options/processing_options.h"

// Whether a path given on the command line stands for a standard stream.
bool IsStandardStream(const std::filesystem::path& path);

// Whether the options split the output into several files (which one stream cannot hold).
bool SplitsOutput(const TProcessingOptions& options);

// A folder of its own in the system's temporary folder, removed with what it holds.
class TemporaryFolder {
 public:
  // On failure `Path` is empty and `error` says why.
  TemporaryFolder();
  ~TemporaryFolder();
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;

  const std::filesystem::path& Path() const { return folder; }
  std::string error;

 private:
  std::filesystem::path folder;
};

// Copies a file to a stream; a missing file copies nothing. A reader that closed its end (as
// `head` does) is no failure, but `cutShort` says so. False on a failure, with the reason in
// `error`.
bool CopyFileToStream(const std::filesystem::path& file, std::FILE* to, std::string& error, bool& cutShort);

// Files and folders to remove should a signal end the program before their owners can: the
// streams' temporary files. Folders are given before the files in them; they go in the reverse
// order. RemoveOnSignal is safe to call from a signal handler.
void RegisterForRemovalOnSignal(const std::filesystem::path& path, bool folder);
void RemoveOnSignal();

// Bytes as they are: no CR LF translation (nor Ctrl-Z as the end) on Windows.
void BinaryMode(std::FILE* stream);
