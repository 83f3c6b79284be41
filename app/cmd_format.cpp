// quillet format: read a template and write it back with the given printer flags, to stdout or
// to a file that is replaced only once the whole result is written.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

#include "app/commands.h"
#include "app/template_input.h"
#include "doc/html_document.h"
#include "doc/html_end_tags.h"
#include "doc/html_printer.h"
#include "platform/files/output_file.h"

namespace quillet::app {

namespace {

struct format_options {
  std::uint32_t flags = 0;
  std::string input;
  std::string output;  // empty or "-": stdout
  bool to_stdout = false;
};

const char* const usage_text =
    "usage: quillet format [--flags N] FILE [-o|--out OUT]\n"
    "Reads the template FILE and writes it back with printer flags N: 0 as read (default),\n"
    "2 with normalised end tags, 6 as the editor saves. FILE '-' is the standard input.\n"
    "Without -o, or with -o -, the result goes to stdout;\n"
    "with -o, OUT is replaced only once the whole result has been written.\n";

// Parses the flags value: a decimal number from 0 to 4294967295.
bool parse_flags(const std::string& text, std::uint32_t& out) {
  if (text.empty() || text.size() > 10 || text.find_first_not_of("0123456789") != std::string::npos)
    return false;
  unsigned long long n = std::strtoull(text.c_str(), nullptr, 10);
  if (n > 0xFFFFFFFFull)
    return false;
  out = static_cast<std::uint32_t>(n);
  return true;
}

// Fills the options from the arguments; false after printing the reason on stderr.
bool parse_args(const arg_list& args, format_options& opt) {
  bool options = true;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    bool takes_value = options && (a == "--flags" || a == "-o" || a == "--out");
    if (takes_value && i + 1 >= args.size()) {
      std::fprintf(stderr, "quillet format: %s needs a value.\n", a.c_str());
      return false;
    }
    if (options && a == "--") {
      options = false;
    } else if (a == "--flags" && options) {
      if (!parse_flags(args[++i], opt.flags)) {
        std::fprintf(stderr, "quillet format: '%s' is not a valid flags value.\n", args[i].c_str());
        return false;
      }
    } else if (takes_value) {
      opt.output = args[++i];
      opt.to_stdout = opt.output == "-";
    } else if (options && a.size() > 1 && a[0] == '-') {
      std::string hint = did_you_mean(a, {"--flags", "--out"});
      std::fprintf(stderr, "quillet format: unknown option '%s'%s\n", a.c_str(), hint.empty() ? "." : hint.c_str());
      return false;
    } else if (opt.input.empty()) {
      opt.input = a;
    } else {
      std::fprintf(stderr, "quillet format: only one FILE may be given ('%s' is extra).\n", a.c_str());
      return false;
    }
  }
  if (opt.input.empty())
    std::fprintf(stderr, "quillet format: no FILE given; 'quillet format --help' shows the usage.\n");
  return !opt.input.empty();
}

// Writes the document to a temporary file beside `target`, then renames it over the target;
// on any failure the target is left as it was and the temporary file is removed. The
// template itself is never replaced.
bool write_to_file(html_document& doc, std::uint32_t flags, const std::string& input, const std::string& target) {
  files::output_set outputs;
  if (input != "-")
    outputs.note_input(input);
  files::output_file* out = outputs.add(target);
  if (out)
    doc.write(out->stream(), flags);
  if (out && outputs.commit_all())
    return true;
  std::fprintf(stderr, "quillet format: cannot write %s.\n", outputs.error().c_str());
  return false;
}

bool write_stdout(html_document& doc, std::uint32_t flags) {
  doc.write(std::cout, flags);
  std::cout.flush();
  if (std::cout.good())
    return true;
  std::fprintf(stderr, "quillet format: cannot write to standard output.\n");
  return false;
}

}  // namespace

int run_format(const arg_list& args) {
  if (wants_help(args)) {
    std::fputs(usage_text, stdout);
    return 0;
  }
  format_options opt;
  if (!parse_args(args, opt))
    return 2;
  rc_ptr<html_document> doc = make_rc<html_document>();
  std::string source;
  if (!read_template_file("format", opt.input, *doc, source))
    return 1;
  // Written as read, an element may keep its missing end tag only where what follows still
  // closes it on reading back, and a stray end tag stays only where it still closes nothing.
  if (!(opt.flags & html_obj_printer::NORMALIZE_END_TAGS)) {
    drop_closing_stray_end_tags(doc->top);
    add_needed_end_tags(doc->top);
  }
  bool written = opt.output.empty() || opt.to_stdout ? write_stdout(*doc, opt.flags)
                                                     : write_to_file(*doc, opt.flags, opt.input, opt.output);
  return written ? 0 : 1;
}

}  // namespace quillet::app
