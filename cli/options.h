// The command line of the main job: inputs, the output base, and one option per processing
// choice, checked and turned into the processing options.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "dialogs/renaming.h"
#include "options/output_form.h"
#include "options/processing_options.h"
#include "pgn/game_search.h"

// A rename of exact tag values: players (White and Black), events or sites.
struct CliRename {
  RenameKind kind = RenameKind::Player;
  std::string from, to;
};

struct CliRequest {
  std::vector<std::filesystem::path> inputs;
  std::filesystem::path output = "output";
  TProcessingOptions options;
  OutputForm form;                     // the format written and the writer's knobs
  GameSearch search;                   // what is looked for beyond the options' filters
  std::filesystem::path settingsFile;  // options taken from a pgn_util.dat, when given
  std::filesystem::path ecoTable;      // instead of the built-in ECO table, when given
  std::filesystem::path reportFile;    // every skipped game, one line each
  std::filesystem::path rejected;      // output base for the games the filters and the search leave out
  std::filesystem::path duplicatesTo;  // output base for the duplicates --duplicates drops
  bool quiet = false;
  bool recursive = false;          // folders: the folders below them too
  int64_t memoryMiB = 0;           // budget for games kept parsed in memory; 0: the default
  int32_t threads = 0;             // threads reading files or pieces of one; 0: one per core, at most four
  std::vector<CliRename> renames;  // applied after loading, in the order given
};

// Parses the arguments after the program name onto the options `request` holds already (the
// defaults, or a settings file's): only the options given change them. On a usage error returns false with the
// message in `error`; `--help` and `--version` also return false, with `exitCode` 0 and the text
// in `error`.
bool ParseCommandLine(int argc, const char* const* argv, CliRequest& request, std::string& error, int& exitCode);

// Values as people write them; each returns false when the text is not one.
bool ParseResultList(const std::string& text, uint8_t& mask);          // "1-0,0-1,1/2-1/2,*,other"
bool ParseDate(const std::string& text, bool upper, int32_t& key);     // YYYY[.MM[.DD]]
bool ParseRange(const std::string& text, int32_t& from, int32_t& to);  // FROM-TO, either may be empty
bool ParseNagSet(const std::string& text, std::bitset<256>& kept);     // keep | basic | none | 1,2,3...

// The processing options a settings file (pgn_util.dat) holds; none, with the reason in
// `problem`, when it does not exist or holds none.
std::optional<TProcessingOptions> OptionsOfSettingsFile(const std::filesystem::path& file, std::string& problem);
