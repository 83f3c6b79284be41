// The template processor: prepares a template document for one report run (settings,
// variables, bindings, dynamic elements) and writes the report. It is also the context the
// channel and context functions reach during the run. Owned by its caller, not counted; it
// holds its document and dynamic elements until reset().
#pragma once

#include <cstdarg>
#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "data/kov_library.h"
#include "data/kov_processor_context.h"
#include "doc/html_document.h"
#include "doc/template_markup.h"
#include "platform/files/output_file.h"
#include "report/output_counter.h"
#include "txl/binding.h"

namespace quillet {

class html_dyn_elt;

// The parameters of one generation, read-only while it runs.
struct htdoc_run {
  std::uint32_t time = 0;                     // report time, seconds since 1970 UTC
  kov_txl_data_source* source = nullptr;      // may be null
  std::string template_dir;                   // where READLIST resolves relative names
  bool restrict_files = false;                // READLIST reads only in template_dir and below
  std::string output_dir;                     // receives the report and its extra files
  std::string base_name;                      // report name without extension; may be empty
  std::string extension = ".htm";             // with the dot
  std::vector<std::string>* generated = nullptr;  // extra file names are appended here
  std::vector<std::string> inputs;            // files read (template, project): never replaced
  std::uint64_t max_output = 0;               // bytes the report and its pictures may take; 0: no bound
  // Repetitions of repeating elements (REPEAT, ROWS, COLS, table rows, all together) the run
  // may write; 0: no bound. A huge count of small elements would take long even under a
  // bound on the output's size, so by default a run stops, failing as at the output bound,
  // after 16M of them.
  std::uint64_t max_repetitions = std::uint64_t{1} << 24;
  // Loop iterations ("while", "for") the run's evaluations may take, all together; 0: no
  // bound. An expression whose loop would pass it fails with "#LOOP#", and so does every
  // later loop of the run, so that a loop that never ends cannot stop the run from ending.
  std::int64_t max_loop_iterations = 100'000'000;
  // Asked once the report and its pictures are written in full; false discards them and
  // leaves the earlier files of their names as they were. Unset: they are kept.
  std::function<bool()> keep_outputs;
};

// Joins a folder and a file name with "/" unless the folder is empty or already ends in a
// separator.
std::string htdoc_join_path(std::string_view dir, std::string_view name);

class htdoc_processor final : public kov_processor_context {
public:
  explicit htdoc_processor(txl_diagnostic_sink& sink = discard_diagnostics());
  ~htdoc_processor() override;
  htdoc_processor(const htdoc_processor&) = delete;
  htdoc_processor& operator=(const htdoc_processor&) = delete;

  // Reads the settings, variables and wizard parameters, binds every call, checks recursion
  // and replaces the qualifying elements by dynamic ones. Always true.
  bool setup(html_document& document);
  // Writes the report file `base_name` + `extension` (base "0" when empty) and its pictures
  // into output_dir. Every file is written under a temporary name and all are renamed over
  // their targets only when the whole run succeeded, so a failed run leaves the previous
  // files as they were. False when there is no document, a file cannot be written, a target
  // is one of the run's inputs or the output passed run.max_output (see output_error()).
  bool generate(const htdoc_run& run);
  // Why the last run's files could not be written ("'path': reason"); empty when they were or
  // the run stopped at a bound.
  const std::string& output_error() const { return output_error_; }
  // Releases everything setup made and empties the context stacks.
  void reset();

  // Evaluates a property; on failure prints "compute error (%s): %s\n" and, when asked,
  // leaves the error text in *error_text. A result known current is handed out inline: most
  // properties of a table's cells have one.
  bool evaluate(txl_user_function& property, anyval& result, std::string* error_text = nullptr) {
    txl_user_function* callee = nullptr;
    int levels = 0;
    if (const anyval* known = known_property_result(property, callee, levels)) {
      result = *known;
      return true;
    }
    return evaluate_unknown(property, callee, levels, result, error_text);
  }
  // The next extra output name of the run: base, "_" (only after a non-empty base), the
  // running number from 1, and the suffix; recorded in run.generated when that is set.
  std::string next_output_name(std::string_view suffix);
  // A new file output_dir/`name` of the run in progress; null when it cannot be created.
  files::output_file* open_output(std::string_view name);
  // Ends writing a picture file: one that failed is dropped; one that was written counts
  // toward run.max_output. False when it was dropped or passed the bound.
  bool close_output(files::output_file& file, bool written);
  // Notes a file the run read (a list), which no output may replace.
  void note_input(const files::file_identity& input) override;

