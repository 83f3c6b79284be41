// The control printer: the calls a hosted control receives, the client site's answers, and
// the picture it draws into an image file.
#include <gtest/gtest.h>

#include <functional>
#include <sstream>

#include "report/ocx_printer.h"
#include "tests/report/ocx_test_support.h"
#include "tests/report/png_test_support.h"

namespace quillet::ocx_test {
namespace {

using com::HRESULT;

class OcxPrinter : public testing::Test {
protected:
  void SetUp() override {
    calls.clear();
    control = new fake_control;
  }
  void TearDown() override {
    if (control)
      control->Release();
  }
  fake_control* control = nullptr;
};

TEST_F(OcxPrinter, CallsTheControlInOrder) {
  {
    ocx_printer printer;
    ASSERT_TRUE(printer.attach(static_cast<com::IOleObject*>(control)));
    printer.set_size(40, 30);
    std::ostringstream image;
    ASSERT_TRUE(printer.render_image(3, 8, image));
    printer.detach();
    EXPECT_EQ(printer.site(), nullptr);
  }
  control->Release();
  control = nullptr;
  const std::vector<std::string> expected = {
      "SetClientSite",
      "DoVerb -5 msg=0 site=1 index=0 window=ocx_printer_wnd_class/ocx_printer_wnd/1x1 rect=0,0,1,1",
      "SetObjectRects 0,0,40,30 0,0,40,30",
      "Draw 1 0,0,40,30",
      "Draw 1 0,0,40,30",
      "InPlaceDeactivate",
      "destroyed",
  };
  EXPECT_EQ(calls, expected);
}

TEST_F(OcxPrinter, AttachFailsWhenTheSiteIsRefusedOrNoObjectIsGiven) {
  ocx_printer printer;
  EXPECT_FALSE(printer.attach(nullptr));
  control->refuses_site = true;
  EXPECT_FALSE(printer.attach(static_cast<com::IOleObject*>(control)));
  EXPECT_EQ(calls, std::vector<std::string>{"SetClientSite"});
}

struct site_row {
  const char* name;
  std::function<HRESULT(ocx_printer_site&)> call;
  HRESULT expected;
};

TEST_F(OcxPrinter, SiteAnswersEachMethod) {
  ocx_printer printer;
  ASSERT_TRUE(printer.attach(static_cast<com::IOleObject*>(control)));
  printer.set_size(64, 48);
  ocx_printer_site& site = *printer.site();
  const site_row rows[] = {
      {"SaveObject", [](ocx_printer_site& s) { return s.SaveObject(); }, com::E_NOTIMPL},
      {"GetMoniker", [](ocx_printer_site& s) { return s.GetMoniker(0, 0, nullptr); }, com::E_NOTIMPL},
      {"GetContainer", [](ocx_printer_site& s) { return s.GetContainer(nullptr); }, com::E_NOTIMPL},
      {"ShowObject", [](ocx_printer_site& s) { return s.ShowObject(); }, com::E_NOTIMPL},
      {"OnShowWindow", [](ocx_printer_site& s) { return s.OnShowWindow(true); }, com::E_NOTIMPL},
      {"RequestNewObjectLayout", [](ocx_printer_site& s) { return s.RequestNewObjectLayout(); }, com::E_NOTIMPL},
      {"ContextSensitiveHelp", [](ocx_printer_site& s) { return s.ContextSensitiveHelp(true); }, com::E_NOTIMPL},
      {"CanInPlaceActivate", [](ocx_printer_site& s) { return s.CanInPlaceActivate(); }, com::S_OK},
      {"OnInPlaceActivate", [](ocx_printer_site& s) { return s.OnInPlaceActivate(); }, com::S_OK},
      {"OnUIActivate", [](ocx_printer_site& s) { return s.OnUIActivate(); }, com::E_NOTIMPL},
      {"Scroll", [](ocx_printer_site& s) { return s.Scroll(1, 1); }, com::E_NOTIMPL},
      {"OnUIDeactivate", [](ocx_printer_site& s) { return s.OnUIDeactivate(false); }, com::E_NOTIMPL},
      {"OnInPlaceDeactivate", [](ocx_printer_site& s) { return s.OnInPlaceDeactivate(); }, com::S_OK},
      {"DiscardUndoState", [](ocx_printer_site& s) { return s.DiscardUndoState(); }, com::E_NOTIMPL},
      {"DeactivateAndUndo", [](ocx_printer_site& s) { return s.DeactivateAndUndo(); }, com::E_NOTIMPL},
      {"OnPosRectChange", [](ocx_printer_site& s) { return s.OnPosRectChange(nullptr); }, com::E_NOTIMPL},
  };
  for (const site_row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(row.call(site), row.expected);
  }
  com::HWND window = nullptr;
  EXPECT_EQ(site.GetWindow(&window), com::S_OK);
  EXPECT_EQ(window, printer.window());
  com::IUnknown* frame = static_cast<com::IOleObject*>(control);
  com::IUnknown* document = frame;
  void* info = &site;
  com::RECT position, clip;
  EXPECT_EQ(site.GetWindowContext(&frame, &document, &position, &clip, &info), com::S_OK);
  EXPECT_EQ(frame, nullptr);
  EXPECT_EQ(document, nullptr);
  EXPECT_EQ(info, nullptr);
  EXPECT_EQ(rect_text(position), "0,0,64,48");
  EXPECT_EQ(rect_text(clip), "0,0,64,48");
}

TEST_F(OcxPrinter, SiteGivesItsTwoFaces) {
  ocx_printer printer;
  ASSERT_TRUE(printer.attach(static_cast<com::IOleObject*>(control)));
  ocx_printer_site* site = printer.site();
  void* client = static_cast<com::IOleClientSite*>(site);
  void* in_place = static_cast<com::IOleInPlaceSite*>(site);
  struct row {
    const char* name;
    com::IID iid;
    void* expected;
  };
  const row rows[] = {
      {"IUnknown", com::IID_IUnknown, client},
      {"IOleClientSite", com::IID_IOleClientSite, client},
      {"IOleWindow", com::IID_IOleWindow, in_place},
      {"IOleInPlaceSite", com::IID_IOleInPlaceSite, in_place},
      {"IOleObject", com::IID_IOleObject, nullptr},
      {"IViewObject", com::IID_IViewObject, nullptr},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.name);
    void* out = &printer;
    HRESULT hr = site->QueryInterface(r.iid, &out);
    EXPECT_EQ(out, r.expected);
    EXPECT_EQ(hr, r.expected ? com::S_OK : com::E_NOINTERFACE);
    if (out) {
      // Each success added one reference: the printer's, the control's and this one.
      EXPECT_EQ(site->Release(), 2u);
    }
  }
}

struct render_row {
  int type;
  int bits;
  bool ok;
  const char* magic;  // the first bytes of the file; empty when nothing is written
};

TEST_F(OcxPrinter, RendersOnlyKnownTypesAndDepths) {
  const render_row rows[] = {
      {0, 8, true, "\x89PNG"}, {3, 8, true, "\x89PNG"}, {3, 4, true, "\x89PNG"}, {1, 8, true, "BM"},
      {1, 4, true, "BM"},      {2, 8, false, ""},       {4, 8, false, ""},       {-1, 8, false, ""},
      {3, 16, false, ""},      {3, 1, false, ""},       {1, 24, false, ""},
  };
  ocx_printer printer;
  ASSERT_TRUE(printer.attach(static_cast<com::IOleObject*>(control)));
  printer.set_size(20, 10);
  for (const render_row& row : rows) {
    SCOPED_TRACE(std::to_string(row.type) + " at " + std::to_string(row.bits));
    calls.clear();
    std::ostringstream image;
    EXPECT_EQ(printer.render_image(row.type, row.bits, image), row.ok);
    EXPECT_EQ(image.str().substr(0, std::string(row.magic).size()), row.magic);
    EXPECT_EQ(image.str().empty(), !row.ok);
    EXPECT_EQ(calls.size(), row.ok ? 2u : 0u);
  }
}

// The second drawing lands on the button face: the block is red, the rest #F0F0F0.
TEST_F(OcxPrinter, PictureIsTheDrawingOverTheButtonFace) {
  ocx_printer printer;
  ASSERT_TRUE(printer.attach(static_cast<com::IOleObject*>(control)));
  printer.set_size(16, 8);
  std::ostringstream image;
  ASSERT_TRUE(printer.render_image(3, 8, image));
  png_test::decoded_png png = png_test::decode_png(image.str());
  ASSERT_TRUE(png.ok);
  ASSERT_EQ(png.width, 16u);
  ASSERT_EQ(png.height, 8u);
  auto colour_at = [&](int x, int y) {
    const png_color& c = png.palette.at(png.rows[y][x]);
    return static_cast<unsigned>(c.red << 16 | c.green << 8 | c.blue);
  };
  EXPECT_EQ(colour_at(0, 0), 0xFF0000u);
  EXPECT_EQ(colour_at(7, 3), 0xFF0000u);
  EXPECT_EQ(colour_at(8, 3), 0xF0F0F0u);
  EXPECT_EQ(colour_at(15, 7), 0xF0F0F0u);
}

}  // namespace
}  // namespace quillet::ocx_test
