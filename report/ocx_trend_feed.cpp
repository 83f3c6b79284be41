// Channel elements, legend names and the picture format of a trend element.
#include "report/ocx_trend_feed.h"

#include <typeinfo>

#include "platform/project/project_interfaces.h"
#include "report/htdoc_processor.h"
#include "txl/expr_nodes.h"
#include "txl/user_function.h"

namespace quillet {

namespace {

// The call of LIST that makes up the whole property, or null.
txl_expr_fncall* whole_list_call(const txl_user_function& prop) {
  txl_expr* e = prop.body ? prop.body->child(0) : nullptr;
  while (e && typeid(*e) == typeid(txl_expr_seq) && e->child_count() == 1)
    e = e->child(0);
  auto* call = dynamic_cast<txl_expr_fncall*>(e);
  return call && !call->user_function && call->name == "LIST" ? call : nullptr;
}

// Each argument of the list evaluated on its own; a failed one keeps its marker.
std::vector<trend_channel_element> each_argument(txl_expr_fncall& list) {
  std::vector<trend_channel_element> out;
  for (std::size_t i = 0; i < list.child_count(); ++i) {
    txl_expr* arg = list.child(i);
    std::string error;
    if (arg && txl_expr::evaluate_child(*arg, error)) {
      out.push_back({arg->value(), {}, true});
      continue;
    }
    out.push_back({anyval(), error, false});
  }
  return out;
}

// A text the project answered with, empty on failure.
template <class Call>
std::u16string answer(Call call) {
  std::u16string text;
  return com::SUCCEEDED(call(&text)) ? text : std::u16string();
}

}  // namespace

std::vector<trend_channel_element> trend_channel_elements(html_dyn_elt_ocx& element, bool& present) {
  txl_user_function* prop = element.find_prop("CHANNEL");
  present = prop != nullptr;
  if (!prop || !element.processor)
    return {};
  anyval value;
  std::string error;
  if (!element.processor->evaluate(*prop, value, &error)) {
    if (txl_expr_fncall* list = whole_list_call(*prop))
      return each_argument(*list);
    return {{anyval(), error, false}};
  }
  if (value.empty())
    return {};
  const anyval_list* list = value.as_vector();
  if (!list)
    return {{value, {}, true}};
  std::vector<trend_channel_element> out;
  for (const anyval& v : *list)
    out.push_back({v, {}, true});
  return out;
}

int trend_legend_mode(html_dyn_elt_ocx& element) {
  txl_user_function* prop = element.find_prop("LEGEND");
  anyval value;
  std::int32_t mode = 1;
  if (!prop || !element.processor || !element.processor->evaluate(*prop, value) || !value.to_int(mode))
    return 1;
  return mode == 0 || mode == 2 ? mode : 1;
}

// Names come from the project's node object as UTF-16 text, as the control takes them. The
// code and comment are joined by a space; a channel without a code shows its comment only.
void name_trend_channel(kov_runtime_data_source& source, const kov_chan_ident& ident, int mode,
                        trend::trend_legend_entry& entry) {
  rc_ptr<com::IvxPrjNode> node;
  if (!com::query(source.node_object(ident.node), com::IID_IvxPrjNode, node))
    return;
  const int object = ident.object;
  const int channel = ident.channel;
  entry.unit = answer([&](std::u16string* t) { return node->GetUnitName(object, channel, t); });
  if (mode != 2) {
    entry.name = answer([&](std::u16string* t) { return node->GetChannelName(object, channel, t); });
    return;
  }
  const std::u16string comment = answer([&](std::u16string* t) { return node->GetChannelComment(object, channel, t); });
  const std::u16string coding = answer([&](std::u16string* t) { return node->GetChannelCoding(object, channel, 0, t); });
  entry.name = coding == comment || comment.empty() ? coding : coding + u" " + comment;
}

bool trend_wants_svg(html_dyn_elt_ocx& element) {
  txl_user_function* prop = element.find_prop("SVG");
  anyval value;
  std::int32_t n = 0;
  return prop && element.processor && element.processor->evaluate(*prop, value) && value.to_int(n) && n != 0;
}

}  // namespace quillet
