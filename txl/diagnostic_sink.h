// Where the template processor's diagnostics go ("unknown function: FOO\n" and the like), with
// the place each one names. The default sink discards them; the command line prints them, the
// template check keeps them as records.
#pragma once

#include <cstdint>
#include <string_view>

#include "txl/text_origin.h"

namespace quillet {

class txl_user_function;

// One diagnostic and the place it names: a byte of a function's text, or a place in the file.
struct txl_diagnostic {
  std::string_view message;                      // one finished message, line feed included
  const txl_user_function* function = nullptr;   // the function whose text it is about, if any
  std::int32_t text_offset = -1;                 // the byte of that text it names; -1: its start
  std::uint32_t file_offset = no_source_offset;  // the place when no function's text names one
};

// The file offset a diagnostic names: the byte of its function's text when that text was read
// from a file, else its own file_offset.
std::uint32_t txl_diagnostic_offset(const txl_diagnostic& d);

class txl_diagnostic_sink {
public:
  virtual ~txl_diagnostic_sink() = default;
  // Receives one finished message, line feed included, that names no place.
  virtual void print(std::string_view message) { (void)message; }
  // Receives a message with its place; a sink that shows no places only prints the message.
  virtual void report(const txl_diagnostic& d) { print(d.message); }
};

// A sink that discards everything.
txl_diagnostic_sink& discard_diagnostics();

// Passes diagnostics on to another sink, giving those that name no place in the file the start
// of the function under way (the property being bound or evaluated), so that a message from
// deep inside an evaluation (a channel function, DEBUG) still says where it comes from.
class txl_placing_sink : public txl_diagnostic_sink {
public:
  explicit txl_placing_sink(txl_diagnostic_sink& out) : out_(&out) {}
  void print(std::string_view message) override { report({message}); }
  void report(const txl_diagnostic& d) override;

  const txl_user_function* current = nullptr;

private:
  txl_diagnostic_sink* out_;
};

}  // namespace quillet
