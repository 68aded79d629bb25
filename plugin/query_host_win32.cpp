#include "plugin/query_host_win32.h"

#include <windows.h>

namespace {

template <typename F>
F Fetch(HostQueryFn query, int32_t id) {
  return reinterpret_cast<F>(reinterpret_cast<void*>(query(id)));
}

}  // namespace

QueryHost::QueryHost(HostQueryFn hostQuery) : query(hostQuery) {
  windowQuery = Fetch<HostQueryFn>(query, HostQueryWindowQuery);
  valueQuery = Fetch<HostQueryFn>(query, HostQueryValueQuery);
  dataQuery = Fetch<HostQueryFn>(query, HostQueryDataQuery);
  lineComment = Fetch<HostLineCommentFn>(query, HostQueryCommentFunction);
  enterVariation = Fetch<HostEnterVariationFn>(query, HostQueryEnterVariation);
  leaveVariation = Fetch<HostLeaveVariationFn>(query, HostQueryLeaveVariation);
  moveAt = Fetch<HostMoveAtFn>(query, HostQueryMoveAt);
  showMove = Fetch<HostShowMoveFn>(query, HostQueryShowMove);
  inVariation = Fetch<HostCountFn>(query, HostQueryInVariation);
  moveCount = Fetch<HostCountFn>(query, HostQueryMoveCount);
  currentMove = Fetch<HostCountFn>(query, HostQueryCurrentMove);
  plyNumber = Fetch<HostCountFn>(query, HostQueryPlyNumber);
  resultText = Fetch<HostTextFn>(query, HostQueryResultText);
  selectGame = Fetch<HostSelectGameFn>(query, HostQuerySelectGame);
}

void QueryHost::Beep() { MessageBeep(0); }

// The lock is fetched anew each time: the host owns it and may hand out another one later.
void QueryHost::Lock() {
  if (auto* lock = reinterpret_cast<CRITICAL_SECTION*>(dataQuery ? dataQuery(HostDataLock) : 0))
    EnterCriticalSection(lock);
}

void QueryHost::Unlock() {
  if (auto* lock = reinterpret_cast<CRITICAL_SECTION*>(dataQuery ? dataQuery(HostDataLock) : 0))
    LeaveCriticalSection(lock);
}

int32_t QueryHost::PathLength() { return Value<int32_t>(valueQuery, HostValuePathLength, MAX_PATH); }

int32_t QueryHost::GrowthStep() {
  const int32_t step = Value<int32_t>(valueQuery, HostValueGrowthStep, 1024);
  return step > 0 ? step : 1024;
}

int32_t QueryHost::MoveCount() { return moveCount ? moveCount() : 0; }

const HostMove* QueryHost::MoveAt(int32_t index) { return moveAt ? moveAt(index) : nullptr; }

void QueryHost::ShowMove(int32_t index) {
  if (showMove) showMove(index);
}

void QueryHost::EnterVariation(int32_t oneBasedIndex) {
  if (enterVariation) enterVariation(oneBasedIndex);
}

void QueryHost::LeaveVariation() {
  if (leaveVariation) leaveVariation();
}

bool QueryHost::InVariation() { return inVariation && inVariation() != 0; }

int32_t QueryHost::CurrentMove() { return currentMove ? currentMove() : 0; }

int32_t QueryHost::PlyNumber() { return plyNumber ? plyNumber() : 1; }

HostLineId QueryHost::CurrentLine() {
  return reinterpret_cast<HostLineId>(dataQuery ? dataQuery(HostDataCurrentLine) : 0);
}

std::string QueryHost::ResultText() {
  const char* text = resultText ? resultText() : nullptr;
  return text ? text : "*";
}

std::string QueryHost::LineComment(int32_t flag) {
  const char* text = lineComment ? lineComment(flag) : nullptr;
  return text ? text : "";
}

void QueryHost::SelectGame(int32_t row) {
  if (selectGame) selectGame(row);
}

HostGameArray QueryHost::GameList() { return Value<HostGameArray>(dataQuery, HostDataGameList, {nullptr, 0}); }

int32_t QueryHost::CurrentRow() { return Value<int32_t>(dataQuery, HostDataCurrentRow, -1); }

HostIndexArray QueryHost::DisplayOrder() {
  return Value<HostIndexArray>(dataQuery, HostDataDisplayOrder, {nullptr, 0});
}
