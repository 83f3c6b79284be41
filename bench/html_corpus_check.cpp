// Reads every HTML file named on standard input (one path a line) and writes it with printer
// flags 0 and 2; the flags-2 output, read and written again, must come out the same. Prints
// the files, bytes and time, the files that are no document, and every file that fails.
// usage: find DIR -name '*.html' | html_corpus_check
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "doc/html_document.h"

namespace {

using namespace quillet;

struct corpus_tally {
  long files = 0;
  long not_documents = 0;
  long unreadable = 0;
  long not_fixed = 0;
  std::uint64_t bytes = 0;
};

// The document read from `text` written with `flags`; false when it does not read.
bool rewrite(const std::string& text, std::uint32_t flags, std::string& out) {
  rc_ptr<html_document> doc = make_rc<html_document>();
  std::istringstream in(text);
  if (!doc->read(in))
    return false;
  std::ostringstream written;
  doc->write(written, flags);
  out = written.str();
  return true;
}

// Checks one file and counts what it found.
void check_file(const std::string& path, corpus_tally& tally) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  if (!in) {
    ++tally.unreadable;
    return;
  }
  const std::string text = content.str();
  ++tally.files;
  tally.bytes += text.size();
  std::string plain;
  std::string first;
  std::string second;
  if (!rewrite(text, 0, plain) || !rewrite(text, 2, first)) {
    ++tally.not_documents;
    return;
  }
  if (rewrite(first, 2, second) && second == first)
    return;
  ++tally.not_fixed;
  std::printf("not a fixed point: %s\n", path.c_str());
}

}  // namespace

int main() {
  std::ios::sync_with_stdio(false);
  corpus_tally tally;
  const auto start = std::chrono::steady_clock::now();
  std::string path;
  while (std::getline(std::cin, path))
    if (!path.empty())
      check_file(path, tally);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("%ld files, %llu bytes in %.2f s (%.1f MB/s, each read and written 4 times); "
              "%ld without an HTML element, %ld unreadable, %ld not a fixed point\n",
              tally.files, static_cast<unsigned long long>(tally.bytes), seconds,
              seconds > 0 ? static_cast<double>(tally.bytes) / 1e6 / seconds : 0.0, tally.not_documents,
              tally.unreadable, tally.not_fixed);
  return tally.not_fixed ? 1 : 0;
}
