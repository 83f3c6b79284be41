// The node classes of a template's document tree. Every node is counted; every pointer between
// nodes is an owning reference (one count) unless it says otherwise. Lists (children, attributes,
// a document's top level) are chains through `next`; freeing a list or a subtree never recurses,
// so nesting depth is bounded by memory only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "doc/html_elt_def.h"
#include "doc/html_text.h"
#include "txl/rc_object.h"
#include "txl/text_origin.h"

namespace quillet {

class html_obj_printer;

// Which class a node is, so that the reader, writer and list code need no casts to find out.
// Classes derived from html_elt_tag elsewhere keep the kind `tag`.
enum class html_kind : std::uint8_t { object, attr, text, comment, sgml, tag, etag };

class html_object : public dynamic_object {
public:
  // Node flag bits.
  static constexpr std::uint32_t NL_AFTER = 0x1;      // a line break followed the node (start tag)
  static constexpr std::uint32_t NL_AFTER_END = 0x2;  // a line break followed the end tag
  static constexpr std::uint32_t HAS_END_TAG = 0x8;   // closed by its own explicit end tag

  std::uint32_t flags = 0;

  // Nodes live in the node pool (doc/node_pool.h).
  static void* operator new(std::size_t size);
  static void operator delete(void* p, std::size_t size) noexcept;

  ~html_object() override = default;
  // Releases everything the node owns and resets its fields.
  virtual void clear();
  // Writes the node's markup; nothing for a bare object.
  virtual void print(html_obj_printer& p);
};

class html_element : public html_object {
public:
  html_element* next = nullptr;  // next sibling in the owner's list
  const html_kind kind;
  // Byte offset in the file read of the node's first byte (the "<" of a tag, comment or
  // declaration, the first byte of a text or attribute name); no_source_offset for nodes the
  // program made. Lines and columns are worked out from the file's text when a message needs
  // them (doc/source_lines.h).
  std::uint32_t source_offset = no_source_offset;

  ~html_element() override;
  // Leaves `next` alone: a node being cleared keeps its place in its list.
  void clear() override;

protected:
  explicit html_element(html_kind k) : kind(k) {}
};

// Definition of a tag name that is not in the table. Shared by every start and end tag of that
// name read in one parse; each holds one count.
class html_elt_def_dynamic : public html_object, public html_elt_def {
public:
  explicit html_elt_def_dynamic(std::string_view upper_name);

private:
  std::string owned_name_;
};

// Takes or drops a reference on a definition; only dynamic definitions are counted.
void retain_def(const html_elt_def* def);
void release_def(const html_elt_def* def);

// A start tag with its attributes and content.
class html_elt_tag : public html_element {
public:
  const html_elt_def* def = nullptr;  // counted only when DYNAMIC
  html_element* attrs = nullptr;      // html_attr nodes in source order
  html_element* children = nullptr;   // content in source order

  // Takes its own reference on a dynamic definition.
  explicit html_elt_tag(const html_elt_def* d);
  ~html_elt_tag() override;
  void clear() override;
  // Start tag, children in order, end tag; nested plain tags are printed without recursion.
  void print(html_obj_printer& p) override;
  virtual void print_start_tag(html_obj_printer& p, std::string_view name, html_element* attr_list,
                               html_element* extra);
  virtual void print_attributes(html_obj_printer& p, html_element* attr_list, html_element* extra);
  virtual void print_end_tag(html_obj_printer& p);
  // What html_elt_tag::print_start_tag writes with this tag's own attributes and no extras,
  // for a node of exactly this class (the node walk's plain tags) or one whose print_attributes
  // adds nothing to them (a report's element without computed attributes).
  void print_own_start_tag(html_obj_printer& p);
  // The tag name the writer prints: the definition's name.
  std::string_view name() const { return def ? def->name : std::string_view(); }
};

// An end tag that closed nothing (a stray end tag).
class html_elt_etag : public html_element {
public:
  const html_elt_def* def = nullptr;  // counted only when DYNAMIC

  explicit html_elt_etag(const html_elt_def* d);
  ~html_elt_etag() override;
  void clear() override;
  void print(html_obj_printer& p) override;
};

// Text exactly as read, entities not decoded.
class html_elt_text : public html_element {
public:
  html_text text;

  explicit html_elt_text(std::string_view t) : html_element(html_kind::text), text(t) {}
  explicit html_elt_text(html_text&& t) : html_element(html_kind::text), text(std::move(t)) {}
  void clear() override;
  void print(html_obj_printer& p) override;

protected:
  html_elt_text(html_kind k, std::string_view t) : html_element(k), text(t) {}
};

// A comment; `text` is the body without "<!--" and "-->".
class html_elt_comment : public html_elt_text {
public:
  explicit html_elt_comment(std::string_view t) : html_elt_text(html_kind::comment, t) {}
  void print(html_obj_printer& p) override;
};

// A declaration or processing instruction without its '<' and '>'; starts with '!' or '?'.
class html_elt_sgml : public html_elt_text {
public:
  explicit html_elt_sgml(std::string_view t) : html_elt_text(html_kind::sgml, t) {}
  void print(html_obj_printer& p) override;
};

// An attribute; `value` is absent for an attribute written without '='.
class html_attr : public html_element {
public:
  html_text name;
  html_text value;

  html_attr(std::string_view n, std::optional<std::string_view> v);
  html_attr(html_text&& n, html_text&& v)
      : html_element(html_kind::attr), name(std::move(n)), value(std::move(v)) {}
  void clear() override;
  void print(html_obj_printer& p) override;
};

// Drops the list's reference on every node from `head` onwards. A tag whose last reference
// goes hands its children and attributes to the same work list, so this never recurses.
void release_list(html_element* head);

// Appends `node` (whose reference the list takes over) after the last node of `list`.
void append_node(html_element*& list, html_element* node);

}  // namespace quillet
