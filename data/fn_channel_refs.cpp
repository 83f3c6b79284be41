// CHAN, OBJECT and the channel naming functions NAME, NODE, ATTR, CHCODE and CHUNIT: making
// references and reading names through the data source.
#include "data/kov_call_support.h"
#include "data/kov_functions.h"

namespace quillet {

namespace {

using name_query = bool (kov_txl_data_source::*)(const anyval&, anyval&);

struct name_markers {
  const char* args;
  const char* no_source;
  const char* refused;
};

// One reference in, one name out: the count and presence first, then the source.
bool ask_name(kov_processor_context& context, txl_call& call, std::span<const anyval> args, name_query query,
              const name_markers& markers) {
  if (args.size() != 1 || args[0].empty())
    return call.fail(markers.args);
  kov_txl_data_source* source = context.data_source();
  if (!source)
    return call.fail(markers.no_source);
  anyval answer;
  const bool answered = (source->*query)(args[0], answer);
  return kov_deliver(call, answered, answer, markers.refused);
}

// CHAN of a historical value or of an event: the reference to its channel, without a source.
bool chan_of_process_value(txl_call& call, const anyval& value, bool& handled) {
  handled = true;
  if (const auto* data = kov_value_as<kov_data_value>(value)) {
    anyval ref;
    data->channel(ref);
    if (ref.empty())
      return call.fail("#CHAN:NULL#");
    call.result = std::move(ref);
    return true;
  }
  if (const auto* event = kov_value_as<kov_event_ref>(value)) {
    call.result = kov_make_chan_ref(event->ident);
    return true;
  }
  handled = false;
  return false;
}

}  // namespace

// CHAN(name[, attr[, node[, object]]]), CHAN(histvalue), CHAN(event). An absent name fails
// without a marker; absent later arguments are named in the order attr, node, object.
bool kov_txl_function_CHAN::evaluate(txl_call& call, std::span<const anyval> args) {
  if (args.empty() || args.size() > 4)
    return call.fail("#CHAN:ARGS#");
  if (args[0].empty())
    return false;
  bool handled = false;
  if (args.size() == 1) {
    const bool ok = chan_of_process_value(call, args[0], handled);
    if (handled)
      return ok;
  }
  static const char* const absent_markers[] = {"#CHAN:BAD ATTR#", "#CHAN:BAD NODE#", "#CHAN:BAD OBJ#"};
  for (std::size_t i = 1; i < args.size(); ++i)
    if (args[i].empty())
      return call.fail(absent_markers[i - 1]);
  kov_txl_data_source* source = context().data_source();
  if (!source)
    return call.fail("#CHAN:NULL DATASRC#");
  const anyval none;
  const anyval& attr = args.size() > 1 ? args[1] : none;
  const anyval& node = args.size() > 2 ? args[2] : none;
  const anyval& object = args.size() > 3 ? args[3] : none;
  anyval answer;
  const bool answered = source->make_channel_ref(args[0], attr, node, object, answer);
  return kov_deliver(call, answered, answer, "#CHAN:BAD CHANNEL#");
}

// OBJECT(ref): the object's name; OBJECT(node, object): an object reference.
bool kov_txl_function_OBJECT::evaluate(txl_call& call, std::span<const anyval> args) {
  if (args.empty() || args.size() > 2 || kov_any_absent(args))
    return call.fail("#OBJECT:ARGS#");
  kov_txl_data_source* source = context().data_source();
  if (!source)
    return call.fail("#OBJECT:NULL DATASRC#");
  anyval answer;
  if (args.size() == 1) {
    const bool answered = source->channel_object_name(args[0], answer);
    return kov_deliver(call, answered, answer, "#OBJECT: BAD CHANNEL#");
  }
  const bool answered = source->make_object_ref(args[0], args[1], answer);
  return kov_deliver(call, answered, answer, "#OBJECT: BAD NAME#");
}

bool kov_txl_function_NAME::evaluate(txl_call& call, std::span<const anyval> args) {
  return ask_name(context(), call, args, &kov_txl_data_source::channel_name,
                  {"#NAME:ARGS#", "#NAME:NULL DATASRC#", "#NAME: BAD CHANNEL#"});
}

bool kov_txl_function_NODE::evaluate(txl_call& call, std::span<const anyval> args) {
  return ask_name(context(), call, args, &kov_txl_data_source::channel_node_name,
                  {"#NODE:ARGS#", "#NODE:NULL DATASRC#", "#NODE: BAD CHANNEL#"});
}

bool kov_txl_function_ATTR::evaluate(txl_call& call, std::span<const anyval> args) {
  return ask_name(context(), call, args, &kov_txl_data_source::channel_attr_name,
                  {"#ATTR:ARGS#", "#ATTR:NULL DATASRC#", "#ATTR: BAD CHANNEL#"});
}

bool kov_txl_function_CHCODE::evaluate(txl_call& call, std::span<const anyval> args) {
  return ask_name(context(), call, args, &kov_txl_data_source::channel_code,
                  {"#CHCODE:ARGS#", "#CHCODE:NULL DATASRC#", "#CHCODE: BAD CHANNEL#"});
}

bool kov_txl_function_CHUNIT::evaluate(txl_call& call, std::span<const anyval> args) {
  return ask_name(context(), call, args, &kov_txl_data_source::channel_unit,
                  {"#CHUNIT:ARGS#", "#CHUNIT:NULL DATASRC#", "#CHUNIT: BAD CHANNEL#"});
}

}  // namespace quillet
