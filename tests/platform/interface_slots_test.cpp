// The component interfaces keep their methods in the product's slot order (QueryInterface is
// 0): a compiled caller reaches a method by its place in the virtual table, not by its name.
// A pointer to a virtual member holds that place (the Itanium C++ ABI stores one plus the
// byte offset into the table), so two swapped declarations fail here.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "platform/com/nv_reg_archive.h"
#include "platform/com/ole.h"
#include "platform/trend/trend_interfaces.h"

namespace quillet {
namespace {

// The table slot a pointer to a virtual member names, or -1 for a non-virtual one.
template <class F>
long slot_of(F member) {
  static_assert(sizeof(F) == 2 * sizeof(std::ptrdiff_t), "a member pointer is a pointer and an adjustment");
  std::ptrdiff_t words[2];
  std::memcpy(words, &member, sizeof words);
  if ((words[0] & 1) == 0)
    return -1;
  return static_cast<long>((words[0] - 1) / static_cast<std::ptrdiff_t>(sizeof(void*)));
}

struct slot_row {
  const char* name;
  long slot;
  long expected;
};

void check(const slot_row* rows, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    SCOPED_TRACE(rows[i].name);
    EXPECT_EQ(rows[i].slot, rows[i].expected);
  }
}

#define SLOT(cls, method, number) {#cls "::" #method, slot_of(&cls::method), number}

TEST(InterfaceSlots, ArchiveBrowserAndMonitor) {
  const slot_row rows[] = {
      SLOT(INvRegArchive, QueryInterface, 0), SLOT(INvRegArchive, AddRef, 1),
      SLOT(INvRegArchive, Release, 2),        SLOT(INvRegArchive, time_range, 3),
      SLOT(INvRegArchive, channel_list, 4),   SLOT(INvRegArchive, read_records, 5),
      SLOT(INvRegArchive, read_values, 6),    SLOT(INvRegArchive, query_pair, 7),
      SLOT(INvRegArchive, query_word, 8),

      SLOT(IvxChBrowser, group_count, 3),     SLOT(IvxChBrowser, get_groups, 4),
      SLOT(IvxChBrowser, channel_count, 5),   SLOT(IvxChBrowser, get_channels, 6),
      SLOT(IvxChBrowser, all_groups, 7),      SLOT(IvxChBrowser, group_channels, 8),
      SLOT(IvxChBrowser, query_channel, 9),   SLOT(IvxChBrowser, query_browser, 10),
      SLOT(IvxChBrowser, fill_group, 11),     SLOT(IvxChBrowser, fill_channel, 12),
      SLOT(IvxChBrowser, browser_word, 13),   SLOT(IvxChBrowser, channel_word_of, 14),
      SLOT(IvxChBrowser, channel_word, 15),

      SLOT(IvxKOV, monitor_reserved3, 3),     SLOT(IvxKOV, monitor_reserved4, 4),
      SLOT(IvxKOV, monitor_reserved5, 5),     SLOT(IvxKOV, monitor_reserved6, 6),
      SLOT(IvxKOV, monitor_reserved7, 7),     SLOT(IvxKOV, monitor_reserved8, 8),
      SLOT(IvxKOV, monitor_reserved9, 9),     SLOT(IvxKOV, channel_request, 10),
      SLOT(IvxKOV, channel_command, 11),      SLOT(IvxKOV, channel_query, 12),
      SLOT(IvxKOV, monitor_reserved13, 13),   SLOT(IvxKOV, monitor_reserved14, 14),
      SLOT(IvxKOV, archive, 15),              SLOT(IvxKOV, channel_notice, 16),
      SLOT(IvxKOV, monitor_word, 17),
  };
  check(rows, std::size(rows));
}

TEST(InterfaceSlots, TrendDisplayAndData) {
  using trend::ITrendData;
  using trend::ITrendDisplay;
  const slot_row rows[] = {
      SLOT(ITrendDisplay, display_reserved3, 3), SLOT(ITrendDisplay, set_curves, 4),
      SLOT(ITrendDisplay, get_settings, 5),      SLOT(ITrendDisplay, set_settings, 6),
      SLOT(ITrendDisplay, display_reserved7, 7), SLOT(ITrendDisplay, display_reserved8, 8),
      SLOT(ITrendDisplay, display_reserved9, 9), SLOT(ITrendDisplay, attach_browser, 10),

      SLOT(ITrendData, data_reserved3, 3),       SLOT(ITrendData, data_reserved4, 4),
      SLOT(ITrendData, data_reserved5, 5),       SLOT(ITrendData, data_reserved6, 6),
      SLOT(ITrendData, data_reserved7, 7),       SLOT(ITrendData, attach_archive, 8),
      SLOT(ITrendData, attach_browser, 9),       SLOT(ITrendData, data_reserved10, 10),
      SLOT(ITrendData, data_reserved11, 11),     SLOT(ITrendData, data_reserved12, 12),
      SLOT(ITrendData, data_reserved13, 13),     SLOT(ITrendData, data_reserved14, 14),
      SLOT(ITrendData, data_reserved15, 15),     SLOT(ITrendData, set_mode, 16),
      SLOT(ITrendData, set_time, 17),
  };
  check(rows, std::size(rows));
}

TEST(InterfaceSlots, ControlEmbedding) {
  using namespace com;
  const slot_row rows[] = {
      SLOT(IOleClientSite, SaveObject, 3),            SLOT(IOleClientSite, RequestNewObjectLayout, 8),
      SLOT(IOleInPlaceSite, GetWindow, 3),            SLOT(IOleInPlaceSite, CanInPlaceActivate, 5),
      SLOT(IOleInPlaceSite, GetWindowContext, 8),     SLOT(IOleInPlaceSite, OnPosRectChange, 14),
      SLOT(IOleObject, SetClientSite, 3),             SLOT(IOleObject, DoVerb, 6),
      SLOT(IOleInPlaceObject, InPlaceDeactivate, 5),  SLOT(IOleInPlaceObject, ReactivateAndUndo, 8),
      SLOT(IViewObject, Draw, 3),
  };
  check(rows, std::size(rows));
}

}  // namespace
}  // namespace quillet
