#include "cli/standard_output.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

bool IsStandardOutput(const std::filesystem::path& output) { return output == "-"; }

bool SplitsOutput(const TProcessingOptions& o) {
  return o.splitEcoLevel || o.splitDateLevel || o.splitByWhite || o.splitByBlack || o.splitByPlayer ||
         o.splitByTournament || o.splitWhiteEloParts > 1 || o.splitBlackEloParts > 1 || o.splitByResult;
}

StandardOutputFile::StandardOutputFile() {
  std::error_code failure;
  const std::filesystem::path temporary = std::filesystem::temp_directory_path(failure);
  if (failure) {
    error = failure.message();
    return;
  }
  // A name nobody else uses: the clock's ticks, tried again on the rare clash.
  const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::filesystem::path candidate = temporary / ("pgnutil-" + std::to_string(ticks + attempt));
    if (std::filesystem::create_directory(candidate, failure)) {
      folder = candidate;
      base = folder / "games";
      return;
    }
  }
  error = failure ? failure.message() : "no free name in " + temporary.string();
}

StandardOutputFile::~StandardOutputFile() {
  std::error_code ignored;
  if (!folder.empty()) std::filesystem::remove_all(folder, ignored);
}

bool StandardOutputFile::CopyTo(std::FILE* to) {
  std::filesystem::path file = base;
  file += ".pgn";
  std::ifstream in(file, std::ios::binary);
  if (!in) return true;  // nothing was written
#ifdef _WIN32
  _setmode(_fileno(to), _O_BINARY);  // the file's CR LF as they are
#endif
  char block[1 << 16];
  while (in) {
    in.read(block, sizeof block);
    const size_t got = size_t(in.gcount());
    if (got && std::fwrite(block, 1, got, to) != got) {
      if (errno == EPIPE) return true;  // the reader wanted no more
      error = std::strerror(errno);
      return false;
    }
  }
  if (in.bad()) {
    error = "cannot read " + file.string();
    return false;
  }
  if (std::fflush(to) != 0 && errno != EPIPE) {
    error = std::strerror(errno);
    return false;
  }
  return true;
}
