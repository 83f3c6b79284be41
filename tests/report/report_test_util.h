// Helpers for the report tests: a template from text, prepared and written into a scratch
// folder, the report read back, and a sink that keeps the processor's messages.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "doc/html_document.h"
#include "report/htdoc_processor.h"

namespace quillet::test {

class keeping_sink : public txl_diagnostic_sink {
public:
  void print(std::string_view message) override { messages.emplace_back(message); }
  void report(const txl_diagnostic& d) override {
    print(d.message);
    offsets.push_back(txl_diagnostic_offset(d));
  }
  std::vector<std::string> messages;
  std::vector<std::uint32_t> offsets;  // the file offset each message names, when it names one
};

// A folder under the system's temporary folder, removed with everything in it at the end.
class scratch_dir {
public:
  scratch_dir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quillet-report-XXXXXX").string();
    path = ::mkdtemp(pattern.data()) ? pattern : std::string();
  }
  ~scratch_dir() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
  std::string read(const std::string& name) const {
    std::ifstream in(path + "/" + name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }
  bool exists(const std::string& name) const { return std::filesystem::exists(path + "/" + name); }
  std::string path;
};

inline rc_ptr<html_document> read_document(std::string_view html) {
  auto doc = make_rc<html_document>();
  std::istringstream in{std::string(html)};
  doc->read(in);
  return doc;
}

// A processor set up over a template whose BODY holds `body`, and a run that writes "r.htm"
// into a scratch folder; the processor and the document are let go in order at the end.
struct body_run {
  explicit body_run(std::string_view body)
      : doc(read_document("<HTML><BODY>" + std::string(body) + "</BODY></HTML>")) {
    processor.setup(*doc);
    run.output_dir = dir.path;
    run.base_name = "r";
  }
  ~body_run() {
    processor.reset();
    doc->clear();
  }
  body_run(const body_run&) = delete;
  body_run& operator=(const body_run&) = delete;
  std::string report() const { return dir.read("r.htm"); }

  scratch_dir dir;
  rc_ptr<html_document> doc;
  htdoc_processor processor;
  htdoc_run run;
};

// The text between "<BODY>" and "</BODY>" of a report, or the whole report without them.
inline std::string body_of(const std::string& report) {
  std::size_t start = report.find("<BODY>");
  std::size_t end = report.rfind("</BODY>");
  if (start == std::string::npos || end == std::string::npos || end < start)
    return report;
  return report.substr(start + 6, end - start - 6);
}

// Sets up a processor over the template and writes the report; the report text, or
// "(generate failed)".
inline std::string report_of(std::string_view html, txl_diagnostic_sink& sink = discard_diagnostics()) {
  scratch_dir dir;
  auto doc = read_document(html);
  htdoc_processor processor(sink);
  processor.setup(*doc);
  htdoc_run run;
  run.output_dir = dir.path;
  run.base_name = "r";
  bool ok = processor.generate(run);
  processor.reset();
  doc->clear();
  return ok ? dir.read("r.htm") : std::string("(generate failed)");
}

// The body of the report of a template whose body is `body`.
inline std::string body_report(std::string_view body, txl_diagnostic_sink& sink = discard_diagnostics()) {
  std::string html = "<HTML><HEAD></HEAD><BODY>";
  html.append(body);
  html += "</BODY></HTML>";
  return body_of(report_of(html, sink));
}

}  // namespace quillet::test
