// Fuzzing the HTML reader and writer: any input is read; when it reads as a document it is
// written with end tags normalised, and reading and writing that output again must give the
// same bytes (normalised output is a fixed point). Plain output is written too.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "doc/html_document.h"
#include "doc/html_printer.h"

namespace {

using namespace quillet;

// The document read from `text` written with `flags`; false when it does not read.
bool read_and_write(const std::string& text, std::uint32_t flags, std::string& out) {
  rc_ptr<html_document> doc = make_rc<html_document>();
  std::istringstream in(text);
  if (!doc->read(in))
    return false;
  std::ostringstream written;
  doc->write(written, flags);
  doc->clear();
  out = written.str();
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  std::string plain;
  if (!read_and_write(input, 0, plain))
    return 0;
  std::string first;
  std::string second;
  read_and_write(input, html_obj_printer::NORMALIZE_END_TAGS, first);
  if (!read_and_write(first, html_obj_printer::NORMALIZE_END_TAGS, second)) {
    std::fprintf(stderr, "normalised output does not read back as a document\n");
    std::abort();
  }
  if (first != second) {
    std::fprintf(stderr, "normalised output is no fixed point:\n--- first\n%s\n--- second\n%s\n", first.c_str(),
                 second.c_str());
    std::abort();
  }
  return 0;
}
