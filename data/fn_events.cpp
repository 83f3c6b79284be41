// SELCHAN, EVENTS, EFILTER, ETYPE and SEVERITY: selecting channels and reading the event log
// through the data source, and the filters and event fields that go with them.
#include "data/kov_call_support.h"
#include "data/kov_functions.h"

namespace quillet {

// SELCHAN(node, object, condition) or SELCHAN(objref, condition): the references of the
// object's channels that meet the condition. With a reference, its node index and object
// number stand for the node and object.
bool kov_txl_function_SELCHAN::evaluate(txl_call& call, std::span<const anyval> args) {
  if (args.size() < 2 || args.size() > 3)
    return call.fail("#SELCHAN:ARGS#");
  if (kov_any_absent(args))
    return call.fail("#SELCHAN:ARG#");
  anyval node;
  anyval object;
  if (args.size() == 2) {
    const auto* ref = kov_value_as<kov_chan_ref>(args[0]);
    if (!ref)
      return call.fail("#SELCHAN:ARG#");
    node = anyval::from_int(ref->ident.node);
    object = anyval::from_int(ref->ident.object);
  }
  kov_txl_data_source* source = context().data_source();
  if (!source)
    return call.fail("#SELCHAN:NULL DATASRC#");
  anyval answer;
  const bool answered = args.size() == 2 ? source->select_channels(node, object, args[1], answer)
                                         : source->select_channels(args[0], args[1], args[2], answer);
  return kov_deliver(call, answered, answer, "#SELCHAN:ERROR#");
}

// EVENTS(node[, filter]): the node's events, filtered when a filter is given. The list holds
// as long as the report time does.
bool kov_txl_function_EVENTS::evaluate(txl_call& call, std::span<const anyval> args) {
  if (args.empty() || args.size() > 2 || kov_any_absent(args))
    return call.fail("#EVENTS:ARGS#");
  kov_txl_data_source* source = context().data_source();
  if (!source)
    return call.fail("#EVENTS:NULL DATASRC#");
  anyval answer;
  const bool answered = source->events(args[0], args.size() == 2 ? args[1] : anyval(), answer);
  if (!kov_deliver(call, answered, answer, "#EVENTS: ERROR#"))
    return false;
  remember_time();
  return true;
}

namespace {

// Arguments 1 to 4 of EFILTER: time bounds by number conversion, severities by integer
// conversion. Returns the marker of the first that fails, or null.
const char* read_filter_bounds(std::span<const anyval> args, kov_filter_ref& filter) {
  if (args.size() > 0 && !args[0].to_double(filter.time_from))
    return "#EFILTER:MIN_T#";
  if (args.size() > 1 && !args[1].to_double(filter.time_to))
    return "#EFILTER:MAX_T#";
  if (args.size() > 2 && !args[2].to_int(filter.severity_min))
    return "#EFILTER:MIN_SEV#";
  if (args.size() > 3 && !args[3].to_int(filter.severity_max))
    return "#EFILTER:MAX_SEV#";
  return nullptr;
}

// Arguments 5 to 7: the channel-name, channel-code and message-text patterns, by text form.
const char* read_filter_masks(std::span<const anyval> args, kov_filter_ref& filter) {
  if (args.size() > 4 && !args[4].to_text(filter.channel_mask))
    return "#EFILTER:CH_MASK#";
  if (args.size() > 5 && !args[5].to_text(filter.code_mask))
    return "#EFILTER:CODE_MASK#";
  if (args.size() > 6 && !args[6].to_text(filter.text))
    return "#EFILTER:TXT_MASK#";
  return nullptr;
}

// The event of a one-argument call, or null when the call is anything else.
const kov_event_ref* single_event(std::span<const anyval> args) {
  return args.size() == 1 ? kov_value_as<kov_event_ref>(args[0]) : nullptr;
}

}  // namespace

// EFILTER([tfrom[, tto[, sevmin[, sevmax[, chmask[, codemask[, msgmask]]]]]]]): a new filter;
// arguments not given keep the disabled conditions, arguments past the seventh are ignored.
bool kov_txl_function_EFILTER::evaluate(txl_call& call, std::span<const anyval> args) {
  auto filter = make_rc<kov_filter_ref>();
  const char* marker = read_filter_bounds(args, *filter);
  if (!marker)
    marker = read_filter_masks(args, *filter);
  if (marker)
    return call.fail(marker);
  call.result = anyval(std::move(filter));
  return true;
}

bool kov_txl_function_ETYPE::evaluate(txl_call& call, std::span<const anyval> args) {
  const kov_event_ref* event = single_event(args);
  if (!event)
    return call.fail("#ETYPE:ARGS#");
  call.result = anyval::from_int(event->code);
  return true;
}

bool kov_txl_function_SEVERITY::evaluate(txl_call& call, std::span<const anyval> args) {
  const kov_event_ref* event = single_event(args);
  if (!event)
    return call.fail("#SEVERITY:ARGS#");
  call.result = anyval::from_int(event->severity);
  return true;
}

}  // namespace quillet
