#include "common/texts.h"

std::string Filled(std::string_view text, std::initializer_list<std::string_view> values) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    const size_t n = text[i] == '%' && i + 1 < text.size() ? static_cast<size_t>(text[i + 1] - '1') : values.size();
    if (n < values.size()) {
      out += values.begin()[n];
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}
