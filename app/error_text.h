// The text of the error box for an error's message.
#pragma once
#include <string>

// A full stop is added only when the message's last character sorts after "."
// (byte above 0x2E), so messages ending in a quote or a full stop stay as they are.
inline std::string ErrorBoxText(const std::string& message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > 0x2E) return message + ".";
  return message;
}
