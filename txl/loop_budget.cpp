// The per-thread work budget.
#include "txl/loop_budget.h"

namespace quillet {

txl_loop_budget::txl_loop_budget(std::int64_t steps)
    : left_(steps < 0 ? 0 : steps), outer_(txl_budget_in_scope) {
  txl_budget_in_scope = this;
}

txl_loop_budget::~txl_loop_budget() { txl_budget_in_scope = outer_; }

// The first refusal names the kind of work that reached the bound; later ones only count.
bool txl_loop_budget::refuse(txl_work kind, std::string& error) {
  if (refusals_++ == 0)
    spent_on_ = kind;
  error = "#LOOP#";
  return false;
}

const char* txl_work_name(txl_work kind) {
  switch (kind) {
    case txl_work::function_call: return "user-function calls";
    case txl_work::list_line: return "READLIST lines";
    case txl_work::loop_iteration: break;
  }
  return "loop iterations";
}

}  // namespace quillet
