// Dynamic elements: tags of a template that evaluate their properties while the report is
// written. Each keeps the tag's definition, attributes and children and adds its property
// list; the classes below add the repeat rules of generic elements, table rows, table cells
// and list items. The processor that built them must outlive them; none owns another.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "doc/html_attr_print.h"
#include "doc/html_node.h"
#include "doc/html_printer.h"
#include "doc/template_markup.h"
#include "txl/anyval.h"

namespace quillet {

class htdoc_processor;

// One item of an inline style.
struct style_item {
  std::string name;
  std::string value;
};

class html_dyn_elt : public html_elt_tag {
public:
  explicit html_dyn_elt(const html_elt_def* d) : html_elt_tag(d) {}
  void clear() override;
  // Writes the attributes with the computed ATTR. and STYLE. properties merged in.
  void print_attributes(html_obj_printer& p, html_element* attr_list, html_element* extra) override;
  // Stores the processor; subclasses find their properties and convert their content.
  virtual void init(htdoc_processor& processor, html_elt_tag* parent, const txl_prop_list* params);

  // The first property of exactly that name, or null.
  txl_user_function* find_prop(std::string_view name) const;
  // The value of "ATTR." + name when that property exists (found_dynamic set), else the
  // element's own attribute of that name as a string; false when neither gives a value.
  bool get_attr_value(std::string_view attr_name, anyval& result, bool& found_dynamic);
  // The value of "STYLE." + name, else the STYLE attribute's item of that name (any ASCII
  // case), else get_attr_value(attr_name).
  bool get_style_value(std::string_view style_name, std::string_view attr_name, anyval& result,
                       bool& found_dynamic);
  // Evaluates a property through the processor; the integer it gives, or `fallback` when it
  // is absent, fails or does not convert.
  std::int32_t int_of(txl_user_function* prop, std::int32_t fallback);
  // Unbinds the calls of every property, so that nothing keeps the template's variables.
  void unbind_props();

