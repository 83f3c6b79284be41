// Paths held to a folder: links and ".." are resolved before the check.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/files/contained_path.h"

namespace quillet::files {
namespace {

namespace fs = std::filesystem;

TEST(ContainedPath, LinksAndParentStepsAreResolvedBeforeTheCheck) {
  const fs::path dir = fs::path(testing::TempDir()) / ("contained_" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir / "t/sub");
  fs::create_directories(dir / "tx");
  for (const char* name : {"t/a", "t/sub/b", "tx/c", "d"})
    std::ofstream(dir / name) << "x";
  fs::create_symlink(dir / "d", dir / "t/out");
  fs::create_symlink(dir / "t/sub/b", dir / "t/in");
  fs::create_directory_symlink(dir / "t", dir / "via");
  struct row {
    const char* path;
    const char* folder;
    bool inside;
  };
  for (const row& r : {row{"t/a", "t", true}, row{"t/sub/b", "t", true}, row{"t/in", "t", true},
                       row{"t/sub/../a", "t", true}, row{"via/a", "t", true}, row{"t/a", "via", true},
                       row{"t/../d", "t", false}, row{"t/out", "t", false}, row{"tx/c", "t", false},
                       row{"t/missing", "t", false}}) {
    SCOPED_TRACE(r.path);
    std::string resolved, error;
    EXPECT_EQ(resolve_inside((dir / r.path).string(), (dir / r.folder).string(), resolved, error), r.inside) << error;
    if (r.inside) {
      EXPECT_TRUE(fs::equivalent(resolved, dir / r.path));
    }
  }
  fs::remove_all(dir);
}

}  // namespace
}  // namespace quillet::files
