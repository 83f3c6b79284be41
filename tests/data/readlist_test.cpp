// READLIST: lines compiled and evaluated in the template's context, line errors as elements,
// file errors, name resolution against the template folder, and the bounds on files, lines
// and nesting.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "data_support.h"

namespace quillet::test {
namespace {

// A fresh folder for list files, removed with its files at the end of the test.
class list_folder {
public:
  list_folder() {
    char pattern[] = "/tmp/quillet_readlist_XXXXXX";
    path = ::mkdtemp(pattern) ? pattern : "";
  }
  ~list_folder() {
    for (const std::string& f : files)
      std::remove(f.c_str());
    ::rmdir(path.c_str());
  }
  std::string write(const std::string& name, const std::string& content) {
    const std::string file = path + "/" + name;
    std::ofstream(file, std::ios::binary) << content;
    files.push_back(file);
    return file;
  }
  std::string path;
  std::vector<std::string> files;
};

std::string replace_all(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

// Rows: the file's content and the outcome of READLIST("list.txt"); {P} stands for the path.
TEST(ReadList, LinesBecomeElements) {
  struct row {
    std::string content;
    std::string expect;
  };
  const std::vector<row> rows = {
      {"1\n\n\"abc\"\n1+\n", "v(i:1,s:abc,s:#READLIST({P}:4):syntax error)"},
      {"", "v()"},
      {"\n\n  \n\r\n", "v()"},
      {"  2\r\n\r\n 3 \r\n", "v(i:2,i:3)"},
      {"LIST(1, \"x\")", "v(v(i:1,s:x))"},
      {"\n\nFOO(1)\n", "v(s:#READLIST({P}:3):#UNK:FOO:#)"},
      {"1/0.0\n", "v(f:inf)"},
      {"\"a\" + 1\n2", "v(s:a1,i:2)"},
      {"SQRT(\"x\")\n", "v(s:#READLIST({P}:1):#UNEXP:ERR#)"},
      {"\t7\n", "v(i:7)"},
      {"@v * 2\n", "v(f:42)"},
      {"@missing\n", "v(s:#READLIST({P}:1):#UNK:missing:#)"},
      {"NAME(CHAN(\"TEMP\"))\nGETVAL(1)\n", "v(s:TEMP,s:#READLIST({P}:2):#GETVAL:ERROR#)"},
      {"TIME()", "v(f:1700000000)"},
  };
  list_folder folder;
  for (const row& r : rows) {
    SCOPED_TRACE(r.content);
    const std::string path = folder.write("list.txt", r.content);
    fake_source source;
    fake_context context;
    context.source = &source;
    context.folder = folder.path;
    context.add_variable("v", "21");
    EXPECT_EQ(context.eval("READLIST(\"list.txt\")"), replace_all(r.expect, "{P}", path));
  }
}

TEST(ReadList, NamesAndFileErrors) {
  list_folder folder;
  const std::string file = folder.write("names.txt", "1\n");
  struct row {
    std::string folder;
    std::string call;
    std::string expect;
  };
  const std::vector<row> rows = {
      {folder.path, "READLIST(\"names.txt\")", "v(i:1)"},
      {folder.path + "/", "READLIST(\"names.txt\")", "v(i:1)"},
      {"/nonexistent", "READLIST(\"" + file + "\")", "v(i:1)"},
      {"", "READLIST(\"" + file + "\")", "v(i:1)"},
      {folder.path, "READLIST(\"names.txt\", 1, 2)", "v(i:1)"},
      {folder.path, "READLIST(\"nope.txt\")", "#READLIST(" + folder.path + "/nope.txt:-1):error opening file"},
      {"/nonexistent", "READLIST(\"names.txt\")", "#READLIST(/nonexistent/names.txt:-1):error opening file"},
      {folder.path, "READLIST(\"\")", "#READLIST(" + folder.path + "/:-1):it is a folder"},
      {"", "READLIST(\"/\")", "#READLIST(/:-1):it is a folder"},
      {"", "READLIST(\"/dev/zero\")", "#READLIST(/dev/zero:-1):it is not a regular file (a device, FIFO or socket)"},
      {folder.path, "READLIST()", "#READLIST:ARGS#"},
      {folder.path, "READLIST(5)", "#READLIST:ARGS#"},
      {folder.path, "READLIST(LIST(\"names.txt\"))", "#READLIST:ARGS#"},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.call);
    fake_context context;
    context.folder = r.folder;
    EXPECT_EQ(context.eval(r.call), r.expect);
  }
}

// A file past 16 MiB, more than 16384 non-empty lines, and a list that reads itself are
// refused with a clear text instead of growing without end.
TEST(ReadList, Bounds) {
  list_folder folder;
  const std::string big = folder.write("big.txt", std::string((std::size_t{16} << 20) + 1, ' '));
  const std::string edge = folder.write("edge.txt", std::string(std::size_t{16} << 20, ' '));
  std::string many;
  for (int i = 0; i < 16384; ++i)
    many += "1\n\n";
  const std::string full = folder.write("full.txt", many);
  const std::string over = folder.write("over.txt", many + "2\n");
  const std::string self = folder.write("self.txt", "READLIST(\"self.txt\")\n");
  fake_context context;
  context.folder = folder.path;
  EXPECT_EQ(context.eval("READLIST(\"big.txt\")"), "#READLIST(" + big + ":-1):it is larger than 16777216 bytes");
  EXPECT_EQ(context.eval("READLIST(\"edge.txt\")"), "v()");
  EXPECT_EQ(context.eval("SIZE(READLIST(\"full.txt\"))"), "i:16384");
  EXPECT_EQ(context.eval("READLIST(\"over.txt\")"), "#READLIST(" + over + ":32769):too many lines");
  std::string nested = "s:#READLIST(" + self + ":1):#READLIST(" + self + ":-1):lists nested too deeply";
  for (int level = 0; level < 8; ++level)
    nested = "v(" + nested + ")";
  EXPECT_EQ(context.eval("READLIST(\"self.txt\")"), nested);
}

// A list line that calls the very variable whose READLIST is being read re-enters it; the
// nesting bound ends that too.
TEST(ReadList, LineReentersItsVariable) {
  list_folder folder;
  const std::string path = folder.write("again.txt", "@L\n");
  fake_context context;
  context.folder = folder.path;
  context.add_variable("L", "READLIST(\"again.txt\")");
  std::string nested = "s:#READLIST(" + path + ":1):#READLIST(" + path + ":-1):lists nested too deeply";
  for (int level = 0; level < 8; ++level)
    nested = "v(" + nested + ")";
  EXPECT_EQ(context.eval("@L"), nested);
}

}  // namespace
}  // namespace quillet::test