  txl_prop_list props;
  htdoc_processor* processor = nullptr;  // not owned

protected:
  // The bytes readable behind a text that is copied sixteen bytes at a time.
  static constexpr std::size_t step_slack = 15;
  // How a copy's start tag is written: with the element's own attributes alone (no computed
  // ones), whole with one computed attribute or with the computed STYLE alone (for a tag
  // without attributes of its own), or through print_start_tag.
  enum class start_tag_way : std::uint8_t { own, one_attr, style_alone, general };
  // The way for the element's properties, definition and attributes as they are now.
  start_tag_way current_start_tag_way();
  // The start tag the way given, which current_start_tag_way gave for the element as it still
  // is: the text of a tag written whole with a computed attribute or style, which the element
  // keeps until its next start tag, for the caller to write; or empty, having written it.
  std::string_view computed_start_tag(html_obj_printer& p, start_tag_way way);
  // Set by a class that adds attributes of its own to the start tag (a cell's ROWSPAN).
  bool start_tag_extras_ = false;

private:
  // Which properties compute attributes: the positions of the ATTR. ones in `props` and
  // whether a STYLE. one is there. Worked out on the first start tag and again whenever
  // `props` is another list (other storage or size); clear() forgets it.
  struct attr_plan {
    const void* props_data = nullptr;
    std::size_t props_size = 0;
    bool known = false;
    bool has_style = false;
    bool distinct_names = true;  // no two ATTR. properties name the same attribute
    std::vector<std::size_t> attr_props;
    std::vector<std::size_t> style_props;  // the STYLE. ones
    // The quotes the STYLE. properties' names hold: quote_double and quote_single bits.
    unsigned style_name_quotes = 0;
    // What can be written whole (see start_tag_way): a tag with no computed attributes (with
    // or without its own), or, for a tag without attributes of its own, one ATTR. property or
    // STYLE. properties alone.
    enum { not_whole, own_only, one_attr, style_alone } start_tag = not_whole;
    // For a start tag written whole with a computed attribute: "<", the tag's name, a space,
    // the attribute's name and "=", made for the definition `head_def`; for the computed
    // STYLE of one property, followed by the opening quote and the property's "name:". Its
    // first head_size bytes; the start tag last assembled behind it follows them.
    const html_elt_def* head_def = nullptr;
    std::string head;
    std::size_t head_size = 0;
    // The value the start tag assembled behind the head holds, where it starts and that
    // tag's size; last_value_size is npos while there is none. The tag is the same for the
    // same value, so a copy whose attribute gives it again takes the tag as it is.
    std::size_t last_value_at = 0;
    std::size_t last_value_size = std::string_view::npos;
    std::size_t last_tag_size = 0;
  };
  // The element's own STYLE attribute as last read: its text and its items, parsed again
  // only when the text differs.
  struct own_style_cache {
    bool known = false;
    std::string text;
    std::vector<style_item> items;
  };
  const attr_plan& current_attr_plan() {
    return plan_.known && plan_.props_data == props.data() && plan_.props_size == props.size() ? plan_
                                                                                               : make_attr_plan();
  }
  const attr_plan& make_attr_plan();
  static bool has_attributes(html_element* list);
  void add_attr_props(const attr_plan& plan, anyval& last);
  void print_attr_props(html_obj_printer& p, const attr_plan& plan);
  void print_style_props(html_obj_printer& p, const attr_plan& plan);
  unsigned assemble_style_props(const attr_plan& plan, const html_obj_printer& p);
  std::string_view start_tag_with_attr(html_obj_printer& p);
  std::string_view assemble_attr_start_tag(std::string_view text, unsigned seen);
  std::string_view start_tag_with_style(html_obj_printer& p);
  // Room for n bytes behind the head of plan_.head, whose bytes beyond the head only grow, so
  // that a report's start tags reuse them; followed by step_slack bytes more, so that the
  // start tag assembled there is copied sixteen bytes at a time.
  char* room_behind_head(std::size_t n) {
    if (plan_.head.size() < plan_.head_size + n + step_slack) [[unlikely]]
      grow_behind_head(n + step_slack);
    return plan_.head.data() + plan_.head_size;
  }
  void grow_behind_head(std::size_t n);
  // Whether the start tag assembled last behind the head holds `text` as its value.
  bool start_tag_holds(std::string_view text) const {
    return plan_.last_value_size == text.size() &&
           same_bytes(plan_.head.data() + plan_.last_value_at, text.data(), text.size());
  }
  // The start tag just assembled behind the head, ending at `end`, whose value `text` starts
  // at `at`: noted for start_tag_holds.
  std::string_view keep_start_tag(std::size_t at, std::string_view text, const char* end) {
    plan_.last_value_at = at;
    plan_.last_value_size = text.size();
    plan_.last_tag_size = static_cast<std::size_t>(end - plan_.head.data());
    return {plan_.head.data(), plan_.last_tag_size};
  }
  void print_start_tag_with_styles(html_obj_printer& p, const attr_plan& plan, const std::string_view* one);
  // The text of a computed value: a string's own, else its conversion in attr_text_; false
  // when it has none.
  bool text_of(const anyval& value, std::string_view& text) {
    if (const std::string* s = value.as_string()) {
      text = *s;
      return true;
    }
    if (!value.to_text(attr_text_))
      return false;
    text = attr_text_;
    return true;
  }
  std::string_view start_tag_head(std::string_view attr_name) {
    return plan_.head_def == def ? std::string_view(plan_.head.data(), plan_.head_size)
                                 : make_start_tag_head(attr_name);
  }
  std::string_view make_start_tag_head(std::string_view attr_name);
  const std::vector<style_item>& own_style(html_element* attrs);
  void evaluate_style_props(const attr_plan& plan);
  std::string_view merge_style(const attr_plan& plan, html_element* attrs);

