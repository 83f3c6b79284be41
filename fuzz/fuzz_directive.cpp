// Fuzzing the directive-comment reader: the input is the body of one comment, read as each
// directive keyword in each reading mode and as the document settings and fragment header.
// A directive read as text and written again must read back to the same names, and its
// second writing must equal the first (the written form is a fixed point).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "doc/html_node.h"
#include "doc/template_markup.h"

namespace {

using namespace quillet;

// Reads the comment `body` as directive `index`; the outcome, with the pairs in `props`.
directive_found read_one(std::string_view body, int index, int mode, txl_prop_list& props) {
  html_element* list = new html_elt_comment(body);
  directive_found found = read_directive(list, index, props, mode);
  release_list(list);
  return found;
}

// Writes the pairs read as text, reads them back and checks names and the written form.
void check_round_trip(int index, const txl_prop_list& props) {
  const std::string first = directive_comment_text(index, props);
  txl_prop_list again;
  if (read_one(first, index, mode_keep_text, again) != directive_found::read || again.size() != props.size()) {
    std::fprintf(stderr, "written directive does not read back:\n%s\n", first.c_str());
    std::abort();
  }
  for (std::size_t i = 0; i < props.size(); ++i)
    if (again[i]->name != props[i]->name)
      std::abort();
  const std::string second = directive_comment_text(index, again);
  if (second != first) {
    std::fprintf(stderr, "directive form is no fixed point:\n%s\n%s\n", first.c_str(), second.c_str());
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view body(reinterpret_cast<const char*>(data), size);
  for (int index = directive_elt; index <= directive_wparm; ++index) {
    for (int mode : {mode_keep_and_compile, mode_keep_text, mode_compile}) {
      txl_prop_list props;
      directive_found found = read_one(body, index, mode, props);
      if (mode == mode_keep_text && found == directive_found::read)
        check_round_trip(index, props);
    }
  }
  html_element* list = new html_elt_comment(body);
  std::string project;
  int refresh = 0;
  read_doc_settings(list, mode_compile, project, refresh);
  htdoc_fragment_header header;
  read_fragment_header(list, header);
  release_list(list);
  return 0;
}
