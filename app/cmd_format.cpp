// quillet format: read a template and write it back with the given printer flags, to stdout or
// to a file that is replaced atomically (written beside it under a temporary name, then renamed).
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <new>
#include <string>

#include "app/commands.h"
#include "doc/html_document.h"

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

// Reads the template; false after a message naming the file.
bool read_template(const std::string& path, html_document& doc) {
  if (path == "-") {
    if (doc.read(std::cin))
      return true;
    std::fprintf(stderr, "quillet format: the standard input is not an HTML document: its first element is not <HTML>.\n");
    return false;
  }
  struct stat st;
  if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
    std::fprintf(stderr, "quillet format: cannot read '%s': it is a folder.\n", path.c_str());
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "quillet format: cannot read '%s': %s.\n", path.c_str(), std::strerror(errno));
    return false;
  }
  bool ok = doc.read(in);
  if (in.bad()) {
    std::fprintf(stderr, "quillet format: cannot read '%s': a read error occurred.\n", path.c_str());
    return false;
  }
  if (!ok)
    std::fprintf(stderr, "quillet format: '%s' is not an HTML document: its first element is not <HTML>.\n", path.c_str());
  return ok;
}

// The permission bits a new file gets: those of the file being replaced, else 0666 less umask.
mode_t mode_for(const std::string& target) {
  struct stat st;
  if (::stat(target.c_str(), &st) == 0)
    return st.st_mode & 07777;
  mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

// Writes the document to a temporary file beside `target`, then renames it over the target;
// on any failure the temporary file is removed and the target is left as it was.
bool write_atomically(html_document& doc, std::uint32_t flags, const std::string& target) {
  std::string temp = target + ".tmp-XXXXXX";
  int fd = ::mkstemp(temp.data());
  if (fd < 0) {
    std::fprintf(stderr, "quillet format: cannot create a file beside '%s': %s.\n", target.c_str(), std::strerror(errno));
    return false;
  }
  ::close(fd);
  bool ok = ::chmod(temp.c_str(), mode_for(target)) == 0;
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    doc.write(out, flags);
    out.flush();
    ok = ok && out.good();
  }
  ok = ok && ::rename(temp.c_str(), target.c_str()) == 0;
  if (ok)
    return true;
  std::fprintf(stderr, "quillet format: cannot write '%s': %s.\n", target.c_str(), std::strerror(errno ? errno : EIO));
  ::unlink(temp.c_str());
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
  try {
    if (!read_template(opt.input, *doc))
      return 1;
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "quillet format: '%s' is too large to read into memory.\n", opt.input.c_str());
    return 1;
  }
  bool written = opt.output.empty() || opt.to_stdout ? write_stdout(*doc, opt.flags) : write_atomically(*doc, opt.flags, opt.output);
  return written ? 0 : 1;
}

}  // namespace quillet::app