  attr_plan plan_;
  own_style_cache own_style_;
  // The texts of the STYLE. properties of the tag being written, which of them gave one (in
  // property order) and which of those took the place of an own item; kept for their room.
  std::vector<std::string> style_values_;
  std::vector<std::size_t> style_given_;
  std::vector<char> style_placed_;
  std::string style_text_;  // room for the merged style; its first style_used_ bytes hold it
  std::size_t style_used_ = 0;
  // The STYLE. property (its position in `props`) whose "name:" starts style_text_ as the
  // computed style alone last left it; the merge with own items writes over it.
  static constexpr std::size_t no_style_head = SIZE_MAX;
  std::size_t style_head_ = no_style_head;

  // The texts of the computed attributes of the start tag being written, and their views in
  // the order they apply; kept between tags so that a report reuses their room.
  std::vector<std::string> computed_texts_;
  std::vector<html_attr_view> computed_attrs_;
  std::string attr_text_;  // the text of a computed attribute that is not a string
};

// An element with REPEAT and VALUE.
class html_dyn_elt_generic : public html_dyn_elt {
public:
  explicit html_dyn_elt_generic(const html_elt_def* d) : html_dyn_elt(d) {}
  void clear() override;
  // Writes the element as often as REPEAT says, each time with IDX() counting from 0.
  void print(html_obj_printer& p) override;
  void init(htdoc_processor& processor, html_elt_tag* parent, const txl_prop_list* params) override;
  // One copy: start tag, the VALUE (entities encoded) or the children, end tag.
  virtual void print_once(html_obj_printer& p);

  txl_user_function* repeat = nullptr;  // into props
  txl_user_function* value = nullptr;   // into props

protected:
  // Writes print_once n times inside a context entry of `kind` whose index counts.
  void print_repeated(html_obj_printer& p, int kind, std::int32_t n);
  // Sets whether the start tag has extras of the class's own, which its copies then follow.
  void set_start_tag_extras(bool extras) {
    if (extras != start_tag_extras_)
      copy_.printer = 0;
    start_tag_extras_ = extras;
  }
  // print_once of an element with a VALUE.
  void print_value_copy(html_obj_printer& p);
  // The start tag of a copy whose content is the element's children, and its end tag, which
  // is what print_end_tag writes (no dynamic element overrides it).
  void print_copy_start_tag(html_obj_printer& p);
  void print_copy_end_tag(html_obj_printer& p);

private:
  // What every copy of the element writes around its content for one printer: the way of its
  // start tag, the start tag itself when it is the same every time (the element's own
  // attributes alone, written in one piece), and its end tag (which follows the printer's
  // options). A printer writes one document, which stays as it is while it does (definitions,
  // tag flags, attributes, properties, processor), so the plan is made again only for another
  // printer, or once the start tag extras changed.
  // The tags are kept with `step_slack` bytes behind them, so that they are copied sixteen
  // bytes at a time (see copy_steps).
  struct copy_plan {
    std::uint64_t printer = 0;  // html_obj_printer::serial(); 0: no plan
    bool whole_start = false;   // `start` holds the start tag, and `end` is not long
    start_tag_way way = start_tag_way::general;
    std::string start;
    std::string end;
    std::size_t start_size = 0;
    std::size_t end_size = 0;
    std::string_view start_tag() const { return {start.data(), start_size}; }
    std::string_view end_tag() const { return {end.data(), end_size}; }
  };
  const copy_plan& current_copy_plan(const html_obj_printer& p);  // inline where it is used
  const copy_plan& make_copy_plan(const html_obj_printer& p);

  std::string value_text_;   // the VALUE's text when it is not a string; reused between copies
  std::string value_error_;  // the VALUE's error text; reused between copies
  copy_plan copy_;
};

class html_dyn_elt_td;

// A table row: written as often as the largest ROWS of its cells.
class html_dyn_elt_tr : public html_dyn_elt_generic {
public:
  explicit html_dyn_elt_tr(const html_elt_def* d) : html_dyn_elt_generic(d) {}
  void print(html_obj_printer& p) override;
  void init(htdoc_processor& processor, html_elt_tag* parent, const txl_prop_list* params) override;
  // One copy of the row: start tag, the cells on the current row, end tag.
  void print_once(html_obj_printer& p) override;

