// quillet report: produce one report from a template into an output folder. Without a data
// source yet, channel functions show their "NULL DATASRC" markers. The output is bounded; a
// run that fails removes what it wrote.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <iostream>
#include <string>

#include "app/commands.h"
#include "app/option_values.h"
#include "app/template_input.h"
#include "report/report_run.h"
#include "doc/html_document.h"
#include "report/htdoc_processor.h"

namespace quillet::app {

namespace {

const char report_usage[] =
    "usage: quillet report TEMPLATE [-o|--out DIR] [--name BASE] [--ext .htm] [--time T]\n"
    "                      [--project FILE] [--store STORE] [--log] [--strict] [--max-output N]\n"
    "                      [--max-loop N] [--max-input N] [--restrict-files]\n\n"
    "Channel data come from the simulated data source over a project: --project, else the\n"
    "template's PRJ setting (relative to its folder), else the bundled demo project. With\n"
    "--store (sqlite:PATH or postgresql://...), or the template's STORE setting, they come\n"
    "from that history store instead, read as one snapshot.\n"
    "Produces one report from TEMPLATE ('-': standard input, named 'report' unless --name\n"
    "says otherwise) and prints its path. --out (-o) is the folder of the report\n"
    "(default: the current folder; created when missing), --name its base name (default: the\n"
    "template's), --ext its extension (default .htm). --time is the report time, seconds since\n"
    "1970 or a local time YYYY-MM-DD[THH:MM[:SS]] (default: now). --log sends the processor's\n"
    "diagnostics to stderr, each as 'TEMPLATE:LINE:COLUMN: message' with the place of the call\n"
    "or property it is about (line and column from 1, in bytes). --max-output bounds the size\n"
    "in bytes of the report and its pictures together (suffix K, M or G; default 1G); a run\n"
    "past it writes nothing. --max-input bounds the template's size (default 256M). --max-loop\n"
    "bounds the loop iterations, user-function calls and READLIST lines of all the run's\n"
    "expressions together (default 100000000; 0: no bound): a loop, call or list that would\n"
    "pass it, and every later one, fails with #LOOP#. --restrict-files lets READLIST read only\n"
    "files in the template's folder and its subfolders (links and '..' resolved first), for\n"
    "hosts that run templates written by others. A run that meets problems (expressions that\n"
    "do not compile or bind, evaluations that fail) says how many on stderr; --strict makes\n"
    "them fail the run (exit 3) and writes no report. Exit 0 on success, 1 when the template\n"
    "cannot be read or the report cannot be written, 2 when the command line is wrong.\n"
    "The report and its pictures replace earlier files of their names only when the whole\n"
    "run succeeded; a run never replaces its template, project or list files.\n";

struct report_options {
  std::string input;
  std::string out_dir = ".";
  std::string name;
  std::string ext = ".htm";
  std::string project;
  std::string store;
  std::uint32_t time = 0;
  bool have_time = false;
  bool log = false;
  bool strict = false;
  std::uint64_t max_output = std::uint64_t{1} << 30;
  std::uint64_t max_input = default_max_input;
  std::int64_t max_loop = htdoc_run{}.max_loop_iterations;
  bool restrict_files = false;
};

// A count of at most 15 decimal digits, 0 included.
bool parse_count(const std::string& text, std::int64_t& out) {
  if (text.empty() || text.size() > 15 || text.find_first_not_of("0123456789") != std::string::npos)
    return false;
  out = static_cast<std::int64_t>(std::strtoull(text.c_str(), nullptr, 10));
  return true;
}

// Checks one option's value; false after a message naming it.
bool take_value(const std::string& option, const std::string& value, report_options& out) {
  std::string why;
  if (option == "--out")
    out.out_dir = value;
  else if (option == "--name")
    out.name = value;
  else if (option == "--ext")
    out.ext = report_extension(value);
  else if (option == "--project")
    out.project = value;
  else if (option == "--store")
    out.store = value;
  else if (option == "--time")
    out.have_time = parse_report_time(value, out.time, why);
  else if (option == "--max-output" && !parse_size(value, out.max_output)) {
    std::fprintf(stderr, "quillet report: '%s' is not a size for --max-output (bytes, suffix K, M or G).\n", value.c_str());
    return false;
  } else if (option == "--max-input" && !parse_size(value, out.max_input)) {
    std::fprintf(stderr, "quillet report: '%s' is not a size for --max-input (bytes, suffix K, M or G).\n", value.c_str());
    return false;
  } else if (option == "--max-loop" && !parse_count(value, out.max_loop)) {
    std::fprintf(stderr, "quillet report: '%s' is not a count for --max-loop (up to 15 digits; 0: no bound).\n",
                 value.c_str());
    return false;
  }
  if (option == "--time" && !out.have_time) {
    if (why.empty())
      why = "seconds since 1970 or YYYY-MM-DDTHH:MM:SS";
    std::fprintf(stderr, "quillet report: '%s' is not a time for --time (%s).\n", value.c_str(), why.c_str());
    return false;
  }
  if ((option == "--name" && (value.empty() || value.find('/') != std::string::npos)) ||
      (option == "--ext" && value.find('/') != std::string::npos)) {
    std::fprintf(stderr, "quillet report: '%s' is not a file name for %s.\n", value.c_str(), option.c_str());
    return false;
  }
  return true;
}

const std::vector<std::string_view> report_option_names = {
    "--out", "--name", "--ext", "--time", "--max-output", "--max-input", "--max-loop", "--project", "--store", "--log",
    "--strict", "--restrict-files"};

// Reads the command line; "-o" is "--out", "-" the standard input, "--" ends the options.
bool parse_report_args(const arg_list& args, report_options& o) {
  bool options = true;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string a = args[i] == "-o" && options ? "--out" : args[i];
    bool takes_value = options && (a == "--out" || a == "--name" || a == "--ext" || a == "--time" ||
                                   a == "--max-output" || a == "--max-input" || a == "--max-loop" ||
                                   a == "--project" || a == "--store");
    if (takes_value && i + 1 >= args.size()) {
      std::fprintf(stderr, "quillet report: %s needs a value.\n", args[i].c_str());
      return false;
    }
    if (takes_value) {
      if (!take_value(a, args[++i], o))
        return false;
    } else if (options && a == "--") {
      options = false;
    } else if (options && a == "--log") {
      o.log = true;
    } else if (options && a == "--strict") {
      o.strict = true;
    } else if (options && a == "--restrict-files") {
      o.restrict_files = true;
    } else if (options && a.size() > 1 && a[0] == '-') {
      std::string hint = did_you_mean(a, report_option_names);
      std::fprintf(stderr, "quillet report: unknown option '%s'%s\n", a.c_str(), hint.empty() ? "." : hint.c_str());
      return false;
    } else if (o.input.empty()) {
      o.input = a;
    } else {
      std::fprintf(stderr, "quillet report: only one TEMPLATE may be given ('%s' is extra).\n", a.c_str());
      return false;
    }
  }
  if (o.input.empty())
    std::fprintf(stderr, "quillet report: no TEMPLATE given; 'quillet report --help' shows the usage.\n");
  return !o.input.empty();
}

// Prints each diagnostic on stderr after the place in the template it names.
class stderr_sink : public txl_diagnostic_sink {
public:
  explicit stderr_sink(template_places& places) : places_(places) {}
  void print(std::string_view message) override { report({message}); }
  void report(const txl_diagnostic& d) override {
    std::string line = places_.prefix(txl_diagnostic_offset(d));
    line.append(d.message);
    std::fwrite(line.data(), 1, line.size(), stderr);
  }

private:
  template_places& places_;
};

std::string counted(int n, const char* what) { return std::to_string(n) + " " + what + (n == 1 ? "" : "s"); }

// "3 problems: 2 compile errors, 1 evaluation error"; empty when the run met none.
std::string problem_summary(const report_result& r) {
  const int compile = count_problems(r.problems, report_problem_kind::compile);
  const int evaluation = count_problems(r.problems, report_problem_kind::evaluation);
  if (!compile && !evaluation)
    return {};
  std::string text = counted(compile + evaluation, "problem") + ":";
  if (compile)
    text += " " + counted(compile, "compile error") + (evaluation ? "," : "");
  if (evaluation)
    text += " " + counted(evaluation, "evaluation error");
  return text;
}

// The run's failure as one message on stderr.
void report_failure_message(const report_result& r, const report_request& q, const std::string& input) {
  switch (r.failure) {
  case report_failure::none: return;
  case report_failure::not_html:
    std::fprintf(stderr, "quillet report: '%s' is not an HTML document: its first element is not <HTML>.\n",
                 input.c_str());
    return;
  case report_failure::project:
    std::fprintf(stderr, "quillet report: cannot load the project: %s.\n", r.error.c_str());
    return;
  case report_failure::store:
    std::fprintf(stderr, "quillet report: cannot open the history store: %s.\n", r.error.c_str());
    return;
  case report_failure::repetitions:
    std::fprintf(stderr, "quillet report: the report passed the limit of %lld element repetitions; '%s' was not written.\n",
                 static_cast<long long>(htdoc_run{}.max_repetitions), r.report_path.c_str());
    return;
  case report_failure::output_limit:
    std::fprintf(stderr, "quillet report: the report passed the output limit of %llu bytes (--max-output); '%s' was not written.\n",
                 static_cast<unsigned long long>(q.max_output), r.report_path.c_str());
    return;
  case report_failure::write:
    std::fprintf(stderr, "quillet report: cannot write %s.\n", r.error.c_str());
    return;
  case report_failure::strict:
    std::fprintf(stderr, "quillet report: %s%s; no report was written (--strict).\n", problem_summary(r).c_str(),
                 q.log ? " (listed above)" : "; --log lists them");
    return;
  }
}

}  // namespace

