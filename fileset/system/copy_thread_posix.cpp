#include "fileset/act/copy_thread.h"

#include <pthread.h>
#include <time.h>

struct CopyLock::Impl {
  pthread_mutex_t mutex = PTHREAD_MUTEX_INITIALIZER;
  pthread_cond_t cond = PTHREAD_COND_INITIALIZER;
};

CopyLock::CopyLock() : impl_(std::make_unique<Impl>()) {}
CopyLock::~CopyLock() {
  pthread_cond_destroy(&impl_->cond);
  pthread_mutex_destroy(&impl_->mutex);
}
void CopyLock::Enter() { pthread_mutex_lock(&impl_->mutex); }
void CopyLock::Leave() { pthread_mutex_unlock(&impl_->mutex); }
void CopyLock::WakeAll() { pthread_cond_broadcast(&impl_->cond); }

void CopyLock::Wait(unsigned milliseconds) {
  timespec until{};
  clock_gettime(CLOCK_REALTIME, &until);
  until.tv_sec += static_cast<time_t>(milliseconds / 1000);
  until.tv_nsec += static_cast<long>(milliseconds % 1000) * 1000000L;
  if (until.tv_nsec >= 1000000000L) {
    until.tv_sec += 1;
    until.tv_nsec -= 1000000000L;
  }
  pthread_cond_timedwait(&impl_->cond, &impl_->mutex, &until);
}

struct CopyThread::Impl {
  pthread_t thread{};
  bool running = false;

  static void* Enter(void* self) {
    static_cast<CopyThread*>(self)->Run();
    return nullptr;
  }
};

CopyThread::CopyThread() : impl_(std::make_unique<Impl>()) {}
CopyThread::~CopyThread() { Join(); }

bool CopyThread::Begin() {
  impl_->running = pthread_create(&impl_->thread, nullptr, &Impl::Enter, this) == 0;
  return impl_->running;
}

void CopyThread::Join() {
  if (!impl_->running) return;
  pthread_join(impl_->thread, nullptr);
  impl_->running = false;
}
