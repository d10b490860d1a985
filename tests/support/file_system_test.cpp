// The file-system seam itself, on every platform: attributes that tell a
// kept file from a new one, a lock file held against other holders, a count
// of bytes written that counts, and links where they can be made.
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <optional>

#include "localhost/temp_folder.h"
#include "support/file_system.h"
#include "support/links.h"

namespace zarntest {
namespace {

TEST(FileSystemSeamTest, UnusualAttributesDifferFromANewFilesAndAreReadBack) {
  TempFolder folder;
  Put(folder / "new");
  Put(folder / "a");
  Put(folder / "b");
  const std::string fresh = AttributesOf(folder / "new");
  const std::string a = GiveUnusualAttributes(folder / "a", 0);
  const std::string b = GiveUnusualAttributes(folder / "b", 1);
  EXPECT_NE(a, fresh);
  EXPECT_NE(b, fresh);
  EXPECT_NE(a, b);
  EXPECT_EQ(AttributesOf(folder / "a"), a);
  EXPECT_EQ(AttributesOf(folder / "b"), b);
}

TEST(FileSystemSeamTest, AHeldLockFileKeepsOtherHoldersWaitingUntilReleased) {
  TempFolder folder;
  const std::string file = folder / "state.lock";
  std::optional<LockFileHolder> first(std::in_place, file);
  std::future<void> second = std::async(std::launch::async, [&] { LockFileHolder waiting(file); });
  EXPECT_EQ(second.wait_for(std::chrono::milliseconds(300)), std::future_status::timeout);
  first.reset();
  EXPECT_EQ(second.wait_for(std::chrono::seconds(20)), std::future_status::ready);
}

TEST(FileSystemSeamTest, BytesWrittenCountEveryWrite) {
  if (const auto why = BytesWrittenUnsupported()) GTEST_SKIP() << *why;
  TempFolder folder;
  const std::size_t before = BytesWrittenByThisProcess();
  Put(folder / "big", std::string(1 << 20, 'x'));
  EXPECT_GE(BytesWrittenByThisProcess() - before, std::size_t{1} << 20);
}

TEST(FileSystemSeamTest, LinksAreMadeWhereThePlatformLetsTheProcess) {
  if (const auto why = LinksUnsupported()) GTEST_SKIP() << *why;
  TempFolder folder;
  Put(folder / "dir/a.txt", "a");
  MakeLink(folder / "dir", folder / "to dir");
  MakeLink("dir/a.txt", folder / "to a");
  MakeFolderLink(folder / "later", folder / "to later");
  EXPECT_TRUE(std::filesystem::is_symlink(FsPath(folder / "to dir")));
  EXPECT_EQ(Read(folder / "to dir/a.txt"), "a");
  EXPECT_EQ(Read(folder / "to a"), "a");
  EXPECT_TRUE(std::filesystem::is_symlink(FsPath(folder / "to later")));
}

}  // namespace
}  // namespace zarntest
