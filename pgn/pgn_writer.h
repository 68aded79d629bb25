// Writing games as PGN: tag sections, movetext with its line breaking, the removal options,
// and output files.
#pragma once

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "chess/jurnal.h"
#include "chess/packed_game.h"
#include "io/large_block.h"
#include "options/output_form.h"
#include "options/processing_options.h"
#include "pgn/pgn_types.h"

// The text of one output file, collected in memory and written at once. It grows well beyond
// each need, so that appends rarely reallocate; the room it grows into is not cleared first (every
// byte of it is written before it is read), which on large buffers cost as much as the writing.
class OutputBuffer {
 public:
  OutputBuffer() = default;
  OutputBuffer(OutputBuffer&& other) noexcept
      : data(std::move(other.data)), capacity(std::exchange(other.capacity, 0)), used(std::exchange(other.used, 0)) {}
  OutputBuffer& operator=(OutputBuffer&& other) noexcept {
    data = std::move(other.data);
    capacity = std::exchange(other.capacity, 0);
    used = std::exchange(other.used, 0);
    return *this;
  }
  OutputBuffer(const OutputBuffer& other) { Append(other.Text()); }
  OutputBuffer& operator=(const OutputBuffer& other) {
    if (this != &other) {
      Clear();
      Append(other.Text());
    }
    return *this;
  }

  void Append(std::string_view text);
  // Never a null pointer, even before the first byte (the C library may not be given one).
  std::string_view Text() const { return std::string_view(data ? data.get() : "", used); }
  size_t Size() const { return used; }
  void Clear() { used = 0; }
  char Back() const { return data[used - 1]; }
  void SetBack(char c) { data[used - 1] = c; }
  void PopBack() { --used; }
  void Append(char c) {
    if (used == capacity) Grow(1);
    data[used++] = c;
  }
  // A token of the movetext and, when asked, the space after it, with one test for room.
  void AppendToken(std::string_view token, bool space) {
    if (used + token.size() + 1 > capacity) Grow(token.size() + 1);
    char* to = data.get() + used;
    const char* from = token.data();
    const size_t n = token.size();
    // Moves and numbers are short: copied in two overlapping fixed-size pieces, not by a call.
    if (n >= 8 && n <= 16) {
      std::memcpy(to, from, 8);
      std::memcpy(to + n - 8, from + n - 8, 8);
    } else if (n >= 4 && n < 8) {
      std::memcpy(to, from, 4);
      std::memcpy(to + n - 4, from + n - 4, 4);
    } else if (n > 0 && n < 4) {
      to[0] = from[0];
      to[n / 2] = from[n / 2];
      to[n - 1] = from[n - 1];
    } else {
      std::memcpy(to, from, n);
    }
    to[n] = ' ';  // stored either way, counted only when asked
    used += token.size() + (space ? 1 : 0);
  }

 private:
  void Grow(size_t need);

  LargeBlock data;
  size_t capacity = 0;
  size_t used = 0;
};

// The tag lines of a game, as the tag removal option chooses them.
std::string WriteTagSection(const TGamesTagArray& tags, const TProcessingOptions& options);
void AppendTags(std::string& out, const TGamesTagArray& tags, const TProcessingOptions& options);
// The same as the output form chooses them too: its lists of tags kept or dropped (never those
// the moves depend on: SetUp and FEN, a Variant naming Chess960), and a PlyCount tag of `plies`
// (when not negative) in place of the game's own, or last.
// Tags given for the writing alone: each takes the value of the first tag of its name, or goes
// after the others (where every tag is kept); an empty value takes the tag away.
using TagOverrides = std::vector<TagView>;
void AppendTags(std::string& out, const TGamesTagArray& tags, const TProcessingOptions& options, const OutputForm& form,
                int plies, const TagOverrides* overrides = nullptr);
// Whether the form chooses tags at all (else the options' choice is the whole choice).
bool TagsFollowForm(const OutputForm& form);
// The tags AppendTags writes, in order; `plyCountText` holds the PlyCount value they may view.
void WrittenTags(const TGamesTagArray& tags, const TProcessingOptions& options, const OutputForm& form, int plies,
                 std::string& plyCountText, std::vector<TagView>& written, const TagOverrides* overrides = nullptr);
