// The output files of one processing job: which file each named output goes to, so that no
// group replaces what an earlier group of the same job wrote, and no input is replaced while
// its games may still be read from it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "io/file_identity.h"
#include "pgn/pgn_writer.h"

class OutputFileSet {
 public:
  // `replace`: files that exist before the job are replaced, else appended to. `sources` are
  // the files games may be read from again while the job writes.
  OutputFileSet(bool replace, const std::vector<std::filesystem::path>& sources);

  // The writer for a file named `path`. A file this job wrote already, under this name or
  // another that leads to it (letter case, links), is appended to; a file that is also a source
  // is written aside and put in place by Complete.
  std::unique_ptr<OutputFileWriter> Begin(const std::filesystem::path& path);
  // Records the end of the file begun last: its result, and its identity for later names.
  void Finished(const std::filesystem::path& path, const WriteResult& result);
  // Puts the files written aside in their places; the failures, if any.
  std::vector<std::pair<std::filesystem::path, std::string>> Complete();

  // Files that hold what at least one group wrote.
  int64_t FileCount() const;
  // Files that existed before the job and were appended to.
  int64_t AppendedToExisting() const { return appendedToExisting; }

 private:
  struct File {
    std::filesystem::path target;
    std::filesystem::path written;  // where the text goes: the target, or the file aside
    bool aside = false;
    bool holdsText = false;          // a group's text was finished into it
    bool appendsToExisting = false;  // it existed before the job, and is appended to
  };
  // The file a name leads to, when this job wrote it already.
  File* Find(const std::filesystem::path& path);

  bool replace;
  std::unordered_set<FileIdentity, FileIdentityHash> sourceIds;
  std::vector<File> files;
  std::unordered_map<std::string, size_t> byName;  // every name a file was begun under
  std::unordered_map<FileIdentity, size_t, FileIdentityHash> byIdentity;
  int64_t appendedToExisting = 0;
};

// Where a file that replaces a source is written until the job ends.
std::filesystem::path AsideOf(const std::filesystem::path& path);
