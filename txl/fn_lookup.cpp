// RANGE and FIND: where a value lies among limits, and which sample it equals. Both read a
// list made of their arguments after the first, a vector argument giving its elements.
#include <cstdint>
#include <string>

#include "txl/builtins.h"

namespace quillet {

namespace {

// Calls visit(entry) on each entry of the list formed by args[first..], a vector argument
// contributing its elements in order, until visit returns false. Reads the arguments in
// place, so a long list costs no allocation.
template <class Visit>
void walk_list(const anyval_list& args, std::size_t first, Visit visit) {
  for (std::size_t i = first; i < args.size(); ++i) {
    const anyval_list* elements = args[i].as_vector();
    if (!elements) {
      if (!visit(args[i]))
        return;
      continue;
    }
    for (const anyval& e : *elements)
      if (!visit(e))
        return;
  }
}

// Whether a sample equals the sought value: strings byte for byte, numbers by their number
// conversion (a string sample holding the same number matches).
bool sample_matches(const anyval& sample, const std::string* text, double number) {
  if (text) {
    const std::string* s = sample.as_string();
    return s && *s == *text;
  }
  double y = 0.0;
  return sample.to_double(y) && y == number;
}

}  // namespace

// RANGE(x, limits...): the position (from 1) of the last limit in list order that x reaches,
// 0 when it reaches none; limits without a number reading keep their position but never count.
bool xfn_range_call(txl_cookie, txl_call& call) {
  const anyval_list& args = call.arg_list();
  if (args.empty())
    return call.fail("#RANGE():ARGS#");
  if (args[0].empty())
    return false;
  double x = 0.0;
  args[0].to_double(x);  // a partial reading still gives its leading number
  std::int64_t position = 0;
  std::int64_t reached = 0;
  walk_list(args, 1, [&](const anyval& limit) {
    ++position;
    double y = 0.0;
    if (limit.to_double(y) && x >= y)
      reached = position;
    return true;
  });
  call.result.set_int(static_cast<std::int32_t>(reached));
  return true;
}

// FIND(value, samples...): the index (from 0) of the first sample equal to the value, -1 when
// none is or the value is neither a string nor has a number reading.
bool xfn_find_call(txl_cookie, txl_call& call) {
  const anyval_list& args = call.arg_list();
  if (args.empty())
    return call.fail("#FIND():ARGS#");
  for (const anyval& a : args)
    if (a.empty())
      return false;
  const std::string* text = args[0].as_string();
  double number = 0.0;
  std::int64_t found = -1;
  if (text || args[0].to_double(number)) {
    std::int64_t index = -1;
    walk_list(args, 1, [&](const anyval& sample) {
      ++index;
      if (!sample_matches(sample, text, number))
        return true;
      found = index;
      return false;
    });
  }
  call.result.set_int(static_cast<std::int32_t>(found));
  return true;
}

}  // namespace quillet
