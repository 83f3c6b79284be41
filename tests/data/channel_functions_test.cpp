// Channel functions over the fake source: results, the markers of every failure in their
// order (count and presence, then the source, then its answer), and what reaches the source.
#include <gtest/gtest.h>

#include "data_support.h"

namespace quillet::test {
namespace {

TEST(ChannelFunctions, ReferencesAndNames) {
  fake_source source;
  fake_context context;
  context.source = &source;
  run_rows(context, {
                        {"CHAN(\"TEMP\")", "i:5"},
                        {"CHAN(\"FLOW\", 0, 1, 2)", "i:65543"},
                        {"NAME(CHAN(\"PRESS\"))", "s:PRESS"},
                        {"NODE(CHAN(\"FLOW\"))", "s:N1"},
                        {"OBJECT(CHAN(\"FLOW\"))", "s:OBJ2"},
                        {"ATTR(CHAN(\"TEMP\"))", "s:VALUE"},
                        {"ATTR(CHAN(\"TEMP\", 3))", "s:A3"},
                        {"CHCODE(CHAN(\"TEMP\"))", "s:T-100"},
                        {"CHCODE(CHAN(\"PRESS\"))", "s:comment of PRESS"},
                        {"CHUNIT(CHAN(\"FLOW\"))", "s:m3/h"},
                        {"NAME(CHAN(GETVAL(CHAN(\"PRESS\"))))", "s:PRESS"},
                        {"CHAN(GETVAL(CHAN(\"FLOW\"))) == CHAN(\"FLOW\")", "i:1"},
                        {"var e = EVENTS(0); NAME(CHAN(e[1]));", "s:PRESS"},
                        {"CHAN(READVAL(CHAN(\"TEMP\", 4), 5000))", "i:5"},
                        {"ATTR(CHAN(READVAL(CHAN(\"TEMP\", 4), 5000)))", "s:A4"},
                    });
}

TEST(ChannelFunctions, Markers) {
  fake_source source;
  fake_context context;
  context.source = &source;
  run_rows(context, {
                        {"CHAN()", "#CHAN:ARGS#"},
                        {"CHAN(\"TEMP\", 0, 0, 1, 5)", "#CHAN:ARGS#"},
                        {"CHAN(\"NOPE\")", "#CHAN:BAD CHANNEL#"},
                        {"CHAN(\"FLOW\", 0, 0)", "#CHAN:BAD CHANNEL#"},
                        {"CHAN(5)", "#CHAN:BAD CHANNEL#"},
                        {"NAME()", "#NAME:ARGS#"},
                        {"NAME(1, 2)", "#NAME:ARGS#"},
                        {"NAME(5)", "#NAME: BAD CHANNEL#"},
                        {"NAME(OBJECT(0, 1))", "#NAME: BAD CHANNEL#"},
                        {"NODE()", "#NODE:ARGS#"},
                        {"NODE(\"x\")", "#NODE: BAD CHANNEL#"},
                        {"OBJECT()", "#OBJECT:ARGS#"},
                        {"OBJECT(1, 2, 3)", "#OBJECT:ARGS#"},
                        {"OBJECT(7)", "#OBJECT: BAD CHANNEL#"},
                        {"OBJECT(5, 1)", "#OBJECT: BAD NAME#"},
                        {"ATTR(1, 2)", "#ATTR:ARGS#"},
                        {"ATTR(1)", "#ATTR: BAD CHANNEL#"},
                        {"CHCODE()", "#CHCODE:ARGS#"},
                        {"CHCODE(1)", "#CHCODE: BAD CHANNEL#"},
                        {"CHUNIT()", "#CHUNIT:ARGS#"},
                        {"CHUNIT(1)", "#CHUNIT: BAD CHANNEL#"},
                        {"GETVAL()", "#GETVAL:ARGS#"},
                        {"GETVAL(1)", "#GETVAL:ERROR#"},
                        {"READVAL(CHAN(\"TEMP\"))", "#READVAL:ARGS#"},
                        {"READVAL(CHAN(\"TEMP\"), 1, 2, 3)", "#READVAL:ARGS#"},
                        {"READVAL(CHAN(\"TEMP\"), -5)", "#READVAL:ERROR#"},
                        {"READVAL(LIST(CHAN(\"TEMP\"), CHAN(\"FLOW\")), 100)", "#READVAL:ERROR#"},
                        {"LASTVAL(CHAN(\"TEMP\"))", "#LASTVAL:ARGS#"},
                        {"LASTVAL(CHAN(\"TEMP\"), 100, 50, 1)", "#LASTVAL:ARGS#"},
                        {"LASTVAL(CHAN(\"TEMP\"), \"x\")", "#LASTVAL:ERROR#"},
                        {"RNSTAT(CHAN(\"TEMP\"), 100)", "#RSTAT:ARGS#"},
                        {"RTSTAT(CHAN(\"TEMP\"), 100, 200, 300)", "#RSTAT:ARGS#"},
                        {"RNSTAT(5, 100, 200)", "#RSTAT:ERROR#"},
                        {"RTSTAT(CHAN(\"TEMP\"), 0, 200)", "#RSTAT:ERROR#"},
                    });
}

// Without a source the count checks still come first; everything else names the source.
TEST(ChannelFunctions, WithoutDataSource) {
  fake_context context;
  run_rows(context, {
                        {"CHAN(\"X\")", "#CHAN:NULL DATASRC#"},
                        {"CHAN()", "#CHAN:ARGS#"},
                        {"NAME(1)", "#NAME:NULL DATASRC#"},
                        {"NAME()", "#NAME:ARGS#"},
                        {"NODE(1)", "#NODE:NULL DATASRC#"},
                        {"OBJECT(1)", "#OBJECT:NULL DATASRC#"},
                        {"OBJECT(1, 2)", "#OBJECT:NULL DATASRC#"},
                        {"ATTR(1)", "#ATTR:NULL DATASRC#"},
                        {"CHCODE(1)", "#CHCODE:NULL DATASRC#"},
                        {"CHUNIT(1)", "#CHUNIT:NULL DATASRC#"},
                        {"GETVAL(1)", "#GETVAL:NULL DATASRC#"},
                        {"READVAL(1, 2)", "#READVAL:NULL DATASRC#"},
                        {"READVAL(1)", "#READVAL:ARGS#"},
                        {"LASTVAL(1, 2, 3)", "#LASTVAL:NULL DATASRC#"},
                        {"RNSTAT(1, 2, 3)", "#RSTAT:NULL DATASRC#"},
                        {"RTSTAT(1, 2, 3)", "#RSTAT:NULL DATASRC#"},
                        {"SELCHAN(1, 2, 3)", "#SELCHAN:NULL DATASRC#"},
                        {"EVENTS(0)", "#EVENTS:NULL DATASRC#"},
                        {"ETYPE(1)", "#ETYPE:ARGS#"},
                        {"SEVERITY(1)", "#SEVERITY:ARGS#"},
                        {"TIME()", "f:1700000000"},
                        {"ISSTR(EFILTER())", "i:1"},
                    });
}

// A source that refuses everything yields each function's refusal marker.
TEST(ChannelFunctions, RefusedBySource) {
  fake_source source;
  source.refuse = true;
  fake_context context;
  context.source = &source;
  run_rows(context, {
                        {"CHAN(\"TEMP\")", "#CHAN:BAD CHANNEL#"},
                        {"NAME(1)", "#NAME: BAD CHANNEL#"},
                        {"OBJECT(0, 1)", "#OBJECT: BAD NAME#"},
                        {"GETVAL(1)", "#GETVAL:ERROR#"},
                        {"READVAL(1, 100, 200)", "#READVAL:ERROR#"},
                        {"LASTVAL(1, 100)", "#LASTVAL:ERROR#"},
                        {"RTSTAT(1, 100, 200)", "#RSTAT:ERROR#"},
                        {"SELCHAN(0, 1, 0)", "#SELCHAN:ERROR#"},
                        {"EVENTS(0)", "#EVENTS: ERROR#"},
                    });
}

// What each function hands the source: trailing arguments left out arrive as absent values.
TEST(ChannelFunctions, ArgumentsReachTheSource) {
  struct row {
    const char* text;
    const char* log;
  };
  const std::vector<row> rows = {
      {"CHAN(\"TEMP\")", "make_channel_ref(s:TEMP,-,-,-);"},
      {"CHAN(\"TEMP\", 2)", "make_channel_ref(s:TEMP,i:2,-,-);"},
      {"CHAN(\"TEMP\", 0, \"N0\", 1)", "make_channel_ref(s:TEMP,i:0,s:N0,i:1);"},
      {"READVAL(5, 100)", "read_value_at(i:5,i:100,-);"},
      {"READVAL(5, 100, 200)", "read_values(i:5,i:100,i:200);"},
      {"LASTVAL(5, 100)", "read_value_at(i:5,i:100,-);"},
      {"LASTVAL(5, 100, 50)", "read_value_at(i:5,i:100,i:50);"},
      {"RNSTAT(5, 100, 200)", "statistics(i:5,i:100,i:200,0);"},
      {"RTSTAT(5, 100, 200)", "statistics(i:5,i:100,i:200,1);"},
      {"SELCHAN(0, 1, 0)", "select_channels(i:0,i:1,i:0);"},
      {"SELCHAN(OBJECT(1, 2), 3)", "select_channels(i:1,i:2,i:3);"},
      {"SELCHAN(CHAN(\"TEMP\"), 0)", "make_channel_ref(s:TEMP,-,-,-);select_channels(i:0,i:1,i:0);"},
      {"EVENTS(1)", "events(i:1,-);"},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.text);
    fake_source source;
    fake_context context;
    context.source = &source;
    context.eval(r.text);
    EXPECT_EQ(source.log, r.log);
  }
}

TEST(ChannelFunctions, HistoryReads) {
  fake_source source;
  fake_context context;
  context.source = &source;
  run_rows(context, {
                        {"READVAL(CHAN(\"TEMP\"), 1234.5)", "f:84"},
                        {"TIME(READVAL(CHAN(\"TEMP\"), 1234.5))", "f:1234.5"},
                        {"READVAL(LIST(CHAN(\"TEMP\"), CHAN(\"PRESS\")), 1201)", "v(f:51,f:61)"},
                        {"READVAL(CHAN(\"FLOW\"), 1000, 1003)", "v(f:70,f:71,f:72)"},
                        {"READVAL(CHAN(\"FLOW\"), 1003, 1000)", "v()"},
                        {"LASTVAL(CHAN(\"PRESS\"), 1007, 1000)", "f:67"},
                        {"TIME(GETVAL(CHAN(\"TEMP\")))", "f:1000000.25"},
                        {"TIME(GETVAL(CHAN(\"FLOW\")))", "f:0"},
                        {"RTSTAT(CHAN(\"TEMP\"), 100, 200)", "f:30"},
                        {"AVG(RNSTAT(CHAN(\"TEMP\"), 100, 200))", "f:2"},
                    });
}

// A read longer than a read may return is refused, whoever builds it.
TEST(ChannelFunctions, OversizedAnswersAreRefused) {
  fake_source source;
  fake_context context;
  context.source = &source;
  run_rows(context, {{"READVAL(CHAN(\"FLOW\"), 1000, 1000 + 2000000)", "#READVAL:ERROR#"}});
  source.oversize = 0;
  run_rows(context, {{"SIZE(READVAL(CHAN(\"FLOW\"), 1000, 1001))", "i:1048576"},
                     {"SIZE(SELCHAN(0, 1, 0))", "i:1048576"}});
  source.oversize = 1;
  run_rows(context, {{"READVAL(CHAN(\"FLOW\"), 1000, 1001)", "#READVAL:ERROR#"},
                     {"SELCHAN(0, 1, 0)", "#SELCHAN:ERROR#"}});
}

}  // namespace
}  // namespace quillet::test
