// Handing data-source answers to the caller.
#include "data/kov_call_support.h"

namespace quillet {

// An answer is taken only when the source said yes and gave a value of bounded size; a
// failed read caches nothing.
bool kov_deliver(txl_call& call, bool answered, anyval& answer, std::string_view marker) {
  if (!answered || answer.empty())
    return call.fail(marker);
  const anyval_list* elements = answer.as_vector();
  if (elements && elements->size() > kov_max_read_values)
    return call.fail(marker);
  call.result = std::move(answer);
  return true;
}

}  // namespace quillet
