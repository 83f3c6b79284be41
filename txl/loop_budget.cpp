// The per-thread work budget.
#include "txl/loop_budget.h"

namespace quillet {

namespace {
// The budget in scope on this thread; null while there is none.
thread_local txl_loop_budget* current = nullptr;
}  // namespace

txl_loop_budget::txl_loop_budget(std::int64_t steps) : left_(steps < 0 ? 0 : steps), outer_(current) {
  current = this;
}

txl_loop_budget::~txl_loop_budget() { current = outer_; }

// The first refusal names the kind of work that reached the bound; later ones only count.
bool txl_loop_budget::count(txl_work kind, std::string& error) {
  if (left_ > 0) {
    --left_;
    return true;
  }
  if (refusals_++ == 0)
    spent_on_ = kind;
  error = "#LOOP#";
  return false;
}

bool txl_loop_budget_in_scope() { return current != nullptr; }

bool txl_count_work(txl_work kind, std::string& error) {
  return current ? current->count(kind, error) : true;
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
