// Type conversion and type tests: INT, NUM, STR, CHR, ISINT, ISNUM, ISSTR, ISVEC. Only the
// first argument counts; none of them fails except CHR with a wrong argument count.
#include <string>

#include "txl/builtin_args.h"
#include "txl/builtins.h"

namespace quillet {

// INT: the first argument's integer conversion, 0 when there is none or it does not convert.
bool xfn_int_call(txl_cookie, txl_call& call) {
  call.result.set_int(int_arg_or(call.arg(0), 0));
  return true;
}

// NUM: a number stays the very value it is; anything else becomes a float by its number
// conversion (0.0 when it has none); no argument at all gives the integer 0.
bool xfn_num_call(txl_cookie, txl_call& call) {
  const anyval& a = call.arg(0);
  if (a.empty()) {
    call.result.set_int(0);
    return true;
  }
  if (a.type() == type_int || a.type() == type_float) {
    call.result = a;
    return true;
  }
  call.result.set_float(number_arg_or(a, 0.0));
  return true;
}

// STR: a string stays the very value it is; anything else becomes a new string holding its
// text form, and no argument the empty string.
bool xfn_str_call(txl_cookie, txl_call& call) {
  const anyval& a = call.arg(0);
  if (a.as_string()) {
    call.result = a;
    return true;
  }
  a.to_text(call.text_result());
  return true;
}

// CHR: a one-byte string of the low 8 bits of the code; a zero byte gives the empty string,
// so that a string never ends up holding a NUL made by CHR.
bool xfn_chr_call(txl_cookie, txl_call& call) {
  if (call.arg_count() != 1)
    return call.fail("#CHR:ARGS#");
  auto byte = static_cast<unsigned char>(int_arg_or(call.arg(0), 0) & 0xFF);
  if (byte == 0) {
    call.result.set_string("");
    return true;
  }
  const char c = static_cast<char>(byte);
  call.result.set_string(&c, 1);
  return true;
}

namespace {

// Stores 1 when the first argument's type code is one of the two given, else 0.
bool answer_type_test(txl_call& call, int code, int other_code) {
  const int t = call.arg(0).type();
  call.result.set_int(t != type_none && (t == code || t == other_code) ? 1 : 0);
  return true;
}

}  // namespace

bool xfn_isint_call(txl_cookie, txl_call& call) { return answer_type_test(call, type_int, type_int); }
bool xfn_isnum_call(txl_cookie, txl_call& call) { return answer_type_test(call, type_int, type_float); }
bool xfn_isstr_call(txl_cookie, txl_call& call) { return answer_type_test(call, type_string, type_string); }
bool xfn_isvec_call(txl_cookie, txl_call& call) { return answer_type_test(call, type_vector, type_vector); }

}  // namespace quillet
