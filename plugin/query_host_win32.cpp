#include "plugin/query_host_win32.h"

#include <windows.h>

void QueryHost::Beep() { MessageBeep(0); }

// The lock is fetched anew each time: the host owns it and may hand out another one later.
void QueryHost::Lock() {
  if (auto* lock = static_cast<CRITICAL_SECTION*>(host.Data(HostDataLock))) EnterCriticalSection(lock);
}

void QueryHost::Unlock() {
  if (auto* lock = static_cast<CRITICAL_SECTION*>(host.Data(HostDataLock))) LeaveCriticalSection(lock);
}

int32_t QueryHost::PathLength() {
  const int32_t length = THostServices::Read<int32_t>(host.pathLength, MAX_PATH);
  return length > 0 ? length : MAX_PATH;
}

int32_t QueryHost::GrowthStep() {
  const intptr_t address = host.valueQuery ? host.valueQuery(HostValueGrowthStep) : 0;
  const int32_t step = address ? *reinterpret_cast<const int32_t*>(address) : 1024;
  return step > 0 ? step : 1024;
}

int32_t QueryHost::MoveCount() { return host.moveCount ? host.moveCount() : 0; }

const HostMove* QueryHost::MoveAt(int32_t index) { return host.moveAt ? host.moveAt(index) : nullptr; }

void QueryHost::ShowMove(int32_t index) {
  if (host.showMove) host.showMove(index);
}

void QueryHost::EnterVariation(int32_t oneBasedIndex) {
  if (host.enterVariation) host.enterVariation(oneBasedIndex);
}

void QueryHost::LeaveVariation() {
  if (host.leaveVariation) host.leaveVariation();
}

bool QueryHost::InVariation() { return host.inVariation && host.inVariation() != 0; }

int32_t QueryHost::CurrentMove() { return host.currentMove ? host.currentMove() : 0; }

int32_t QueryHost::PlyNumber() { return host.plyNumber ? host.plyNumber() : 1; }

HostLineId QueryHost::CurrentLine() { return host.Data(HostDataCurrentLine); }

std::string QueryHost::ResultText() {
  const char* text = host.resultText ? host.resultText() : nullptr;
  return text ? text : "*";
}

std::string QueryHost::LineComment(int32_t flag) {
  const char* text = host.lineComment ? host.lineComment(flag) : nullptr;
  return text ? text : "";
}

void QueryHost::SelectGame(int32_t row) {
  if (host.selectGame) host.selectGame(row);
}

HostGameArray QueryHost::ListedGames() { return Data<HostGameArray>(HostDataGameList, {nullptr, 0}); }

int32_t QueryHost::CurrentRow() { return Data<int32_t>(HostDataCurrentRow, -1); }

HostIndexArray QueryHost::DisplayOrder() { return Data<HostIndexArray>(HostDataDisplayOrder, {nullptr, 0}); }

Host::Answer QueryHost::AskProcessOneGame() {
  const int answer = MessageBoxW(host.mainWindow,
                                 L"Do you want to work with one highlighted game? (If you press \"No\", then all "
                                 L"the games from the list will be processed).",
                                 L"Games processing", MB_YESNOCANCEL | MB_ICONQUESTION);
  if (answer == IDYES) return Answer::Yes;
  if (answer == IDNO) return Answer::No;
  return Answer::Cancel;
}
