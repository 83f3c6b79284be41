// The statistics builder: one statistic of a channel over a time range,
// F( RTSTAT( c, t1, t2 ) ) with F one of SUM, AVG, MAX, MIN, STDEV.
#include <array>

#include "editor/builders/builder_parts.h"
#include "editor/builders/call_shape.h"

namespace quillet::editor {

using nlohmann::json;

namespace {

constexpr std::array<std::string_view, 5> statistics = {"SUM", "AVG", "MAX", "MIN", "STDEV"};

bool is_statistic(std::string_view name) {
  for (std::string_view s : statistics)
    if (s == name)
      return true;
  return false;
}

}  // namespace

// The fields of F( RTSTAT( c, t1, t2 ) ), RNSTAT read alike; an F outside the table leaves
// the function empty. Any other text gives SUM over TIME() to TIME().
json recognize_statistics(std::string_view text, const json&) {
  json fields = {{"function", "SUM"}, {"channel", ""}, {"from", "TIME()"}, {"to", "TIME()"}};
  std::optional<call_shape> outer = match_call(text, "", 1);
  if (!outer)
    return fields;
  auto stat = match_call(outer->args[0], "RTSTAT", 3);
  if (!stat)
    stat = match_call(outer->args[0], "RNSTAT", 3);
  if (!stat)
    return fields;
  fields["function"] = is_statistic(outer->name) ? outer->name : "";
  fields["channel"] = stat->args[0];
  fields["from"] = stat->args[1];
  fields["to"] = stat->args[2];
  return fields;
}

// F( RTSTAT( c, t1, t2 ) ); refused without a function or with an invalid field.
bool emit_statistics(const json& fields, std::string& text, builder_refusal&) {
  std::string function = text_field(fields, "function");
  std::string channel = text_field(fields, "channel");
  std::string from = text_field(fields, "from");
  std::string to = text_field(fields, "to");
  if (!is_statistic(function) || !compiles_nonempty(channel) || !compiles_nonempty(from) || !compiles_nonempty(to))
    return false;
  text = function + "( RTSTAT( " + channel + ", " + from + ", " + to + " ) )";
  return true;
}

}  // namespace quillet::editor
