// What the PC checks make of Windows' answers: a folder on the way to the
// Game folder, the owner of a link or of the instance mutex, two files'
// identities, a running program's image, the instance mutex's wait. Each
// decision is a plain function of what Windows answered, so that every
// answer, the unreadable and failing ones too, can be tried without Windows;
// the calls that get the answers sit in the *_win32.cpp files beside the
// checks. The tool runs elevated: what cannot be read counts against.
#pragma once
#include <array>
#include <cstdint>

// Values as Windows numbers them.
namespace win_answer {
constexpr uint32_t kReparsePoint = 0x400;          // FILE_ATTRIBUTE_REPARSE_POINT
constexpr uint32_t kNameSurrogate = 0x20000000;    // a reparse tag's bit: the point names another place
constexpr uint32_t kWaitObject = 0;                // WAIT_OBJECT_0
constexpr uint32_t kWaitAbandoned = 0x80;          // WAIT_ABANDONED
constexpr uint32_t kWaitTimeout = 0x102;           // WAIT_TIMEOUT
constexpr uint32_t kWaitFailed = 0xFFFFFFFF;       // WAIT_FAILED
}  // namespace win_answer

// Who owns a link or the instance mutex, as far as trust depends on it.
enum class OwnerKind { Unread, Administrators, System, TrustedInstaller, Other };

// Why a folder on the way to the Game folder stops both operations.
enum class LinkDoubt {
  None,              // a folder, or a link an administrator made
  MadeByOther,       // a junction or symbolic link that no administrator made
  AttributesUnread,  // what it is could not be read: it may be such a link
  OwnerUnread,       // a link whose owner could not be read, which its owner can deny even to administrators
};

// What Windows answered about one folder on the way.
struct StepAnswer {
  uint32_t attributesError = 0;  // nonzero: its attributes and reparse tag could not be read
  uint32_t attributes = 0;
  uint32_t reparseTag = 0;       // for a reparse point
  uint32_t ownerError = 0;       // nonzero: a link's owner could not be read
  OwnerKind owner = OwnerKind::Unread;
  bool sameUserEverywhere = false;  // Wine: every program runs as the same user, nobody to guard against
};
struct StepJudgement {
  LinkDoubt doubt = LinkDoubt::None;
  uint32_t code = 0;  // the error behind an unread answer
};
StepJudgement JudgeStep(const StepAnswer& answer);

// Which file a handle names: the volume's serial and the file's id on it,
// 128 bits where Windows has them (FileIdInfo: unique on ReFS too), else the
// 32-bit serial and 64-bit index.
struct FileId {
  bool known = false;
  bool wide = false;  // FileIdInfo's 64-bit serial and 128-bit id
  uint64_t volume = 0;
  std::array<uint8_t, 16> id{};
};
enum class Sameness { Same, Different, Unknown };
// Unknown where either is unknown or they were read in different widths.
Sameness SameFile(const FileId& a, const FileId& b);

// What Windows answered about one running program, against one wanted exe.
struct ImageAnswer {
  bool pathRead = false;  // the image's full path could be read
  bool samePath = false;  // that path, in its long form and ignoring case, is the wanted exe's
  FileId image;           // the image file's identity; unknown where it could not be opened
  bool sameName = false;  // the process list's name for it is the wanted exe's file name
};
// Whether the program runs from the wanted exe: by identity where both are
// known, else by the full path; a program whose path cannot be read counts
// when its name is the exe's.
bool RunsFrom(const ImageAnswer& answer, const FileId& wanted);

// What Windows answered for the instance mutex.
struct MutexAnswer {
  bool had = false;                          // a handle to it was made or opened
  uint32_t wait = win_answer::kWaitFailed;   // its wait with no time to spare
  bool privateNamespace = false;             // in the namespace only administrators can enter
  OwnerKind owner = OwnerKind::Unread;       // the mutex's owner
  bool sameUserEverywhere = false;           // Wine
};
enum class InstanceVerdict {
  ThisCopy,   // this copy owns the mutex
  OtherCopy,  // another copy of the tool owns it
  Unguarded,  // no copy's mutex to be had: this copy runs without one
};
InstanceVerdict JudgeInstance(const MutexAnswer& answer);
