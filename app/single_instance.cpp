#include "app/single_instance.h"

#include <sddl.h>

#include "app/ablak_style.h"

namespace {
// "Global\": one copy per machine, whichever user started it.
const wchar_t kGlobalName[] = L"Global\\VONU11 XQ instance";
// A namespace that only administrators can enter: no other account can make
// the name first. Machine-wide, like "Global\".
const wchar_t kNamespace[] = L"VONU11 XQ";
const wchar_t kPrivateName[] = L"VONU11 XQ\\instance";
// Administrators and SYSTEM own the mutex and may do anything with it;
// everyone else may only wait on it: no other account can change who may use
// it, or hold it to keep the tool from starting.
const wchar_t kOthersMayWait[] = L"O:BAD:(A;;GA;;;BA)(A;;GA;;;SY)(A;;0x00100000;;;WD)";
const wchar_t kOthersMayWaitAnyOwner[] = L"D:(A;;GA;;;BA)(A;;GA;;;SY)(A;;0x00100000;;;WD)";
const wchar_t kAdministratorsOnly[] = L"D:(A;;GA;;;BA)(A;;GA;;;SY)";
const wchar_t kTitle[] = L"VONU11 XQ";
// A copy that is still starting shows its window well within this.
constexpr DWORD kWaitForWindowMs = 3000;
constexpr DWORD kPollForWindowMs = 100;

// Security attributes from SDDL text, freed with the object.
class Security {
 public:
  explicit Security(const wchar_t* sddl) {
    if (ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor_, nullptr))
      attributes_.lpSecurityDescriptor = descriptor_;
  }
  ~Security() {
    if (descriptor_) LocalFree(descriptor_);
  }
  Security(const Security&) = delete;
  Security& operator=(const Security&) = delete;
  SECURITY_ATTRIBUTES* Get() { return &attributes_; }

 private:
  PSECURITY_DESCRIPTOR descriptor_ = nullptr;
  SECURITY_ATTRIBUTES attributes_{sizeof attributes_, nullptr, FALSE};
};

template <class Function>
Function Kernel32(const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), name)));
}

// The private namespace whose boundary requires the Administrators group,
// made or opened; null where Windows lacks the functions (Wine lacks
// AddSIDToBoundaryDescriptor), and the mutex then takes the "Global\" name.
HANDLE EnterNamespace() {
  using CreateBoundary = HANDLE(WINAPI*)(LPCWSTR, ULONG);
  using AddSid = BOOL(WINAPI*)(HANDLE*, PSID);
  using DeleteBoundary = VOID(WINAPI*)(HANDLE);
  using CreateNamespace = HANDLE(WINAPI*)(LPSECURITY_ATTRIBUTES, LPVOID, LPCWSTR);
  using OpenNamespace = HANDLE(WINAPI*)(LPVOID, LPCWSTR);
  const auto createBoundary = Kernel32<CreateBoundary>("CreateBoundaryDescriptorW");
  const auto addSid = Kernel32<AddSid>("AddSIDToBoundaryDescriptor");
  const auto deleteBoundary = Kernel32<DeleteBoundary>("DeleteBoundaryDescriptor");
  const auto createNamespace = Kernel32<CreateNamespace>("CreatePrivateNamespaceW");
  const auto openNamespace = Kernel32<OpenNamespace>("OpenPrivateNamespaceW");
  if (!createBoundary || !addSid || !deleteBoundary || !createNamespace || !openNamespace) return nullptr;
  BYTE administrators[SECURITY_MAX_SID_SIZE];
  DWORD size = sizeof administrators;
  if (!CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, administrators, &size)) return nullptr;
  HANDLE boundary = createBoundary(kNamespace, 0);
  if (!boundary) return nullptr;
  HANDLE space = nullptr;
  if (addSid(&boundary, administrators)) {
    Security security(kAdministratorsOnly);
    space = createNamespace(security.Get(), boundary, kNamespace);
    if (!space && GetLastError() == ERROR_ALREADY_EXISTS) space = openNamespace(boundary, kNamespace);
  }
  deleteBoundary(boundary);
  return space;
}

// Null, with the system's error, when the mutex could not be had.
HANDLE ClaimMutex(const wchar_t* name, bool& existed) {
  HANDLE mutex = nullptr;
  {
    Security owned(kOthersMayWait);
    mutex = CreateMutexW(owned.Get(), FALSE, name);
  }
  // A token that cannot name Administrators as owner (Wine's, say) keeps the
  // system's default owner.
  if (!mutex && GetLastError() == ERROR_INVALID_OWNER) {
    Security anyOwner(kOthersMayWaitAnyOwner);
    mutex = CreateMutexW(anyOwner.Get(), FALSE, name);
  }
  const DWORD error = GetLastError();
  existed = mutex && error == ERROR_ALREADY_EXISTS;
  SetLastError(error);
  return mutex;
}
}  // namespace

SingleInstance::SingleInstance() {
  bool existed = false;
  namespace_ = EnterNamespace();
  mutex_.Reset(ClaimMutex(namespace_ ? kPrivateName : kGlobalName, existed));
  otherRunning_ = existed || (!mutex_ && GetLastError() == ERROR_ACCESS_DENIED);
}

bool SingleInstance::BringOtherToFront() {
  HWND window = FindWindowW(kFormClass, kTitle);
  for (DWORD waited = 0; !window && waited < kWaitForWindowMs; waited += kPollForWindowMs) {
    Sleep(kPollForWindowMs);
    window = FindWindowW(kFormClass, kTitle);
  }
  if (!window) return false;
  if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
  // A message box of the other copy, where one is up, is what wants answering.
  SetForegroundWindow(GetLastActivePopup(window));
  return true;
}
