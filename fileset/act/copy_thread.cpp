#include "fileset/act/copy_thread.h"

#include <utility>

bool CopyThread::Start(std::function<void()> body) {
  Join();
  body_ = std::move(body);
  ended_ = false;
  return Begin();
}

bool CopyThread::Ended() const { return ended_; }

void CopyThread::Run() noexcept {
  // The bodies report their own failures. Should anything still leave one,
  // the thread ends here rather than the whole process, and says so.
  try {
    body_();
  } catch (...) {
  }
  ended_ = true;
}
