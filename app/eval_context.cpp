// Binding for `quillet eval`, as the template processor binds a template's properties.
#include "app/eval_context.h"

#include "txl/binding.h"

namespace quillet::app {

void eval_context::prepare_binder(txl_binder& binder) {
  binder.add_library(library_);
  binder.add_builtin_libraries();
  for (txl_user_function* v : variables)
    binder.add_user_function(*v);
}

}  // namespace quillet::app