// The result a game is written with: its Result tag's value, else its record's.
std::string_view GameResult(const TGamesTagArray& tags, const jurnal* game);

// Appends the movetext of a game's main line (with its variations), the result (a result
// token, else "*") and the blank line after the game. `currentLine` collects the tokens of the
// text line being built.
// `lineLength`: the column lines stay within, 0 for one line.
void WriteMovetext(const jurnal& game, OutputBuffer& buffer, std::string& currentLine,
                   const TProcessingOptions& options, std::string_view result, int32_t lineLength = 80);

// WriteMovetext for a packed game: the text the record it unpacks to is written as, read straight
// from its bytes (no record made, each comment copied once).
void WritePackedMovetext(const PackedGame& game, OutputBuffer& buffer, std::string& currentLine,
                         const TProcessingOptions& options, std::string_view result, int32_t lineLength = 80);

// Appends one whole game: its tag section, an empty line, and its movetext with the result of
// its Result tag. Only reads the entry, so several threads may write games at once.
void WriteGame(const TGame& entry, OutputBuffer& buffer, const TProcessingOptions& options);
// The same with the entry's moves from `game` (unpacked for the writing), not from the entry.
void WriteGame(const TGame& entry, const jurnal* game, OutputBuffer& buffer, const TProcessingOptions& options,
               const OutputForm& form = {});
// The same with the tags given apart from the entry's (Opening tags added for the writing).
void WritePgnGame(const TGamesTagArray& tags, const jurnal* game, OutputBuffer& buffer,
                  const TProcessingOptions& options, const OutputForm& form, const TagOverrides* overrides = nullptr);

// WritePgnGame for a packed game, written from its bytes (WritePackedMovetext).
void WritePackedPgnGame(const TGamesTagArray& tags, const PackedGame& game, OutputBuffer& buffer,
                        const TProcessingOptions& options, const OutputForm& form,
                        const TagOverrides* overrides = nullptr);

struct WriteResult {
  bool ok = true;
  std::string error;  // the system's reason when not ok
};

// Writes the buffer to a file: appended to what the file holds when `append` is set, else
// replacing it through a temporary file beside it, so a failure never destroys the old file.
WriteResult WriteOutputFile(const std::filesystem::path& path, const OutputBuffer& buffer, bool append);

// One output file written in pieces, so that a large file's text need not be held in memory
// all at once. Replacing, the pieces go to a temporary file beside the target, renamed over it
// when finished; appending, they go to the end of the target, on a line of their own. A file
// abandoned (or not finished) is left as it was before: the temporary file is removed, or the
// appended text cut away. A symbolic link is followed to its file (the link stays); a pipe or a
// device is written in place; a folder, and a compressed file to append to, are refused.
class OutputFileWriter {
 public:
  // `continuesOwnText`: the file holds what this job wrote into it before (it is taken as it
  // is); text appended to any other file starts on a line of its own.
  OutputFileWriter(std::filesystem::path path, bool append, bool continuesOwnText = false);
  ~OutputFileWriter();
  OutputFileWriter(const OutputFileWriter&) = delete;
  OutputFileWriter& operator=(const OutputFileWriter&) = delete;

  // Writes the buffer's text after what was written before; false after any failure.
  bool Write(const OutputBuffer& buffer);
  // Closes the file and makes it the target; the first failure's reason when any.
  WriteResult Finish();
  void Abandon();

 private:
  bool Open();
  void Fail();

  std::filesystem::path path;
  bool append;
  bool continuesOwnText;
  bool inPlace = false;             // a pipe or a device: written as it is, nothing to undo
  std::filesystem::path resolved;   // the file itself, links followed
  std::filesystem::path temporary;  // replacing: where the pieces go until renamed over it
  std::FILE* file = nullptr;
  bool opened = false;
  static constexpr int64_t Unknown = -2;
  int64_t sizeBefore = -1;  // an appended file's size before the first piece; -1: it did not exist
  WriteResult result;
};
