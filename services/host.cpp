#include "services/host.h"

#include <mutex>

namespace {

// The host of a process that has none: the command line before it installs its own, and tests.
class QuietProcessHost : public Host {
 public:
  void Beep() override {}
  void Lock() override { mutex.lock(); }
  void Unlock() override { mutex.unlock(); }
  int32_t PathLength() override { return 260; }
  int32_t GrowthStep() override { return 1024; }
  int32_t MoveCount() override { return 0; }
  const HostMove* MoveAt(int32_t) override { return nullptr; }
  void ShowMove(int32_t) override {}
  void EnterVariation(int32_t) override {}
  void LeaveVariation() override {}
  bool InVariation() override { return false; }
  int32_t CurrentMove() override { return 0; }
  int32_t PlyNumber() override { return 1; }
  HostLineId CurrentLine() override { return nullptr; }
  std::string ResultText() override { return "*"; }
  std::string LineComment(int32_t) override { return {}; }
  void SelectGame(int32_t) override {}
  HostGameArray ListedGames() override { return {nullptr, 0}; }
  int32_t CurrentRow() override { return -1; }
  HostIndexArray DisplayOrder() override { return {nullptr, 0}; }

 private:
  std::recursive_mutex mutex;
};

QuietProcessHost quietHost;
Host* installed = nullptr;

}  // namespace

Host& QuietHost() { return quietHost; }

Host& CurrentHost() { return installed ? *installed : quietHost; }

Host* SetCurrentHost(Host* host) {
  Host* previous = installed;
  installed = host;
  return previous;
}
