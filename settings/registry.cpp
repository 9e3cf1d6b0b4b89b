#include "settings/registry.h"

#include "common/utf.h"

std::string DecodeRegString(const std::vector<uint8_t>& data) {
  std::u16string units;
  units.reserve(data.size() / 2);
  for (size_t i = 0; i + 1 < data.size(); i += 2) {
    const char16_t unit = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    if (unit == 0) break;
    units += unit;
  }
  return Utf16ToUtf8(units);
}

std::vector<uint8_t> EncodeRegString(const std::string& text) {
  std::u16string units = Utf8ToUtf16(text);
  units += u'\0';
  std::vector<uint8_t> data;
  data.reserve(units.size() * 2);
  for (char16_t unit : units) {
    data.push_back(static_cast<uint8_t>(unit & 0xFF));
    data.push_back(static_cast<uint8_t>(unit >> 8));
  }
  return data;
}

bool TRegistry::OpenKey(const std::string& path, bool canCreate) {
  std::unique_ptr<RegistryKey> key = root_.Open(path, canCreate);
  if (!key) return false;
  key_ = std::move(key);
  return true;
}

bool TRegistry::ValueExists(const std::string& name) {
  return key_ && key_->Query(name).status != RegQuery::kMissing;
}

std::string TRegistry::ReadString(const std::string& name) {
  uint32_t type = kRegNone;
  return ReadTyped(name, type);
}

std::string TRegistry::ReadExpandedString(const std::string& name) {
  uint32_t type = kRegNone;
  const std::string text = ReadTyped(name, type);
  if (type != kRegExpandSz) return text;
  std::string expanded;
  if (!root_.ExpandEnvironment(text, expanded))
    throw ERegistryException("Failed to get data for '" + name + "'");
  return expanded;
}

std::string TRegistry::ReadTyped(const std::string& name, uint32_t& type) {
  type = kRegNone;
  if (!key_) return std::string();
  const RegQuery value = key_->Query(name);
  switch (value.status) {
    case RegQuery::kMissing:
      return std::string();
    case RegQuery::kFailed:
      throw ERegistryException("Failed to get data for '" + name + "'");
    case RegQuery::kOk:
      break;
  }
  if (value.data.empty()) return std::string();
  if (value.type != kRegSz && value.type != kRegExpandSz)
    throw ERegistryTypeError("Invalid data type for '" + name + "'");
  type = value.type;
  return DecodeRegString(value.data);
}

void TRegistry::WriteString(const std::string& name, const std::string& text) {
  if (!key_ || !key_->Set(name, kRegSz, EncodeRegString(text)))
    throw ERegistryException("Failed to set data for '" + name + "'");
}
