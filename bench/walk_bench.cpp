// Listing walks: HideFiles and HideDependentFiles over fake-host listings of
// 1 000, 10 000 and 100 000 entries. The time per entry should not grow with
// the length of the listing.
#include <benchmark/benchmark.h>

#include <cstddef>
#include <stdexcept>
#include <string>

#include "ZarnServerJobUtils.h"
#include "benches.h"
#include "hiding/hiding_project.h"

namespace zarnbench {
namespace {

using namespace hidingtest;

constexpr std::u16string_view kStudyTable = u"SDDocuments.StudyTableDocument";

std::u16string Wide(const std::string& text) { return std::u16string(text.begin(), text.end()); }

// A listing of documents "/p/dN.abc" whose extension has the dependents
// "def" and "ghi" (every other document has its ".def" file), and, as
// every tenth entry, a study table "tN" with a companion folder holding one
// file.
struct Listing : Project {
  std::size_t expectedHidden = 0;

  explicit Listing(std::size_t entries) {
    types.Get<FakeFileTypes>().dependents[u"abc"] = {u"def", u"ghi"};
    auto& existing = container.Get<FakeContainerRoot>().existingFiles;
    for (std::size_t i = 1; i <= entries; ++i) {
      const std::string n = std::to_string(i);
      if (i % 10 == 0) {
        AddStudyTable("t" + n);
      } else {
        Entry("d" + n, Wide("/p/d" + n + ".abc"));
        if (i % 2 == 0) {
          existing.insert("/p/d" + n + ".def");
          ++expectedHidden;
        }
      }
    }
  }

  void AddStudyTable(const std::string& name) {
    Object& table = Entry(name, Wide("/p/" + name + ".std"));
    documents.Get<FakeDocumentManager>().types[&table] = std::u16string(kStudyTable);
    Object& companion = Location(name + "-files", Wide("/p/" + name + " Files"));
    companion.Get<FakeFileUrl>().exists = VARIANT_TRUE;
    table.Get<FakeUrl>().children[Wide(name + " Files/")] = &companion;
    Object& wildcard = host.Make(name + "-all");
    wildcard.Add<FakeUrl>();
    companion.Get<FakeUrl>().children[u"*"] = &wildcard;
    Object& content = host.Make(name + "-content");
    content.Add<FakeUrlList>().items.push_back(&Location(name + "-file", Wide("/p/" + name + " Files/a.txt")));
    factory.Get<FakeUrlServices>().lists[&wildcard] = &content;
    expectedHidden += 2;  // the folder and its file
  }

  std::size_t Entries() const { return list.Get<FakeUrlList>().items.size(); }

  // Forgets what the previous call left in the fake host.
  void Reset() {
    host.ClearJournal();
    factory.Get<FakeUrlFactory>().hidden.clear();
  }
};

void HideAll(Listing& listing) { AppUtils::Document::HideFiles(listing.Folder(), listing.Container()); }
void HideDependents(Listing& listing) {
  AppUtils::Document::HideDependentFiles(listing.Folder(), listing.Container(), false);
}
std::size_t HiddenByHideAll(const Listing& listing) { return listing.Entries(); }
std::size_t HiddenByHideDependents(const Listing& listing) { return listing.expectedHidden; }

using Walk = void (*)(Listing&);
using Expected = std::size_t (*)(const Listing&);

// Ok when the call hid what it should and gave back every reference.
bool Hid(const Listing& listing, Expected expected) {
  return listing.Hidden().size() == expected(listing) && listing.host.Balanced();
}

void TimeWalk(benchmark::State& state, Walk walk, Expected expected) {
  Listing listing(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    state.PauseTiming();
    listing.Reset();
    state.ResumeTiming();
    walk(listing);
  }
  if (!Hid(listing, expected)) state.SkipWithError("the walk did not hide what it should");
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void Check(Walk walk, Expected expected, const char* what) {
  Listing listing(1000);
  walk(listing);
  if (!Hid(listing, expected)) throw std::runtime_error(std::string(what) + " did not hide what it should");
}

}  // namespace

void RegisterWalkBenchmarks() {
  Check(HideAll, HiddenByHideAll, "HideFiles");
  Check(HideDependents, HiddenByHideDependents, "HideDependentFiles");
  const struct {
    const char* name;
    Walk walk;
    Expected expected;
  } walks[] = {{"walk/HideFiles", HideAll, HiddenByHideAll},
               {"walk/HideDependentFiles", HideDependents, HiddenByHideDependents}};
  for (const auto& w : walks) {
    benchmark::RegisterBenchmark(w.name, TimeWalk, w.walk, w.expected)
        ->Arg(1000)
        ->Arg(10000)
        ->Arg(100000)
        ->Unit(benchmark::kMillisecond)
        ->Repetitions(kRepetitions)
        ->ReportAggregatesOnly(true);
  }
}

}  // namespace zarnbench
