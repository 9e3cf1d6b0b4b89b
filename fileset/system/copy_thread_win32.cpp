#include "fileset/act/copy_thread.h"

#include <windows.h>
#include <process.h>

#include "common/win_handles.h"

struct CopyLock::Impl {
  SRWLOCK lock = SRWLOCK_INIT;
  CONDITION_VARIABLE cond = CONDITION_VARIABLE_INIT;
};

CopyLock::CopyLock() : impl_(std::make_unique<Impl>()) {}
CopyLock::~CopyLock() = default;
void CopyLock::Enter() { AcquireSRWLockExclusive(&impl_->lock); }
void CopyLock::Leave() { ReleaseSRWLockExclusive(&impl_->lock); }
void CopyLock::WakeAll() { WakeAllConditionVariable(&impl_->cond); }
void CopyLock::Wait(unsigned milliseconds) { SleepConditionVariableSRW(&impl_->cond, &impl_->lock, milliseconds, 0); }

struct CopyThread::Impl {
  UniqueHandle thread;

  static unsigned __stdcall Enter(void* self) {
    static_cast<CopyThread*>(self)->Run();
    return 0;
  }
};

CopyThread::CopyThread() : impl_(std::make_unique<Impl>()) {}
CopyThread::~CopyThread() { Join(); }

bool CopyThread::Begin() {
  // _beginthreadex rather than CreateThread: the body runs C runtime code.
  impl_->thread.Reset(reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &Impl::Enter, this, 0, nullptr)));
  return impl_->thread.Valid();
}

void CopyThread::Join() {
  if (!impl_->thread.Valid()) return;
  WaitForSingleObject(impl_->thread.Get(), INFINITE);
  impl_->thread.Reset();
}
