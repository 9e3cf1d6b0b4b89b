// The registry object through which the settings store reaches the machine-wide
// registry root: one open key at a time, five operations.
#pragma once
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

// Value types, with the platform's numbering.
enum : uint32_t {
  kRegNone = 0,
  kRegSz = 1,
  kRegExpandSz = 2,
  kRegBinary = 3,
  kRegDword = 4,
  kRegMultiSz = 7,
  kRegQword = 11,
};

class ERegistryException : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A value whose data is of a type the read does not take.
class ERegistryTypeError : public ERegistryException {
 public:
  using ERegistryException::ERegistryException;
};

// What a raw query of one value returned. String data is UTF-16LE, as the
// platform stores it; it may lack its terminating zero or have an odd length.
struct RegQuery {
  enum Status { kOk, kMissing, kFailed } status = kMissing;
  uint32_t type = kRegNone;
  std::vector<uint8_t> data;
};

// One open key. Closing it is destroying it.
class RegistryKey {
 public:
  virtual ~RegistryKey() = default;
  virtual RegQuery Query(const std::string& name) = 0;
  virtual bool Set(const std::string& name, uint32_t type, const std::vector<uint8_t>& data) = 0;
};

// The machine-wide root. Open answers null when the key can't be opened (or created).
class RegistryRoot {
 public:
  virtual ~RegistryRoot() = default;
  virtual std::unique_ptr<RegistryKey> Open(const std::string& path, bool canCreate) = 0;
  // Replaces each %NAME% of an expandable string with the process environment's
  // value of NAME, as the platform does; a name not set stays as written.
  // False when the platform could not expand the text.
  virtual bool ExpandEnvironment(const std::string& text, std::string& expanded) = 0;
};

class TRegistry {
 public:
  explicit TRegistry(RegistryRoot& root) : root_(root) {}
  TRegistry(const TRegistry&) = delete;
  TRegistry& operator=(const TRegistry&) = delete;

  // On failure nothing changes and nothing is raised.
  bool OpenKey(const std::string& path, bool canCreate);
  void CloseKey() { key_.reset(); }
  // False only when the open key is known to have no value of that name (or no
  // key is open): a value that could not be queried may well be there.
  bool ValueExists(const std::string& name);
  // Empty when the value is missing, has no data, or no key is open. An
  // expandable string comes back as stored, its %NAME% parts unexpanded.
  std::string ReadString(const std::string& name);
  // The same, except that an expandable string comes back expanded; a failed
  // expansion raises the read error.
  std::string ReadExpandedString(const std::string& name);
  void WriteString(const std::string& name, const std::string& text);

 private:
  // ReadString, also telling the value's type (kRegNone when it has no data).
  std::string ReadTyped(const std::string& name, uint32_t& type);

  RegistryRoot& root_;
  std::unique_ptr<RegistryKey> key_;
};

// REG_SZ data as the platform reads it back: the text up to its first zero;
// a trailing odd byte is not part of any character and is dropped.
std::string DecodeRegString(const std::vector<uint8_t>& data);
// REG_SZ data for a text: UTF-16LE with its terminating zero counted.
std::vector<uint8_t> EncodeRegString(const std::string& text);