  // Repeat-context operations of the dynamic elements.
  kov_context_entry* push_context(int kind, std::int32_t index = 0) { return stacks_.push_context(kind, index); }
  void set_index(kov_context_entry* entry, std::int32_t i) { stacks_.set_index(entry, i); }
  void pop_context(kov_context_entry* entry) { stacks_.pop_context(entry); }
  // pop_context for an entry that push_context gave for `kind` (0 to 2), which the caller knows.
  void pop_context(int kind, kov_context_entry* entry) { stacks_.pop_context(kind, entry); }

  // Binds every call site of a property or variable as setup does; how many stayed unbound.
  int bind_calls(txl_user_function& function);
  // Records a dynamic element the processor keeps until reset.
  void add_dyn_element(html_dyn_elt* element);
  // True once the run's output passed its bound or the run used up its repetitions:
  // repeating elements stop at once.
  bool stopped() const { return repetition_limit_reached_ || (counter_ && counter_->stopped()); }
  // Counts one written repetition of a repeating element (REPEAT, ROWS, COLS, table rows);
  // false once the run is stopped, the repetition that passes run.max_repetitions included.
  bool count_repetition() {
    if (stopped())
      return false;
    if (++repetitions_ <= repetition_bound_)
      return true;
    repetition_limit_reached_ = true;
    return false;
  }
  // True when the last run stopped because it used up run.max_repetitions.
  bool repetition_limit_reached() const { return repetition_limit_reached_; }
  // True when an expression of the last run failed because the run used up
  // run.max_loop_iterations.
  bool loop_limit_reached() const { return loop_limit_reached_; }
  // What used up that budget: "loop iterations", "user-function calls" or "READLIST lines".
  const char* loop_limit_work() const { return loop_limit_work_; }

  html_document* document() const { return document_.get(); }
  const std::string& project() const { return project_; }
  // The DOC setting STORE: the history store the template's reports read, or empty.
  const std::string& store() const { return store_; }
  const txl_prop_list& variables() const { return variables_; }
  const txl_prop_list& wizard_params() const { return params_; }
  const std::vector<rc_ptr<html_dyn_elt>>& dyn_elements() const { return dyn_elements_; }
  const htdoc_run* run() const { return run_; }
  int name_counter() const { return name_counter_; }
  bool output_limit_reached() const { return limit_reached_; }

  // Dynamic elements nested deeper than this stay plain tags (written without recursion), so
  // that writing a report never recurses without bound on the template's depth.
  static constexpr int max_dynamic_nesting = 200;
  int dynamic_nesting = 0;        // of the elements being built right now
  bool nesting_reported = false;  // the limit has been reported in this set-up

  // The context of the channel and context functions.
  std::uint32_t report_time() const override { return run_ ? run_->time : 0; }
  kov_txl_data_source* data_source() const override { return run_ ? run_->source : nullptr; }
  std::string_view template_folder() const override;
  bool files_restricted() const override { return run_ && run_->restrict_files; }
  const kov_context_stacks& contexts() const override { return stacks_; }
  // Messages that name no place get the start of the property being bound or evaluated.
  txl_diagnostic_sink& diagnostics() override { return sink_; }
  void prepare_binder(txl_binder& binder) override;

private:
  // evaluate() for a property without a known result, `callee` being its direct callee.
  bool evaluate_unknown(txl_user_function& property, txl_user_function* callee, int levels, anyval& result,
                        std::string* error_text);
  void read_settings(html_elt_tag& head);
  void read_variables(html_elt_tag& head);
  bool write_report(std::ostream& out);

  txl_placing_sink sink_;
  kov_txl_library library_;
  rc_ptr<html_document> document_;
  std::vector<rc_ptr<html_dyn_elt>> dyn_elements_;
  txl_prop_list variables_;
  txl_prop_list params_;
  std::string project_;
  std::string store_;
  kov_context_stacks stacks_;
  const htdoc_run* run_ = nullptr;
  int name_counter_ = 0;
  output_counter* counter_ = nullptr;  // the bounded output of the run in progress
  bool limit_reached_ = false;
  files::output_set* outputs_ = nullptr;  // the files of the run in progress
  std::unique_ptr<txl_binder> binder_;     // prepared once for the variables read
  std::string output_error_;
  std::uint64_t repetitions_ = 0;  // of the run in progress
  std::uint64_t repetition_bound_ = UINT64_MAX;  // run.max_repetitions, or no bound for 0
  bool loop_limit_reached_ = false;
  const char* loop_limit_work_ = "";
  bool repetition_limit_reached_ = false;
};

}  // namespace quillet
