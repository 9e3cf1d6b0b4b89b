#include "fileset/act/copy_thread.h"

void CopyThread::Run() noexcept {
  // The bodies report their own failures. Should anything still leave one,
  // the thread ends here rather than the whole process, and says so.
  try {
    body_();
  } catch (...) {
  }
  ended_ = true;
}
