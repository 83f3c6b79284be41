// What the channel and context functions need from the report being produced: the run's
// report time, data source and template folder, the repeat-context stacks, the diagnostic
// sink, and the bindings of the template (to compile READLIST lines as the template's own
// expressions). The template processor implements it; the functions hold a plain pointer
// to it, which must outlive them.
#pragma once

#include <cstdint>
#include <string_view>

#include "data/kov_context_stack.h"
#include "platform/files/output_file.h"
#include "txl/diagnostic_sink.h"

namespace quillet {

class kov_txl_data_source;
class txl_binder;

class kov_processor_context {
public:
  virtual ~kov_processor_context() = default;

  // The report time of the run in progress, whole seconds since 1970 UTC; 0 outside a run.
  virtual std::uint32_t report_time() const = 0;
  // The data source of the run in progress; null when there is none or outside a run.
  virtual kov_txl_data_source* data_source() const = 0;
  // The folder against which READLIST resolves relative file names (the template's folder);
  // empty outside a run, which leaves relative names relative to the working folder.
  virtual std::string_view template_folder() const = 0;
  // True when READLIST may read only files in the template's folder (the working folder when
  // template_folder() is empty) and below: the host runs templates written by others.
  virtual bool files_restricted() const { return false; }
  // The three repeat-context stacks (0 IDX, 1 ROW, 2 COL).
  virtual const kov_context_stacks& contexts() const = 0;
  // Where diagnostics and DEBUG texts go.
  virtual txl_diagnostic_sink& diagnostics() = 0;
  // Sets up a binder as the processor binds the template's expressions: its channel library
  // first, then the built-in libraries, and the template's variables as user functions.
  virtual void prepare_binder(txl_binder& binder) = 0;

  // Notes a file the run read (a READLIST file), so that no output of the run replaces it.
  virtual void note_input(const files::file_identity& input) {}

  // Formats a diagnostic printf-style and hands it to diagnostics().
  void message(const char* format, ...) __attribute__((format(printf, 2, 3)));
};

// A context outside any run: time 0, no source, no folder, empty stacks, diagnostics
// discarded, and only the built-in libraries for binding. Functions whose processor is not
// set use it.
kov_processor_context& kov_no_processor();

}  // namespace quillet
