// The peer for the reader/writer benchmark: gumbo parses the same bytes into its tree, and a
// small serialiser of ours writes the tree back as HTML (gumbo has none). The serialiser walks
// the tree with an explicit stack, so nesting depth costs heap, not call stack.
// Usage: gumbo_peer FILE REPS [OUT]
#include <gumbo.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/bench_common.h"

namespace {

using quillet::bench::rep_times;

// Elements that have neither content nor an end tag.
bool is_void_tag(GumboTag tag) {
  switch (tag) {
  case GUMBO_TAG_AREA: case GUMBO_TAG_BASE: case GUMBO_TAG_BR: case GUMBO_TAG_COL:
  case GUMBO_TAG_EMBED: case GUMBO_TAG_HR: case GUMBO_TAG_IMG: case GUMBO_TAG_INPUT:
  case GUMBO_TAG_LINK: case GUMBO_TAG_META: case GUMBO_TAG_PARAM: case GUMBO_TAG_SOURCE:
  case GUMBO_TAG_TRACK: case GUMBO_TAG_WBR:
    return true;
  default:
    return false;
  }
}

bool is_raw_text_tag(GumboTag tag) {
  return tag == GUMBO_TAG_SCRIPT || tag == GUMBO_TAG_STYLE;
}

// Appends text with the characters that would change its meaning turned into entities:
// in attribute values the quote, in text the angle brackets; the ampersand in both.
void append_escaped(std::string& out, const char* s, bool in_attribute) {
  for (; *s; ++s) {
    switch (*s) {
    case '&': out += "&amp;"; break;
    case '"': out += in_attribute ? "&quot;" : "\""; break;
    case '<': out += in_attribute ? "<" : "&lt;"; break;
    case '>': out += in_attribute ? ">" : "&gt;"; break;
    default: out += *s;
    }
  }
}

void append_tag_name(std::string& out, const GumboElement& e) {
  if (e.tag != GUMBO_TAG_UNKNOWN) {
    out += gumbo_normalized_tagname(e.tag);
    return;
  }
  GumboStringPiece name = e.original_tag;
  gumbo_tag_from_original_text(&name);
  out.append(name.data, name.length);
}

void append_start_tag(std::string& out, const GumboElement& e) {
  out += '<';
  append_tag_name(out, e);
  for (unsigned i = 0; i < e.attributes.length; ++i) {
    const auto* a = static_cast<const GumboAttribute*>(e.attributes.data[i]);
    out += ' ';
    out += a->name;
    out += "=\"";
    append_escaped(out, a->value, true);
    out += '"';
  }
  out += '>';
}

// One open element on the walk: the node and the index of its next child.
struct open_node {
  const GumboNode* node;
  unsigned next_child;
};

const GumboVector& children_of(const GumboNode* n) {
  return n->type == GUMBO_NODE_DOCUMENT ? n->v.document.children : n->v.element.children;
}

// Writes a leaf (text, comment, whitespace, CDATA); text inside script and style stays raw.
void append_leaf(std::string& out, const GumboNode* n, const GumboNode* parent) {
  if (n->type == GUMBO_NODE_COMMENT) {
    out += "<!--";
    out += n->v.text.text;
    out += "-->";
    return;
  }
  bool raw = parent->type == GUMBO_NODE_ELEMENT && is_raw_text_tag(parent->v.element.tag);
  if (raw)
    out += n->v.text.text;
  else
    append_escaped(out, n->v.text.text, false);
}

// The whole document as HTML: a depth-first walk that writes each element's start tag on
// the way down and its end tag when its last child is done.
std::string serialise(const GumboOutput* parsed) {
  std::string out;
  const GumboNode* doc = parsed->document;
  if (doc->v.document.has_doctype)
    out += "<!DOCTYPE html>";
  std::vector<open_node> stack{{doc, 0}};
  while (!stack.empty()) {
    open_node& top = stack.back();
    const GumboVector& kids = children_of(top.node);
    if (top.next_child == kids.length) {
      if (top.node->type != GUMBO_NODE_DOCUMENT) {
        out += "</";
        append_tag_name(out, top.node->v.element);
        out += '>';
      }
      stack.pop_back();
      continue;
    }
    const auto* child = static_cast<const GumboNode*>(kids.data[top.next_child++]);
    if (child->type != GUMBO_NODE_ELEMENT && child->type != GUMBO_NODE_TEMPLATE) {
      append_leaf(out, child, top.node);
      continue;
    }
    append_start_tag(out, child->v.element);
    if (!is_void_tag(child->v.element.tag))
      stack.push_back({child, 0});
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: gumbo_peer FILE REPS [OUT]\n");
    return 2;
  }
  std::string src;
  if (!quillet::bench::read_whole_file(argv[1], src))
    return 1;
  int count = std::atoi(argv[2]);
  std::vector<rep_times> reps;
  for (int rep = 0; rep < count; ++rep) {
    std::size_t rss_before = quillet::bench::resident_bytes();
    double t0 = quillet::bench::now_ms();
    GumboOutput* parsed = gumbo_parse_with_options(&kGumboDefaultOptions, src.data(), src.size());
    double t1 = quillet::bench::now_ms();
    std::size_t rss_after = quillet::bench::resident_bytes();
    std::size_t tree_bytes = rss_after > rss_before ? rss_after - rss_before : 0;
    double t2 = quillet::bench::now_ms();
    std::string html = serialise(parsed);
    double t3 = quillet::bench::now_ms();
    reps.push_back({t1 - t0, t3 - t2, tree_bytes});
    if (rep == 0 && argc > 3 && !quillet::bench::write_whole_file(argv[3], html))
      return 1;
    gumbo_destroy_output(&kGumboDefaultOptions, parsed);
  }
  quillet::bench::print_summary("gumbo", src.size(), reps);
  return 0;
}
