#include "job/job_problems.h"

std::string UnreadableText(const UnreadableFile& file) {
  if (file.bytesRead <= 0) return "not read: " + file.reason;
  return "read only up to byte " + std::to_string(file.bytesRead) + " of its text (" + file.reason +
         "); the games before it were kept";
}

std::string WriteFailureText(const WriteFailure& failure) { return "not written: " + failure.reason; }

std::string UnwrittenGameText(const UnwrittenGame& game) {
  return "the game at byte " + std::to_string(game.position) + " was not written: " + game.reason;
}
