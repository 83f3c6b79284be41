// OBJECT elements in a report: the markers of each failure, the IMG tag that replaces the
// element, and the image file's size, depth and format, with a recording control.
#include <gtest/gtest.h>

#include <filesystem>

#include "report/ocx_elt_site.h"
#include "tests/report/ocx_test_support.h"
#include "tests/report/png_test_support.h"

namespace quillet::ocx_test {
namespace {

const char refusing_class_id[] = "CLSID:{0C0C0C0C-1111-2222-3333-444455556667}";
const com::CLSID refusing_clsid = com::guid_of("{0C0C0C0C-1111-2222-3333-444455556667}");

// A control whose creation fails at its client site.
com::IUnknown* make_refusing_control() {
  auto* control = new fake_control;
  control->refuses_site = true;
  return static_cast<com::IOleObject*>(control);
}

class OcxElement : public testing::Test {
protected:
  void SetUp() override {
    calls.clear();
    com::register_component(test_clsid, make_fake_control);
    com::register_component(refusing_clsid, make_refusing_control);
  }
  void TearDown() override {
    com::unregister_component(test_clsid);
    com::unregister_component(refusing_clsid);
  }
};

std::string object(const std::string& attributes, const std::string& content = "") {
  return "<OBJECT " + attributes + ">" + content + "</OBJECT>";
}

struct marker_row {
  const char* name;
  std::string body;
  const char* expected;
  const char* file;  // an image file the run leaves, or empty
};

TEST_F(OcxElement, WritesOneMarkerPerFailure) {
  const std::string id = test_class_id;
  const marker_row rows[] = {
      {"lower-case prefix", object("CLASSID=\"clsid:{0C0C0C0C-1111-2222-3333-444455556666}\""),
       "{#ERROR:BAD_CLASSID}", ""},
      {"no CLASSID", object("WIDTH=10"), "{#ERROR:BAD_CLASSID}", ""},
      {"CLASSID without a value", object("CLASSID"), "{#ERROR:BAD_CLASSID}", ""},
      {"bad identifier", object("CLASSID=\"CLSID:0C0C0C0C-1111\""), "{#ERROR:BAD_CLASSID}", ""},
      {"identifier with one brace", object("CLASSID=\"CLSID:{0C0C0C0C-1111-2222-3333-444455556666\""),
       "{#ERROR:BAD_CLASSID}", ""},
      {"unregistered class", object("CLASSID=\"CLSID:{0C0C0C0C-1111-2222-3333-44445555666F}\""),
       "{#ERROR:BAD_CLASSID}", ""},
      {"control refuses its site", object(std::string("CLASSID=\"") + refusing_class_id + "\""),
       "{#ERROR:BAD_CLASSID}", ""},
      {"image type 2", object("CLASSID=\"" + id + "\"", "<!--$VX ELT IMAGE_TYPE=%{2}%-->"),
       "{#ERROR:PRINT_OBJECT}", "r_1.png"},
      {"width beyond the bounds", object("CLASSID=\"" + id + "\" WIDTH=100000 HEIGHT=10"), "{#ERROR:PRINT_OBJECT}",
       "r_1.png"},
      {"zero height", object("CLASSID=\"" + id + "\" WIDTH=10 HEIGHT=0"), "{#ERROR:PRINT_OBJECT}", "r_1.png"},
      {"negative width", object("CLASSID=\"" + id + "\" WIDTH=-5 HEIGHT=10"), "{#ERROR:PRINT_OBJECT}", "r_1.png"},
      {"area beyond the bounds", object("CLASSID=\"" + id + "\" WIDTH=16000 HEIGHT=16000"),
       "{#ERROR:PRINT_OBJECT}", "r_1.png"},
  };
  for (const marker_row& row : rows) {
    SCOPED_TRACE(row.name);
    ocx_run run;
    run_report(run, "<P>a" + row.body + "b</P>");
    EXPECT_EQ(run.body, std::string("<P>a") + row.expected + "b</P>");
    if (*row.file) {
      EXPECT_FALSE(run.dir.exists(row.file)) << "a failed picture leaves no file";
    }
  }
}

TEST_F(OcxElement, FileThatCannotBeCreated) {
  ocx_run run;
  std::filesystem::create_directory(run.dir.path + "/r_1.png");
  run_report(run, object(std::string("CLASSID=\"") + test_class_id + "\""));
  EXPECT_EQ(run.body, "{#ERROR:CREATE_FILE:r_1.png}");
}

TEST_F(OcxElement, ImageTagReplacesTheObject) {
  const std::string id = test_class_id;
  const marker_row rows[] = {
      {"object attributes removed, size and source added",
       object("DECLARE CLASSID=\"" + id + "\" ID=trend WIDTH=40 HEIGHT=30 CODEBASE=x.cab DATA=d TYPE=t CODETYPE=c "
              "ARCHIVE=a STANDBY=s NAME=n TABINDEX=2 BORDER=1",
              "<PARAM NAME=p VALUE=1>text"),
       "<IMG ID=trend WIDTH=40 HEIGHT=30 BORDER=1 SRC=\"r_1.png\" ALT=\"dynamic image\">", ""},
      {"default size", object("CLASSID=\"" + id + "\""),
       "<IMG WIDTH=800 HEIGHT=600 SRC=\"r_1.png\" ALT=\"dynamic image\">", ""},
      {"braces are optional", object("CLASSID=\"CLSID:0C0C0C0C-1111-2222-3333-444455556666\" WIDTH=8 HEIGHT=8"),
       "<IMG WIDTH=8 HEIGHT=8 SRC=\"r_1.png\" ALT=\"dynamic image\">", ""},
      {"pixel unit", object("CLASSID=\"" + id + "\" WIDTH=\"400px\" HEIGHT=\"150.9\""),
       "<IMG WIDTH=400 HEIGHT=150 SRC=\"r_1.png\" ALT=\"dynamic image\">", ""},
      {"style size wins over the attribute",
       object("CLASSID=\"" + id + "\" WIDTH=5 STYLE=\"width: 1in; height: 12pt\""),
       "<IMG WIDTH=96 STYLE=\"width: 1in; height: 12pt\" HEIGHT=16 SRC=\"r_1.png\" ALT=\"dynamic image\">", ""},
      {"unreadable sizes keep the defaults", object("CLASSID=\"" + id + "\" WIDTH=\"50%\" HEIGHT=wide"),
       "<IMG WIDTH=800 HEIGHT=600 SRC=\"r_1.png\" ALT=\"dynamic image\">", ""},
      {"computed class and size",
       object("WIDTH=1", "<!--$VX ELT ATTR.CLASSID=%{\"" + id + "\"}%\r\n ATTR.WIDTH=%{12}%\r\n ATTR.TITLE=%{\"t\"}%-->"),
       "<IMG WIDTH=12 TITLE=t HEIGHT=600 SRC=\"r_1.png\" ALT=\"dynamic image\">", ""},
      {"bitmap type", object("CLASSID=\"" + id + "\" WIDTH=2 HEIGHT=2", "<!--$VX ELT IMAGE_TYPE=%{1}%-->"),
       "<IMG WIDTH=2 HEIGHT=2 SRC=\"r_1.bmp\" ALT=\"dynamic image\">", ""},
  };
  for (const marker_row& row : rows) {
    SCOPED_TRACE(row.name);
    ocx_run run;
    run_report(run, row.body);
    EXPECT_EQ(run.body, row.expected);
  }
}

TEST_F(OcxElement, EachObjectGetsTheNextFileName) {
  const std::string one = object(std::string("CLASSID=\"") + test_class_id + "\" WIDTH=4 HEIGHT=4");
  ocx_run run;
  run_report(run, one + one + "<TABLE><TR><TD><!--$VX ELT ROWS=%{2}%-->" + one + "</TD></TR></TABLE>");
  for (const char* name : {"r_1.png", "r_2.png", "r_3.png", "r_4.png"}) {
    SCOPED_TRACE(name);
    EXPECT_NE(run.body.find(std::string("SRC=\"") + name + "\""), std::string::npos);
    EXPECT_FALSE(run.dir.read(name).empty());
  }
  int created = 0;
  for (const std::string& call : calls)
    created += call.rfind("SetClientSite", 0) == 0;
  EXPECT_EQ(created, 3) << "the repeated cell's object keeps its control";
}

struct file_row {
  const char* name;
  std::string props;  // the ELT directive's pairs
  std::string size;   // the object's size attributes
  std::uint32_t width, height;
  int bits;
  bool bitmap;
};

// The image file through the whole element path: a palette PNG with exactly IHDR, PLTE,
// IDAT and IEND chunks, or a top-down bitmap.
TEST_F(OcxElement, ImageFilesHaveTheirLayout) {
  const file_row rows[] = {
      {"defaults", "", "", 800, 600, 8, false},
      {"size", "", "WIDTH=400 HEIGHT=150", 400, 150, 8, false},
      {"pixel unit", "", "WIDTH=400px HEIGHT=150px", 400, 150, 8, false},
      {"4 bits", "BPP=%{4}%", "WIDTH=9 HEIGHT=3", 9, 3, 4, false},
      {"16 bits become 8", "BPP=%{16}%", "WIDTH=9 HEIGHT=3", 9, 3, 8, false},
      {"failing depth becomes 8", "BPP=%{NOSUCH()}%", "WIDTH=9 HEIGHT=3", 9, 3, 8, false},
      {"type 3", "IMAGE_TYPE=%{3}%", "WIDTH=9 HEIGHT=3", 9, 3, 8, false},
      {"bitmap at 8 bits", "IMAGE_TYPE=%{1}%", "WIDTH=9 HEIGHT=3", 9, 3, 8, true},
      {"bitmap at 4 bits", "IMAGE_TYPE=%{1}%\r\n BPP=%{4}%", "WIDTH=9 HEIGHT=3", 9, 3, 4, true},
  };
  for (const file_row& row : rows) {
    SCOPED_TRACE(row.name);
    std::string content = row.props.empty() ? "" : "<!--$VX ELT " + row.props + "-->";
    ocx_run run;
    run_report(run, object(std::string("CLASSID=\"") + test_class_id + "\" " + row.size, content));
    std::string file = run.dir.read(row.bitmap ? "r_1.bmp" : "r_1.png");
    std::uint32_t colours = 1u << row.bits;
    if (row.bitmap) {
      ASSERT_GE(file.size(), 54u);
      EXPECT_EQ(file.substr(0, 2), "BM");
      EXPECT_EQ(png_test::le32(file, 2), file.size());
      EXPECT_EQ(png_test::le32(file, 10), 14 + 40 + 4 * colours);
      EXPECT_EQ(png_test::le32(file, 18), row.width);
      EXPECT_EQ(static_cast<std::int32_t>(png_test::le32(file, 22)), -static_cast<std::int32_t>(row.height));
      EXPECT_EQ(png_test::le16(file, 28), static_cast<std::uint32_t>(row.bits));
      continue;
    }
    std::vector<png_test::png_chunk> chunks = png_test::read_chunks(file);
    ASSERT_GE(chunks.size(), 4u);
    EXPECT_EQ(chunks.front().type, "IHDR");
    EXPECT_EQ(png_test::be32(chunks[0].data, 0), row.width);
    EXPECT_EQ(png_test::be32(chunks[0].data, 4), row.height);
    EXPECT_EQ(chunks[0].data.substr(8, 5), std::string({static_cast<char>(row.bits), 3, 0, 0, 0}));
    EXPECT_EQ(chunks[1].type, "PLTE");
    EXPECT_EQ(chunks[1].data.size(), 3 * colours);
    for (std::size_t i = 2; i + 1 < chunks.size(); ++i)
      EXPECT_EQ(chunks[i].type, "IDAT");
    EXPECT_EQ(chunks.back().type, "IEND");
  }
}

// A control that cannot be created leaves its marker and no site; the next object of the
// report is not disturbed.
TEST_F(OcxElement, CreationFailureLeavesNoSite) {
  ocx_run run;
  run_report(run, object(std::string("CLASSID=\"") + refusing_class_id + "\"") +
                      object(std::string("CLASSID=\"") + test_class_id + "\" WIDTH=4 HEIGHT=4"));
  EXPECT_EQ(run.body, "{#ERROR:BAD_CLASSID}<IMG WIDTH=4 HEIGHT=4 SRC=\"r_1.png\" ALT=\"dynamic image\">");
}

}  // namespace
}  // namespace quillet::ocx_test
