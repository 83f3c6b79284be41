// GUID text forms, the component registry and the wide-text conversions at interfaces.
#include <gtest/gtest.h>

#include "platform/com/guid.h"
#include "platform/com/registry.h"
#include "platform/com/wide_text.h"
#include "platform/crt/char_class.h"
#include "platform/project/project_interfaces.h"

namespace quillet::com {
namespace {

TEST(Guid, ParsesOnlyTheBracedForm) {
  struct row {
    const char* text;
    bool ok;
  };
  const row rows[] = {
      {"{90A17769-F7AB-11D2-B01A-006052087379}", true},
      {"{90a17769-f7ab-11d2-b01a-006052087379}", true},
      {"90A17769-F7AB-11D2-B01A-006052087379", false},
      {"{90A17769-F7AB-11D2-B01A-006052087379", false},
      {"{90A17769-F7AB-11D2-B01A-0060520873790}", false},
      {"{90A17769F-7AB-11D2-B01A-006052087379}", false},
      {"{90A17769-F7AB-11D2-B01A-00605208737G}", false},
      {"{90A17769-F7AB-11D2-B01A-00605208737 }", false},
      {"", false},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.text);
    GUID id;
    id.data1 = 5;
    EXPECT_EQ(CLSIDFromString(r.text, id), r.ok);
    if (!r.ok) {
      EXPECT_EQ(id, GUID{});
      continue;
    }
    EXPECT_EQ(id.data1, 0x90A17769u);
    EXPECT_EQ(id.data2, 0xF7ABu);
    EXPECT_EQ(id.data3, 0x11D2u);
    EXPECT_EQ(id.data4[0], 0xB0u);
    EXPECT_EQ(id.data4[7], 0x79u);
    EXPECT_EQ(guid_to_string(id), "{90A17769-F7AB-11D2-B01A-006052087379}");
  }
}

TEST(Registry, CreatesRegisteredClassesOnly) {
  register_project_component();
  struct row {
    const char* clsid;
    const IID* iid;
    HRESULT hr;
  };
  const row rows[] = {
      {"{90A17769-F7AB-11D2-B01A-006052087379}", &IID_IvxProject, S_OK},
      {"{90A17769-F7AB-11D2-B01A-006052087379}", &IID_IUnknown, S_OK},
      {"{90A17769-F7AB-11D2-B01A-006052087379}", &IID_IvxPrjNode, E_NOINTERFACE},
      {"{00000000-0000-0000-0000-000000000001}", &IID_IUnknown, REGDB_E_CLASSNOTREG},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.clsid);
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(CoCreateInstance(guid_of(r.clsid), *r.iid, &out), r.hr);
    EXPECT_EQ(out != nullptr, r.hr == S_OK);
    if (out)
      static_cast<IUnknown*>(out)->Release();
  }
  EXPECT_EQ(CoCreateInstance(CLSID_VxProject, IID_IvxProject, nullptr), E_POINTER);
}

TEST(Registry, UnregisteredClassFailsUntilRegisteredAgain) {
  unregister_component(CLSID_VxProject);
  rc_ptr<IvxProject> project;
  EXPECT_EQ(CoCreateInstance(CLSID_VxProject, IID_IvxProject, com::put_void(project)), REGDB_E_CLASSNOTREG);
  register_project_component();
  EXPECT_EQ(CoCreateInstance(CLSID_VxProject, IID_IvxProject, com::put_void(project)), S_OK);
  EXPECT_TRUE(project);
}

// An interface that counts its references and answers only for IUnknown.
struct counted_unknown final : IUnknown {
  HRESULT QueryInterface(const IID& iid, void** out) override {
    *out = iid == IID_IUnknown ? this : nullptr;
    return *out ? (AddRef(), S_OK) : E_NOINTERFACE;
  }
  ULONG AddRef() override { return ++refs; }
  ULONG Release() override { return --refs; }
  ULONG refs = 1;
};

// The counted handle holds interfaces by their own count: adoption takes the creator's
// reference, copies and queries add one, moves none, and every handle gives its own back.
TEST(Handle, CountsInterfacesThroughAddRefAndRelease) {
  counted_unknown object;
  {
    rc_ptr<counted_unknown> adopted(&object, adopt_ref);
    rc_ptr<IUnknown> as_base = adopted;
    EXPECT_EQ(object.refs, 2u);
    rc_ptr<IUnknown> moved = std::move(as_base);
    EXPECT_EQ(object.refs, 2u);
    rc_ptr<IUnknown> found;
    EXPECT_TRUE(query(&object, IID_IUnknown, found));
    EXPECT_EQ(object.refs, 3u);
    EXPECT_FALSE(query(&object, IID_IvxProject, found));
    EXPECT_EQ(object.refs, 2u);
    moved.reset();
    EXPECT_EQ(object.refs, 1u);
  }
  EXPECT_EQ(object.refs, 0u);
}

TEST(WideText, ConvertsThroughTheAnsiCodePage) {
  crt::set_codepage(crt::codepage::cp1252);
  EXPECT_EQ(ansi_to_wide("\xE9t\xE9 \x80"), u"\u00E9t\u00E9 \u20AC");
  EXPECT_EQ(wide_to_ansi(u"\u00E9t\u00E9 \u20AC"), "\xE9t\xE9 \x80");
  EXPECT_EQ(wide_to_ansi(u"a\u4E2Db"), "a?b");
  crt::set_codepage(crt::codepage::cp1251);
  EXPECT_EQ(ansi_to_wide("\xC4"), u"\u0414");
  crt::set_codepage(crt::codepage::cp1252);
  std::u16string wide;
  EXPECT_TRUE(utf8_to_wide("\xC3\xA9", wide));
  EXPECT_EQ(wide, u"\u00E9");
  EXPECT_FALSE(utf8_to_wide("a\xC3", wide));
  EXPECT_TRUE(wide.empty());
  EXPECT_EQ(wide_to_utf8(u"\u00E9"), "\xC3\xA9");
}

// ASCII texts skip iconv: every ASCII byte, NUL included, converts as iconv converts it when a
// byte beyond ASCII sends the same text through iconv, in every code page.
TEST(WideText, AsciiConvertsAsIconvDoes) {
  std::string ascii(128, '\0');
  for (int c = 0; c < 128; ++c)
    ascii[static_cast<std::size_t>(c)] = static_cast<char>(c);
  for (crt::codepage cp : {crt::codepage::cp1252, crt::codepage::cp1251, crt::codepage::gbk}) {
    crt::set_codepage(cp);
    const std::u16string wide = ansi_to_wide(ascii);
    EXPECT_EQ(wide, ansi_to_wide(ascii + "\xC4").substr(0, 128));
    EXPECT_EQ(wide_to_ansi(wide), ascii);
    EXPECT_EQ(wide_to_ansi(wide + u"\u0416").substr(0, 128), ascii);
    std::u16string from_utf8, through_iconv;
    EXPECT_TRUE(utf8_to_wide(ascii, from_utf8));
    EXPECT_TRUE(utf8_to_wide(ascii + "\xC3\xA9", through_iconv));
    EXPECT_EQ(from_utf8, through_iconv.substr(0, 128));
    EXPECT_EQ(wide_to_utf8(wide + u"\u00E9").substr(0, 128), wide_to_utf8(wide));
  }
  crt::set_codepage(crt::codepage::cp1252);
}

}  // namespace
}  // namespace quillet::com
