// Mapping text bytes to file offsets through a short list of anchors.
#include "txl/text_origin.h"

#include <algorithm>

namespace quillet {

// An anchor at the same text byte as the last one replaces it; one that says nothing new is
// left out, so that a run of plain text stays one anchor.
void txl_text_origin::add(std::uint32_t text_at, std::uint32_t file_at, bool fixed) {
  if (file_at == no_source_offset)
    return;
  if (!anchors_.empty() && anchors_.back().text_at == text_at) {
    anchors_.back() = {text_at, file_at, fixed};
    return;
  }
  if (!fixed && !anchors_.empty() && file_offset(text_at) == file_at && !anchors_.back().fixed)
    return;
  anchors_.push_back({text_at, file_at, fixed});
}

const txl_text_origin::anchor* txl_text_origin::anchor_for(std::uint32_t k) const {
  auto after = std::upper_bound(anchors_.begin(), anchors_.end(), k,
                                [](std::uint32_t at, const anchor& a) { return at < a.text_at; });
  return after == anchors_.begin() ? nullptr : &*(after - 1);
}

// Bytes before the first anchor stand where it does; a sum past the largest offset names no
// place.
std::uint32_t txl_text_origin::file_offset(std::uint32_t k) const {
  if (anchors_.empty())
    return no_source_offset;
  const anchor* a = anchor_for(k);
  if (!a)
    return anchors_.front().file_at;
  if (a->fixed)
    return a->file_at;
  std::uint64_t at = std::uint64_t{a->file_at} + (k - a->text_at);
  return at < no_source_offset ? static_cast<std::uint32_t>(at) : no_source_offset;
}

void txl_text_origin::append_slice(const txl_text_origin& from, std::uint32_t begin, std::uint32_t end,
                                   std::uint32_t to) {
  if (!from.known() || end < begin)
    return;
  const anchor* first = from.anchor_for(begin);
  add(to, from.file_offset(begin), first && first->fixed);
  for (const anchor& a : from.anchors_)
    if (a.text_at > begin && a.text_at < end)
      add(to + (a.text_at - begin), a.file_at, a.fixed);
}

txl_text_origin txl_text_origin::slice(std::uint32_t begin, std::uint32_t end) const {
  txl_text_origin out;
  out.append_slice(*this, begin, end, 0);
  return out;
}

}  // namespace quillet
