// The bounds of a run: a huge REPEAT, ROWS or COLS of small elements stops after
// run.max_repetitions, failing the run, with or without a bound on the output's size; loops
// that would pass run.max_loop_iterations fail with "#LOOP#" and the run goes on.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>

#include "tests/report/report_test_util.h"

namespace quillet::test {
namespace {

struct repetition_row {
  const char* name;
  const char* body;
  std::uint64_t max_repetitions;
  std::uint64_t max_output;
  bool ok;
  bool repetition_limit;
  std::size_t most_bytes;  // the report is at most this long
};

const repetition_row repetition_rows[] = {
    {"REPEAT of an empty element", "<SPAN><!--$VX ELT REPEAT=%{2147483647}%--></SPAN>", 1000, 0, false, true, 20000},
    {"ROWS of a list item", "<UL><LI><!--$VX ELT ROWS=%{2147483647}%--></LI></UL>", 1000, 0, false, true, 20000},
    {"ROWS and COLS of a cell",
     "<TABLE><TR><TD><!--$VX ELT ROWS=%{2147483647}%\r\n COLS=%{2147483647}%--></TD></TR></TABLE>", 1000, 0,
     false, true, 20000},
    {"nested REPEATs", "<P><!--$VX ELT REPEAT=%{100000}%--><B><!--$VX ELT REPEAT=%{100000}%--></B></P>", 5000, 0,
     false, true, 100000},
    // 10 rows of 10 cells: 10 row repetitions and 100 cell repetitions.
    {"a table just within the bound",
     "<TABLE><TR><TD><!--$VX ELT ROWS=%{10}%\r\n COLS=%{10}%--></TD></TR></TABLE>", 110, 0, true, false, 2000},
    {"a table just past the bound",
     "<TABLE><TR><TD><!--$VX ELT ROWS=%{10}%\r\n COLS=%{10}%--></TD></TR></TABLE>", 109, 0, false, true, 2000},
    {"no bound", "<SPAN><!--$VX ELT REPEAT=%{5000}%--></SPAN>", 0, 0, true, false, 100000},
    {"the output bound comes first", "<SPAN><!--$VX ELT REPEAT=%{2147483647}%-->x</SPAN>", 1000000, 5000, false,
     false, 5000},
    {"plain elements are not counted", "<SPAN>x</SPAN><B>y</B>", 1, 0, true, false, 200},
};

TEST(RepetitionBounds, HugeCountsStopAtTheRunsBound) {
  for (const repetition_row& row : repetition_rows) {
    SCOPED_TRACE(row.name);
    const auto started = std::chrono::steady_clock::now();
    {
      body_run t(row.body);
      t.run.max_repetitions = row.max_repetitions;
      t.run.max_output = row.max_output;
      EXPECT_EQ(t.processor.generate(t.run), row.ok);
      EXPECT_EQ(t.processor.repetition_limit_reached(), row.repetition_limit);
      EXPECT_LE(t.report().size(), row.most_bytes);
      EXPECT_FALSE(t.processor.stopped() && row.ok);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(20));
  }
}

// A later run starts with the whole bound again.
TEST(RepetitionBounds, EachRunHasItsOwnCount) {
  body_run t("<SPAN><!--$VX ELT REPEAT=%{60}%--></SPAN>");
  t.run.max_repetitions = 100;
  EXPECT_TRUE(t.processor.generate(t.run));
  EXPECT_TRUE(t.processor.generate(t.run));
  EXPECT_FALSE(t.processor.repetition_limit_reached());
}

struct loop_row {
  const char* name;
  const char* body;
  std::int64_t max_loop_iterations;
  const char* report_body;
  bool loop_limit;
};

const char* const endless = "<B><!--$VX ELT VALUE=%{while 1 do 0; 5;}%--></B>";
const char* const ten = "<I><!--$VX ELT VALUE=%{var i = 0; while i < 10 do i = i + 1; i;}%--></I>";
const char* const endless_text = "<B><!--$VX ELT VALUE=%{var s = ''; while 1 do s = s + 'a'; SIZE(s);}%--></B>";

const loop_row loop_rows[] = {
    {"a loop that never ends", endless, 1000, "<B>#LOOP#</B>", true},
    {"a loop of strings that never ends", endless_text, 1000, "<B>#LOOP#</B>", true},
    {"a later loop finds the bound spent", "", 1000, "<B>#LOOP#</B><I>#LOOP#</I>", true},
    {"a loop within the bound", ten, 100, "<I>10</I>", false},
    {"no bound", ten, 0, "<I>10</I>", false},
    {"an earlier loop within the bound", "", 1000000, "<I>10</I><I>10</I>", false},
};

TEST(RepetitionBounds, LoopsStopAtTheRunsBound) {
  for (const loop_row& row : loop_rows) {
    SCOPED_TRACE(row.name);
    const auto started = std::chrono::steady_clock::now();
    std::string body = row.body;
    if (body.empty())  // the two-element rows
      body = row.loop_limit ? std::string(endless) + ten : std::string(ten) + ten;
    {
      body_run t(body);
      t.run.max_loop_iterations = row.max_loop_iterations;
      EXPECT_TRUE(t.processor.generate(t.run));
      EXPECT_EQ(t.processor.loop_limit_reached(), row.loop_limit);
      EXPECT_NE(t.report().find(std::string("<BODY>") + row.report_body + "</BODY>"), std::string::npos)
          << t.report();
    }
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(20));
  }
}

// A later run starts with the whole loop bound again.
TEST(RepetitionBounds, EachRunHasItsOwnLoopBound) {
  body_run t(ten);
  t.run.max_loop_iterations = 15;
  for (int pass = 0; pass < 2; ++pass) {
    EXPECT_TRUE(t.processor.generate(t.run));
    EXPECT_FALSE(t.processor.loop_limit_reached());
  }
}

}  // namespace
}  // namespace quillet::test
