#include "cli/standard_streams.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fstream>

#include <algorithm>
#include <atomic>
#include <iterator>

#ifdef _WIN32
#include <direct.h>
#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#else
#include <unistd.h>
#endif

void BinaryMode([[maybe_unused]] std::FILE* stream) {
#ifdef _WIN32
  _setmode(_fileno(stream), _O_BINARY);
#endif
}

bool IsStandardStream(const std::filesystem::path& path) { return path == "-"; }

bool SplitsOutput(const TProcessingOptions& o) {
  return o.splitEcoLevel != EcoSplit::None || o.splitDateLevel != DateSplit::None || o.splitByWhite || o.splitByBlack ||
         o.splitByPlayer || o.splitByTournament || o.splitWhiteEloParts > 1 || o.splitBlackEloParts > 1 ||
         o.splitByResult || o.splitByOpening || o.gamesPerFile > 0;
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

bool CopyFileToStream(const std::filesystem::path& file, std::FILE* to, std::string& error, bool& cutShort) {
  cutShort = false;
  std::ifstream in(file, std::ios::binary);
  if (!in) return true;  // nothing was written
  BinaryMode(to);
  char block[1 << 16];
  while (in) {
    in.read(block, sizeof block);
    const size_t got = size_t(in.gcount());
    if (got && std::fwrite(block, 1, got, to) != got) {
      if (errno == EPIPE) return cutShort = true;  // the reader wanted no more
      error = std::strerror(errno);
      return false;
    }
  }
  if (in.bad()) {
    error = "cannot read " + file.string();
    return false;
  }
  if (std::fflush(to) != 0) {
    if (errno == EPIPE) return cutShort = true;
    error = std::strerror(errno);
    return false;
  }
  return true;
}

namespace {

#ifdef _WIN32
using NativeChar = wchar_t;
#else
using NativeChar = char;
#endif

// Fixed room, filled before any signal can come: a handler may not allocate.
struct RemovalEntry {
  NativeChar path[1024];
  bool folder;
};
RemovalEntry removals[8];
std::atomic<int> removalCount{0};

}  // namespace

void RegisterForRemovalOnSignal(const std::filesystem::path& path, bool folder) {
  const auto& native = path.native();
  const int slot = removalCount.load();
  if (slot >= int(std::size(removals)) || native.size() >= std::size(removals[0].path)) return;
  std::copy(native.begin(), native.end(), removals[slot].path);
  removals[slot].path[native.size()] = 0;
  removals[slot].folder = folder;
  removalCount = slot + 1;
}

void RemoveOnSignal() {
  for (int i = removalCount.load() - 1; i >= 0; --i) {
#ifdef _WIN32
    if (removals[i].folder)
      _wrmdir(removals[i].path);
    else
      _wremove(removals[i].path);
#else
    if (removals[i].folder)
      rmdir(removals[i].path);
    else
      unlink(removals[i].path);
#endif
  }
}
