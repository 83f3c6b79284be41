// Reading, writing and clearing a whole document.
#include "doc/html_document.h"

#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <utility>

#include "doc/html_printer.h"
#include "doc/html_reader.h"

namespace quillet {

html_document::~html_document() { clear(); }

void html_document::clear() {
  head = nullptr;
  body = nullptr;
  release_list(std::exchange(top, nullptr));
}

// How many bytes the stream still holds, as far as it can tell without reading: from its
// size when it can seek, else what its buffer holds (all of it for a stream over memory); 0
// when unknown. A size beyond any sensible template (what some special files report) is not
// trusted.
static std::size_t bytes_left(std::istream& in) {
  constexpr std::streamoff largest_presize = std::streamoff(1) << 30;
  std::streamoff left = 0;
  auto start = in.tellg();
  if (start != std::streampos(-1) && in.seekg(0, std::ios::end)) {
    auto end = in.tellg();
    in.seekg(start);
    if (end != std::streampos(-1))
      left = end - start;
  }
  in.clear();
  if (left <= 0 && in.rdbuf())
    left = in.rdbuf()->in_avail();
  return left > 0 && left <= largest_presize ? static_cast<std::size_t>(left) : 0;
}

// Appends whatever the stream still holds to `bytes`, in blocks, until it ends.
static void read_rest(std::istream& in, std::string& bytes) {
  char chunk[1 << 16];
  while (in.read(chunk, sizeof chunk) || in.gcount() > 0)
    bytes.append(chunk, static_cast<std::size_t>(in.gcount()));
}

// All bytes of a stream that is not read in place. What the stream says it holds goes
// straight into a buffer of that size, left unfilled until the read (a template may be many
// megabytes, and clearing it first would touch every page twice); anything after that, from
// a stream that said too little, joins it in a string.
struct stream_bytes {
  std::unique_ptr<char[]> head;
  std::size_t head_size = 0;
  std::string joined;  // head and the rest, when there was a rest

  std::string_view view() const { return head ? std::string_view(head.get(), head_size) : std::string_view(joined); }
};

static stream_bytes read_all(std::istream& in) {
  stream_bytes bytes;
  if (std::size_t presize = bytes_left(in)) {
    bytes.head.reset(new char[presize]);
    in.read(bytes.head.get(), static_cast<std::streamsize>(presize));
    bytes.head_size = static_cast<std::size_t>(in.gcount());
  }
  std::string rest;
  read_rest(in, rest);
  if (rest.empty() && bytes.head)
    return bytes;
  bytes.joined.reserve(bytes.head_size + rest.size());
  bytes.joined.append(bytes.head.get(), bytes.head_size).append(rest);
  bytes.head.reset();
  return bytes;
}

// The rest of a string stream, seen in its own buffer, so that reading it takes no copy of
// the document; nothing for any other stream, or when the buffer and the stream's own account
// of what is left disagree.
static std::optional<std::string_view> bytes_in_place(std::istream& in) {
  auto* buffer = dynamic_cast<std::stringbuf*>(in.rdbuf());
  if (!buffer)
    return std::nullopt;
  std::string_view all = buffer->view();
  auto at = in.tellg();
  if (at == std::streampos(-1))
    return std::nullopt;
  auto from = static_cast<std::size_t>(static_cast<std::streamoff>(at));
  if (from > all.size() || all.size() - from != bytes_left(in))
    return std::nullopt;
  return all.substr(from);
}

// The first child of `parent` that is a tag with the given definition.
static html_elt_tag* first_child_tag(html_elt_tag* parent, const html_elt_def* def) {
  for (html_element* n = parent->children; n; n = n->next)
    if (n->kind == html_kind::tag && static_cast<html_elt_tag*>(n)->def == def)
      return static_cast<html_elt_tag*>(n);
  return nullptr;
}

// A string stream is read in place and then left at its end, as reading it through would.
bool html_document::read(std::istream& in) {
  std::optional<std::string_view> in_place = bytes_in_place(in);
  if (!in_place)
    return read(read_all(in).view());
  bool ok = read(*in_place);
  in.seekg(0, std::ios::end);
  std::string none;
  read_rest(in, none);
  return ok;
}

bool html_document::read(std::string_view bytes) {
  clear();
  std::size_t skeleton_tags = 0;
  top = parse_html_tree(bytes, &skeleton_tags);
  if (!normalize_html_tree(top, skeleton_tags)) {
    clear();
    return false;
  }
  const html_elt_def* html_def = find_tag_def("HTML");
  for (html_element* n = top; n; n = n->next) {
    if (n->kind != html_kind::tag || static_cast<html_elt_tag*>(n)->def != html_def)
      continue;
    auto* html = static_cast<html_elt_tag*>(n);
    head = first_child_tag(html, find_tag_def("HEAD"));
    body = first_child_tag(html, find_tag_def("BODY"));
    break;
  }
  return head && body;
}

void html_document::write(std::ostream& out, std::uint32_t flags) {
  html_obj_printer p(out, flags);
  print_list(p, top);
  p.flush();
}

}  // namespace quillet
