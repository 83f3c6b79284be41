// Bit operations on the integer conversions of the arguments: the two-operand family (AND,
// OR, XOR, SHL, SHR), the complement INV and the bit-field reader MASK.
#include <cstdint>

#include "txl/builtin_args.h"
#include "txl/builtins.h"
#include "txl/xfn_bitwise.h"

namespace quillet {

bool xfn_bitwise::evaluate(txl_call& call) const {
  if (call.arg_count() != 2)
    return call.fail("#BITW():ARGS#");
  call.result.set_int(operate(int_arg_or(call.arg(0), 0), int_arg_or(call.arg(1), 0)));
  return true;
}

// Shifts as an unsigned word, so bits leaving the top are simply lost.
std::int32_t xfn_bitwise_shl::operate(std::int32_t a, std::int32_t b) const {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) << (b & 31));
}

std::int32_t xfn_bitwise_shr::operate(std::int32_t a, std::int32_t b) const { return a >> (b & 31); }

bool xfn_bitwise_and::call(txl_cookie, txl_call& call) { return xfn_bitwise_and().evaluate(call); }
bool xfn_bitwise_or::call(txl_cookie, txl_call& call) { return xfn_bitwise_or().evaluate(call); }
bool xfn_bitwise_xor::call(txl_cookie, txl_call& call) { return xfn_bitwise_xor().evaluate(call); }
bool xfn_bitwise_shl::call(txl_cookie, txl_call& call) { return xfn_bitwise_shl().evaluate(call); }
bool xfn_bitwise_shr::call(txl_cookie, txl_call& call) { return xfn_bitwise_shr().evaluate(call); }

// INV(a): the bitwise complement; a value without an integer reading counts as 0.
bool xfn_inv_call(txl_cookie, txl_call& call) {
  if (call.arg_count() != 1)
    return call.fail("#INV():ARGS#");
  call.result.set_int(~int_arg_or(call.arg(0), 0));
  return true;
}

// MASK(value, start, count): the bit field of `count` bits from bit `start` of the value taken
// as an unsigned word; start and count use their low 5 bits, so a count of 32 gives 0.
// An argument without an integer reading fails without a marker.
bool xfn_mask_call(txl_cookie, txl_call& call) {
  if (call.arg_count() != 3)
    return call.fail("#MASK():ARGS#");
  std::int32_t v = 0;
  std::int32_t start = 0;
  std::int32_t count = 0;
  if (!call.arg(0).to_int(v) || !call.arg(1).to_int(start) || !call.arg(2).to_int(count))
    return false;
  if (count == 0) {
    call.result.set_int(0);
    return true;
  }
  const std::uint32_t word = static_cast<std::uint32_t>(v) >> (start & 31);
  const std::uint32_t mask = (std::uint32_t{1} << (count & 31)) - 1;
  call.result.set_int(static_cast<std::int32_t>(word & mask));
  return true;
}

}  // namespace quillet
