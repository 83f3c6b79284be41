// The template processor: set-up and its messages, the REFRESH setting, output names, the
// output bound and the failures of generation.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "doc/html_printer.h"
#include "report/html_dyn_elt.h"
#include "tests/report/report_test_util.h"

namespace quillet::test {
namespace {

struct message_row {
  const char* name;
  const char* head;
  const char* body;
  std::vector<std::string> messages;
  const char* body_out;
};

const message_row message_rows[] = {
    {"no problem", "<!--$VX VAR NAME=a VALUE=%{1}%-->", "<B><!--$VX ELT VALUE=%{@a+1}%--></B>", {}, "<B>2</B>"},
    {"unknown function in a variable stays a variable",
     "<!--$VX VAR NAME=a VALUE=%{NOSUCH(1)}%-->",
     "<B><!--$VX ELT VALUE=%{@a}%--></B>",
     {"unknown function: NOSUCH\n", "compute error (VALUE): #UNK:NOSUCH:#\n"},
     "<B>#UNK:NOSUCH:#</B>"},
    {"unknown user function", "", "<B><!--$VX ELT VALUE=%{@b}%--></B>",
     {"unknown user function: b\n", "compute error (VALUE): #UNK:b:#\n"}, "<B>#UNK:b:#</B>"},
    {"two variables calling each other are both reported once",
     "<!--$VX VAR NAME=a VALUE=%{@b}%--><!--$VX VAR NAME=b VALUE=%{@a}%--><!--$VX VAR NAME=c VALUE=%{@a}%-->",
     "",
     {"recursive function: a\n", "recursive function: b\n"},
     ""},
    {"a recursive variable evaluates to its marker", "<!--$VX VAR NAME=f VALUE=%{@f+1}%-->",
     "<B><!--$VX ELT VALUE=%{@f}%--></B>",
     {"recursive function: f\n", "compute error (VALUE): #RECURS:f#\n"},
     "<B>#RECURS:f#</B>"},
    {"failing attribute is reported and adds nothing", "", "<B><!--$VX ELT ATTR.X=%{@zz}%-->x</B>",
     {"unknown user function: zz\n", "compute error (ATTR.X): #UNK:zz:#\n"}, "<B>x</B>"},
    {"channel function without a data source", "", "<B><!--$VX ELT VALUE=%{TIME()}%--></B>", {}, "<B>0</B>"},
};

TEST(Processor, SetupAndEvaluationMessages) {
  for (const message_row& row : message_rows) {
    SCOPED_TRACE(row.name);
    keeping_sink sink;
    std::string html = std::string("<HTML><HEAD>") + row.head + "</HEAD><BODY>" + row.body + "</BODY></HTML>";
    EXPECT_EQ(body_of(report_of(html, sink)), row.body_out);
    EXPECT_EQ(sink.messages, row.messages);
  }
}

struct refresh_row {
  const char* setting;
  const char* head_out;
};

const refresh_row refresh_rows[] = {
    {"\"30\"", "<TITLE>t</TITLE><META HTTP-EQUIV=REFRESH CONTENT=30>"},
    {"\"0\"", "<TITLE>t</TITLE>"},
    {"\"-5\"", "<TITLE>t</TITLE>"},
    {"\"soon\"", "<TITLE>t</TITLE>"},
    {"\"12abc\"", "<TITLE>t</TITLE><META HTTP-EQUIV=REFRESH CONTENT=12>"},
    {nullptr, "<TITLE>t</TITLE>"},
};

TEST(Processor, RefreshAddsMetaAtTheEndOfHead) {
  for (const refresh_row& row : refresh_rows) {
    SCOPED_TRACE(row.setting ? row.setting : "(none)");
    std::string doc_comment =
        row.setting ? std::string("<!--$VX DOC PRJ=%{\"p.prj\"}%\r\n REFRESH=%{") + row.setting + "}%-->" : "";
    std::string report = report_of("<HTML><HEAD>" + doc_comment + "<TITLE>t</TITLE></HEAD><BODY></BODY></HTML>");
    std::size_t start = report.find("<HEAD>") + 6;
    EXPECT_EQ(report.substr(start, report.find("</HEAD>") - start), row.head_out);
  }
}

TEST(Processor, ReadsProjectAndVariables) {
  auto doc = read_document(
      "<HTML><HEAD><!--$VX DOC PRJ=%{\"plant.prj\"}%\r\n REFRESH=%{\"0\"}%-->"
      "<!--$VX VAR NAME=a VALUE=%{1}%--><!--$VX VAR NAME=b VALUE=%{2}%--></HEAD>"
      "<BODY><P><!--$VX ELT VALUE=%{1}%--></P><UL><LI>x</LI></UL><DIV>plain</DIV></BODY></HTML>");
  htdoc_processor processor;
  EXPECT_TRUE(processor.setup(*doc));
  EXPECT_EQ(processor.project(), "plant.prj");
  ASSERT_EQ(processor.variables().size(), 2u);
  EXPECT_EQ(processor.variables()[0]->name, "a");
  EXPECT_EQ(processor.variables()[1]->name, "b");
  EXPECT_EQ(processor.dyn_elements().size(), 2u);  // P and LI
  processor.reset();
  EXPECT_TRUE(processor.project().empty());
  EXPECT_TRUE(processor.variables().empty());
  EXPECT_TRUE(processor.dyn_elements().empty());
  EXPECT_EQ(processor.document(), nullptr);
  doc->clear();
}

TEST(Processor, WizardParametersAreSubstituted) {
  std::string report = report_of(
      "<HTML><HEAD><!--$VX WIZ CLSID=%{\"{1}\"}%\r\n NAME=%{\"Obj\"}%-->"
      "<!--$VX WPARM NAME=%{\"N\"}%\r\n VALUE=%{7}%-->"
      "<!--$VX VAR NAME=v VALUE=%{{$N}*2}%--></HEAD>"
      "<BODY><B><!--$VX ELT VALUE=%{@v+{$N}}%--></B></BODY></HTML>");
  EXPECT_EQ(body_of(report), "<B>21</B>");
}

struct name_row {
  const char* base;
  const char* report;
  std::vector<std::string> extra;
};

const name_row name_rows[] = {
    {"", "0.htm", {"1.png"}},
    {"r", "r.htm", {"r_1.png"}},
};

// An element that asks for an extra output name each time it is written, as an embedded
// control does for its image.
class naming_elt : public html_dyn_elt_generic {
public:
  using html_dyn_elt_generic::html_dyn_elt_generic;
  void print_once(html_obj_printer& p) override { p.write(processor->next_output_name(".png") + ";"); }
};

TEST(Processor, OutputNames) {
  for (const name_row& row : name_rows) {
    SCOPED_TRACE(row.report);
    scratch_dir dir;
    auto doc = read_document("<HTML><BODY></BODY></HTML>");
    htdoc_processor processor;
    processor.setup(*doc);
    auto* element = new naming_elt(find_tag_def("IMG"));
    element->processor = &processor;
    append_node(doc->body->children, element);
    std::vector<std::string> generated;
    htdoc_run run;
    run.output_dir = dir.path;
    run.base_name = row.base;
    run.extension = ".htm";
    run.generated = &generated;
    for (int pass = 0; pass < 2; ++pass) {  // numbering starts again with every run
      generated.clear();
      ASSERT_TRUE(processor.generate(run));
      EXPECT_EQ(dir.read(row.report), "<HTML><HEAD>\r\n</HEAD>\r\n<BODY>" + row.extra[0] + ";</BODY></HTML>");
      EXPECT_EQ(generated, std::vector<std::string>{row.extra[0]});
    }
    run.generated = nullptr;
    processor.generate(run);
    EXPECT_EQ(processor.name_counter(), 1);
    EXPECT_EQ(generated, std::vector<std::string>{row.extra[0]});
    processor.reset();
    doc->clear();
  }
}

TEST(Processor, JoinsOutputPaths) {
  const std::pair<const char*, const char*> rows[] = {
      {"", "a.htm"}, {"out", "out/a.htm"}, {"out/", "out/a.htm"}, {"out\\", "out\\a.htm"}};
  for (const auto& [dir, joined] : rows) {
    SCOPED_TRACE(dir);
    EXPECT_EQ(htdoc_join_path(dir, "a.htm"), joined);
  }
}

TEST(Processor, GenerateFailures) {
  htdoc_processor processor;
  htdoc_run run;
  EXPECT_FALSE(processor.generate(run));  // no document
  auto doc = read_document("<HTML><BODY>x</BODY></HTML>");
  processor.setup(*doc);
  run.output_dir = "/nonexistent-folder/for/quillet";
  EXPECT_FALSE(processor.generate(run));
  EXPECT_EQ(processor.run(), nullptr);
  processor.reset();
  doc->clear();
}

// A report written where a previous one lies replaces its content. A plain file is made
// anew; a symbolic link or a file with a second name is written through, so the link and
// the other name stay and show the new report.
TEST(Processor, ReplacesAPreviousReportOrLinkWithoutWritingThrough) {
  enum class previous { none, plain, symlink, hard_link };
  for (previous form : {previous::none, previous::plain, previous::symlink, previous::hard_link}) {
    SCOPED_TRACE(static_cast<int>(form));
    body_run t("new");
    const std::string report = t.dir.path + "/r.htm", other = t.dir.path + "/other.htm";
    if (form != previous::none) {
      std::ofstream(form == previous::plain ? report : other) << std::string(100000, 'x');
      if (form == previous::symlink)
        std::filesystem::create_symlink(other, report);
      if (form == previous::hard_link)
        std::filesystem::create_hard_link(other, report);
    }
    ASSERT_TRUE(t.processor.generate(t.run));
    const std::string expected = "<HTML><HEAD>\r\n</HEAD>\r\n<BODY>new</BODY></HTML>";
    EXPECT_EQ(t.report(), expected);
    EXPECT_FALSE(std::filesystem::is_symlink(report));
    if (form == previous::symlink || form == previous::hard_link) {
      EXPECT_EQ(t.dir.read("other.htm"), std::string(100000, 'x'));
    }
  }
}

struct bound_row {
  const char* name;
  const char* body;
  std::uint64_t bound;
  bool ok;
};

const bound_row bound_rows[] = {
    {"small report under the bound", "<B>x</B>", 1000, true},
    {"no bound", "<B><!--$VX ELT REPEAT=%{20000}%-->x</B>", 0, true},
    {"repeat past the bound stops", "<B><!--$VX ELT REPEAT=%{2000000000}%-->x</B>", 100000, false},
    {"rows past the bound stop",
     "<TABLE><TR><TD><!--$VX ELT ROWS=%{2000000000}%\r\n COLS=%{2000000000}%-->x</TD></TR></TABLE>", 100000, false},
    {"list items past the bound stop", "<UL><LI><!--$VX ELT ROWS=%{2000000000}%-->x</LI></UL>", 100000, false},
};

TEST(Processor, OutputBoundStopsTheRun) {
  for (const bound_row& row : bound_rows) {
    SCOPED_TRACE(row.name);
    body_run t(row.body);
    t.run.max_output = row.bound;
    EXPECT_EQ(t.processor.generate(t.run), row.ok);
    EXPECT_EQ(t.processor.output_limit_reached(), !row.ok);
    if (row.bound) {
      EXPECT_LE(t.report().size(), row.bound);
    }
  }
}

}  // namespace
}  // namespace quillet::test

namespace quillet::test {
namespace {

// Dynamic elements nested past the limit stay plain and the report is still written.
TEST(Processor, DeepNestingIsWrittenWithoutRecursion) {
  const int depths[] = {10, htdoc_processor::max_dynamic_nesting + 5, 20000};
  for (int depth : depths) {
    SCOPED_TRACE(depth);
    std::string body;
    for (int i = 0; i < depth; ++i)
      body += "<UL><LI>";
    body += "x";
    keeping_sink sink;
    std::string out = body_report(body, sink);
    std::size_t items = 0;
    for (std::size_t at = out.find("<LI>"); at != std::string::npos; at = out.find("<LI>", at + 1))
      ++items;
    EXPECT_EQ(items, static_cast<std::size_t>(depth));
    EXPECT_NE(out.find("<LI>x</LI>"), std::string::npos);
    bool limited = depth > htdoc_processor::max_dynamic_nesting;
    std::vector<std::string> expected;
    if (limited)
      expected.push_back("nesting too deep: dynamic elements below 200 levels are written as they are\n");
    EXPECT_EQ(sink.messages, expected);
  }
}

}  // namespace
}  // namespace quillet::test
