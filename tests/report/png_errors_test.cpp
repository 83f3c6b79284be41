// Failure paths of the image writers: libpng errors raised through the coder, streams that
// fail part-way, and file saving that leaves no half-written file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "report/image_writers.h"
#include "report/png_coder.h"
#include "tests/report/png_test_support.h"

namespace quillet {
namespace {

namespace fs = std::filesystem;

// Runs one coder operation and returns the message it raised, or "" when it raised none.
template <class F>
std::string raised_by(F&& operation) {
  try {
    operation();
  } catch (const char* message) {
    return message ? message : "(null)";
  }
  return "";
}

TEST(PngErrors, LibraryErrorsReachTheCaller) {
  const png_palette_entry palette[300] = {};
  const std::uint8_t row[64] = {};
  struct step {
    const char* name;
    std::function<void(png_coder&)> run;
  };
  const step rows[] = {
      {"zero width", [](png_coder& c) { c.set_header(0, 10, 8, 3, false); }},
      {"zero height", [](png_coder& c) { c.set_header(10, 0, 8, 3, false); }},
      {"bit depth 3", [](png_coder& c) { c.set_header(10, 10, 3, 3, false); }},
      {"colour type 5", [](png_coder& c) { c.set_header(10, 10, 8, 5, false); }},
      {"palette longer than the depth", [&](png_coder& c) {
         c.set_header(10, 10, 4, 3, false);
         c.set_palette(300, palette);
       }},
      {"info without a palette", [](png_coder& c) {
         c.set_header(10, 10, 8, 3, false);
         c.write_info();
       }},
      {"row before the header", [&](png_coder& c) { c.write_row(row); }},
  };
  for (const step& r : rows) {
    SCOPED_TRACE(r.name);
    std::ostringstream out;
    png_stream_writer writer(out);
    ASSERT_TRUE(writer.init());
    EXPECT_NE(raised_by([&] { r.run(writer); }), "");
  }
}

TEST(PngErrors, OperationsBeforeInitRaise) {
  png_coder coder;
  EXPECT_EQ(raised_by([&] { coder.set_header(1, 1, 8, 3, false); }), "image writer not initialised");
  EXPECT_EQ(raised_by([&] { coder.write_info(); }), "image writer not initialised");
  EXPECT_EQ(raised_by([&] { coder.write_end(); }), "image writer not initialised");
}

TEST(PngErrors, InitTwiceKeepsTheStructures) {
  png_coder coder;
  EXPECT_TRUE(coder.init());
  EXPECT_TRUE(coder.init());
}

// A coder whose error handler returns instead of raising must still not resume libpng:
// the operation raises the library's own message.
class returning_coder : public png_coder {
public:
  void error(const char*) override { ++errors; }
  void warning(const char*) override { ++warnings; }
  int errors = 0;
  int warnings = 0;
};

class counting_coder : public returning_coder {
public:
  void error(const char*) override {
    ++errors;
    throw "counted";
  }
};

TEST(PngErrors, OverriddenHandlersAreCalled) {
  returning_coder returning;
  counting_coder counting;
  struct row {
    const char* name;
    returning_coder* coder;
    bool own_message;
  };
  const row rows[] = {{"handler returns", &returning, false}, {"handler raises", &counting, true}};
  for (const row& r : rows) {
    SCOPED_TRACE(r.name);
    ASSERT_TRUE(r.coder->init());
    std::string message = raised_by([&] { r.coder->set_header(0, 10, 8, 3, false); });
    EXPECT_NE(message, "");
    EXPECT_EQ(message == "counted", r.own_message);
    EXPECT_EQ(r.coder->errors, 1);
    EXPECT_GE(r.coder->warnings, 1);  // libpng warns about the zero width before failing
  }
}

TEST(PngErrors, FailingStreamStopsTheWriter) {
  gdi::palette_image image = png_test::sample_image(200, 100, 8);
  for (int type : {1, 3}) {
    std::ostringstream whole;
    ASSERT_TRUE(write_palette_image(type, image, whole));
    std::size_t size = whole.str().size();
    const std::size_t limits[] = {0, 1, 8, 20, 33, 100, size / 2, size - 1};
    for (std::size_t limit : limits) {
      SCOPED_TRACE(testing::Message() << "type " << type << ", fails after " << limit << " of "
                                      << size << " bytes");
      png_test::failing_buffer buffer(limit);
      std::ostream out(&buffer);
      EXPECT_FALSE(write_palette_image(type, image, out));
      EXPECT_LE(buffer.written, limit);
    }
  }
}

TEST(PngErrors, BadImagesAreRefused) {
  gdi::palette_image good = png_test::sample_image(6, 6, 8);
  gdi::palette_image wrong_depth = good;
  wrong_depth.bits_per_pixel = 2;
  gdi::palette_image short_buffer = good;
  short_buffer.pixels.resize(5);
  gdi::palette_image empty;
  struct row {
    const char* name;
    const gdi::palette_image* image;
    int type;
  };
  const row rows[] = {{"depth 2 as PNG", &wrong_depth, 3}, {"depth 2 as BMP", &wrong_depth, 1},
                      {"short buffer", &short_buffer, 3},  {"empty image as PNG", &empty, 3},
                      {"empty image as BMP", &empty, 1}};
  for (const row& r : rows) {
    SCOPED_TRACE(r.name);
    std::ostringstream out;
    EXPECT_FALSE(write_palette_image(r.type, *r.image, out));
  }
}

class PngSave : public testing::Test {
protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("quillet_png_save_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }
  std::vector<std::string> names() const {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(dir))
      out.push_back(e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
  }
  static std::string read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  fs::path dir;
};

TEST_F(PngSave, WholeFileOrNothing) {
  gdi::palette_image image = png_test::sample_image(16, 16, 4);
  auto png = [&](std::ostream& out) { return write_palette_image(3, image, out); };
  auto bad_type = [&](std::ostream& out) { return write_palette_image(2, image, out); };
  auto partial = [&](std::ostream& out) {
    out << "half";
    return false;
  };
  struct row {
    const char* name;
    std::function<bool(std::ostream&)> produce;
    bool ok;
  };
  const row rows[] = {{"png", png, true}, {"bad type", bad_type, false}, {"partial", partial, false}};
  for (const row& r : rows) {
    SCOPED_TRACE(r.name);
    fs::path target = dir / "trend_1.png";
    { std::ofstream(target, std::ios::binary) << "previous"; }
    EXPECT_EQ(save_image_file(target.string(), r.produce), r.ok);
    EXPECT_EQ(names(), std::vector<std::string>{"trend_1.png"});
    std::string content = read(target);
    if (r.ok)
      EXPECT_EQ(png_test::read_chunks(content).size(), 4u);
    else
      EXPECT_EQ(content, "previous");
  }
}

TEST_F(PngSave, UnwritablePaths) {
  fs::create_directories(dir / "a_folder");
  auto produce = [](std::ostream& out) { out << "data"; return true; };
  const fs::path rows[] = {dir / "missing" / "x.png", dir / "a_folder", fs::path()};
  for (const fs::path& target : rows) {
    SCOPED_TRACE(target.string());
    EXPECT_FALSE(save_image_file(target.string(), produce));
    EXPECT_EQ(names(), std::vector<std::string>{"a_folder"});
  }
  EXPECT_TRUE(fs::is_empty(dir / "a_folder"));
}

TEST_F(PngSave, NewFileIsReadableByOthers) {
  fs::path target = dir / "r.bmp";
  ASSERT_TRUE(save_image_file(target.string(), [](std::ostream& out) { out << "BM"; return true; }));
  EXPECT_NE(fs::status(target).permissions() & fs::perms::others_read, fs::perms::none);
}

}  // namespace
}  // namespace quillet
