// The substitute host's game list: games with their lines, moves, variations, comments and NAGs,
// a current game and a position in it that the host's navigation services move around.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "chess/jurnal.h"
#include "plugin/host_api.h"

class HostGames {
 public:
  struct Line;
  struct Move {
    HostMove view{};  // what the host hands out; its text pointers are refreshed on each read
    std::string san, comment;
    std::vector<std::unique_ptr<Line>> variations;
    std::vector<HostLineId> variationIds;
  };
  struct Line {
    std::vector<Move> moves;
    std::string leadingComment, secondComment;
    Line* parent = nullptr;
    int32_t branch = 0;       // moves of the parent applied where this line starts
    int32_t startNumber = 1;  // full-move number of its first move
    bool blackFirst = false;
  };
  using Tags = std::vector<std::pair<std::string, std::string>>;

  // Adds a game made from a game record (null: an entry without a game object); returns its row.
  int32_t Add(const jurnal* game, Tags tags, std::u16string path = {}, int32_t position = 0, int32_t length = 0);
  int32_t Count() const { return int32_t(games.size()); }

  // The navigation services, on the current game.
  void SelectGame(int32_t row);
  int32_t MoveCount() const;
  const HostMove* MoveAt(int32_t index);
  void ShowMove(int32_t index);
  void EnterVariation(int32_t oneBasedIndex);
  void LeaveVariation();
  bool InVariation() const;
  // How many variations deep the current line lies (0: the main line).
  int32_t LineDepth() const;
  int32_t CurrentMove() const { return shown; }
  int32_t PlyNumber() const;
  HostLineId CurrentLine() const { return line; }
  std::string ResultText() const;
  std::string LineComment(int32_t flag) const;

  // The game list as the host's data queries hand it out.
  HostGameArray ListedGames();
  int32_t* CurrentRow() { return &currentRow; }
  HostIndexArray DisplayOrder();

 private:
  struct Game {
    std::unique_ptr<Line> main;  // null for an entry without a game object
    std::string result = "*";
    Tags tags;
    std::vector<HostTag> tagViews;
    std::u16string path;
    int32_t position = 0, length = 0;
  };
  static void Copy(const jurnal& record, Line& into);

  std::vector<std::unique_ptr<Game>> games;
  std::vector<HostGameEntry> entries;
  std::vector<int32_t> order;
  int32_t currentRow = -1;
  Line* line = nullptr;  // the current line of the current game
  int32_t shown = 0;     // moves of it applied
};
