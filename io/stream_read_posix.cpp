#include <poll.h>
#include <unistd.h>

#include <cerrno>

#include "io/stream_read.h"

size_t ReadStream(std::FILE* stream, char* to, size_t count, const std::atomic<bool>* stop, bool& failed,
                  bool& stopped) {
  // The descriptor itself, not the stdio buffer: a wait for input must be one that can be
  // given up.
  const int descriptor = fileno(stream);
  size_t got = 0;
  while (got < count) {
    if (stop && stop->load()) {
      stopped = true;
      break;
    }
    pollfd wanted{descriptor, POLLIN, 0};
    const int ready = poll(&wanted, 1, stop ? 100 : -1);
    if (ready == 0 || (ready < 0 && errno == EINTR)) continue;
    const ssize_t read = ::read(descriptor, to + got, count - got);
    if (read == 0) break;
    if (read < 0) {
      if (errno == EINTR || errno == EAGAIN) continue;
      failed = true;
      break;
    }
    got += size_t(read);
  }
  return got;
}
