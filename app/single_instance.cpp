#include "app/single_instance.h"

#include <sddl.h>

#include "app/ablak_style.h"
#include "common/texts.h"
#include "common/utf.h"
#include "fileset/system/pc_answers_win32.h"
#include "fileset/system/win32_calls.h"

namespace {
// "Global\": one copy per machine, whichever user started it.
const wchar_t kGlobalName[] = L"Global\\VONU11 XQ instance";
// A namespace that only administrators can enter: no other account can make
// the name first. Machine-wide, like "Global\".
const wchar_t kNamespace[] = L"VONU11 XQ";
const wchar_t kPrivateName[] = L"VONU11 XQ\\instance";
// Administrators and SYSTEM own the mutex and alone may open it: a waiting
// thread owns a mutex, so an account that could wait on it could hold it to
// keep the tool from starting.
const wchar_t kAdministratorsOwn[] = L"O:BAD:(A;;GA;;;BA)(A;;GA;;;SY)";
const wchar_t kAdministratorsOnly[] = L"D:(A;;GA;;;BA)(A;;GA;;;SY)";
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

// The private namespace whose boundary requires the Administrators group,
// made or opened; null where Windows lacks the functions (Wine lacks
// AddSIDToBoundaryDescriptor), and the mutex then takes the "Global\" name.
HANDLE EnterNamespace() {
  using CreateBoundary = HANDLE(WINAPI*)(LPCWSTR, ULONG);
  using AddSid = BOOL(WINAPI*)(HANDLE*, PSID);
  using DeleteBoundary = VOID(WINAPI*)(HANDLE);
  using CreateNamespace = HANDLE(WINAPI*)(LPSECURITY_ATTRIBUTES, LPVOID, LPCWSTR);
  using OpenNamespace = HANDLE(WINAPI*)(LPVOID, LPCWSTR);
  const HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
  const auto createBoundary = SystemFunction<CreateBoundary>(kernel32, "CreateBoundaryDescriptorW");
  const auto addSid = SystemFunction<AddSid>(kernel32, "AddSIDToBoundaryDescriptor");
  const auto deleteBoundary = SystemFunction<DeleteBoundary>(kernel32, "DeleteBoundaryDescriptor");
  const auto createNamespace = SystemFunction<CreateNamespace>(kernel32, "CreatePrivateNamespaceW");
  const auto openNamespace = SystemFunction<OpenNamespace>(kernel32, "OpenPrivateNamespaceW");
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

// The mutex made or opened; null when it could not be had.
HANDLE ClaimMutex(const wchar_t* name) {
  HANDLE mutex = nullptr;
  DWORD error = ERROR_SUCCESS;
  {
    Security owned(kAdministratorsOwn);
    mutex = CreateMutexW(owned.Get(), FALSE, name);
    error = GetLastError();  // before the descriptor is freed, which may set another
  }
  // A token that cannot name Administrators as owner (Wine's, say) keeps the
  // system's default owner.
  if (!mutex && error == ERROR_INVALID_OWNER) {
    Security anyOwner(kAdministratorsOnly);
    mutex = CreateMutexW(anyOwner.Get(), FALSE, name);
  }
  return mutex;
}
}  // namespace

SingleInstance::SingleInstance() {
  namespace_.Reset(EnterNamespace());
  mutex_.Reset(ClaimMutex(namespace_ ? kPrivateName : kGlobalName));
  // Another copy runs when it owns the mutex, not when the name merely
  // exists: a handle left open elsewhere blocks nobody.
  MutexAnswer answer;
  answer.had = mutex_.Valid();
  answer.privateNamespace = static_cast<bool>(namespace_);
  answer.sameUserEverywhere = RunningUnderWine();
  if (answer.had) {
    answer.wait = WaitForSingleObject(mutex_.Get(), 0);
    DWORD ownerError = ERROR_SUCCESS;
    if (answer.wait == WAIT_TIMEOUT) answer.owner = OwnerOf(mutex_.Get(), SE_KERNEL_OBJECT, ownerError);
  }
  const InstanceVerdict verdict = JudgeInstance(answer);
  otherRunning_ = verdict == InstanceVerdict::OtherCopy;
  if (verdict != InstanceVerdict::ThisCopy) mutex_.Reset();
}

bool SingleInstance::BringOtherToFront() {
  const std::wstring title = Widen(kProgramTitle);  // the other copy's window shows it
  HWND window = FindWindowW(kFormClass, title.c_str());
  for (DWORD waited = 0; !window && waited < kWaitForWindowMs; waited += kPollForWindowMs) {
    Sleep(kPollForWindowMs);
    window = FindWindowW(kFormClass, title.c_str());
  }
  if (!window) return false;
  if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
  // A message box of the other copy, where one is up, is what wants answering.
  SetForegroundWindow(GetLastActivePopup(window));
  return true;
}
