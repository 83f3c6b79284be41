// The report-run sequence.
#include "report/report_run.h"

#include "doc/html_document.h"
#include "report/htdoc_check.h"
#include "report/htdoc_processor.h"
#include "report/report_data.h"

namespace quillet {

namespace {

// Passes diagnostics on to the request's log with their places and, while `collecting`, keeps
// them as problems; "compute error (NAME): ..." names its property.
class run_sink : public txl_diagnostic_sink {
public:
  run_sink(txl_diagnostic_sink* log, std::vector<report_problem>& problems) : log_(log), problems_(problems) {}
  void print(std::string_view message) override { report({message}); }
  void report(const txl_diagnostic& d) override {
    std::string_view message = d.message;
    if (log_)
      log_->report(d);
    if (!collecting)
      return;
    if (!message.empty() && message.back() == '\n')
      message.remove_suffix(1);
    report_problem problem{std::string(message), 0, {}};
    const std::string_view prefix = "compute error (";
    std::size_t close = message.find("): ");
    if (message.rfind(prefix, 0) == 0 && close != std::string_view::npos) {
      problem.property = std::string(message.substr(prefix.size(), close - prefix.size()));
      problem.kind = report_problem_kind::evaluation;
    }
    problems_.push_back(std::move(problem));
  }
  bool collecting = false;

private:
  txl_diagnostic_sink* log_;
  std::vector<report_problem>& problems_;
};

rc_ptr<html_document> parse_template(const std::string& text) {
  rc_ptr<html_document> doc = make_rc<html_document>();
  if (!doc->read(std::string_view(text)))
    return {};
  return doc;
}

bool starts_with(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

// Binding problems the processor reports to the log itself while it sets up.
bool logged_by_processor(const htdoc_problem& p) {
  return starts_with(p.message, "unknown function: ") || starts_with(p.message, "unknown user function: ") ||
         starts_with(p.message, "recursive function: ");
}

// The template's problems found without running it: compile errors, unknown functions and
// recursion, each with its element and property, and the findings of the check's rules. The log gets those the processor does not
// report itself, so that it lists the expressions that do not compile too.
void add_static_problems(const std::string& text, std::vector<report_problem>& out, txl_diagnostic_sink* log) {
  rc_ptr<html_document> doc = parse_template(text);
  if (!doc)
    return;
  for (htdoc_problem& p : check_template(*doc)) {
    std::string message = p.where + ": " + p.message;
    // The check's own rules find what runs without failing: listed, not counted or logged.
    const bool rule = !p.rule.empty();
    if (log && !rule && !logged_by_processor(p))
      log->report({message + "\n", nullptr, -1, p.offset});
    out.push_back({std::move(message), p.definition, p.property,
                   rule ? report_problem_kind::note : report_problem_kind::compile});
  }
  doc->clear();
}

// Why a finished generation failed, from the processor's state.
report_failure failure_of(bool ok, const htdoc_processor& processor) {
  if (ok)
    return report_failure::none;
  if (processor.repetition_limit_reached())
    return report_failure::repetitions;
  if (processor.output_limit_reached())
    return report_failure::output_limit;
  return report_failure::write;
}

}  // namespace

int count_problems(const std::vector<report_problem>& problems, report_problem_kind kind) {
  int n = 0;
  for (const report_problem& p : problems)
    n += p.kind == kind;
  return n;
}

// The generation parameters of the request over an opened data source.
static htdoc_run run_parameters(const report_request& request, const report_data& data, report_result& result) {
  htdoc_run run;
  run.time = request.time;
  run.template_dir = request.template_dir.empty() ? std::string(".") : request.template_dir;
  run.restrict_files = request.restrict_files;
  run.source = data.source.get();
  run.output_dir = request.output_dir;
  run.base_name = request.base_name;
  run.extension = request.extension;
  run.generated = &result.images;
  run.inputs = {request.template_path, data.path};
  run.max_output = request.max_output;
  run.max_loop_iterations = request.max_loop_iterations;
  return run;
}

// Writes the report of a set-up processor; the failure, if any, in `result`.
static void generate(htdoc_processor& processor, const htdoc_run& run, report_result& result) {
  result.report_path = htdoc_join_path(run.output_dir, (run.base_name.empty() ? "0" : run.base_name) + run.extension);
  bool ok = processor.generate(run);
  result.failure = failure_of(ok, processor);
  result.loop_limit_reached = processor.loop_limit_reached();
  result.loop_limit_work = processor.loop_limit_work();
  if (!ok)
    result.error = processor.output_error();
}

report_result produce_report(const report_request& request) {
  report_result result;
  rc_ptr<html_document> doc = parse_template(request.template_text);
  if (!doc) {
    result.failure = report_failure::not_html;
    return result;
  }
  if (request.collect_problems)
    add_static_problems(request.template_text, result.problems, request.log);
  if (request.strict && count_problems(result.problems, report_problem_kind::compile)) {
    result.failure = report_failure::strict;
    return result;
  }
  run_sink sink(request.log, result.problems);
  htdoc_processor processor(request.log || request.collect_problems ? static_cast<txl_diagnostic_sink&>(sink)
                                                                     : discard_diagnostics());
  processor.setup(*doc);
  const std::string template_dir = request.template_dir.empty() ? std::string(".") : request.template_dir;
  report_data data;
  const std::string& store_setting = request.read_store_setting ? processor.store() : std::string();
  if (!open_report_data(request.project, processor.project(), template_dir, request.time, data, result.error,
                        &result.warning)) {
    result.failure = report_failure::project;
  } else if (!use_report_store(request.store, store_setting, template_dir, request.time, data, result.error)) {
    result.failure = report_failure::store;
  } else {
    sink.collecting = request.collect_problems;
    htdoc_run run = run_parameters(request, data, result);
    // A strict run keeps no report whose evaluations failed: the earlier one stays.
    bool withheld = false;
    if (request.strict)
      run.keep_outputs = [&] { return !(withheld = count_problems(result.problems, report_problem_kind::evaluation) > 0); };
    generate(processor, run, result);
    if (withheld)
      result.failure = report_failure::strict;
  }
  processor.reset();
  doc->clear();
  if (!result.ok())
    result.images.clear();
  return result;
}

}  // namespace quillet
