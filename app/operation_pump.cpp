#include "app/operation_pump.h"


OperationPump* OperationPump::current_ = nullptr;

namespace {
constexpr ULONGLONG kRepaintEveryMs = 100;
constexpr int kMaxPaintsPerLook = 32;
constexpr int kMaxDropped = 4096;

struct MessageRange {
  UINT first, last;
};
// Everything a key or the mouse puts on the queue, in the client area and on
// the frame alike.
constexpr MessageRange kInput[] = {
    {WM_KEYFIRST, WM_KEYLAST},
    {WM_MOUSEFIRST, WM_MOUSELAST},
    {WM_NCMOUSEMOVE, WM_NCXBUTTONDBLCLK},
    {WM_NCMOUSEHOVER, WM_MOUSELEAVE},
};
}  // namespace

OperationPump::OperationPump() : outer_(current_) { current_ = this; }

OperationPump::~OperationPump() {
  current_ = outer_;
  if (closeHeld_ && outer_) outer_->HoldClose();
}

void OperationPump::KeepPainted() noexcept {
  const ULONGLONG now = GetTickCount64();
  if (now - lastLook_ < kRepaintEveryMs) return;
  lastLook_ = now;
  MSG msg;
  for (int i = 0; i < kMaxPaintsPerLook && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT); ++i) {
    DispatchMessageW(&msg);
  }
}

void OperationPump::DropQueuedInput() noexcept {
  answering_ = true;
  MSG msg;
  for (const MessageRange& range : kInput) {
    // Bounded, in case input keeps arriving as fast as it is taken.
    for (int i = 0; i < kMaxDropped && PeekMessageW(&msg, nullptr, range.first, range.last, PM_REMOVE); ++i) {
      const bool altF4 = msg.message == WM_SYSKEYDOWN && msg.wParam == VK_F4;
      const bool closeBox = msg.message == WM_NCLBUTTONDOWN && msg.wParam == HTCLOSE;
      if (altF4 || closeBox) HoldClose();
    }
  }
}
