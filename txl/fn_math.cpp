// The math built-ins: argument handling shared by the family, and each function's forms.
// Domain errors are not reported: they give the IEEE results (NaN, infinities).
#include <cmath>
#include <cstdint>

#include "txl/xfn_math.h"

namespace quillet {

namespace {

constexpr double pi_value = 3.141592653589793;
constexpr double e_value = 2.718281828459045;

// Stores a float result; the forms built on it always succeed.
bool store_float(anyval& result, double v) {
  result.set_float(v);
  return true;
}

bool store_int(anyval& result, std::int32_t v) {
  result.set_int(v);
  return true;
}

// Runs one call on a transient instance of the function's class.
template <class F>
bool run_math(txl_call& call) {
  return F().evaluate(call);
}

}  // namespace

// Picks the form: none for no argument; an integer or vector argument goes to the integer
// form, anything else with a number reading to the number form; two arguments to the
// two-argument form. Absent or unreadable arguments fail without a marker.
bool xfn_math::evaluate(txl_call& call) const {
  const std::size_t n = call.arg_count();
  if (n == 0)
    return nullary(call.result);
  if (n > 2)
    return call.fail("#MATH():ARGS#");
  const anyval& a = call.arg(0);
  double x = 0.0;
  if (n == 1) {
    if (a.empty())
      return false;
    std::int32_t i = 0;
    if (a.type() == type_int || a.type() == type_vector)
      return a.to_int(i) && unary_int(i, call.result);
    return a.to_double(x) && unary_float(x, call.result);
  }
  double y = 0.0;
  if (!a.to_double(x) || !call.arg(1).to_double(y))
    return false;
  return binary(x, y, call.result);
}

bool xfn_math_floor::unary_float(double x, anyval& r) const { return store_float(r, std::floor(x)); }
bool xfn_math_floor::unary_int(std::int32_t x, anyval& r) const { return store_int(r, x); }
bool xfn_math_ceil::unary_float(double x, anyval& r) const { return store_float(r, std::ceil(x)); }
bool xfn_math_ceil::unary_int(std::int32_t x, anyval& r) const { return store_int(r, x); }
bool xfn_math_pi::nullary(anyval& r) const { return store_float(r, pi_value); }
bool xfn_math_abs::unary_float(double x, anyval& r) const { return store_float(r, std::fabs(x)); }
bool xfn_math_sqrt::unary_float(double x, anyval& r) const { return store_float(r, std::sqrt(x)); }
bool xfn_math_pow::binary(double x, double y, anyval& r) const { return store_float(r, std::pow(x, y)); }
bool xfn_math_log::unary_float(double x, anyval& r) const { return store_float(r, std::log(x)); }
bool xfn_math_log10::unary_float(double x, anyval& r) const { return store_float(r, std::log10(x)); }
bool xfn_math_exp::nullary(anyval& r) const { return store_float(r, e_value); }
bool xfn_math_exp::unary_float(double x, anyval& r) const { return store_float(r, std::exp(x)); }
bool xfn_math_sin::unary_float(double x, anyval& r) const { return store_float(r, std::sin(x)); }
bool xfn_math_cos::unary_float(double x, anyval& r) const { return store_float(r, std::cos(x)); }
bool xfn_math_tan::unary_float(double x, anyval& r) const { return store_float(r, std::tan(x)); }
bool xfn_math_asin::unary_float(double x, anyval& r) const { return store_float(r, std::asin(x)); }
bool xfn_math_acos::unary_float(double x, anyval& r) const { return store_float(r, std::acos(x)); }
bool xfn_math_atan::unary_float(double x, anyval& r) const { return store_float(r, std::atan2(x, 1.0)); }
bool xfn_math_atan::binary(double y, double x, anyval& r) const { return store_float(r, std::atan2(y, x)); }

// The integer absolute value negates in two's complement, so the most negative integer
// stays itself instead of overflowing.
bool xfn_math_abs::unary_int(std::int32_t x, anyval& r) const {
  const auto magnitude = x < 0 ? 0u - static_cast<std::uint32_t>(x) : static_cast<std::uint32_t>(x);
  return store_int(r, static_cast<std::int32_t>(magnitude));
}

// The functions whose one-number forms are plain computations; ATAN's one-float form is
// atan2(x, 1).
const txl_number_form* txl_number_form_of(const txl_function_entry& entry) {
  struct form_row {
    bool (*call)(txl_cookie, txl_call&);
    txl_number_form form;
  };
  using rule = txl_int_rule;
  using known = txl_known_form;
  static constexpr form_row rows[] = {
      {xfn_math_floor::call, {[](double x) { return std::floor(x); }, rule::same, known::floor}},
      {xfn_math_ceil::call, {[](double x) { return std::ceil(x); }, rule::same, known::ceil}},
      {xfn_math_abs::call, {[](double x) { return std::fabs(x); }, rule::magnitude, known::magnitude}},
      {xfn_math_sqrt::call, {[](double x) { return std::sqrt(x); }, rule::as_float}},
      {xfn_math_log::call, {[](double x) { return std::log(x); }, rule::as_float}},
      {xfn_math_log10::call, {[](double x) { return std::log10(x); }, rule::as_float}},
      {xfn_math_exp::call, {[](double x) { return std::exp(x); }, rule::as_float}},
      {xfn_math_sin::call, {[](double x) { return std::sin(x); }, rule::as_float}},
      {xfn_math_cos::call, {[](double x) { return std::cos(x); }, rule::as_float}},
      {xfn_math_tan::call, {[](double x) { return std::tan(x); }, rule::as_float}},
      {xfn_math_asin::call, {[](double x) { return std::asin(x); }, rule::as_float}},
      {xfn_math_acos::call, {[](double x) { return std::acos(x); }, rule::as_float}},
      {xfn_math_atan::call, {[](double x) { return std::atan2(x, 1.0); }, rule::as_float}},
  };
  if (!txl_is_always_current(entry))
    return nullptr;
  for (const form_row& r : rows)
    if (r.call == entry.call)
      return &r.form;
  return nullptr;
}

bool xfn_math_floor::call(txl_cookie, txl_call& c) { return run_math<xfn_math_floor>(c); }
bool xfn_math_ceil::call(txl_cookie, txl_call& c) { return run_math<xfn_math_ceil>(c); }
bool xfn_math_pi::call(txl_cookie, txl_call& c) { return run_math<xfn_math_pi>(c); }
bool xfn_math_abs::call(txl_cookie, txl_call& c) { return run_math<xfn_math_abs>(c); }
bool xfn_math_sqrt::call(txl_cookie, txl_call& c) { return run_math<xfn_math_sqrt>(c); }
bool xfn_math_pow::call(txl_cookie, txl_call& c) { return run_math<xfn_math_pow>(c); }
bool xfn_math_log::call(txl_cookie, txl_call& c) { return run_math<xfn_math_log>(c); }
bool xfn_math_log10::call(txl_cookie, txl_call& c) { return run_math<xfn_math_log10>(c); }
bool xfn_math_exp::call(txl_cookie, txl_call& c) { return run_math<xfn_math_exp>(c); }
bool xfn_math_sin::call(txl_cookie, txl_call& c) { return run_math<xfn_math_sin>(c); }
bool xfn_math_cos::call(txl_cookie, txl_call& c) { return run_math<xfn_math_cos>(c); }
bool xfn_math_tan::call(txl_cookie, txl_call& c) { return run_math<xfn_math_tan>(c); }
bool xfn_math_asin::call(txl_cookie, txl_call& c) { return run_math<xfn_math_asin>(c); }
bool xfn_math_acos::call(txl_cookie, txl_call& c) { return run_math<xfn_math_acos>(c); }
bool xfn_math_atan::call(txl_cookie, txl_call& c) { return run_math<xfn_math_atan>(c); }

}  // namespace quillet
