// The plug-in's view of its host: the Host interface answered through the host's query
// functions.
#pragma once

#include "plugin/host_api.h"
#include "plugin/host_services_win32.h"
#include "services/host.h"

class QueryHost : public Host {
 public:
  // Over services fetched at start (FetchHostServices).
  explicit QueryHost(const THostServices& services) : host(services) {}

  void Beep() override;
  void Lock() override;
  void Unlock() override;
  int32_t PathLength() override;
  int32_t GrowthStep() override;
  int32_t MoveCount() override;
  const HostMove* MoveAt(int32_t index) override;
  void ShowMove(int32_t index) override;
  void EnterVariation(int32_t oneBasedIndex) override;
  void LeaveVariation() override;
  bool InVariation() override;
  int32_t CurrentMove() override;
  int32_t PlyNumber() override;
  HostLineId CurrentLine() override;
  std::string ResultText() override;
  std::string LineComment(int32_t flag) override;
  void SelectGame(int32_t row) override;
  HostGameArray ListedGames() override;
  int32_t CurrentRow() override;
  HostIndexArray DisplayOrder() override;
  // Asked in a message box owned by the host's main window.
  Answer AskProcessOneGame() override;

 private:
  // A value the host keeps, read through its pointer at the moment; `fallback` when it has none.
  template <typename T>
  T Data(int32_t id, T fallback) const {
    const void* address = host.Data(id);
    return address ? *static_cast<const T*>(address) : fallback;
  }

  THostServices host;
};
