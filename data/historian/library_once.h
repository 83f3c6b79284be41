// A shared library's functions, loaded once per process when first asked for: the first call
// runs `open`, which fills the functions and returns the message of a failure (empty on
// success); every call then answers the same.
#pragma once

#include <string>

namespace quillet {

// The loaded functions, or null with `error` saying why they could not be loaded.
template <class Api>
const Api* load_library_once(std::string (*open)(Api&), std::string& error) {
  static Api api{};
  static const std::string failure = open(api);
  if (!failure.empty()) {
    error = failure;
    return nullptr;
  }
  return &api;
}

}  // namespace quillet
