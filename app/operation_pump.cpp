#include "app/operation_pump.h"


OperationPump* OperationPump::current_ = nullptr;

namespace {
constexpr ULONGLONG kRepaintEveryMs = 100;
// A screen reader asks for the gauge's object (WM_GETOBJECT) each time its
// value changes, and waits for the answer: it hears the percent of the moment
// it is answered, so the answer must not wait for the next repaint.
constexpr ULONGLONG kAnswerEveryMs = 10;
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

OperationPump::OperationPump() { current_ = this; }

OperationPump::~OperationPump() { current_ = nullptr; }

void OperationPump::KeepPainted() noexcept {
  const ULONGLONG now = GetTickCount64();
  MSG msg;
  if (now - lastAnswer_ >= kAnswerEveryMs) {
    lastAnswer_ = now;
    // Delivers the messages sent meanwhile to their windows and takes nothing
    // from the queue. A filter without QS_SENDMESSAGE leaves them waiting on
    // some systems (Wine), which would keep their senders waiting too.
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
  if (now - lastLook_ < kRepaintEveryMs) return;
  lastLook_ = now;
  for (int i = 0; i < kMaxPaintsPerLook && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT | PM_QS_SENDMESSAGE);
       ++i) {
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
