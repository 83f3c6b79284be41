// GETVAL, READVAL, LASTVAL, RNSTAT and RTSTAT: current, archived and statistical channel data
// read through the data source.
#include "data/kov_call_support.h"
#include "data/kov_functions.h"
#include "txl/validity.h"

namespace quillet {

// The report time is no state the expression language follows, so an answer resting on it
// is not kept.
bool kov_time_bound_function::is_valid(std::int32_t) const {
  txl_validity_untracked();
  return context().report_time() == time_;
}

// GETVAL(ref): the current value; it holds as long as the report time does.
bool kov_txl_function_GETVAL::evaluate(txl_call& call, std::span<const anyval> args) {
  if (args.size() != 1 || args[0].empty())
    return call.fail("#GETVAL:ARGS#");
  kov_txl_data_source* source = context().data_source();
  if (!source)
    return call.fail("#GETVAL:NULL DATASRC#");
  anyval answer;
  const bool answered = source->current_value(args[0], answer);
  if (!kov_deliver(call, answered, answer, "#GETVAL:ERROR#"))
    return false;
  remember_time();
  return true;
}

// READVAL(ref, time): the value valid at the time; READVAL(ref, from, to): the values
// recorded in [from, to). A vector of references gives a vector.
bool kov_txl_function_READVAL::evaluate(txl_call& call, std::span<const anyval> args) {
  if (args.size() < 2 || args.size() > 3 || kov_any_absent(args))
    return call.fail("#READVAL:ARGS#");
  kov_txl_data_source* source = context().data_source();
  if (!source)
    return call.fail("#READVAL:NULL DATASRC#");
  anyval answer;
  const bool answered = args.size() == 2 ? source->read_value_at(args[0], args[1], anyval(), answer)
                                         : source->read_values(args[0], args[1], args[2], answer);
  return kov_deliver(call, answered, answer, "#READVAL:ERROR#");
}

// LASTVAL(ref, from[, to]): the last value recorded at or before `from`, searching back no
// further than `to` when it is given.
bool kov_txl_function_LASTVAL::evaluate(txl_call& call, std::span<const anyval> args) {
  if (args.size() < 2 || args.size() > 3 || kov_any_absent(args))
    return call.fail("#LASTVAL:ARGS#");
  kov_txl_data_source* source = context().data_source();
  if (!source)
    return call.fail("#LASTVAL:NULL DATASRC#");
  anyval answer;
  const anyval limit = args.size() == 3 ? args[2] : anyval();
  const bool answered = source->read_value_at(args[0], args[1], limit, answer);
  return kov_deliver(call, answered, answer, "#LASTVAL:ERROR#");
}

// RNSTAT and RTSTAT (ref, from, to): a new statistics value, whose own number is the count.
// Both share their markers.
bool kov_txl_function_rxstat::evaluate(txl_call& call, std::span<const anyval> args) {
  if (args.size() != 3 || kov_any_absent(args))
    return call.fail("#RSTAT:ARGS#");
  kov_txl_data_source* source = context().data_source();
  if (!source)
    return call.fail("#RSTAT:NULL DATASRC#");
  txl_stat_record record;
  if (!fetch(*source, args, record))
    return call.fail("#RSTAT:ERROR#");
  call.result = anyval(make_rc<txl_stat_value>(record));
  return true;
}

bool kov_txl_function_RNSTAT::fetch(kov_txl_data_source& source, std::span<const anyval> args,
                                    txl_stat_record& record) {
  return source.statistics(args[0], args[1], args[2], 0, record);
}

bool kov_txl_function_RTSTAT::fetch(kov_txl_data_source& source, std::span<const anyval> args,
                                    txl_stat_record& record) {
  return source.statistics(args[0], args[1], args[2], 1, record);
}

}  // namespace quillet
