#include "cli/standard_streams.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fstream>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

// Bytes as they are: no CR LF translation on Windows.
void BinaryMode([[maybe_unused]] std::FILE* stream) {
#ifdef _WIN32
  _setmode(_fileno(stream), _O_BINARY);
#endif
}

}  // namespace

bool IsStandardStream(const std::filesystem::path& path) { return path == "-"; }

bool SplitsOutput(const TProcessingOptions& o) {
  return o.splitEcoLevel || o.splitDateLevel || o.splitByWhite || o.splitByBlack || o.splitByPlayer ||
         o.splitByTournament || o.splitWhiteEloParts > 1 || o.splitBlackEloParts > 1 || o.splitByResult;
}

TemporaryFolder::TemporaryFolder() {
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
      // The games that pass through are the user's own business.
      std::filesystem::permissions(folder, std::filesystem::perms::owner_all, std::filesystem::perm_options::replace,
                                   failure);
      return;
    }
  }
  error = failure ? failure.message() : "no free name in " + temporary.string();
}

TemporaryFolder::~TemporaryFolder() {
  std::error_code ignored;
  if (!folder.empty()) std::filesystem::remove_all(folder, ignored);
}

bool CopyFileToStream(const std::filesystem::path& file, std::FILE* to, std::string& error) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return true;  // nothing was written
  BinaryMode(to);
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

bool CopyStreamToFile(std::FILE* from, const std::filesystem::path& file, std::string& error,
                      const std::function<bool(int64_t)>& copied) {
  BinaryMode(from);
  std::ofstream out(file, std::ios::binary);
  if (!out) {
    error = "cannot make " + file.string();
    return false;
  }
  char block[1 << 16];
  int64_t total = 0;
  // Until the end of file is seen once: a terminal's Ctrl-D ends the input then, and reading on
  // would wait for another.
  while (!std::feof(from) && !std::ferror(from)) {
    const size_t got = std::fread(block, 1, sizeof block, from);
    if (got && !out.write(block, std::streamsize(got))) {
      error = "cannot write " + file.string();
      return false;
    }
    total += int64_t(got);
    if (copied && !copied(total)) {
      error = "stopped";
      return false;
    }
  }
  if (std::ferror(from)) {
    error = std::strerror(errno);
    return false;
  }
  out.close();
  if (!out) {
    error = "cannot write " + file.string();
    return false;
  }
  return true;
}
