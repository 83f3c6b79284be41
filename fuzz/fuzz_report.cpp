// Fuzzing the whole template processor: the input is a template, set up and generated against
// the simulated data source over the demo project at a fixed time, with a bound on the
// report's size and on loop iterations, into a scratch folder emptied after every run.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "report/report_data.h"
#include "doc/html_document.h"
#include "report/htdoc_processor.h"

namespace {

using namespace quillet;

struct fuzz_setting {
  report_data data;
  std::string dir;
};

// The data source and scratch folder every run shares, made on first use.
fuzz_setting& setting() {
  static fuzz_setting* s = [] {
    auto* made = new fuzz_setting;
    std::string error;
    if (!open_report_data(QUILLET_DEMO_PROJECT_FILE, "", "", 1700000000u, made->data, error)) {
      std::fprintf(stderr, "fuzz_report: %s\n", error.c_str());
      std::abort();
    }
    std::string pattern = (std::filesystem::temp_directory_path() / "quillet-fuzz-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
      std::abort();
    made->dir = pattern;
    return made;
  }();
  return *s;
}

// Removes everything a run wrote.
void empty_folder(const std::string& dir) {
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator(dir, ignored))
    std::filesystem::remove_all(entry.path(), ignored);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz_setting& s = setting();
  rc_ptr<html_document> doc = make_rc<html_document>();
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  if (!doc->read(in))
    return 0;
  {
    htdoc_processor processor;
    processor.setup(*doc);
    std::vector<std::string> generated;
    htdoc_run run;
    run.time = 1700000000u;
    run.source = s.data.source.get();
    run.template_dir = s.dir;
    run.output_dir = s.dir;
    run.base_name = "r";
    run.generated = &generated;
    run.max_output = 1 << 20;
    run.max_loop_iterations = 20000;
    processor.generate(run);
    processor.reset();
  }
  doc->clear();
  empty_folder(s.dir);
  return 0;
}
