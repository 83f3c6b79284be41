// The trend control as a component: its interfaces, activation by a host, settings and curves.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "platform/com/registry.h"
#include "platform/trend/trend_control.h"
#include "tests/platform/trend_fakes.h"

namespace quillet::trend {
namespace {

using testing::fake_archive;
using testing::fake_site;

// Makes a control through the registry, as a host does, holding its object interface.
rc_ptr<com::IOleObject> new_control() {
  register_trend_control();
  rc_ptr<com::IOleObject> object;
  EXPECT_EQ(com::CoCreateInstance(CLSID_trend_control, com::IID_IOleObject, com::put_void(object)), com::S_OK);
  return object;
}

trend_control& control_of(const rc_ptr<com::IOleObject>& object) {
  return *static_cast<trend_control*>(object.get());
}

TEST(TrendControl, AnswersItsInterfacesOnly) {
  struct row {
    const char* name;
    const com::IID* iid;
    com::HRESULT hr;
  };
  const com::IID other = com::guid_of("{00000001-0000-0000-C000-000000000046}");
  const row rows[] = {
      {"IUnknown", &com::IID_IUnknown, com::S_OK},
      {"IOleObject", &com::IID_IOleObject, com::S_OK},
      {"IOleInPlaceObject", &com::IID_IOleInPlaceObject, com::S_OK},
      {"IOleWindow", &com::IID_IOleWindow, com::S_OK},
      {"IViewObject", &com::IID_IViewObject, com::S_OK},
      {"trend display", &IID_trend_display, com::S_OK},
      {"trend data", &IID_trend_data, com::S_OK},
      {"IOleClientSite", &com::IID_IOleClientSite, com::E_NOINTERFACE},
      {"IOleInPlaceSite", &com::IID_IOleInPlaceSite, com::E_NOINTERFACE},
      {"INvRegArchive", &com::IID_INvRegArchive, com::E_NOINTERFACE},
      {"other", &other, com::E_NOINTERFACE},
  };
  {
    auto object = new_control();
    com::IUnknown* identity = nullptr;
    ASSERT_EQ(object->QueryInterface(com::IID_IUnknown, reinterpret_cast<void**>(&identity)), com::S_OK);
    for (const auto& r : rows) {
      SCOPED_TRACE(r.name);
      void* out = reinterpret_cast<void*>(1);
      EXPECT_EQ(object->QueryInterface(*r.iid, &out), r.hr);
      if (r.hr != com::S_OK) {
        EXPECT_EQ(out, nullptr);
        continue;
      }
      auto* given = static_cast<com::IUnknown*>(out);
      com::IUnknown* back = nullptr;
      EXPECT_EQ(given->QueryInterface(com::IID_IUnknown, reinterpret_cast<void**>(&back)), com::S_OK);
      EXPECT_EQ(back, identity) << "every interface leads back to one object";
      back->Release();
      given->Release();
    }
    EXPECT_EQ(object->QueryInterface(com::IID_IUnknown, nullptr), com::E_POINTER);
    EXPECT_EQ(identity->Release(), 1u);
  }
  EXPECT_EQ(trend_controls_alive(), 0);
}

TEST(TrendControl, UnusedSlotsAreNotImplemented) {
  auto object = new_control();
  trend_control& c = control_of(object);
  const std::function<com::HRESULT()> calls[] = {
      [&] { return c.display_reserved3(); }, [&] { return c.display_reserved7(); },
      [&] { return c.display_reserved8(); }, [&] { return c.display_reserved9(); },
      [&] { return c.data_reserved3(); },    [&] { return c.data_reserved4(); },
      [&] { return c.data_reserved5(); },    [&] { return c.data_reserved6(); },
      [&] { return c.data_reserved7(); },    [&] { return c.data_reserved10(); },
      [&] { return c.data_reserved11(); },   [&] { return c.data_reserved12(); },
      [&] { return c.data_reserved13(); },   [&] { return c.data_reserved14(); },
      [&] { return c.data_reserved15(); },   [&] { return c.ReactivateAndUndo(); },
      [&] { return c.ContextSensitiveHelp(true); },
  };
  int slot = 0;
  for (const auto& call : calls) {
    SCOPED_TRACE(slot++);
    EXPECT_EQ(call(), com::E_NOTIMPL);
  }
}

TEST(TrendControl, InPlaceActivationTakesTheSitesRectangle) {
  struct row {
    com::RECT from_site;
    com::RECT later;
    int width_active, height_active, width_later, height_later;
  };
  const row rows[] = {
      {{0, 0, 400, 150}, {0, 0, 800, 600}, 400, 150, 800, 600},
      {{10, 20, 110, 70}, {0, 0, 1, 1}, 100, 50, 1, 1},
      {{50, 50, 10, 10}, {0, 0, 640, 480}, 0, 0, 640, 480},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.width_active);
    fake_site site;
    site.position = r.from_site;
    {
      auto object = new_control();
      trend_control& c = control_of(object);
      ASSERT_EQ(object->SetClientSite(&site), com::S_OK);
      EXPECT_EQ(site.refs, 2) << "the control holds the site";
      const com::MSG message;
      const com::RECT drawing{0, 0, 1, 1};
      com::ole_window hidden;
      EXPECT_EQ(object->DoVerb(com::OLEIVERB_INPLACEACTIVATE, &message, &site, 0, &hidden, &drawing), com::S_OK);
      EXPECT_TRUE(c.in_place_active());
      EXPECT_EQ(c.width(), r.width_active);
      EXPECT_EQ(c.height(), r.height_active);
      rc_ptr<com::IOleInPlaceObject> in_place;
      ASSERT_TRUE(com::query(object.get(), com::IID_IOleInPlaceObject, in_place));
      EXPECT_EQ(in_place->SetObjectRects(&r.later, &r.later), com::S_OK);
      EXPECT_EQ(c.width(), r.width_later);
      EXPECT_EQ(c.height(), r.height_later);
      EXPECT_EQ(in_place->InPlaceDeactivate(), com::S_OK);
      EXPECT_FALSE(c.in_place_active());
      EXPECT_EQ(in_place->SetObjectRects(nullptr, nullptr), com::E_POINTER);
    }
    EXPECT_EQ(site.refs, 1) << "the last release lets go of the site";
    const std::vector<std::string> expected = {"CanInPlaceActivate", "OnInPlaceActivate", "GetWindowContext",
                                               "GetWindow", "OnInPlaceDeactivate"};
    EXPECT_EQ(site.log, expected);
    EXPECT_EQ(trend_controls_alive(), 0);
  }
}

TEST(TrendControl, OtherVerbsAndSiteQueries) {
  fake_site site;
  auto object = new_control();
  const com::RECT drawing{0, 0, 1, 1};
  EXPECT_EQ(object->DoVerb(0, nullptr, &site, 0, nullptr, &drawing), com::E_NOTIMPL);
  EXPECT_TRUE(site.log.empty());
  com::IOleClientSite* held = reinterpret_cast<com::IOleClientSite*>(&site);
  EXPECT_EQ(object->GetClientSite(&held), com::S_OK);
  EXPECT_EQ(held, nullptr);
  EXPECT_EQ(object->SetClientSite(&site), com::S_OK);
  EXPECT_EQ(object->GetClientSite(&held), com::S_OK);
  EXPECT_EQ(held, static_cast<com::IOleClientSite*>(&site));
  held->Release();
  EXPECT_EQ(object->SetClientSite(nullptr), com::S_OK);
  EXPECT_EQ(site.refs, 1);
}

TEST(TrendControl, StartsWithItsDefaultSettings) {
  auto object = new_control();
  rc_ptr<ITrendDisplay> display;
  ASSERT_TRUE(com::query(object.get(), IID_trend_display, display));
  trend_settings s;
  std::memset(static_cast<void*>(&s), 0xCD, sizeof s);
  ASSERT_EQ(display->get_settings(&s), com::S_OK);
  EXPECT_EQ(s.version, 0x1000);
  EXPECT_EQ(s.dt, 60);
  EXPECT_EQ(s.grid_color, 0x808080u);
  EXPECT_EQ(s.bg_color, 0xFFFFFFu);
  EXPECT_STREQ(s.font.lfFaceName, "DejaVu Sans");
  EXPECT_EQ(s.font.lfHeight, -12);
  EXPECT_EQ(s.font.lfWeight, 400);
  EXPECT_EQ(s.tunits, -1);
  EXPECT_EQ(s.flags, 0x2090);
  EXPECT_EQ(display->get_settings(nullptr), com::E_POINTER);
}

TEST(TrendControl, SettingsComeBackByteForByte) {
  auto object = new_control();
  rc_ptr<ITrendDisplay> display;
  ASSERT_TRUE(com::query(object.get(), IID_trend_display, display));
  const unsigned char fills[] = {0x00, 0x5A, 0xFF};
  for (unsigned char fill : fills) {
    SCOPED_TRACE(static_cast<int>(fill));
    trend_settings given;
    std::memset(static_cast<void*>(&given), fill, sizeof given);
    given.dt = 3600;
    ASSERT_EQ(display->set_settings(&given), com::S_OK);
    trend_settings back;
    ASSERT_EQ(display->get_settings(&back), com::S_OK);
    EXPECT_EQ(std::memcmp(&given, &back, sizeof given), 0);
  }
  EXPECT_EQ(display->set_settings(nullptr), com::E_POINTER);
}

TEST(TrendControl, CurvesAreCopied) {
  struct row {
    std::int32_t count;
    bool with_array;
    com::HRESULT hr;
    std::size_t kept;
  };
  const row rows[] = {
      {3, true, com::S_OK, 3},
      {0, false, com::S_OK, 0},
      {0, true, com::S_OK, 0},
      {-1, true, com::E_INVALIDARG, 2},
      {2, false, com::E_POINTER, 2},
      {5000, true, com::S_OK, 256},
  };
  auto object = new_control();
  trend_control& c = control_of(object);
  std::vector<trend_curve> curves(5000);
  for (std::size_t i = 0; i < curves.size(); ++i) {
    curves[i].channel = static_cast<std::uint32_t>(i);
    curves[i].color = 0x0000FF;
  }
  for (const auto& r : rows) {
    SCOPED_TRACE(r.count);
    c.set_curves(2, curves.data());
    EXPECT_EQ(c.set_curves(r.count, r.with_array ? curves.data() : nullptr), r.hr);
    ASSERT_EQ(c.curves().size(), r.kept);
    curves[0].color = 0x00FF00;
    if (r.kept > 1) {
      EXPECT_EQ(c.curves()[0].color, 0x0000FFu) << "the control keeps its own copy";
      EXPECT_EQ(c.curves()[1].channel, 1u);
    }
    curves[0].color = 0x0000FF;
  }
}

TEST(TrendControl, DataInterfaceKeepsModeTimeAndArchive) {
  fake_archive archive;
  {
    auto object = new_control();
    rc_ptr<ITrendData> data;
    ASSERT_TRUE(com::query(object.get(), IID_trend_data, data));
    EXPECT_EQ(data->attach_archive(&archive), com::S_OK);
    EXPECT_EQ(archive.refs, 2);
    EXPECT_EQ(data->set_mode(1), com::S_OK);
    EXPECT_EQ(control_of(object).mode(), 1);
    EXPECT_EQ(data->set_time(1700000000, 250), com::S_OK);
    EXPECT_EQ(data->attach_archive(nullptr), com::S_OK);
    EXPECT_EQ(archive.refs, 1);
    EXPECT_EQ(data->attach_archive(&archive), com::S_OK);
  }
  EXPECT_EQ(archive.refs, 1) << "the last release lets go of the archive";
}

TEST(TrendControl, DrawRefusesOtherAspectsAndEmptyRectangles) {
  struct row {
    std::uint32_t aspect;
    com::RECT bounds;
    com::HRESULT hr;
  };
  const row rows[] = {
      {com::DVASPECT_CONTENT, {0, 0, 40, 30}, com::S_OK},
      {2, {0, 0, 40, 30}, com::E_INVALIDARG},
      {com::DVASPECT_CONTENT, {0, 0, 0, 30}, com::E_INVALIDARG},
      {com::DVASPECT_CONTENT, {10, 10, 5, 30}, com::E_INVALIDARG},
      {com::DVASPECT_CONTENT, {-2147483647 - 1, 0, 2147483647, 30}, com::E_INVALIDARG},
  };
  auto object = new_control();
  gdi::drawing_surface surface(40, 30);
  for (const auto& r : rows) {
    SCOPED_TRACE(r.bounds.right);
    rc_ptr<com::IViewObject> view;
    ASSERT_TRUE(com::query(object.get(), com::IID_IViewObject, view));
    EXPECT_EQ(view->Draw(r.aspect, surface, r.bounds), r.hr);
  }
  gdi::drawing_surface invalid(0, 0);
  EXPECT_EQ(com::OleDraw(object.get(), com::DVASPECT_CONTENT, invalid, {0, 0, 10, 10}), com::E_FAIL);
}

TEST(TrendControl, RegistersOnce) {
  register_trend_control();
  register_trend_control();
  rc_ptr<ITrendDisplay> display;
  EXPECT_EQ(com::CoCreateInstance(CLSID_trend_control, IID_trend_display, com::put_void(display)), com::S_OK);
  EXPECT_TRUE(display);
  display.reset();
  EXPECT_EQ(trend_controls_alive(), 0);
}

}  // namespace
}  // namespace quillet::trend
