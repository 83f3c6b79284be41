// The bound on repetitions of a run: a huge REPEAT, ROWS or COLS of small elements stops
// after run.max_repetitions, failing the run, with or without a bound on the output's size.
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
    scratch_dir dir;
    auto doc = read_document(std::string("<HTML><BODY>") + row.body + "</BODY></HTML>");
    htdoc_processor processor;
    processor.setup(*doc);
    htdoc_run run;
    run.output_dir = dir.path;
    run.base_name = "r";
    run.max_repetitions = row.max_repetitions;
    run.max_output = row.max_output;
    EXPECT_EQ(processor.generate(run), row.ok);
    EXPECT_EQ(processor.repetition_limit_reached(), row.repetition_limit);
    EXPECT_LE(dir.read("r.htm").size(), row.most_bytes);
    EXPECT_FALSE(processor.stopped() && row.ok);
    processor.reset();
    doc->clear();
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(20));
  }
}

// A later run starts with the whole bound again.
TEST(RepetitionBounds, EachRunHasItsOwnCount) {
  scratch_dir dir;
  auto doc = read_document("<HTML><BODY><SPAN><!--$VX ELT REPEAT=%{60}%--></SPAN></BODY></HTML>");
  htdoc_processor processor;
  processor.setup(*doc);
  htdoc_run run;
  run.output_dir = dir.path;
  run.base_name = "r";
  run.max_repetitions = 100;
  EXPECT_TRUE(processor.generate(run));
  EXPECT_TRUE(processor.generate(run));
  EXPECT_FALSE(processor.repetition_limit_reached());
  processor.reset();
  doc->clear();
}

}  // namespace
}  // namespace quillet::test
