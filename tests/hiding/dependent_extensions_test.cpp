#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>

#include "cfx/cfx_host.h"
#include "hiding/dependent_extensions.h"
#include "hiding/hiding_project.h"
#include "hiding/task_mem_strings.h"
#include "host/cotaskmem.h"

namespace {

using namespace hidingtest;

// Fills the owner's slots as a host operation would: a task-memory array of
// task-memory strings.
void Give(zarn::TaskMemStrings& owner, const std::vector<CfxWString>& texts, std::int32_t count) {
  const CfxPlainTaskMemoryScope plain;
  auto* array = static_cast<LPOLESTR*>(CoTaskMemAlloc(texts.size() * sizeof(LPOLESTR)));
  for (std::size_t i = 0; i < texts.size(); ++i) {
    const std::size_t bytes = (texts[i].size() + 1) * sizeof(OLECHAR);
    array[i] = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
    std::memcpy(array[i], texts[i].c_str(), bytes);
  }
  *owner.ArraySlot() = array;
  *owner.CountSlot() = count;
}

TEST(TaskMemStrings, AReaderThatRaisesHalfwayLeavesNothingBehind) {
  Host host;
  int reads = 0;
  {
    zarn::TaskMemStrings texts;
    Give(texts, {OLESTR("a"), OLESTR("b"), OLESTR("c"), OLESTR("d")}, 4);
    EXPECT_THROW(texts.TakeEach([&](const OLECHAR*) {
      if (++reads == 2) throw std::bad_alloc();
    }),
                 std::bad_alloc);
  }
  EXPECT_EQ(reads, 2);
  EXPECT_TRUE(host.Balanced());
}

TEST(TaskMemStrings, AnArrayWithACountBelowOneIsFreedUnread) {
  for (const std::int32_t count : {0, -1, INT32_MIN}) {
    Host host;
    int reads = 0;
    {
      zarn::TaskMemStrings texts;
      Give(texts, {}, count);
      texts.TakeEach([&](const OLECHAR*) { ++reads; });
    }
    EXPECT_EQ(reads, 0) << count;
    EXPECT_TRUE(host.Balanced()) << count;
  }
}

TEST(TaskMemStrings, APositiveCountWithoutAnArrayRaisesTheNullCheck) {
  zarn::TaskMemStrings texts;
  *texts.CountSlot() = 2;
  EXPECT_EQ(CodeOf([&] { texts.TakeEach([](const OLECHAR*) {}); }), E_POINTER);
}

TEST(DependentExtensions, GivesEachExtensionWithADotInTheRegistrysOrderDuplicatesKept) {
  Project project;
  Object& doc = project.Location("doc", OLESTR("/p/doc.abc"));
  project.types.Get<FakeFileTypes>().dependents[OLESTR("abc")] = {OLESTR("ghi"), OLESTR("def"), OLESTR("ghi"),
                                                                  OLESTR("")};
  {
    const auto extensions = zarn::DependentExtensions(doc.As<ISBUrl>(), project.documents.As<ISBDocumentManager>());
    EXPECT_EQ(extensions, (std::vector<std::string>{".ghi", ".def", ".ghi", "."}));
  }
  EXPECT_TRUE(project.host.Balanced());
}

}  // namespace
