// The sink that discards diagnostics.
#include "txl/diagnostic_sink.h"

namespace quillet {

txl_diagnostic_sink& discard_diagnostics() {
  static txl_diagnostic_sink sink;
  return sink;
}

}  // namespace quillet
