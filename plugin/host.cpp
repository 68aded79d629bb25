#include "plugin/host.h"

#include <mutex>

namespace {

class QuietHost : public Host {
 public:
  void Beep() override {}
  void Lock() override { mutex.lock(); }
  void Unlock() override { mutex.unlock(); }

 private:
  std::recursive_mutex mutex;
};

QuietHost quietHost;
Host* installed = nullptr;

}  // namespace

Host& CurrentHost() { return installed ? *installed : quietHost; }

Host* SetCurrentHost(Host* host) {
  Host* previous = installed;
  installed = host;
  return previous;
}
