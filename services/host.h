// What portable code needs from the program it runs in: the plug-in's host, the command-line
// tool, or a test. Portable code reaches it only through this interface.
#pragma once

#include <cstdint>
#include <string>

#include "services/host_records.h"

// One implementation per front end: the plug-in's calls the host's query functions, the
// command line's uses the console and a std::recursive_mutex, tests use an in-memory one.
class Host {
 public:
  virtual ~Host() = default;

  // The system's default beep for rejected input.
  virtual void Beep() = 0;
  // The lock around changes of data shared with the host's thread; recursive.
  virtual void Lock() = 0;
  virtual void Unlock() = 0;

  // Path length for file dialogs, in characters.
  virtual int32_t PathLength() = 0;
  // How many entries an array of games read grows by at a time.
  virtual int32_t GrowthStep() = 0;

  // The host's current game, one line at a time. Moves are 0-based; ShowMove(i) applies the
  // first i moves of the current line; EnterVariation(j) enters the j-th (1-based) line that
  // replaces the move after the shown position; LeaveVariation returns to the parent line.
  virtual int32_t MoveCount() = 0;
  virtual const HostMove* MoveAt(int32_t index) = 0;  // null out of range
  virtual void ShowMove(int32_t index) = 0;
  virtual void EnterVariation(int32_t oneBasedIndex) = 0;
  virtual void LeaveVariation() = 0;
  virtual bool InVariation() = 0;
  virtual int32_t CurrentMove() = 0;  // moves applied on the current line
  virtual int32_t PlyNumber() = 0;    // full-move number of the move to be played
  virtual HostLineId CurrentLine() = 0;
  virtual std::string ResultText() = 0;
  // flag 1: the comment before the current line's first move; 0: the host's second comment.
  virtual std::string LineComment(int32_t flag) = 0;
  // Makes the game at a row of the host's game list the current game.
  virtual void SelectGame(int32_t row) = 0;

  // The host's game list, its current row and its display order.
  virtual HostGameArray ListedGames() = 0;
  virtual int32_t CurrentRow() = 0;
  virtual HostIndexArray DisplayOrder() = 0;

  // With exactly one game highlighted when processing starts: work with that game only (Yes),
  // with the whole list (No), or not at all (Cancel).
  enum class Answer { Yes, No, Cancel };
  virtual Answer AskProcessOneGame() { return Answer::No; }
};

// A host that answers as a process without one does: no beep, a process-wide recursive mutex,
// no current game and an empty game list.
Host& QuietHost();

// The host this process runs under, the quiet one until a front end installs its own. Only what
// is one per process reaches it this way: the lock around data shared with the host's thread
// (HostLockGuard) and the beep for rejected input. Every question with an answer (paths, lists,
// the current game) goes to the Host a caller is handed: a job's or a session's services.
Host& CurrentHost();
// Installs a host (null restores the quiet one); returns the one it replaces.
Host* SetCurrentHost(Host* host);

// Holds the host's lock for a scope.
class HostLockGuard {
 public:
  HostLockGuard() { CurrentHost().Lock(); }
  ~HostLockGuard() { CurrentHost().Unlock(); }
  HostLockGuard(const HostLockGuard&) = delete;
  HostLockGuard& operator=(const HostLockGuard&) = delete;
};
