#include "gauge/gauge_accessible_win32.h"

#include <oleacc.h>

#include <new>
#include <string>

#include "common/system_library_win32.h"
#include "common/utf.h"

static_assert(kRoleProgressBar == ROLE_SYSTEM_PROGRESSBAR, "oleacc's progress bar role");
static_assert(kStateReadOnly == STATE_SYSTEM_READONLY, "oleacc's read-only state");
static_assert(kStateBusy == STATE_SYSTEM_BUSY, "oleacc's busy state");
static_assert(kStateInvisible == STATE_SYSTEM_INVISIBLE, "oleacc's invisible state");

namespace {

// What the program uses of COM and oleacc.dll (gauge_accessible_win32.h), kept
// for the program's life once loaded.
struct AccessLibraries {
  HRESULT(WINAPI* coInitializeEx)(LPVOID, DWORD) = nullptr;
  void(WINAPI* coUninitialize)() = nullptr;
  HRESULT(WINAPI* coDisconnectObject)(LPUNKNOWN, DWORD) = nullptr;
  BSTR(WINAPI* sysAllocStringLen)(const OLECHAR*, UINT) = nullptr;
  LRESULT(WINAPI* lresultFromObject)(REFIID, WPARAM, LPUNKNOWN) = nullptr;
  HRESULT(WINAPI* createStdAccessibleObject)(HWND, LONG, REFIID, void**) = nullptr;

  bool Complete() const {
    return coInitializeEx && coUninitialize && coDisconnectObject && sysAllocStringLen && lresultFromObject &&
           createStdAccessibleObject;
  }
};

template <class Function>
void Bind(Function& function, HMODULE module, const char* name) {
  if (!module) return;
  function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

AccessLibraries libraries;

// Only the window's thread loads them, before any object exists; COM's
// threads use them only through an object.
const AccessLibraries* LoadAccessLibraries() {
  static bool tried = false;
  if (!tried) {
    tried = true;
    HMODULE ole32 = LoadSystemLibrary(L"ole32.dll");
    HMODULE oleaut32 = LoadSystemLibrary(L"oleaut32.dll");
    HMODULE oleacc = LoadSystemLibrary(L"oleacc.dll");
    Bind(libraries.coInitializeEx, ole32, "CoInitializeEx");
    Bind(libraries.coUninitialize, ole32, "CoUninitialize");
    Bind(libraries.coDisconnectObject, ole32, "CoDisconnectObject");
    Bind(libraries.sysAllocStringLen, oleaut32, "SysAllocStringLen");
    Bind(libraries.lresultFromObject, oleacc, "LresultFromObject");
    Bind(libraries.createStdAccessibleObject, oleacc, "CreateStdAccessibleObject");
  }
  return libraries.Complete() ? &libraries : nullptr;
}

bool IsSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

// No C++ exception may leave a COM method: a failed conversion is out of memory.
HRESULT Text(const std::string& utf8, BSTR* out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  try {
    const std::wstring wide = Widen(utf8);
    *out = libraries.sysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
  } catch (...) {
  }
  return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT Number(LONG value, VARIANT* out) {
  if (!out) return E_POINTER;
  out->vt = VT_I4;
  out->lVal = value;
  return S_OK;
}

HRESULT Nothing(BSTR* out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  return S_FALSE;
}

// Held while the answers are read or written: COM's threads read them while
// the window's thread brings them up to date.
class Locked {
 public:
  explicit Locked(SRWLOCK& lock) : lock_(lock) { AcquireSRWLockExclusive(&lock_); }
  ~Locked() { ReleaseSRWLockExclusive(&lock_); }
  Locked(const Locked&) = delete;
  Locked& operator=(const Locked&) = delete;

 private:
  SRWLOCK& lock_;
};

}  // namespace

// The object handed out: the gauge's answers for the client itself, the
// standard object's for everything else (its children, its parent, where to go
// from it). Lives as long as anyone holds it; the host cuts it off when it goes.
class GaugeAccessibleObject final : public IAccessible, public IOleWindow {
 public:
  GaugeAccessibleObject(HWND window, IAccessible* standard) : window_(window), standard_(standard) {
    if (standard_) standard_->AddRef();
  }
  GaugeAccessibleObject(const GaugeAccessibleObject&) = delete;
  GaugeAccessibleObject& operator=(const GaugeAccessibleObject&) = delete;

  void Set(const GaugeAnswers& answers, const RECT& bounds) {
    Locked locked(lock_);
    answers_ = answers;
    bounds_ = bounds;
  }
  void Cut() {
    IAccessible* standard = nullptr;
    {
      Locked locked(lock_);
      cut_ = true;
      standard = standard_;
      standard_ = nullptr;
    }
    if (standard) standard->Release();
  }

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (!out) return E_POINTER;
    if (riid == __uuidof(IUnknown) || riid == __uuidof(IDispatch) || riid == __uuidof(IAccessible)) {
      *out = static_cast<IAccessible*>(this);
    } else if (riid == __uuidof(IOleWindow)) {
      *out = static_cast<IOleWindow*>(this);
    } else {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) {
      Cut();
      delete this;
    }
    return static_cast<ULONG>(left);
  }

  // IDispatch: screen readers call the methods themselves.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
    if (info) *info = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return E_NOTIMPL;
  }

