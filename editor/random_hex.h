// Secrets of the editor's server (start token, session cookie, tab ids): bytes from the
// system's random source, written as lower-case hex digits.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quillet::editor {

// `bytes` random bytes as 2 * bytes hex digits; empty when the random source fails.
std::string random_hex(std::size_t bytes);

// Compares two secrets in time that depends only on their lengths.
bool same_secret(std::string_view a, std::string_view b);

}  // namespace quillet::editor
