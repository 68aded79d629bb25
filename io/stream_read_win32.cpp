#include "io/stream_read.h"

size_t ReadStream(std::FILE* stream, char* to, size_t count, const std::atomic<bool>*, bool& failed, bool&) {
  // A console or pipe read is not given up here: a second Ctrl-C ends the program instead.
  const size_t got = std::fread(to, 1, count, stream);
  if (got < count && std::ferror(stream)) failed = true;
  return got;
}