  // IAccessible: the client's own answers.
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    if (!IsSelf(child)) return Forward([&](IAccessible* s) { return s->get_accName(child, name); });
    return Own([&](const GaugeAnswers& answers) { return Text(answers.name, name); });
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
    if (!IsSelf(child)) return Forward([&](IAccessible* s) { return s->get_accValue(child, value); });
    return Own([&](const GaugeAnswers& answers) { return Text(answers.value, value); });
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    if (!IsSelf(child)) return Forward([&](IAccessible* s) { return s->get_accRole(child, role); });
    return Own([&](const GaugeAnswers& answers) { return Number(answers.role, role); });
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    if (!IsSelf(child)) return Forward([&](IAccessible* s) { return s->get_accState(child, state); });
    return Own([&](const GaugeAnswers& answers) { return Number(static_cast<LONG>(answers.state), state); });
  }
  HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child) override {
    if (!IsSelf(child)) {
      return Forward([&](IAccessible* s) { return s->accLocation(left, top, width, height, child); });
    }
    if (!left || !top || !width || !height) return E_POINTER;
    RECT bounds;
    {
      Locked locked(lock_);
      if (cut_) return CO_E_OBJNOTCONNECTED;
      bounds = bounds_;
    }
    MapWindowPoints(window_, HWND_DESKTOP, reinterpret_cast<POINT*>(&bounds), 2);
    *left = bounds.left;
    *top = bounds.top;
    *width = bounds.right - bounds.left;
    *height = bounds.bottom - bounds.top;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
    if (!IsSelf(child)) return Forward([&](IAccessible* s) { return s->get_accDescription(child, text); });
    return Nothing(text);
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* text) override {
    if (!IsSelf(child)) return Forward([&](IAccessible* s) { return s->get_accHelp(child, text); });
    return Nothing(text);
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
    if (!IsSelf(child)) return Forward([&](IAccessible* s) { return s->get_accHelpTopic(file, child, topic); });
    if (topic) *topic = 0;
    return Nothing(file);
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* text) override {
    if (!IsSelf(child)) return Forward([&](IAccessible* s) { return s->get_accKeyboardShortcut(child, text); });
    return Nothing(text);
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* text) override {
    if (!IsSelf(child)) return Forward([&](IAccessible* s) { return s->get_accDefaultAction(child, text); });
    return Nothing(text);
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    if (!IsSelf(child)) return Forward([&](IAccessible* s) { return s->accDoDefaultAction(child); });
    return DISP_E_MEMBERNOTFOUND;
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

  // IAccessible: the window's place among the others, its children, the
  // focus and the selection, as the system's own object answers them.
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    return Forward([&](IAccessible* s) { return s->get_accParent(parent); });
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
    return Forward([&](IAccessible* s) { return s->get_accChildCount(count); });
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
    return Forward([&](IAccessible* s) { return s->get_accChild(child, out); });
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override {
    return Forward([&](IAccessible* s) { return s->get_accFocus(child); });
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
    return Forward([&](IAccessible* s) { return s->get_accSelection(children); });
  }
  HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override {
    return Forward([&](IAccessible* s) { return s->accSelect(flags, child); });
  }
  HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
    return Forward([&](IAccessible* s) { return s->accNavigate(direction, start, end); });
  }
  HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* child) override {
    return Forward([&](IAccessible* s) { return s->accHitTest(x, y, child); });
  }

  // IOleWindow: which window this is, for WindowFromAccessibleObject.
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
    if (!window) return E_POINTER;
    *window = window_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

 private:
  ~GaugeAccessibleObject() = default;

  // The client's own answer, made by answer from the answers as they stand.
  // It runs under the lock, so the answers need no copy (which could throw);
  // Text and Number throw nothing either.
  template <class Answer>
  HRESULT Own(Answer answer) {
    Locked locked(lock_);
    if (cut_) return CO_E_OBJNOTCONNECTED;
    return answer(answers_);
  }

  template <class Call>
  HRESULT Forward(Call call) {
    IAccessible* standard = nullptr;
    {
      Locked locked(lock_);
      if (cut_) return CO_E_OBJNOTCONNECTED;
      standard = standard_;
      if (standard) standard->AddRef();
    }
    if (!standard) return E_NOTIMPL;
    const HRESULT result = call(standard);
    standard->Release();
    return result;
  }

  const HWND window_;
  LONG references_ = 1;
  SRWLOCK lock_ = SRWLOCK_INIT;
  IAccessible* standard_;
  GaugeAnswers answers_;
  RECT bounds_{0, 0, 0, 0};
  bool cut_ = false;
};

