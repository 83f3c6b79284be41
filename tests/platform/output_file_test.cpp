// Output files: a target changes only by a complete rename, a link there is replaced, inputs
// are never replaced, and a failure at any step leaves the folder as it was.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include <filesystem>
#include <functional>
#include <set>
#include <fstream>
#include <sstream>

#include "platform/files/output_file.h"

namespace quillet::files {
namespace {

namespace fs = std::filesystem;

std::string read(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// The names in the folder, so a stray temporary file shows.
std::set<std::string> names(const fs::path& dir) {
  std::set<std::string> out;
  for (const auto& e : fs::directory_iterator(dir))
    out.insert(e.path().filename().string());
  return out;
}

class OutputFile : public testing::Test {
protected:
  void SetUp() override {
    dir_ = fs::path(testing::TempDir()) / ("output_file_" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    std::ofstream(dir_ / "t.htm") << "old";
    std::ofstream(dir_ / "in.htm") << "input";
  }
  void TearDown() override {
    output_file_before_rename = nullptr;
    fs::remove_all(dir_);
  }
  // Writes "new" to `target` through a set that knows in.htm as an input.
  bool write(const std::string& target) {
    output_set set;
    set.note_input((dir_ / "in.htm").string());
    output_file* f = set.add((dir_ / target).string());
    if (!f)
      return false;
    f->stream() << "new";
    return set.commit_all();
  }
  fs::path dir_;
};

TEST_F(OutputFile, ReplacesTheTargetOnlyWhenComplete) {
  struct row {
    const char* name;
    std::function<void(const fs::path&)> setup;
    const char* target;
    bool ok;
    const char* after;  // content of t.htm afterwards
  };
  const row rows[] = {
      {"plain file replaced", [](const fs::path&) {}, "t.htm", true, "new"},
      {"new file", [](const fs::path&) {}, "n.htm", true, "old"},
      {"failure before the rename",
       [](const fs::path&) { output_file_before_rename = [](const std::string&) { return false; }; }, "t.htm", false,
       "old"},
      {"symbolic link replaced, not followed", [](const fs::path& d) { fs::create_symlink(d / "t.htm", d / "l.htm"); },
       "l.htm", true, "old"},
      {"link to an input replaced, input kept",
       [](const fs::path& d) { fs::create_symlink(d / "in.htm", d / "l.htm"); }, "l.htm", true, "old"},
      {"the input itself refused", [](const fs::path&) {}, "in.htm", false, "old"},
      {"hard link to an input refused", [](const fs::path& d) { fs::create_hard_link(d / "in.htm", d / "h.htm"); },
       "h.htm", false, "old"},
      {"folder at the target refused", [](const fs::path& d) { fs::create_directory(d / "sub"); }, "sub", false, "old"},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.name);
    SetUp();
    r.setup(dir_);
    std::set<std::string> before = names(dir_);
    before.insert(r.target);
    EXPECT_EQ(write(r.target), r.ok);
    output_file_before_rename = nullptr;
    EXPECT_EQ(read(dir_ / "t.htm"), r.after);
    EXPECT_EQ(read(dir_ / "in.htm"), "input");
    std::set<std::string> after = names(dir_);
    after.insert(r.target);
    EXPECT_EQ(after, before) << "no temporary file stays";
    if (r.ok) {
      EXPECT_EQ(read(dir_ / r.target), "new");
    }
  }
}

TEST_F(OutputFile, AnUncommittedSetLeavesNothing) {
  {
    output_set set;
    set.add((dir_ / "t.htm").string())->stream() << "partial";
    set.add((dir_ / "p.png").string())->stream() << "picture";
  }
  EXPECT_EQ(read(dir_ / "t.htm"), "old");
  EXPECT_EQ(names(dir_), (std::set<std::string>{"t.htm", "in.htm"}));
}

// Content of several blocks, put in pieces of every size the writer thread meets (the first
// block and a later one filled exactly, each with a single byte after it, pieces across a
// block's end, pieces larger than a block), arrives whole and in order, and tellp counts it as
// it goes. Each piece is followed by one more byte.
TEST_F(OutputFile, ContentOfManyBlocksArrivesWhole) {
  const std::size_t first = background_file_buf::first_block_size;
  const std::size_t block = background_file_buf::block_size;
  std::string expected;
  output_set set;
  output_file* f = set.add((dir_ / "t.htm").string());
  ASSERT_NE(f, nullptr);
  for (std::size_t piece : {first - 1, std::size_t{1}, block - 3, std::size_t{1}, block - 7, std::size_t{13},
                            2 * block + 5, std::size_t{1}, block / 3}) {
    std::string text(piece, static_cast<char>('a' + expected.size() % 26));
    text[0] = '<';
    f->stream() << text;
    expected += text;
    f->stream().put('>');
    expected += '>';
    ASSERT_EQ(static_cast<std::size_t>(f->stream().tellp()), expected.size());
  }
  ASSERT_TRUE(set.commit_all()) << set.error();
  EXPECT_TRUE(read(dir_ / "t.htm") == expected);
}

// A device that refuses every byte fails the stream with its reason instead of hanging or
// passing the loss as success.
TEST(BackgroundFileBuf, AFailedWriteFailsTheStream) {
  int fd = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
  if (fd < 0)
    GTEST_SKIP() << "no /dev/full";
  {
    background_file_buf buf(fd);
    std::ostream out(&buf);
    out << std::string(3 * background_file_buf::block_size + 1, 'x');
    out.flush();
    EXPECT_FALSE(out.good());
    EXPECT_EQ(buf.error(), ENOSPC);
    EXPECT_EQ(buf.close(), ENOSPC);
  }
  ::close(fd);
}

}  // namespace
}  // namespace quillet::files
