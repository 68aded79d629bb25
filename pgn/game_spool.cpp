#include "pgn/game_spool.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "io/anonymous_file.h"
#include "io/os_file.h"
#include "services/host.h"

GameSpool::~GameSpool() {
  if (file) std::fclose(file);
}

bool GameSpool::Add(int64_t sourcePosition, std::string_view text) {
  std::lock_guard<std::mutex> lock(mutex);
  if (failed) return false;
  if (!file) {
    file = OpenAnonymousFile(error);
    if (!file) {
      failed = true;
      error = "no spool file for the games let go: " + error;
      return false;
    }
  }
  // Written at the end of what is there: a write that failed half-way (a full disk) leaves a
  // tail that the next game overwrites.
  if (!SeekFile(file, size) || std::fwrite(text.data(), 1, text.size(), file) != text.size() ||
      std::fflush(file) != 0) {
    error = std::string("the spool of games let go cannot be written: ") + std::strerror(errno);
    std::clearerr(file);
    return false;
  }
  places.emplace_back(sourcePosition, size + 1);
  size += int64_t(text.size());
  return true;
}

int64_t GameSpool::PositionOf(int64_t sourcePosition) const {
  std::lock_guard<std::mutex> lock(mutex);
  const auto place = std::lower_bound(places.begin(), places.end(), std::make_pair(sourcePosition, int64_t(0)));
  return place != places.end() && place->first == sourcePosition ? place->second : 0;
}

ReadError GameSpool::ReadRange(int64_t position, int64_t count, std::string& text) {
  std::string read;
  {
    std::lock_guard<std::mutex> lock(mutex);
    if (position < 1 || count < 0 || position - 1 + count > size || !file) return ReadError::BadRange;
    read.resize(size_t(count));
    if (!SeekFile(file, position - 1)) return ReadError::ReadFailed;
    if (std::fread(read.data(), 1, read.size(), file) != read.size()) {
      std::clearerr(file);
      return ReadError::ReadFailed;
    }
  }
  // The host's lock is never taken under the spool's: a thread holding the host's may be
  // waiting for the spool.
  HostLockGuard hostLock;
  text = std::move(read);
  return ReadError::None;
}

int64_t GameSpool::Bytes() const {
  std::lock_guard<std::mutex> lock(mutex);
  return size;
}
