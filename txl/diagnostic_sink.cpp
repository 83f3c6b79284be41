// The sink that discards diagnostics, and the places diagnostics name.
#include "txl/diagnostic_sink.h"

#include <algorithm>

#include "txl/user_function.h"

namespace quillet {

txl_diagnostic_sink& discard_diagnostics() {
  static txl_diagnostic_sink sink;
  return sink;
}

std::uint32_t txl_diagnostic_offset(const txl_diagnostic& d) {
  if (!d.function || !d.function->origin.known())
    return d.file_offset;
  return d.function->origin.file_offset(static_cast<std::uint32_t>(std::max(d.text_offset, 0)));
}

void txl_placing_sink::report(const txl_diagnostic& d) {
  if (!current || txl_diagnostic_offset(d) != no_source_offset) {
    out_->report(d);
    return;
  }
  txl_diagnostic placed = d;
  placed.function = current;
  placed.text_offset = -1;
  out_->report(placed);
}

}  // namespace quillet
