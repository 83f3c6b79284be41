// Compile-time variables and scopes: txl_local_var, txl_var_context and the variable table
// that maps a name to its newest definition. The table and the parse nodes that name a
// variable hold it; a variable keeps its runtime storage once translation has made one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "txl/expr.h"
#include "txl/rc_object.h"

namespace quillet {

// One open scope: remembers how many variables the table held when it was opened.
class txl_var_context : public dynamic_object {
public:
  explicit txl_var_context(std::size_t first) : first_var(first) {}
  std::size_t first_var;
};

enum txl_var_kind : std::int32_t { txl_var_ordinary = 0, txl_var_args = 1 };

class txl_local_var : public dynamic_object {
public:
  txl_local_var(txl_var_context* s, std::string n, std::int32_t k) : scope(s), name(std::move(n)), kind(k) {}
  txl_var_context* scope;  // not counted; null for ARGS, which belongs to no scope
  std::string name;
  std::int32_t kind;
  rc_ptr<txl_expr_localvar> storage;  // made when the first reference is translated
};

// Variables in order of definition, with a lookup that finds the newest one of a name.
class txl_var_table {
public:
  void define(rc_ptr<txl_local_var> var);
  // The most recently defined variable of that name, or null.
  txl_local_var* lookup(std::string_view name) const;
  std::size_t size() const { return order_.size(); }
  // Drops definitions, newest first, until `count` remain.
  void truncate(std::size_t count);
  void clear();

private:
  std::vector<rc_ptr<txl_local_var>> order_;
  std::unordered_map<std::string, std::vector<txl_local_var*>> by_name_;
};

}  // namespace quillet
