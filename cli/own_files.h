// Files given for the job's own use (--report, --settings) must never be a file the job reads
// games from or writes games into: compared by identity, so that links and other spellings of
// a path count too.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

// Why `file` cannot serve the job's own use: it is one of the inputs, a .pgn file a folder input
// reads, or `outputFile` (empty when the output is split); an empty text when none of these.
std::string ClashWithGames(const std::filesystem::path& file, const std::vector<std::filesystem::path>& inputs,
                           bool recursive, const std::filesystem::path& outputFile);

// The same file, or (when neither exists yet) the same path once made absolute and normal.
bool SamePlace(const std::filesystem::path& a, const std::filesystem::path& b);
