// The reader's buffer cannot be had: the standard out-of-memory exception,
// before the file is touched. The array allocation functions are replaced
// here so that one allocation of the buffer's size can be made to fail.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "server/template_host.h"
#include "server/template_line_reader.h"

namespace {

std::atomic<bool> failBufferAllocation{false};

}  // namespace

void* operator new[](std::size_t size) {
  if (size == zarn::TemplateLineReader::kBufferSize && failBufferAllocation.exchange(false)) throw std::bad_alloc();
  if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
  throw std::bad_alloc();
}
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }

namespace {

TEST(TemplateLineReader, ABufferThatCannotBeHadRaisesOutOfMemory) {
  fakehost::Host host;
  failBufferAllocation = true;
  EXPECT_THROW(zarn::TemplateLineReader reader, std::bad_alloc);
  EXPECT_FALSE(failBufferAllocation) << "the buffer allocation was not the one that failed";
  EXPECT_TRUE(host.Journal().empty());
}

TEST(ReadTemplate, ABufferThatCannotBeHadRaisesOutOfMemoryBeforeTheFileIsOpened) {
  servertest::TemplateHost t;
  t.host.AddFile(servertest::TemplateHost::kPath, "a\n");
  failBufferAllocation = true;
  EXPECT_THROW(AppUtils::Document::ReadTemplate("tpl", t.root.As<ISBContainerRoot>()), std::bad_alloc);
  failBufferAllocation = false;
  EXPECT_EQ(t.host.Journal(), (std::vector<std::string>{
                                  "root.ISBContainerRoot.GetUrlFactory()", R"(factory.ISBUrlFactory.CreateUrl("tpl"))",
                                  "location.QueryInterface(ISBFileUrl)", "location.ISBFileUrl.GetFilePath()"}));
  EXPECT_TRUE(t.host.Balanced());
}

}  // namespace
