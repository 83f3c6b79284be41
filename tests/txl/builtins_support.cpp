// Helpers for the built-in function tests.
#include "builtins_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "txl/function_entry.h"

namespace quillet::test {

anyval iv(std::int32_t v) { return anyval::from_int(v); }
anyval fv(double v) { return anyval::from_float(v); }
anyval sv(std::string_view text) { return anyval::from_string(text); }
anyval vec(std::initializer_list<anyval> elements) { return anyval::from_vector(anyval_list(elements)); }
anyval none() { return anyval(); }

namespace {

std::string describe_float(double d) {
  if (std::isnan(d))
    return "f:nan";
  if (std::isinf(d))
    return d > 0 ? "f:inf" : "f:-inf";
  char buf[64];
  std::snprintf(buf, sizeof buf, "f:%.10g", d);
  return buf;
}

std::string describe_vector(const anyval_list& elements) {
  std::string out = "v(";
  for (std::size_t i = 0; i < elements.size(); ++i) {
    if (i)
      out += ",";
    out += elements[i].empty() ? "-" : describe(elements[i]);
  }
  return out + ")";
}

bool find_builtin(std::string_view name, const txl_function_entry*& entry, txl_cookie& cookie) {
  return txl_general_library().lookup(name.data(), name.size(), entry, cookie) ||
         txl_condition_library().lookup(name.data(), name.size(), entry, cookie);
}

}  // namespace

std::string describe(const anyval& v) {
  if (v.empty())
    return "(empty)";
  double d = 0.0;
  std::int32_t i = 0;
  switch (v.type()) {
  case type_int: v.to_int(i); return "i:" + std::to_string(i);
  case type_float: v.to_double(d); return describe_float(d);
  case type_string: return "s:" + *v.as_string();
  case type_vector: return describe_vector(*v.as_vector());
  default: return "(type " + std::to_string(v.type()) + ")";
  }
}

std::string call_builtin(std::string_view name, const anyval_list& args, anyval& result) {
  const txl_function_entry* entry = nullptr;
  txl_cookie cookie = nullptr;
  if (!find_builtin(name, entry, cookie))
    return "(unknown)";
  std::string error = "prior";
  txl_call call;
  call.args = anyval::from_vector(args);
  call.error = &error;
  const bool ok = entry->call(cookie, call);
  result = call.result;
  if (ok)
    return describe(call.result);
  return error == "prior" ? "(silent)" : error;
}

std::string call_builtin(std::string_view name, const anyval_list& args) {
  anyval result;
  return call_builtin(name, args, result);
}

void run_cases(const std::vector<builtin_case>& cases) {
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const builtin_case& c = cases[i];
    SCOPED_TRACE(std::string(c.name) + " row " + std::to_string(i));
    EXPECT_EQ(call_builtin(c.name, c.args), c.expect);
  }
}

}  // namespace quillet::test