  std::vector<html_dyn_elt_td*> cells;  // not owned, document order
  std::int32_t current_row = 0;

private:
  void print_cells(html_obj_printer& p);
};

// A table cell (TD, TH): written on the rows it covers, COLS times across.
class html_dyn_elt_td final : public html_dyn_elt_generic {
public:
  explicit html_dyn_elt_td(const html_elt_def* d) : html_dyn_elt_generic(d) {}
  void print(html_obj_printer& p) override;
  void print_attributes(html_obj_printer& p, html_element* attr_list, html_element* extra) override;
  void init(htdoc_processor& processor, html_elt_tag* parent, const txl_prop_list* params) override;
  // Computes rows, cols and rowspan in the contexts present now; returns rows.
  std::int32_t prepare();
  // True when the cell is written once on every row, in a ROW entry at the row's index and a
  // COL entry at 0: the entries its neighbours of the same kind push too.
  bool takes_row_entries() const { return rowspan == 1 && cols == 1; }

  html_dyn_elt_tr* row = nullptr;  // not owned
  std::int32_t rows = 1;
  std::int32_t cols = 1;
  std::int32_t rowspan = 1;
  txl_user_function* rows_prop = nullptr;
  txl_user_function* cols_prop = nullptr;

  // One copy of the cell (print_once, which the cell does not override), with the call for
  // an element with a VALUE made here.
  void print_copy(html_obj_printer& p) {
    if (value)
      print_value_copy(p);
    else
      print_once(p);
  }

private:
  void print_one_column(html_obj_printer& p);
  void print_attributes_with_rowspan(html_obj_printer& p, html_element* attr_list, html_element* extra);
};

// A list item (LI) or definition term (DT, with the DD elements that follow it).
class html_dyn_elt_li : public html_dyn_elt_generic {
public:
  explicit html_dyn_elt_li(const html_elt_def* d) : html_dyn_elt_generic(d) {}
  ~html_dyn_elt_li() override;
  void clear() override;
  void print(html_obj_printer& p) override;
  void init(htdoc_processor& processor, html_elt_tag* parent, const txl_prop_list* params) override;
  void print_once(html_obj_printer& p) override;

  txl_user_function* rows_prop = nullptr;
  html_element* detached = nullptr;  // owned list: the DD run of a DT
};

class ocx_elt_site;

// An embedded control (OBJECT): drawn into an image file of the report's folder, whose IMG tag
// takes the element's place. The site and its control live until the class changes or the
// element is cleared; size, depth and image type are read again on every run.
class html_dyn_elt_ocx : public html_dyn_elt_generic {
public:
  explicit html_dyn_elt_ocx(const html_elt_def* d);
  ~html_dyn_elt_ocx() override;
  void clear() override;
  // Writes the IMG tag of the control's picture, or one error marker.
  void print(html_obj_printer& p) override;

  std::unique_ptr<ocx_elt_site> site;
  std::string class_id;  // the CLASSID text the site was made for
  std::int32_t width = 800;
  std::int32_t height = 600;
  std::int32_t bits_per_pixel = 8;

private:
  // A site for the element's CLASSID, made anew when the text changed; false when there is
  // no usable identifier or the control cannot be created.
  bool ensure_site();
  void release_site();
  // Reads WIDTH, HEIGHT and BPP for this run.
  void read_size();
  // The IMG start tag of the picture file `name`, with the object's own attributes removed.
  void print_image_tag(html_obj_printer& p, const std::string& name);
};

// Converts, in `list` and below, every tag that carries an ELT directive or is a TR, TD, TH,
// LI, DT or OBJECT. `parent` is the element whose content the list is.
void build_dynamic(htdoc_processor& processor, html_element*& list, html_elt_tag* parent,
                   const txl_prop_list* params);

// The items of a STYLE attribute's text, in order.
std::vector<style_item> parse_inline_style(std::string_view text);

}  // namespace quillet
