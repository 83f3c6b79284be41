// Where the template processor's diagnostics go ("unknown function: FOO\n" and the like).
// The default sink discards them; the command line can print them instead.
#pragma once

#include <string_view>

namespace quillet {

class txl_diagnostic_sink {
public:
  virtual ~txl_diagnostic_sink() = default;
  // Receives one finished message, line feed included.
  virtual void print(std::string_view message) { (void)message; }
};

// A sink that discards everything.
txl_diagnostic_sink& discard_diagnostics();

}  // namespace quillet