int run_report(const arg_list& args) {
  if (wants_help(args)) {
    std::fputs(report_usage, stdout);
    return 0;
  }
  report_options o;
  if (!parse_report_args(args, o))
    return 2;
  report_request request;
  if (!read_template_bytes("report", o.input, o.max_input, request.template_text))
    return 1;
  std::error_code ec;
  std::filesystem::create_directories(o.out_dir, ec);
  if (ec || !std::filesystem::is_directory(o.out_dir)) {
    std::fprintf(stderr, "quillet report: cannot create the folder '%s': %s.\n", o.out_dir.c_str(),
                 ec ? ec.message().c_str() : "a file of that name exists");
    return 1;
  }
  std::filesystem::path input(o.input);
  // Only the log's messages need the template's text.
  template_places places(o.input, o.log ? request.template_text : std::string());
  stderr_sink log_sink(places);
  request.template_dir = input.has_parent_path() ? input.parent_path().string() : std::string(".");
  request.template_path = o.input == "-" ? std::string() : o.input;
  request.project = o.project;
  request.store = o.store;
  request.read_store_setting = true;
  request.time = o.have_time ? o.time : static_cast<std::uint32_t>(std::time(nullptr));
  request.output_dir = o.out_dir;
  request.base_name = !o.name.empty() ? o.name : o.input == "-" ? std::string("report") : input.stem().string();
  request.extension = o.ext;
  request.max_output = o.max_output;
  request.max_loop_iterations = o.max_loop;
  request.log = o.log ? &log_sink : nullptr;
  request.collect_problems = true;
  request.strict = o.strict;
  request.restrict_files = o.restrict_files;
  report_result result = produce_report(request);
  if (!result.warning.empty())
    std::fprintf(stderr, "quillet: %s.\n", result.warning.c_str());
  if (result.loop_limit_reached)
    std::fprintf(stderr, "quillet report: the expressions used up the limit of %lld steps (--max-loop: loop "
                 "iterations, user-function calls and READLIST lines together) with %s; those that needed more "
                 "show #LOOP#.\n", static_cast<long long>(o.max_loop), result.loop_limit_work.c_str());
  const std::string summary = problem_summary(result);
  if (!summary.empty() && result.failure != report_failure::strict)
    std::fprintf(stderr, "quillet report: %s%s\n", summary.c_str(), o.log ? " (listed above)." : "; --log lists them.");
  if (result.ok()) {
    std::printf("%s\n", result.report_path.c_str());
    return 0;
  }
  report_failure_message(result, request, o.input);
  return result.failure == report_failure::strict ? 3 : 1;
}

}  // namespace quillet::app
