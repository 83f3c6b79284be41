// The writer's buffer, its held-back '<', and the non-recursive walk over a node list.
#include "doc/html_printer.h"

#include <typeinfo>
#include <vector>

#include "doc/html_node.h"
#include "platform/crt/char_class.h"

namespace quillet {

html_obj_printer::html_obj_printer(std::ostream& out, std::uint32_t flags)
    : out_(&out), flags_(flags), buf_(new char[flush_at + 4096]), capacity_(flush_at + 4096) {
  for (int c = 0; c < 256; ++c) {
    bool bare = crt::is_alpha(c) || crt::is_digit(c) || c == '.' || c == '-';
    value_class_[c] = bare ? 0 : value_needs_quotes;
  }
  value_class_['"'] |= value_has_double;
  value_class_['\''] |= value_has_single;
}

html_obj_printer::~html_obj_printer() { flush(); }

std::ostream& html_obj_printer::stream() {
  flush();
  return *out_;
}

void html_obj_printer::put_pending_lt(bool as_entity) {
  pending_lt_ = false;
  write(as_entity ? "&lt;" : "<");
  if (pending_slash_)
    write("/");
  pending_slash_ = false;
}

void html_obj_printer::flush() {
  if (pending_lt_)
    put_pending_lt(false);
  if (used_ == 0)
    return;
  out_->write(buf_.get(), static_cast<std::streamsize>(used_));
  used_ = 0;
}

// Bytes that do not fit in the buffer: they follow what it holds, straight to the stream when
// they would not fit even into an empty buffer.
void html_obj_printer::write_long(std::string_view s) {
  flush();
  if (s.size() > capacity_) {
    out_->write(s.data(), static_cast<std::streamsize>(s.size()));
    return;
  }
  std::memcpy(buf_.get(), s.data(), s.size());
  used_ = s.size();
}

// Empties the buffer, and grows it when one caller needs more room than it has.
void html_obj_printer::make_room(std::size_t n) {
  flush();
  if (n <= capacity_)
    return;
  buf_.reset(new char[n]);
  capacity_ = n;
}

// Whether a '<' written just before `s` would be read back as the start of markup rather
// than as text: a letter, '!', '?', or '/' before a letter (or before the end of the text).
static bool opens_markup_after_lt(std::string_view s) {
  if (s.empty())
    return false;
  auto c = static_cast<unsigned char>(s[0]);
  if (c == '!' || c == '?' || crt::is_alpha(c))
    return true;
  return c == '/' && (s.size() == 1 || crt::is_alpha(static_cast<unsigned char>(s[1])));
}

void html_obj_printer::write_text(std::string_view s) {
  if (s.empty())
    return;
  if (pending_lt_)
    put_pending_lt(pending_slash_ ? crt::is_alpha(static_cast<unsigned char>(s[0])) : opens_markup_after_lt(s));
  bool slash = s.size() >= 2 && s.substr(s.size() - 2) == "</";
  bool hold = slash || s.back() == '<';
  if (hold)
    s.remove_suffix(slash ? 2 : 1);
  write(s);
  pending_lt_ = hold;
  pending_slash_ = slash;
}

namespace {

struct open_tag {
  html_elt_tag* tag;
  html_element* after;
};

// Plain tags are walked here; a class derived from html_elt_tag prints itself. Comparing
// type_info objects of different types may compare their names, so the last derived class
// met is remembered by its type_info object, which answers for all its nodes (the cells of a
// table row, say) without that comparison.
bool is_plain_tag(html_element* n) {
  if (n->kind != html_kind::tag)
    return false;
  static thread_local const std::type_info* last_derived = nullptr;
  const std::type_info& type = typeid(*n);
  if (&type == &typeid(html_elt_tag))
    return true;
  if (&type == last_derived)
    return false;
  if (type == typeid(html_elt_tag))
    return true;
  last_derived = &type;
  return false;
}

}  // namespace

void print_list(html_obj_printer& p, html_element* list) {
  if (!list)
    return;
  std::vector<open_tag> open;
  html_element* n = list;
  for (;;) {
    while (!n) {
      if (open.empty())
        return;
      open_tag top = open.back();
      open.pop_back();
      top.tag->html_elt_tag::print_end_tag(p);
      n = top.after;
    }
    if (!is_plain_tag(n)) {
      n->print(p);
      n = n->next;
      continue;
    }
    auto* t = static_cast<html_elt_tag*>(n);
    t->print_own_start_tag(p);
    open.push_back({t, n->next});
    n = t->children;
  }
}

}  // namespace quillet
