// What portable code needs from the program it runs in: the plug-in's host, the command-line
// tool, or a test. Portable code reaches it only through this interface.
#pragma once

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
};

// The host this process runs under. Until a front end installs one, a quiet host that does
// not beep and locks a process-wide recursive mutex answers.
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
