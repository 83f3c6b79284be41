// TIME and the repeat-context functions IDX, ROW and COL: what the report run itself knows.
#include "data/kov_call_support.h"
#include "data/kov_functions.h"
#include "txl/builtin_args.h"
#include "txl/expr_store.h"
#include "txl/time_value.h"

namespace quillet {

namespace {

// The time stamp of a historical value or an event, or the value itself taken as a time.
bool time_of(const anyval& value, double& time) {
  if (const auto* data = kov_value_as<kov_data_value>(value)) {
    data->time(time);
    return true;
  }
  if (const auto* event = kov_value_as<kov_event_ref>(value)) {
    time = event->time;
    return true;
  }
  return value_as_time(value, time);
}

}  // namespace

// The report time holds while the run's time stays the one returned; a time taken from an
// argument always holds.
bool kov_txl_function_TIME::is_valid(std::int32_t token) const {
  return !report_time_ || kov_time_bound_function::is_valid(token);
}

// TIME(): the report time; TIME(x): the time stamp of a historical value or event, or x
// itself when it is a number of at least 0.
bool kov_txl_function_TIME::evaluate(txl_call& call, std::span<const anyval> args) {
  report_time_ = args.empty();
  if (report_time_) {
    remember_time();
    call.result = anyval::from_float(context().report_time());
    return true;
  }
  double time = 0.0;
  if (args.size() > 1 || !time_of(args[0], time))
    return call.fail("#TIME:ARG#");
  call.result = anyval::from_float(time);
  return true;
}

const kov_context_stack& kov_context_function::find_stack() const {
  stack_ = &context().contexts().stack(kind_);
  return *stack_;
}

// Asked for every call site of the function whenever a result is checked: the stack found
// once is read without a frame of its own.
bool kov_context_function::is_valid(std::int32_t token) const { return stack().change_counter() == token; }

// IDX, ROW, COL([depth]): depth 0 (or none) is the innermost repeated element of the kind,
// a positive depth counts from the outermost (1), a negative one outwards from the innermost.
// The stack's change counter is the validity token.
bool kov_context_function::evaluate(txl_call& call, std::span<const anyval> args) {
  const kov_context_stack& stack = this->stack();
  const std::int64_t depth = args.empty() ? 0 : int_arg_or(args[0], 0);
  const std::int64_t position = depth >= 1 ? depth : static_cast<std::int64_t>(stack.depth()) + depth;
  const kov_context_entry* entry = stack.at(position);
  if (!entry)
    return call.fail("#!CONTEXT#");
  call.token = stack.change_counter();
  store_int(call.result, entry->index);  // the lent result, when the site alone holds it
  return true;
}

}  // namespace quillet
