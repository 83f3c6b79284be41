// Random secrets from getrandom.
#include "editor/random_hex.h"

#include <sys/random.h>

#include <cerrno>
#include <vector>

namespace quillet::editor {

std::string random_hex(std::size_t bytes) {
  std::vector<unsigned char> raw(bytes);
  std::size_t got = 0;
  while (got < bytes) {
    ssize_t n = getrandom(raw.data() + got, bytes - got, 0);
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0)
      return {};
    got += static_cast<std::size_t>(n);
  }
  static const char digits[] = "0123456789abcdef";
  std::string out;
  for (unsigned char b : raw) {
    out += digits[b >> 4];
    out += digits[b & 15];
  }
  return out;
}

bool same_secret(std::string_view a, std::string_view b) {
  if (a.size() != b.size() || a.empty())
    return false;
  unsigned char diff = 0;
  for (std::size_t i = 0; i < a.size(); ++i)
    diff |= static_cast<unsigned char>(a[i] ^ b[i]);
  return diff == 0;
}

}  // namespace quillet::editor
