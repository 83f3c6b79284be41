// Formatted diagnostics of the processor context, and the context outside any run.
#include "data/kov_processor_context.h"

#include <cstdarg>
#include <cstdio>
#include <string>

#include "txl/binding.h"

namespace quillet {

// Formats into a string sized to fit, so a long name is never cut.
void kov_processor_context::message(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  const int length = std::vsnprintf(nullptr, 0, format, args);
  va_end(args);
  std::string text;
  if (length > 0) {
    text.resize(static_cast<std::size_t>(length) + 1);
    std::vsnprintf(text.data(), text.size(), format, again);
    text.resize(static_cast<std::size_t>(length));
  }
  va_end(again);
  diagnostics().print(text);
}

namespace {

class no_processor final : public kov_processor_context {
public:
  std::uint32_t report_time() const override { return 0; }
  kov_txl_data_source* data_source() const override { return nullptr; }
  std::string_view template_folder() const override { return {}; }
  const kov_context_stacks& contexts() const override { return stacks_; }
  txl_diagnostic_sink& diagnostics() override { return discard_diagnostics(); }
  void prepare_binder(txl_binder& binder) override { binder.add_builtin_libraries(); }

private:
  kov_context_stacks stacks_;
};

}  // namespace

kov_processor_context& kov_no_processor() {
  static no_processor context;
  return context;
}

}  // namespace quillet
