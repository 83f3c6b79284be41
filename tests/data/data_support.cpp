// Helpers for the data-access tests: the fake source and context.
#include "data_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "data/kov_values.h"
#include "txl/binding.h"
#include "txl/compiler.h"

namespace quillet::test {

namespace {

std::string describe_float(double d) {
  if (std::isnan(d))
    return "f:nan";
  char buf[64];
  std::snprintf(buf, sizeof buf, "f:%.10g", d);
  return buf;
}

struct fake_channel {
  const char* name;
  kov_chan_ident ident;
  const char* code;  // empty: the comment stands in
  const char* unit;
};

const fake_channel channels[] = {
    {"TEMP", {0, 1, 5, 0, 2}, "T-100", "degC"},
    {"PRESS", {0, 1, 6, 0, 0}, "", "bar"},
    {"FLOW", {1, 2, 7, 0, 0}, "F-7", "m3/h"},
};

const kov_chan_ref* as_ref(const anyval& v) { return dynamic_cast<const kov_chan_ref*>(v.get()); }

// The channel a reference names, or null (object references name none).
const fake_channel* channel_of(const anyval& v) {
  const kov_chan_ref* ref = as_ref(v);
  if (!ref)
    return nullptr;
  for (const fake_channel& c : channels)
    if (c.ident.node == ref->ident.node && c.ident.channel == ref->ident.channel)
      return &c;
  return nullptr;
}

std::string arg_text(const anyval& v) { return v.empty() ? "-" : describe(v); }

bool int_in(const anyval& v, std::int32_t lo, std::int32_t hi, std::int32_t& out) {
  return v.to_int(out) && out >= lo && out <= hi;
}

anyval value_at(const kov_chan_ident& ident, const kov_time_record& at) {
  const double v = ident.channel * 10 + at.seconds % 100;
  return anyval(make_rc<kov_data_value_imp>(v, at, ident));
}

// One value per reference of one node, valid at the time.
bool values_at(const anyval& refs, const kov_time_record& at, anyval& result) {
  if (const kov_chan_ref* ref = as_ref(refs)) {
    result = value_at(ref->ident, at);
    return true;
  }
  const anyval_list* list = refs.as_vector();
  if (!list)
    return false;
  anyval_list out;
  for (const anyval& e : *list) {
    const kov_chan_ref* ref = as_ref(e);
    if (!ref || ref->ident.node != as_ref(list->front())->ident.node)
      return false;
    out.push_back(value_at(ref->ident, at));
  }
  result = anyval::from_vector(std::move(out));
  return true;
}

}  // namespace

std::string describe(const anyval& v) {
  if (v.empty())
    return "(empty)";
  double d = 0.0;
  std::int32_t i = 0;
  switch (v.type()) {
  case type_int: v.to_int(i); return "i:" + std::to_string(i);
  case type_float: v.to_double(d); return describe_float(d);
  case type_string: return "s:" + *v.as_string();
  case type_vector: {
    std::string out = "v(";
    const anyval_list& e = *v.as_vector();
    for (std::size_t k = 0; k < e.size(); ++k)
      out += (k ? "," : "") + (e[k].empty() ? std::string("-") : describe(e[k]));
    return out + ")";
  }
  default: return "(type " + std::to_string(v.type()) + ")";
  }
}

void fake_source::node_name(int node, std::string& out) const {
  out = node == 0 || node == 1 ? "N" + std::to_string(node) : "";
}

bool fake_source::make_channel_ref(const anyval& name, const anyval& attr, const anyval& node,
                                   const anyval& object, anyval& result) {
  log += "make_channel_ref(" + arg_text(name) + "," + arg_text(attr) + "," + arg_text(node) + "," +
         arg_text(object) + ");";
  const std::string* text = name.as_string();
  if (refuse || !text)
    return false;
  for (const fake_channel& c : channels) {
    if (*text != c.name)
      continue;
    kov_chan_ident ident = c.ident;
    std::int32_t n = 0;
    if (!attr.empty() && !int_in(attr, 0, 255, n))
      return false;
    ident.attribute = static_cast<std::uint8_t>(n);
    if (!node.empty() && !(int_in(node, 0, 1, n) && n == c.ident.node))
      return false;
    if (!object.empty() && !(object.to_int(n) && n == c.ident.object))
      return false;
    result = kov_make_chan_ref(ident);
    return true;
  }
  return false;
}

bool fake_source::make_object_ref(const anyval& node, const anyval& object, anyval& result) {
  std::int32_t n = 0;
  std::int32_t o = 0;
  if (refuse || !int_in(node, 0, 1, n) || !int_in(object, 0, 100, o))
    return false;
  result = kov_make_chan_ref({static_cast<std::int16_t>(n), static_cast<std::int16_t>(o), -1, 0, 0});
  return true;
}

bool fake_source::channel_name(const anyval& ref, anyval& result) {
  const fake_channel* c = channel_of(ref);
  if (refuse || !c)
    return false;
  result = anyval::from_string(c->name);
  return true;
}

bool fake_source::channel_node_name(const anyval& ref, anyval& result) {
  const kov_chan_ref* r = as_ref(ref);
  if (refuse || !r || r->ident.node < 0 || r->ident.node > 1)
    return false;
  result = anyval::from_string("N" + std::to_string(r->ident.node));
  return true;
}

bool fake_source::channel_object_name(const anyval& ref, anyval& result) {
  const kov_chan_ref* r = as_ref(ref);
  if (refuse || !r || r->ident.node < 0)
    return false;
  result = anyval::from_string("OBJ" + std::to_string(r->ident.object));
  return true;
}

bool fake_source::channel_attr_name(const anyval& ref, anyval& result) {
  const kov_chan_ref* r = as_ref(ref);
  if (refuse || !channel_of(ref))
    return false;
  const int a = r->ident.attribute;
  result = anyval::from_string(a == 0 ? std::string("VALUE") : "A" + std::to_string(a));
  return true;
}

bool fake_source::channel_code(const anyval& ref, anyval& result) {
  const fake_channel* c = channel_of(ref);
  if (refuse || !c)
    return false;
  result = anyval::from_string(*c->code ? c->code : "comment of " + std::string(c->name));
  return true;
}

bool fake_source::channel_unit(const anyval& ref, anyval& result) {
  const fake_channel* c = channel_of(ref);
  if (refuse || !c)
    return false;
  result = anyval::from_string(c->unit);
  return true;
}

bool fake_source::read_value_at(const anyval& ref, const anyval& time, const anyval& limit, anyval& result) {
  log += "read_value_at(" + arg_text(ref) + "," + arg_text(time) + "," + arg_text(limit) + ");";
  kov_time_record at;
  kov_time_record until;
  if (refuse || !kov_to_time_record(time, at))
    return false;
  if (!limit.empty() && !kov_to_time_record(limit, until))
    return false;
  return values_at(ref, at, result);
}

// One value a second in [from, to), as many as a read may return.
bool fake_source::read_values(const anyval& ref, const anyval& from, const anyval& to, anyval& result) {
  log += "read_values(" + arg_text(ref) + "," + arg_text(from) + "," + arg_text(to) + ");";
  kov_time_record a;
  kov_time_record b;
  const kov_chan_ref* r = as_ref(ref);
  if (refuse || !r || !kov_to_time_record(from, a) || !kov_to_time_record(to, b))
    return false;
  const std::size_t n = b.seconds > a.seconds ? b.seconds - a.seconds : 0;
  if (oversize >= 0) {
    result = anyval::from_vector(anyval_list(kov_max_read_values + oversize, value_at(r->ident, a)));
    return true;
  }
  if (n > kov_max_read_values)
    return false;
  anyval_list out;
  for (std::uint32_t s = a.seconds; s < b.seconds; ++s)
    out.push_back(value_at(r->ident, {s, 0}));
  result = anyval::from_vector(std::move(out));
  return true;
}

// FLOW's current value has no time stamp.
bool fake_source::current_value(const anyval& ref, anyval& result) {
  const fake_channel* c = channel_of(ref);
  if (refuse || !c)
    return false;
  const kov_time_record stamp{c->ident.node == 1 ? 0 : now, 250};
  result = anyval(make_rc<kov_data_value_imp>(c->ident.channel * 10 + 0.5, stamp, c->ident));
  return true;
}

// Samples 1, 2, 3 at from, from + 1, from + 2; integrated over time, each weighs 10.
bool fake_source::statistics(const anyval& ref, const anyval& from, const anyval& to, int by_time,
                             txl_stat_record& record) {
  log += "statistics(" + arg_text(ref) + "," + arg_text(from) + "," + arg_text(to) + "," +
         std::to_string(by_time) + ");";
  kov_time_record a;
  kov_time_record b;
  record = txl_stat_record{};
  if (refuse || !channel_of(ref) || !kov_to_time_record(from, a) || !kov_to_time_record(to, b))
    return false;
  const double w = by_time ? 10.0 : 1.0;
  for (int k = 1; k <= 3; ++k) {
    record.add_sample(k, a.seconds + k - 1);
    record.count += w - 1.0;
  }
  return true;
}

bool fake_source::select_channels(const anyval& node, const anyval& object, const anyval& condition,
                                  anyval& result) {
  log += "select_channels(" + arg_text(node) + "," + arg_text(object) + "," + arg_text(condition) + ");";
  std::int32_t n = 0;
  std::int32_t o = 0;
  std::int32_t c = 0;
  if (refuse || !int_in(node, 0, 1, n) || !object.to_int(o) || !int_in(condition, 0, 8, c))
    return false;
  anyval_list out;
  for (const fake_channel& ch : channels)
    if (ch.ident.node == n && ch.ident.object == o && (c == 0 || ch.ident.channel % 2 == c % 2))
      out.push_back(kov_make_chan_ref(ch.ident));
  if (oversize >= 0)
    out.assign(kov_max_read_values + oversize, anyval::from_int(0));
  result = anyval::from_vector(std::move(out));
  return true;
}

// Node 0 logs an overheat warning on TEMP and an alarm on PRESS; a filter's severity bounds
// apply.
bool fake_source::events(const anyval& node, const anyval& filter, anyval& result) {
  log += "events(" + arg_text(node) + "," + arg_text(filter) + ");";
  std::int32_t n = 0;
  const auto* f = dynamic_cast<const kov_filter_ref*>(filter.get());
  if (refuse || !int_in(node, 0, 1, n) || (!filter.empty() && !f))
    return false;
  anyval_list out;
  if (n == 0) {
    out.push_back(anyval(make_rc<kov_event_ref>("Overheat", channels[0].ident, 3, 220, 1000.5)));
    out.push_back(anyval(make_rc<kov_event_ref>("Alarm", channels[1].ident, 7, 800, 2000.0)));
  }
  std::erase_if(out, [f](const anyval& e) {
    const auto* event = dynamic_cast<const kov_event_ref*>(e.get());
    return f && (event->severity < f->severity_min || (f->severity_max != -1 && event->severity > f->severity_max));
  });
  result = anyval::from_vector(std::move(out));
  return true;
}

fake_context::fake_context() = default;

fake_context::~fake_context() {
  for (auto& v : variables)
    v->unbind_calls();
}

void fake_context::prepare_binder(txl_binder& binder) {
  binder.add_library(library);
  binder.add_builtin_libraries();
  for (auto& v : variables)
    binder.add_user_function(*v);
}

void fake_context::add_variable(const std::string& name, const std::string& text) {
  variables.push_back(make_rc<txl_user_function>(name, text));
  txl_compiler compiler;
  if (compiler.compile(text, variables.back().get()) != 0)
    ADD_FAILURE() << "does not compile: " << text;
  txl_binder binder(sink);
  prepare_binder(binder);
  binder.bind_all(*variables.back());
}

std::string fake_context::eval(std::string_view text) {
  bound_property property(*this, text);
  if (!property.function)
    return "compile error";
  return property.eval();
}

bound_property::bound_property(fake_context& context, std::string_view text) : context_(context) {
  auto f = make_rc<txl_user_function>(std::string(), std::string(text));
  txl_compiler compiler;
  if (compiler.compile(text, f.get()) != 0)
    return;
  txl_binder binder(context.sink);
  context.prepare_binder(binder);
  binder.bind_all(*f);
  function = std::move(f);
}

bound_property::~bound_property() {
  if (function)
    function->unbind_calls();
}

std::string bound_property::eval() {
  anyval result;
  std::string error;
  if (!evaluate_user_function(*function, anyval(), result, error, context_.sink))
    return error;
  return describe(result);
}

void run_rows(fake_context& context, const std::vector<eval_row>& rows) {
  for (const eval_row& row : rows) {
    SCOPED_TRACE(std::string(row.text));
    EXPECT_EQ(context.eval(row.text), row.expect);
  }
}

}  // namespace quillet::test