GaugeAccessibility::~GaugeAccessibility() {
  if (object_) {
    object_->Cut();
    libraries.coDisconnectObject(static_cast<IAccessible*>(object_), 0);
    object_->Release();
  }
  if (comStarted_) libraries.coUninitialize();
}

void GaugeAccessibility::Update(const GaugeAnswers& answers, const RECT& bounds) {
  // The value is the percent written out, so it changes exactly when the percent does.
  const bool valueChanged = answers.value != answers_.value;
  const bool stateChanged = answers.state != answers_.state;
  answers_ = answers;
  bounds_ = bounds;
  if (object_) object_->Set(answers_, bounds_);
  if (!window_ || !IsWindow(window_)) return;
  const bool shown = (answers_.state & kStateInvisible) == 0;
  if (valueChanged && shown) NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, window_, OBJID_CLIENT, CHILDID_SELF);
  if (stateChanged) NotifyWinEvent(EVENT_OBJECT_STATECHANGE, window_, OBJID_CLIENT, CHILDID_SELF);
}

bool GaugeAccessibility::Answer(WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (static_cast<DWORD>(lParam) != static_cast<DWORD>(OBJID_CLIENT)) return false;
  if (answers_.state & kStateInvisible) return false;
  const AccessLibraries* oleacc = LoadAccessLibraries();
  if (!oleacc) return false;
  if (!comTried_) {
    comTried_ = true;
    const HRESULT started = oleacc->coInitializeEx(nullptr, COINIT_MULTITHREADED);
    comStarted_ = SUCCEEDED(started);
    // A thread already in a single-threaded apartment serves calls through its messages.
    comUsable_ = comStarted_ || started == RPC_E_CHANGED_MODE;
  }
  if (!comUsable_) return false;
  if (!object_) {
    IAccessible* standard = nullptr;
    if (FAILED(oleacc->createStdAccessibleObject(window_, OBJID_CLIENT, __uuidof(IAccessible),
                                                 reinterpret_cast<void**>(&standard)))) {
      standard = nullptr;
    }
    object_ = new (std::nothrow) GaugeAccessibleObject(window_, standard);
    if (standard) standard->Release();
    if (!object_) return false;
    object_->Set(answers_, bounds_);
  }
  const LRESULT answer = oleacc->lresultFromObject(__uuidof(IAccessible), wParam, static_cast<IAccessible*>(object_));
  if (FAILED(static_cast<HRESULT>(answer))) return false;
  result = answer;
  return true;
}
