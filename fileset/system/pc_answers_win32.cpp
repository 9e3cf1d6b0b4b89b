#include "fileset/system/pc_answers_win32.h"

#include <sddl.h>

#include <cstring>

#include "common/win_handles.h"
#include "fileset/system/win32_calls.h"

namespace {
bool IsTrustedInstaller(PSID sid) {
  PSID installer = nullptr;
  if (!ConvertStringSidToSidW(L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464", &installer))
    return false;
  const bool same = EqualSid(sid, installer) != FALSE;
  LocalFree(installer);
  return same;
}
}  // namespace

FileId FileIdOf(HANDLE handle) {
  // FileIdInfo and its record as Windows 8 defines them; Windows 7 answers
  // the request with an error, and the 64-bit index stands in.
  constexpr auto kFileIdInfo = static_cast<FILE_INFO_BY_HANDLE_CLASS>(18);
  struct {
    ULONGLONG VolumeSerialNumber;
    BYTE Identifier[16];
  } wide{};
  FileId id;
  if (GetFileInformationByHandleEx(handle, kFileIdInfo, &wide, sizeof wide)) {
    id.known = id.wide = true;
    id.volume = wide.VolumeSerialNumber;
    std::memcpy(id.id.data(), wide.Identifier, id.id.size());
    return id;
  }
  BY_HANDLE_FILE_INFORMATION data;
  if (GetFileInformationByHandle(handle, &data)) {
    id.known = true;
    id.volume = data.dwVolumeSerialNumber;
    const uint64_t index = (static_cast<uint64_t>(data.nFileIndexHigh) << 32) | data.nFileIndexLow;
    std::memcpy(id.id.data(), &index, sizeof index);
  }
  return id;
}

OwnerKind OwnerOf(HANDLE object, SE_OBJECT_TYPE type, DWORD& error) {
  PSID owner = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  error = GetSecurityInfo(object, type, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr, nullptr, &descriptor);
  if (error != ERROR_SUCCESS || !owner) {
    if (error == ERROR_SUCCESS) error = ERROR_INVALID_SECURITY_DESCR;
    if (descriptor) LocalFree(descriptor);
    return OwnerKind::Unread;
  }
  OwnerKind kind = OwnerKind::Other;
  if (IsWellKnownSid(owner, WinBuiltinAdministratorsSid)) {
    kind = OwnerKind::Administrators;
  } else if (IsWellKnownSid(owner, WinLocalSystemSid)) {
    kind = OwnerKind::System;
  } else if (IsTrustedInstaller(owner)) {
    kind = OwnerKind::TrustedInstaller;
  }
  LocalFree(descriptor);
  return kind;
}

StepAnswer StepAnswerOf(const std::wstring& path, bool sameUserEverywhere) {
  StepAnswer answer;
  answer.sameUserEverywhere = sameUserEverywhere;
  WIN32_FIND_DATAW found;
  if (!UniqueFind(FindFirstFileW(path.c_str(), &found)).Valid()) {
    answer.attributesError = LastErrorOrGeneral();
    return answer;
  }
  answer.attributes = found.dwFileAttributes;
  if (!(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) return answer;
  answer.reparseTag = found.dwReserved0;
  UniqueHandle link = OpenExisting(path, READ_CONTROL | FILE_READ_ATTRIBUTES,
                                   FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT);
  if (!link.Valid()) {
    answer.ownerError = LastErrorOrGeneral();
    return answer;
  }
  DWORD error = ERROR_SUCCESS;
  answer.owner = OwnerOf(link.Get(), SE_FILE_OBJECT, error);
  answer.ownerError = error;
  return answer;
}
