// Event functions and channel selection: EFILTER's fields and markers, EVENTS, ETYPE,
// SEVERITY and both forms of SELCHAN.
#include <gtest/gtest.h>

#include "data/kov_values.h"
#include "data_support.h"

namespace quillet::test {
namespace {

// Calls a function of the channel library directly: the result or the marker written.
std::string call_library(fake_context& context, std::string_view name, anyval_list args, anyval& result) {
  const txl_function_entry* entry = nullptr;
  txl_cookie cookie = nullptr;
  if (!context.library.lookup(name.data(), name.size(), entry, cookie))
    return "(unknown)";
  std::string error = "(silent)";
  txl_call call;
  call.args = anyval::from_vector(std::move(args));
  call.error = &error;
  const bool ok = entry->call(cookie, call);
  entry->release(cookie);
  result = call.result;
  return ok ? describe(result) : error;
}

// The filter's fields as one text: "from,to,sevmin,sevmax,chmask,codemask,text".
std::string filter_fields(const anyval& v) {
  const auto* f = dynamic_cast<const kov_filter_ref*>(v.get());
  if (!f)
    return "(not a filter)";
  char buf[64];
  std::snprintf(buf, sizeof buf, "%g,%g,%d,%d,", f->time_from, f->time_to, f->severity_min, f->severity_max);
  return buf + f->channel_mask + "," + f->code_mask + "," + f->text;
}

TEST(EventFilter, FieldsAndMarkers) {
  const anyval none;
  struct row {
    anyval_list args;
    const char* expect;
  };
  const std::vector<row> rows = {
      {{}, "0,-1,0,-1,,,"},
      {{anyval::from_float(100.5)}, "100.5,-1,0,-1,,,"},
      {{anyval::from_int(1), anyval::from_string("2"), anyval::from_float(10.9), anyval::from_int(230)},
       "1,2,10,230,,,"},
      {{anyval::from_int(0), anyval::from_int(-1), anyval::from_int(0), anyval::from_int(-1),
        anyval::from_string("T*"), anyval::from_int(12), anyval::from_string("Over?eat")},
       "0,-1,0,-1,T*,12,Over?eat"},
      {{anyval::from_int(0), anyval::from_int(0), anyval::from_int(0), anyval::from_int(0), anyval::from_string("a"),
        anyval::from_string("b"), anyval::from_string("c"), anyval::from_string("ignored")},
       "0,0,0,0,a,b,c"},
      {{none}, "#EFILTER:MIN_T#"},
      {{anyval::from_string("x")}, "#EFILTER:MIN_T#"},
      {{anyval::from_int(0), none}, "#EFILTER:MAX_T#"},
      {{anyval::from_int(0), anyval::from_int(-1), anyval::from_string("1.5")}, "#EFILTER:MIN_SEV#"},
      {{anyval::from_int(0), anyval::from_int(-1), anyval::from_int(10), anyval::from_string("x")},
       "#EFILTER:MAX_SEV#"},
      {{anyval::from_int(0), anyval::from_int(-1), anyval::from_int(10), anyval::from_int(20), none},
       "#EFILTER:CH_MASK#"},
      {{anyval::from_int(0), anyval::from_int(-1), anyval::from_int(10), anyval::from_int(20), anyval::from_string(""),
        none},
       "#EFILTER:CODE_MASK#"},
      {{anyval::from_int(0), anyval::from_int(-1), anyval::from_int(10), anyval::from_int(20), anyval::from_string(""),
        anyval::from_string(""), none},
       "#EFILTER:TXT_MASK#"},
      {{anyval::from_string("x"), none}, "#EFILTER:MIN_T#"},  // the first failure decides
  };
  fake_context context;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    SCOPED_TRACE("row " + std::to_string(i));
    anyval result;
    const std::string outcome = call_library(context, "EFILTER", rows[i].args, result);
    EXPECT_EQ(outcome.starts_with("#") ? outcome : filter_fields(result), rows[i].expect);
  }
}

TEST(Events, ListsFieldsAndMarkers) {
  fake_source source;
  fake_context context;
  context.source = &source;
  run_rows(context, {
                        {"EVENTS(0)", "v(s:Overheat,s:Alarm)"},
                        {"EVENTS(1)", "v()"},
                        {"EVENTS(0, EFILTER(0, -1, 500))", "v(s:Alarm)"},
                        {"EVENTS(0, EFILTER(0, -1, 0, 300))", "v(s:Overheat)"},
                        {"var e = EVENTS(0); ETYPE(e[0]);", "i:3"},
                        {"var e = EVENTS(0); SEVERITY(e[1]);", "i:800"},
                        {"var e = EVENTS(0); TIME(e[0]);", "f:1000.5"},
                        {"EVENTS()", "#EVENTS:ARGS#"},
                        {"EVENTS(0, EFILTER(), 1)", "#EVENTS:ARGS#"},
                        {"EVENTS(5)", "#EVENTS: ERROR#"},
                        {"EVENTS(0, \"not a filter\")", "#EVENTS: ERROR#"},
                        {"ETYPE()", "#ETYPE:ARGS#"},
                        {"ETYPE(1)", "#ETYPE:ARGS#"},
                        {"ETYPE(\"Overheat\")", "#ETYPE:ARGS#"},
                        {"var e = EVENTS(0); ETYPE(e[0], 1);", "#ETYPE:ARGS#"},
                        {"SEVERITY()", "#SEVERITY:ARGS#"},
                        {"SEVERITY(EFILTER())", "#SEVERITY:ARGS#"},
                    });
}

TEST(SelectChannels, BothFormsAndMarkers) {
  fake_source source;
  fake_context context;
  context.source = &source;
  run_rows(context, {
                        {"SELCHAN(0, 1, 0)", "v(i:5,i:6)"},
                        {"SELCHAN(0, 1, 1)", "v(i:5)"},
                        {"SELCHAN(OBJECT(0, 1), 0)", "v(i:5,i:6)"},
                        {"SELCHAN(OBJECT(1, 2), 0)", "v(i:65543)"},
                        {"SELCHAN(CHAN(\"FLOW\"), 0)", "v(i:65543)"},
                        {"var s = SELCHAN(0, 1, 2); NAME(s[0]);", "s:PRESS"},
                        {"SELCHAN(0)", "#SELCHAN:ARGS#"},
                        {"SELCHAN(0, 1, 0, 0)", "#SELCHAN:ARGS#"},
                        {"SELCHAN(5, 0)", "#SELCHAN:ARG#"},
                        {"SELCHAN(\"N0\", 0)", "#SELCHAN:ARG#"},
                        {"SELCHAN(0, 1, 9)", "#SELCHAN:ERROR#"},
                        {"SELCHAN(7, 1, 0)", "#SELCHAN:ERROR#"},
                    });
}

// An argument that produced no value: the presence checks name it.
TEST(SelectChannels, AbsentArguments) {
  fake_source source;
  fake_context context;
  context.source = &source;
  const anyval none;
  struct row {
    const char* name;
    anyval_list args;
    const char* expect;
  };
  const std::vector<row> rows = {
      {"SELCHAN", {anyval::from_int(0), none, anyval::from_int(0)}, "#SELCHAN:ARG#"},
      {"SELCHAN", {none, anyval::from_int(0)}, "#SELCHAN:ARG#"},
      {"EVENTS", {none}, "#EVENTS:ARGS#"},
      {"EVENTS", {anyval::from_int(0), none}, "#EVENTS:ARGS#"},
      {"CHAN", {none}, "(silent)"},
      {"CHAN", {anyval::from_string("TEMP"), none}, "#CHAN:BAD ATTR#"},
      {"CHAN", {anyval::from_string("TEMP"), anyval::from_int(0), none, none}, "#CHAN:BAD NODE#"},
      {"CHAN", {anyval::from_string("TEMP"), anyval::from_int(0), anyval::from_int(0), none}, "#CHAN:BAD OBJ#"},
      {"NAME", {none}, "#NAME:ARGS#"},
      {"OBJECT", {anyval::from_int(0), none}, "#OBJECT:ARGS#"},
      {"GETVAL", {none}, "#GETVAL:ARGS#"},
      {"READVAL", {anyval::from_int(5), none}, "#READVAL:ARGS#"},
      {"LASTVAL", {anyval::from_int(5), anyval::from_int(1), none}, "#LASTVAL:ARGS#"},
      {"RNSTAT", {anyval::from_int(5), none, anyval::from_int(1)}, "#RSTAT:ARGS#"},
      {"TIME", {none}, "#TIME:ARG#"},
      {"READLIST", {none}, "#READLIST:ARGS#"},
      {"ETYPE", {none}, "#ETYPE:ARGS#"},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.name);
    anyval result;
    EXPECT_EQ(call_library(context, r.name, r.args, result), r.expect);
  }
  EXPECT_EQ(source.log, "");  // no absent argument reaches the source
}

}  // namespace
}  // namespace quillet::test
