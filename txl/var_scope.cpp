// The variable table: definitions in order, and per name a stack of its definitions.
#include "txl/var_scope.h"

namespace quillet {

void txl_var_table::define(rc_ptr<txl_local_var> var) {
  by_name_[var->name].push_back(var.get());
  order_.push_back(std::move(var));
}

txl_local_var* txl_var_table::lookup(std::string_view name) const {
  auto it = by_name_.find(std::string(name));
  if (it == by_name_.end() || it->second.empty())
    return nullptr;
  return it->second.back();
}

void txl_var_table::truncate(std::size_t count) {
  while (order_.size() > count) {
    auto it = by_name_.find(order_.back()->name);
    it->second.pop_back();
    if (it->second.empty())
      by_name_.erase(it);
    order_.pop_back();
  }
}

void txl_var_table::clear() { truncate(0); }

}  // namespace quillet
