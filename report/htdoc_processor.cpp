// Set-up, binding and generation of the template processor, and its run parameters.
#include "report/htdoc_processor.h"

#include <optional>
#include <utility>

#include "doc/html_printer.h"
#include "report/html_dyn_elt.h"
#include "report/output_counter.h"
#include "txl/binding.h"
#include "txl/loop_budget.h"

namespace quillet {

std::string htdoc_join_path(std::string_view dir, std::string_view name) {
  std::string path(dir);
  if (!path.empty() && path.back() != '/' && path.back() != '\\')
    path += '/';
  path.append(name);
  return path;
}

htdoc_processor::htdoc_processor(txl_diagnostic_sink& sink) : sink_(sink), library_(this) {}

namespace {

// Makes a function the one under way for the sink's messages while it lives.
class function_under_way {
public:
  function_under_way(txl_placing_sink& sink, const txl_user_function& function)
      : sink_(sink), before_(std::exchange(sink.current, &function)) {}
  ~function_under_way() { sink_.current = before_; }
  function_under_way(const function_under_way&) = delete;
  function_under_way& operator=(const function_under_way&) = delete;

private:
  txl_placing_sink& sink_;
  const txl_user_function* before_;
};

}  // namespace

htdoc_processor::~htdoc_processor() { reset(); }

// Drops the bindings before the references, since variables that call each other hold
// each other through their call sites.
void htdoc_processor::reset() {
  for (auto& element : dyn_elements_)
    element->unbind_props();
  dyn_elements_.clear();
  for (auto& variable : variables_)
    variable->unbind_calls();
  for (auto& param : params_)
    param->unbind_calls();
  binder_.reset();
  variables_.clear();
  params_.clear();
  document_.reset();
  project_.clear();
  store_.clear();
  stacks_.clear();
  run_ = nullptr;
  repetition_bound_ = UINT64_MAX;
  name_counter_ = 0;
  nesting_reported = false;
}

std::string_view htdoc_processor::template_folder() const {
  return run_ ? std::string_view(run_->template_dir) : std::string_view();
}

void htdoc_processor::prepare_binder(txl_binder& binder) {
  binder.add_library(library_);
  binder.add_builtin_libraries();
  for (auto& variable : variables_)
    binder.add_user_function(*variable);
}

// One binder serves every call of a set-up: preparing one per variable made reading a
// template take time quadratic in its variables.
int htdoc_processor::bind_calls(txl_user_function& function) {
  function_under_way place(sink_, function);
  if (!binder_) {
    binder_ = std::make_unique<txl_binder>(sink_);
    prepare_binder(*binder_);
  }
  return binder_->bind_all(function);
}

void htdoc_processor::add_dyn_element(html_dyn_elt* element) { dyn_elements_.emplace_back(element); }

// Reads PRJ and REFRESH; a REFRESH above 0 asks the browser to reload the report, through a
// META element at the end of HEAD.
void htdoc_processor::read_settings(html_elt_tag& head) {
  int refresh = 0;
  read_doc_settings(head.children, mode_compile, project_, refresh, &store_);
  if (refresh <= 0)
    return;
  auto* meta = new html_elt_tag(find_tag_def("META"));
  append_node(meta->attrs, new html_attr("HTTP-EQUIV", "REFRESH"));
  append_node(meta->attrs, new html_attr("CONTENT", std::to_string(refresh)));
  append_node(head.children, meta);
}

// Wizard parameters first, since the variables' texts are substituted with them.
void htdoc_processor::read_variables(html_elt_tag& head) {
  binder_.reset();
  htdoc_fragment_header header;
  read_fragment_header(head.children, header);
  params_ = fragment_param_list(header);
  read_directive_vars(head.children, variables_, mode_compile, &params_);
}

bool htdoc_processor::setup(html_document& document) {
  reset();
  document_.reset(&document);
  if (document.head) {
    read_settings(*document.head);
    read_variables(*document.head);
  }
  for (auto& variable : variables_)
    bind_calls(*variable);
  for (auto& variable : variables_)
    check_recursion(*variable, sink_);
  if (document.body)
    build_dynamic(*this, document.body->children, document.body, &params_);
  return true;
}

bool htdoc_processor::evaluate_unknown(txl_user_function& property, txl_user_function* callee, int levels,
                                       anyval& result, std::string* error_text) {
  function_under_way place(sink_, property);
  return evaluate_unknown_property(property, callee, levels, result, error_text, sink_);
}

std::string htdoc_processor::next_output_name(std::string_view suffix) {
  ++name_counter_;
  std::string name = run_ ? run_->base_name : std::string();
  if (!name.empty())
    name += '_';
  name += std::to_string(name_counter_);
  name.append(suffix);
  if (run_ && run_->generated)
    run_->generated->push_back(name);
  return name;
}

files::output_file* htdoc_processor::open_output(std::string_view name) {
  if (!outputs_)
    return nullptr;
  std::string dir = run_ ? run_->output_dir : std::string();
  return outputs_->add(htdoc_join_path(dir, name));
}

// A picture's size is known once it is written; it then counts as report output would.
bool htdoc_processor::close_output(files::output_file& file, bool written) {
  std::streamoff size = written ? static_cast<std::streamoff>(file.stream().tellp()) : -1;
  if (size <= 0) {
    outputs_->drop(&file);
    return false;
  }
  return !counter_ || counter_->charge(static_cast<std::uint64_t>(size));
}

void htdoc_processor::note_input(const files::file_identity& input) {
  if (outputs_)
    outputs_->note_input(input);
}

// Prints the whole document through a counter that refuses bytes past the run's bound.
bool htdoc_processor::write_report(std::ostream& file) {
  output_counter counter(*file.rdbuf(), run_->max_output);
  std::ostream out(&counter);
  counter_ = &counter;
  {
    html_obj_printer printer(out, html_obj_printer::NORMALIZE_END_TAGS);
    print_list(printer, document_->top);
    printer.flush();
  }
  counter_ = nullptr;
  limit_reached_ = counter.limit_reached();
  file.flush();
  return out.good() && file.good() && !counter.stopped() && !repetition_limit_reached_;
}

bool htdoc_processor::generate(const htdoc_run& run) {
  if (!document_)
    return false;
  run_ = &run;
  name_counter_ = 0;
  limit_reached_ = false;
  repetitions_ = 0;
  repetition_bound_ = run.max_repetitions ? run.max_repetitions : UINT64_MAX;
  repetition_limit_reached_ = false;
  loop_limit_reached_ = false;
  std::string name = run.base_name.empty() ? std::string("0") : run.base_name;
  name += run.extension;
  std::optional<txl_loop_budget> loops;
  if (run.max_loop_iterations > 0)
    loops.emplace(run.max_loop_iterations);
  output_error_.clear();
  files::output_set outputs;
  for (const std::string& input : run.inputs)
    outputs.note_input(input);
  outputs_ = &outputs;
  files::output_file* file = open_output(name);
  bool ok = file && write_report(file->stream());
  outputs_ = nullptr;
  bool withheld = ok && run.keep_outputs && !run.keep_outputs();
  ok = ok && !withheld && outputs.commit_all();
  if (!ok && !withheld && !limit_reached_ && !repetition_limit_reached_)
    output_error_ = outputs.error();
  loop_limit_reached_ = loops && loops->spent();
  loop_limit_work_ = loop_limit_reached_ ? txl_work_name(loops->spent_on()) : "";
  run_ = nullptr;
  repetition_bound_ = UINT64_MAX;
  return ok;
}

}  // namespace quillet
