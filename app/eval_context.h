// The context in which `quillet eval` evaluates an expression: a report time, the simulated
// data source, the channel-function library and the --var user functions, with empty
// repeat contexts and discarded diagnostics.
#pragma once

#include <cstdint>
#include <vector>

#include "data/kov_library.h"
#include "data/kov_processor_context.h"
#include "txl/user_function.h"

namespace quillet::app {

class eval_context : public kov_processor_context {
public:
  eval_context(std::uint32_t time, kov_txl_data_source* source) : time_(time), source_(source) {}

  std::uint32_t report_time() const override { return time_; }
  kov_txl_data_source* data_source() const override { return source_; }
  std::string_view template_folder() const override { return {}; }
  bool files_restricted() const override { return restrict_files; }
  const kov_context_stacks& contexts() const override { return stacks_; }
  txl_diagnostic_sink& diagnostics() override { return discard_diagnostics(); }
  // The channel library first, then the built-ins, then the variables.
  void prepare_binder(txl_binder& binder) override;

  std::vector<txl_user_function*> variables;
  bool restrict_files = false;  // READLIST reads only in the working folder and below

private:
  std::uint32_t time_;
  kov_txl_data_source* source_;
  kov_context_stacks stacks_;
  kov_txl_library library_{this};
};

}  // namespace quillet::app
