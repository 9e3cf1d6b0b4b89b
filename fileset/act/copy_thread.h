// A helper thread beside the window's thread (a copy's read-ahead, or the
// start's reads of the registry and the folder), and the lock and wake-up the
// two share. The compiler's own thread library is not
// available on every toolchain this builds with, so each system provides
// these in a file of its own; what the thread runs is written once, for
// every system (copy_thread.cpp).
#pragma once
#include <atomic>
#include <functional>
#include <memory>

class CopyLock {
 public:
  CopyLock();
  ~CopyLock();
  CopyLock(const CopyLock&) = delete;
  CopyLock& operator=(const CopyLock&) = delete;

  void Enter();
  void Leave();
  // Only while entered: leaves, sleeps until woken or `milliseconds` have
  // passed (or for no reason at all), and enters again.
  void Wait(unsigned milliseconds);
  void WakeAll();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Holds the lock for one scope.
class CopyLockHeld {
 public:
  explicit CopyLockHeld(CopyLock& lock) : lock_(lock) { lock_.Enter(); }
  ~CopyLockHeld() { lock_.Leave(); }
  CopyLockHeld(const CopyLockHeld&) = delete;
  CopyLockHeld& operator=(const CopyLockHeld&) = delete;

 private:
  CopyLock& lock_;
};

class CopyThread {
 public:
  CopyThread();
  // Waits for the thread: none outlives its owner.
  ~CopyThread();
  CopyThread(const CopyThread&) = delete;
  CopyThread& operator=(const CopyThread&) = delete;

  // Runs `body` on a thread of its own. False, with `body` not run, when the
  // system refuses a thread; the caller then does the work itself. `body`
  // must not throw; what still does ends the thread, not the process, and
  // Ended() tells the waiting side.
  bool Start(std::function<void()> body);
  // The thread has left `body`, whichever way. A waiting side that was not
  // told what the body ended with takes it as an unexpected failure.
  bool Ended() const;
  // Waits until the thread has ended; nothing to do when none was started.
  void Join();

 private:
  // What the thread runs: the body, with nothing let out of it, then the
  // note that it ended.
  void Run() noexcept;
  // Starts the system's thread on Run(); false when the system refuses one.
  bool Begin();

  struct Impl;  // the system's thread
  std::function<void()> body_;
  std::atomic<bool> ended_{false};
  std::unique_ptr<Impl> impl_;
};
