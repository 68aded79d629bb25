// A host that lives in memory, for tests: it counts beeps, locks a recursive mutex and serves
// the current game from a HostGames list.
#pragma once

#include <mutex>

#include "host/host_games.h"
#include "services/host.h"

class MemoryHost : public Host {
 public:
  HostGames games;
  int beeps = 0;
  int32_t pathLength = 260;
  int32_t growthStep = 16;

  void Beep() override { ++beeps; }
  void Lock() override { mutex.lock(); }
  void Unlock() override { mutex.unlock(); }
  int32_t PathLength() override { return pathLength; }
  int32_t GrowthStep() override { return growthStep; }
  int32_t MoveCount() override { return games.MoveCount(); }
  const HostMove* MoveAt(int32_t index) override { return games.MoveAt(index); }
  void ShowMove(int32_t index) override { games.ShowMove(index); }
  void EnterVariation(int32_t oneBasedIndex) override { games.EnterVariation(oneBasedIndex); }
  void LeaveVariation() override { games.LeaveVariation(); }
  bool InVariation() override { return games.InVariation(); }
  int32_t CurrentMove() override { return games.CurrentMove(); }
  int32_t PlyNumber() override { return games.PlyNumber(); }
  HostLineId CurrentLine() override { return games.CurrentLine(); }
  std::string ResultText() override { return games.ResultText(); }
  std::string LineComment(int32_t flag) override { return games.LineComment(flag); }
  void SelectGame(int32_t row) override { games.SelectGame(row); }
  HostGameArray ListedGames() override { return games.ListedGames(); }
  int32_t CurrentRow() override { return *games.CurrentRow(); }
  HostIndexArray DisplayOrder() override { return games.DisplayOrder(); }

 private:
  std::recursive_mutex mutex;
};

// Installs a host for the life of a scope.
class ScopedHost {
 public:
  explicit ScopedHost(Host& host) : previous(SetCurrentHost(&host)) {}
  ~ScopedHost() { SetCurrentHost(previous); }
  ScopedHost(const ScopedHost&) = delete;
  ScopedHost& operator=(const ScopedHost&) = delete;

 private:
  Host* previous;
};
