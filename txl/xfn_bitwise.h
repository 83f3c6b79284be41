// The two-operand bit operations AND, OR, XOR, SHL and SHR: one class each over xfn_bitwise,
// which checks and converts the arguments. Each library row builds a transient instance on
// the stack for its one call.
#pragma once

#include <cstdint>

#include "txl/function_entry.h"

namespace quillet {

class xfn_bitwise {
public:
  virtual ~xfn_bitwise() = default;
  // The operation itself on the two converted operands.
  virtual std::int32_t operate(std::int32_t a, std::int32_t b) const = 0;
  // Needs exactly two arguments; each counts as its integer conversion, 0 when it has none.
  bool evaluate(txl_call& call) const;
};

class xfn_bitwise_and final : public xfn_bitwise {
public:
  std::int32_t operate(std::int32_t a, std::int32_t b) const override { return a & b; }
  static bool call(txl_cookie, txl_call& call);
};

class xfn_bitwise_or final : public xfn_bitwise {
public:
  std::int32_t operate(std::int32_t a, std::int32_t b) const override { return a | b; }
  static bool call(txl_cookie, txl_call& call);
};

class xfn_bitwise_xor final : public xfn_bitwise {
public:
  std::int32_t operate(std::int32_t a, std::int32_t b) const override { return a ^ b; }
  static bool call(txl_cookie, txl_call& call);
};

// a shifted left by the low 5 bits of b.
class xfn_bitwise_shl final : public xfn_bitwise {
public:
  std::int32_t operate(std::int32_t a, std::int32_t b) const override;
  static bool call(txl_cookie, txl_call& call);
};

// a shifted right by the low 5 bits of b, the sign bit copied in.
class xfn_bitwise_shr final : public xfn_bitwise {
public:
  std::int32_t operate(std::int32_t a, std::int32_t b) const override;
  static bool call(txl_cookie, txl_call& call);
};

}  // namespace quillet
