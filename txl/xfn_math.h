// The math built-ins (FLOOR, CEIL, PI, ABS, SQRT, POW, LOG, LOG10, EXP, SIN, COS, TAN, ASIN,
// ACOS, ATAN): one class each over xfn_math, which picks the form by the arguments. A form a
// class does not provide fails, and the call fails without a marker. Each library row builds
// a transient instance for its one call.
#pragma once

#include <cstdint>

#include "txl/function_entry.h"

namespace quillet {

class xfn_math {
public:
  virtual ~xfn_math() = default;
  // The call without arguments.
  virtual bool nullary(anyval& result) const { return false; }
  // One argument read as a number.
  virtual bool unary_float(double x, anyval& result) const { return false; }
  // One integer or vector argument (a vector counts as its element count); by default the
  // same as the number form.
  virtual bool unary_int(std::int32_t x, anyval& result) const { return unary_float(x, result); }
  // Two arguments read as numbers.
  virtual bool binary(double x, double y, anyval& result) const { return false; }
  // Chooses the form by the arguments and stores its result.
  bool evaluate(txl_call& call) const;
};

class xfn_math_floor final : public xfn_math {
public:
  bool unary_float(double x, anyval& result) const override;
  bool unary_int(std::int32_t x, anyval& result) const override;
  static bool call(txl_cookie, txl_call& call);
};

class xfn_math_ceil final : public xfn_math {
public:
  bool unary_float(double x, anyval& result) const override;
  bool unary_int(std::int32_t x, anyval& result) const override;
  static bool call(txl_cookie, txl_call& call);
};

class xfn_math_pi final : public xfn_math {
public:
  bool nullary(anyval& result) const override;
  static bool call(txl_cookie, txl_call& call);
};

class xfn_math_abs final : public xfn_math {
public:
  bool unary_float(double x, anyval& result) const override;
  bool unary_int(std::int32_t x, anyval& result) const override;
  static bool call(txl_cookie, txl_call& call);
};

class xfn_math_sqrt final : public xfn_math {
public:
  bool unary_float(double x, anyval& result) const override;
  static bool call(txl_cookie, txl_call& call);
};

class xfn_math_pow final : public xfn_math {
public:
  bool binary(double x, double y, anyval& result) const override;
  static bool call(txl_cookie, txl_call& call);
};

class xfn_math_log final : public xfn_math {
public:
  bool unary_float(double x, anyval& result) const override;
  static bool call(txl_cookie, txl_call& call);
};

class xfn_math_log10 final : public xfn_math {
public:
  bool unary_float(double x, anyval& result) const override;
  static bool call(txl_cookie, txl_call& call);
};

class xfn_math_exp final : public xfn_math {
public:
  bool nullary(anyval& result) const override;
  bool unary_float(double x, anyval& result) const override;
  static bool call(txl_cookie, txl_call& call);
};

class xfn_math_sin final : public xfn_math {
public:
  bool unary_float(double x, anyval& result) const override;
  static bool call(txl_cookie, txl_call& call);
};

class xfn_math_cos final : public xfn_math {
public:
  bool unary_float(double x, anyval& result) const override;
  static bool call(txl_cookie, txl_call& call);
};

class xfn_math_tan final : public xfn_math {
public:
  bool unary_float(double x, anyval& result) const override;
  static bool call(txl_cookie, txl_call& call);
};

class xfn_math_asin final : public xfn_math {
public:
  bool unary_float(double x, anyval& result) const override;
  static bool call(txl_cookie, txl_call& call);
};

class xfn_math_acos final : public xfn_math {
public:
  bool unary_float(double x, anyval& result) const override;
  static bool call(txl_cookie, txl_call& call);
};

class xfn_math_atan final : public xfn_math {
public:
  bool unary_float(double x, anyval& result) const override;
  bool binary(double y, double x, anyval& result) const override;
  static bool call(txl_cookie, txl_call& call);
};

}  // namespace quillet
