// One report run, the sequence the command line and the editor's preview share: read the
// template, set up the processor, open the project and the simulated data source, write the
// report and its images under the bounds; a failed run replaces nothing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "txl/diagnostic_sink.h"

namespace quillet {

struct report_request {
  std::string template_text;  // the template's bytes
  std::string template_dir;   // where PRJ and READLIST names resolve; "." when empty
  std::string template_path;  // the template's file, which no output may replace; may be empty
  bool restrict_files = false;  // READLIST reads only in template_dir and below
  std::string project;        // project file; empty: the template's PRJ, else the demo project
  std::string store;          // history store; empty: the template's STORE when read_store_setting,
  bool read_store_setting = false;  // else the simulated source
  std::uint32_t time = 0;     // report time, seconds since 1970
  std::string output_dir;     // must exist
  std::string base_name;      // report name without extension ("0" when empty)
  std::string extension = ".htm";
  std::uint64_t max_output = std::uint64_t{1} << 30;  // bytes; 0: no bound
  std::int64_t max_loop_iterations = 100'000'000;      // 0: no bound
  txl_diagnostic_sink* log = nullptr;  // also receives every diagnostic of the run, when set
  bool collect_problems = false;       // fill report_result::problems
  // Any compile or evaluation problem fails the run (report_failure::strict) and leaves no
  // report; needs collect_problems. With a log, expressions that do not compile are logged too.
  bool strict = false;
};

// What a problem is: found before the run (an expression that does not compile, a directive
// that does not read, a call nothing binds, a recursive variable), an evaluation that failed
// while the report was written, or another message of the run (DEBUG texts, notes).
enum class report_problem_kind { compile, evaluation, note };

// A diagnostic of a run, with the element and property it is in when they are known.
struct report_problem {
  std::string message;
  int element = 0;       // the element's number among those with a definition, 0 when unknown
  std::string property;  // empty when unknown
  report_problem_kind kind = report_problem_kind::note;
};

// How many problems of a kind the run met.
int count_problems(const std::vector<report_problem>& problems, report_problem_kind kind);

enum class report_failure { none, not_html, project, store, output_limit, repetitions, write, strict };

struct report_result {
  report_failure failure = report_failure::none;
  std::string report_path;          // output_dir joined with base_name + extension
  std::vector<std::string> images;  // names of the extra files written beside the report
  std::vector<report_problem> problems;
  std::string error;                // the project's or store's open error, or "'path': why" of a write
  std::string warning;              // the demo project stood in for the template's missing one
  bool loop_limit_reached = false;  // some expression failed with #LOOP#
  std::string loop_limit_work;      // then what reached the bound ("user-function calls", ...)
  bool ok() const { return failure == report_failure::none; }
};

// Runs the request. The report and its extra files replace earlier files of their names only
// when the whole run succeeded; a failed run leaves the output folder as it was.
report_result produce_report(const report_request& request);

}  // namespace quillet
