// A million-deep template is read, written, turned into a report and freed on a thread with a
// 256 KiB stack: nothing on the way may recurse on the document's depth.
#include <gtest/gtest.h>
#include <pthread.h>

#include <functional>
#include <sstream>
#include <string>

#include "tests/report/report_test_util.h"

namespace quillet::test {
namespace {

constexpr int depth = 1000000;
constexpr std::size_t small_stack = 256 * 1024;

// Runs `work` on a new thread with a 256 KiB stack and waits for it; false when the thread
// cannot be made.
bool run_on_small_stack(const std::function<void()>& work) {
  pthread_attr_t attr;
  if (pthread_attr_init(&attr) != 0)
    return false;
  bool ok = pthread_attr_setstacksize(&attr, small_stack) == 0;
  pthread_t thread;
  auto body = [](void* arg) -> void* {
    (*static_cast<const std::function<void()>*>(arg))();
    return nullptr;
  };
  ok = ok && pthread_create(&thread, &attr, body, const_cast<std::function<void()>*>(&work)) == 0;
  pthread_attr_destroy(&attr);
  return ok && pthread_join(thread, nullptr) == 0;
}

std::string repeat(std::string_view s, int n) {
  std::string out;
  out.reserve(s.size() * static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i)
    out += s;
  return out;
}

struct deep_row {
  const char* name;
  std::string body;
  const char* closing;  // the report ends its body with these end tags
};

// What one row gives on the small stack: the sizes of the written template and the report
// and how the report's body ends, or a failure text.
struct deep_outcome {
  std::size_t written = 0;
  std::size_t report = 0;
  std::string report_end;
  bool has_text = false;  // the innermost "x" reached the report
  std::string failure;
};

void read_write_generate(const deep_row& row, deep_outcome& out) {
  scratch_dir dir;
  rc_ptr<html_document> doc = read_document("<HTML><HEAD></HEAD><BODY>" + row.body + "</BODY></HTML>");
  if (!doc->body) {
    out.failure = "not read";
    return;
  }
  std::ostringstream written;
  doc->write(written, 2);
  out.written = written.str().size();
  htdoc_processor processor;
  processor.setup(*doc);
  htdoc_run run;
  run.output_dir = dir.path;
  run.base_name = "r";
  if (!processor.generate(run))
    out.failure = "generate failed";
  processor.reset();
  doc.reset();
  std::string report = body_of(dir.read("r.htm"));
  out.report = report.size();
  out.has_text = report.find('x') != std::string::npos;
  out.report_end = report.substr(report.size() > 40 ? report.size() - 40 : 0);
}

TEST(DeepDocument, MillionDeepTemplatesOnASmallStack) {
  const deep_row rows[] = {
      {"closed DIVs", repeat("<DIV>", depth) + "x" + repeat("</DIV>", depth), "</DIV></DIV>"},
      {"unclosed Bs", repeat("<B>", depth) + "x", "</B>\r\n</B>\r\n"},
      {"tables in cells", repeat("<TABLE><TR><TD>", depth / 3) + "x", "</TD>\r\n</TR>\r\n</TABLE>\r\n"},
      {"lists in items", repeat("<UL><LI>", depth / 2) + "x", "</LI>\r\n</UL>\r\n"},
      {"dynamic SPANs", repeat("<SPAN><!--$VX ELT REPEAT=%{1}%-->", depth / 10) + "x", "</SPAN>\r\n</SPAN>\r\n"},
  };
  for (const deep_row& r : rows) {
    SCOPED_TRACE(r.name);
    deep_outcome out;
    ASSERT_TRUE(run_on_small_stack([&] { read_write_generate(r, out); }));
    EXPECT_EQ(out.failure, "");
    EXPECT_GT(out.written, r.body.size() / 2);
    EXPECT_GT(out.report, static_cast<std::size_t>(depth / 10));
    EXPECT_TRUE(out.has_text);
    std::string end = r.closing;
    ASSERT_GE(out.report_end.size(), end.size());
    EXPECT_EQ(out.report_end.substr(out.report_end.size() - end.size()), end);
  }
}

}  // namespace
}  // namespace quillet::test
