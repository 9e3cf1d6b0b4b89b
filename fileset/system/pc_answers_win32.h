// What Windows answers for the judgements of pc_answers.h: the Win32 calls
// alone, each answer as the system gave it.
#pragma once
#include <windows.h>

#include <aclapi.h>

#include <string>

#include "fileset/system/pc_answers.h"

// Which file an open handle names; unknown where the system cannot say.
FileId FileIdOf(HANDLE handle);

// Who owns an object; Unread, with the system's error, where that cannot be read.
OwnerKind OwnerOf(HANDLE object, SE_OBJECT_TYPE type, DWORD& error);

// What a folder on the way is, read from its parent's listing (which its
// owner cannot deny to administrators), and, for a reparse point, who owns it.
// `path` in the "\\?\" form.
StepAnswer StepAnswerOf(const std::wstring& path, bool sameUserEverywhere);
