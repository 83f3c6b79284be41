// LIST and SIZE: building a vector from the arguments and measuring a vector or string.
#include <cstdint>

#include "txl/builtins.h"

namespace quillet {

// LIST: a new vector sharing the argument values in order; LIST() is an empty vector.
bool xfn_list_call(txl_cookie, txl_call& call) {
  call.result = anyval::from_vector(call.arg_list());
  return true;
}

// SIZE: the element count of a vector or the byte length of a string.
bool xfn_size_call(txl_cookie, txl_call& call) {
  if (call.arg_count() != 1)
    return call.fail("#SIZE#");
  const anyval& a = call.arg(0);
  if (const anyval_list* v = a.as_vector()) {
    call.result.set_int(static_cast<std::int32_t>(v->size()));
    return true;
  }
  if (const std::string* s = a.as_string()) {
    call.result.set_int(static_cast<std::int32_t>(s->size()));
    return true;
  }
  return call.fail("#SIZE#");
}

}  // namespace quillet
