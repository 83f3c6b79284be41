// The template check: reading, compiling and binding as the processor does, with every
// failure kept instead of discarded.
#include "report/htdoc_check.h"

#include <vector>

#include "data/kov_library.h"
#include "doc/template_markup.h"
#include "txl/binding.h"
#include "txl/compiler.h"

namespace quillet {

namespace {

// A sink that turns each diagnostic into a problem of the place being checked.
class problem_sink : public txl_diagnostic_sink {
public:
  explicit problem_sink(std::vector<htdoc_problem>& problems) : problems_(problems) {}
  void print(std::string_view message) override {
    if (!message.empty() && message.back() == '\n')
      message.remove_suffix(1);
    problems_.push_back({where, std::string(message), definition, property});
  }
  std::string where;
  int definition = 0;
  std::string property;

private:
  std::vector<htdoc_problem>& problems_;
};

struct checked_function {
  rc_ptr<txl_user_function> fn;
  std::string where;
  int definition = 0;
  std::string property;
};

class template_checker {
public:
  explicit template_checker(std::vector<htdoc_problem>& problems) : problems_(problems), sink_(problems) {}
  ~template_checker() {
    for (auto& f : functions_)
      f.fn->unbind_calls();
  }

  void read_head(html_elt_tag& head);
  void read_body(html_elt_tag& body);
  void bind_and_check();

private:
  void place(const checked_function& f) {
    sink_.where = f.where;
    sink_.definition = f.definition;
    sink_.property = f.property;
  }
  void add(rc_ptr<txl_user_function> fn, std::string where, int definition = 0, std::string property = {});
  void read_variables(html_elt_tag& head);
  void read_element(html_elt_tag& tag, int ordinal);

  std::vector<htdoc_problem>& problems_;
  problem_sink sink_;
  txl_prop_list params_;
  txl_prop_list variables_;
  std::vector<checked_function> functions_;
  int definitions_ = 0;  // elements whose definition was read so far
};

// Compiles the function's text; a compile error becomes a problem of its place.
void template_checker::add(rc_ptr<txl_user_function> fn, std::string where, int definition, std::string property) {
  txl_compiler compiler;
  if (compiler.compile(fn->text, fn.get()) != 0)
    problems_.push_back({where, txl_compile_message(compiler.error()), definition, property});
  functions_.push_back({std::move(fn), std::move(where), definition, std::move(property)});
}

void template_checker::read_head(html_elt_tag& head) {
  txl_prop_list settings;
  if (read_directive(head.children, directive_doc, settings, mode_keep_text) == directive_found::failed)
    problems_.push_back({"document settings", "the directive cannot be read", 0, {}});
  for (auto& setting : settings)
    add(setting, "document setting " + setting->name);
  htdoc_fragment_header header;
  read_fragment_header(head.children, header);
  params_ = fragment_param_list(header);
  for (auto& param : params_)
    add(param, "fragment parameter " + param->name);
  read_variables(head);
}

// Each VAR comment is read on its own, so that one that does not read is named.
void template_checker::read_variables(html_elt_tag& head) {
  int ordinal = 0;
  for (html_element* n = head.children; n; n = n->next) {
    if (n->kind != html_kind::comment)
      continue;
    std::string text(static_cast<html_elt_comment*>(n)->text.view());
    if (directive_keyword_of(decode_directive_entities(text)) != directive_var)
      continue;
    ++ordinal;
    html_element* single = new html_elt_comment(text);
    txl_prop_list read;
    read_directive_vars(single, read, mode_keep_text, &params_);
    release_list(single);
    if (read.empty())
      problems_.push_back({"variable directive " + std::to_string(ordinal), "the directive cannot be read", 0, {}});
    for (auto& v : read) {
      variables_.push_back(v);
      add(v, "variable " + v->name);
    }
  }
}

void template_checker::read_element(html_elt_tag& tag, int ordinal) {
  txl_prop_list props;
  directive_found found = read_directive(tag.children, directive_elt, props, mode_keep_text, &params_);
  std::string where = "element " + std::to_string(ordinal) + " <" + std::string(tag.name()) + ">";
  if (found == directive_found::failed)
    problems_.push_back({where, "the element directive cannot be read", 0, {}});
  // Only a directive read whole numbers its element, as the editor's load does.
  int definition = found == directive_found::read ? ++definitions_ : 0;
  for (auto& p : props)
    add(p, where + ", property " + p->name, definition, p->name);
}

// Every tag of the body in document order, without recursion.
void template_checker::read_body(html_elt_tag& body) {
  std::vector<html_element*> pending;
  html_element* n = body.children;
  int ordinal = 0;
  for (;;) {
    while (!n) {
      if (pending.empty())
        return;
      n = pending.back();
      pending.pop_back();
    }
    if (n->kind != html_kind::tag) {
      n = n->next;
      continue;
    }
    auto* tag = static_cast<html_elt_tag*>(n);
    read_element(*tag, ++ordinal);
    pending.push_back(tag->next);
    n = tag->children;
  }
}

void template_checker::bind_and_check() {
  kov_txl_library channels;
  txl_binder binder(sink_);
  binder.add_library(channels);
  binder.add_builtin_libraries();
  for (auto& v : variables_)
    binder.add_user_function(*v);
  for (auto& f : functions_) {
    place(f);
    if (f.fn->body)
      binder.bind_all(*f.fn);
  }
  for (auto& f : functions_) {
    place(f);
    if (f.where.rfind("variable ", 0) == 0)
      check_recursion(*f.fn, sink_);
  }
}

}  // namespace

std::vector<htdoc_problem> check_template(html_document& document) {
  std::vector<htdoc_problem> problems;
  template_checker checker(problems);
  if (document.head)
    checker.read_head(*document.head);
  if (document.body)
    checker.read_body(*document.body);
  checker.bind_and_check();
  return problems;
}

}  // namespace quillet
