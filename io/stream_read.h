// Reading a stream that may keep its reader waiting (a pipe, a terminal) so that a stop
// request ends the wait: the reading thread is not the one a signal interrupts.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdio>

// Up to `count` bytes of `stream` into `to`, fewer only at its end, on a failure (`failed`
// set) or when `stop` was set while it waited (`stopped` set).
size_t ReadStream(std::FILE* stream, char* to, size_t count, const std::atomic<bool>* stop, bool& failed,
                  bool& stopped);
