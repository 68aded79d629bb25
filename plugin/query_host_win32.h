// The plug-in's view of its host: the Host interface answered through the host's query
// functions.
#pragma once

#include "plugin/host_api.h"
#include "services/host.h"

class QueryHost : public Host {
 public:
  // Fetches the sub-query functions and the current game's services.
  explicit QueryHost(HostQueryFn hostQuery);

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
  HostGameArray GameList() override;
  int32_t CurrentRow() override;
  HostIndexArray DisplayOrder() override;

 private:
  // A value the host keeps, read through its pointer; `fallback` when the host gives none.
  template <typename T>
  T Value(HostQueryFn subQuery, int32_t id, T fallback) const {
    const intptr_t address = subQuery ? subQuery(id) : 0;
    return address ? *reinterpret_cast<const T*>(address) : fallback;
  }

  HostQueryFn query = nullptr;
  HostQueryFn windowQuery = nullptr;
  HostQueryFn valueQuery = nullptr;
  HostQueryFn dataQuery = nullptr;
  HostLineCommentFn lineComment = nullptr;
  HostEnterVariationFn enterVariation = nullptr;
  HostLeaveVariationFn leaveVariation = nullptr;
  HostMoveAtFn moveAt = nullptr;
  HostShowMoveFn showMove = nullptr;
  HostCountFn inVariation = nullptr;
  HostCountFn moveCount = nullptr;
  HostCountFn currentMove = nullptr;
  HostCountFn plyNumber = nullptr;
  HostTextFn resultText = nullptr;
  HostSelectGameFn selectGame = nullptr;
};
