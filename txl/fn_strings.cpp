// STRCMP and STRFIND: comparing and searching byte strings.
#include <string>

#include "txl/builtin_args.h"
#include "txl/builtins.h"

namespace quillet {

// STRCMP(a, b): -1, 0 or 1 in the order of unsigned bytes.
bool xfn_strcmp_call(txl_cookie, txl_call& call) {
  if (call.arg_count() != 2)
    return call.fail("#STRCMP#");
  const std::string* a = call.arg(0).as_string();
  const std::string* b = call.arg(1).as_string();
  if (!a || !b)
    return call.fail("#STRCMP:ARG#");
  call.result.set_int(compare_bytes(*a, *b));
  return true;
}

// STRFIND(text, pattern): the byte offset of the first occurrence, -1 when there is none;
// the empty pattern is found at 0.
bool xfn_strfind_call(txl_cookie, txl_call& call) {
  if (call.arg_count() != 2)
    return call.fail("#STRFIND#");
  const std::string* text = call.arg(0).as_string();
  const std::string* pattern = call.arg(1).as_string();
  if (!text || !pattern)
    return call.fail("#STRFIND:ARG#");
  const std::size_t at = text->find(*pattern);
  call.result.set_int(at == std::string::npos ? -1 : static_cast<std::int32_t>(at));
  return true;
}

}  // namespace quillet
