// Every operation of every host interface sits in the slot the host gives it.
//
// The library and the fake host compile against the same declarations, so a
// swapped pair of operations would still agree with each other while a real
// host is called in the wrong slot. This test does not trust the
// declarations: the expected order is written out here, and the probe is an
// object whose table of operations is an array of distinct functions, each
// recording its own index. Each operation is called through the library's
// interface type, and the index it lands on must be its slot.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <typeinfo>
#include <utility>
#include <vector>

#include "host/job_interfaces.h"
#include "host/project_interfaces.h"

namespace {

struct Probe;

// Every slot function takes the object and ignores whatever else the caller
// passes; the caller cleans up its own arguments in the host's convention.
using SlotFunction = HRESULT (*)(Probe*);

constexpr int kSlots = 16;
// What a slot function returns: a success code that names the slot.
constexpr HRESULT kSlotAnswer = 0x100;

// The table of operations, laid out as the compiler's ABI lays out the table
// of a class: the offset to the whole object and its type in front of the
// slots. The type lets the sanitizers' dynamic type checks accept the probe
// as the interface it is called through.
struct ProbeTable {
  std::ptrdiff_t offsetToTop = 0;
  const std::type_info* type = nullptr;
  SlotFunction slots[kSlots] = {};
};

struct Probe {
  const SlotFunction* table;
  int slot = -1;
};

template <int N>
HRESULT Slot(Probe* self) {
  self->slot = N;
  return kSlotAnswer + N;
}

template <int... N>
ProbeTable TableOf(const std::type_info& type, std::integer_sequence<int, N...>) {
  return {0, &type, {&Slot<N>...}};
}

// A call of one operation through the interface, with arguments that do not
// matter: the probe never looks at them. It gives back what the slot answered.
template <class I>
struct Operation {
  const char* name;
  HRESULT (*call)(I*);
};

// Calls each operation through I, in the given order, and expects it in the
// slot of that position: QueryInterface, AddRef and Release first, then the
// operations given. `id` is the interface's identifier, or null when the
// host gives it none; then the declaration must not claim one either.
template <class I>
void ExpectInterface(const char* interfaceName, const char* id, const std::vector<Operation<I>>& operations) {
  SCOPED_TRACE(interfaceName);
  if constexpr (HasInterfaceId<I>) {
    ASSERT_NE(id, nullptr) << "the declaration has an identifier the host does not give";
    EXPECT_EQ(nsIDToString(InterfaceIdOf<I>), id);
  } else {
    EXPECT_EQ(id, nullptr) << "the declaration has no identifier of its own";
  }

  std::vector<Operation<I>> all = {
      {"QueryInterface",
       [](I* object) {
         void* out = nullptr;
         return object->QueryInterface(InterfaceIdOf<IUnknown>, &out);
       }},
      {"AddRef", [](I* object) { return static_cast<HRESULT>(object->AddRef()); }},
      {"Release", [](I* object) { return static_cast<HRESULT>(object->Release()); }},
  };
  all.insert(all.end(), operations.begin(), operations.end());
  ASSERT_LE(all.size(), std::size_t{kSlots});

  static const ProbeTable table = TableOf(typeid(I), std::make_integer_sequence<int, kSlots>());
  Probe probe{table.slots};
  I* const object = reinterpret_cast<I*>(&probe);
  for (std::size_t slot = 0; slot < all.size(); ++slot) {
    probe.slot = -1;
    const HRESULT answer = all[slot].call(object);
    EXPECT_EQ(probe.slot, static_cast<int>(slot)) << all[slot].name;
    EXPECT_EQ(answer, kSlotAnswer + static_cast<HRESULT>(slot)) << all[slot].name << ": the answer comes back";
  }
}

TEST(SlotProbe, ProjectInterfacesSitInTheirSlots) {
  ExpectInterface<ISBContainerRoot>(
      "ISBContainerRoot", nullptr,
      {
          {"GetDocumentManager", [](ISBContainerRoot* o) { return o->GetDocumentManager(nullptr); }},
          {"GetEnvironment", [](ISBContainerRoot* o) { return o->GetEnvironment(nullptr); }},
          {"GetUrlFactory", [](ISBContainerRoot* o) { return o->GetUrlFactory(nullptr); }},
          // The platform's own, behind the host's operations.
          {"GetDiskManager", [](ISBContainerRoot* o) { return o->GetDiskManager(nullptr); }},
          {"FileExists", [](ISBContainerRoot* o) { return o->FileExists(nullptr, nullptr); }},
          {"CreateOperation", [](ISBContainerRoot* o) { return o->CreateOperation(0, nullptr, nullptr); }},
      });
  ExpectInterface<ISBUrlFactory>("ISBUrlFactory", nullptr,
                                 {
                                     {"SetHidden", [](ISBUrlFactory* o) { return o->SetHidden(nullptr, 0); }},
                                     {"CreateUrl", [](ISBUrlFactory* o) { return o->CreateUrl(nullptr, nullptr); }},
                                 });
  ExpectInterface<ISBUrlServices>("ISBUrlServices", "{2A3D85ED-0C31-F2FC-F0F7-49EEBF134F8D}",
                                  {
                                      {"ListUrls", [](ISBUrlServices* o) { return o->ListUrls(nullptr, nullptr); }},
                                  });
  ExpectInterface<ISBUrlList>("ISBUrlList", nullptr,
                              {
                                  {"GetItem", [](ISBUrlList* o) { return o->GetItem(1, nullptr); }},
                                  {"GetCount", [](ISBUrlList* o) { return o->GetCount(nullptr); }},
                              });
  ExpectInterface<ISBUrl>("ISBUrl", nullptr,
                          {
                              {"GetFileName", [](ISBUrl* o) { return o->GetFileName(nullptr); }},
                              {"GetName", [](ISBUrl* o) { return o->GetName(nullptr); }},
                              {"SetQuery", [](ISBUrl* o) { return o->SetQuery(nullptr); }},
                              {"CreateChildUrl", [](ISBUrl* o) { return o->CreateChildUrl(nullptr, nullptr); }},
                              {"GetRelativeUrl", [](ISBUrl* o) { return o->GetRelativeUrl(nullptr, nullptr); }},
                          });
  ExpectInterface<ISBFileUrl>("ISBFileUrl", "{1B9CE360-B200-483A-A319-AD51D5C39C1F}",
                              {
                                  {"GetFilePath", [](ISBFileUrl* o) { return o->GetFilePath(nullptr); }},
                                  {"Exists", [](ISBFileUrl* o) { return o->Exists(nullptr); }},
                              });
  ExpectInterface<ISBDocumentManager>(
      "ISBDocumentManager", nullptr,
      {
          {"SaveDocument",
           [](ISBDocumentManager* o) { return o->SaveDocument(nullptr, 0, VARIANT{}, VARIANT{}, VARIANT{}); }},
          {"GetDocument",
           [](ISBDocumentManager* o) { return o->GetDocument(0, nullptr, VARIANT{}, VARIANT{}, VARIANT{}, nullptr); }},
          {"GetDocumentType", [](ISBDocumentManager* o) { return o->GetDocumentType(nullptr, nullptr); }},
      });
  ExpectInterface<ISBFileTypeProvider>(
      "ISBFileTypeProvider", "{D4620F93-E556-93B1-20F6-5CE115B0DC0A}",
      {
          {"GetFileTypes", [](ISBFileTypeProvider* o) { return o->GetFileTypes(nullptr); }},
      });
  ExpectInterface<ISBFileTypes>(
      "ISBFileTypes", nullptr,
      {
          {"GetDependentExtensions",
           [](ISBFileTypes* o) { return o->GetDependentExtensions(nullptr, nullptr, nullptr); }},
      });
  ExpectInterface<ISBDocumentRoot>(
      "ISBDocumentRoot", nullptr,
      {
          {"Show", [](ISBDocumentRoot* o) { return o->Show(-1); }},
          // The platform's own, behind the host's operation.
          {"GetDocumentInfo", [](ISBDocumentRoot* o) { return o->GetDocumentInfo(nullptr); }},
          {"RegenerateDisplay", [](ISBDocumentRoot* o) { return o->RegenerateDisplay(nullptr); }},
      });
  ExpectInterface<ISBLockable>("ISBLockable", "{D4620F88-E556-93B1-20F6-5CE115B0DC0A}",
                               {
                                   {"Lock", [](ISBLockable* o) { return o->Lock(nullptr); }},
                                   {"Unlock", [](ISBLockable* o) { return o->Unlock(nullptr); }},
                               });
  ExpectInterface<ISBDocumentStorage>("ISBDocumentStorage", "{16307EAB-AED8-62C0-8085-E227F363E8DF}",
                                      {
                                          {"IsVirtual", [](ISBDocumentStorage* o) { return o->IsVirtual(nullptr); }},
                                      });
  ExpectInterface<ISBDocumentInfo>(
      "ISBDocumentInfo", nullptr,
      {
          {"GetDocumentPath", [](ISBDocumentInfo* o) { return o->GetDocumentPath(nullptr); }},
      });
  ExpectInterface<ISBDiskManager>(
      "ISBDiskManager", nullptr,
      {
          {"SplitPath", [](ISBDiskManager* o) { return o->SplitPath(nullptr, nullptr, nullptr, nullptr, nullptr); }},
          {"MakePath", [](ISBDiskManager* o) { return o->MakePath(nullptr, nullptr, nullptr, nullptr, nullptr); }},
      });
  ExpectInterface<ISBEnvironment>(
      "ISBEnvironment", nullptr,
      {
          {"ExpandVariables", [](ISBEnvironment* o) { return o->ExpandVariables(nullptr, nullptr); }},
      });
  ExpectInterface<ISBViewHost>("ISBViewHost", "{AB22E891-C363-11D5-812D-005004D02F6F}",
                               {
                                   {"GetViewManager", [](ISBViewHost* o) { return o->GetViewManager(nullptr); }},
                               });
  ExpectInterface<ISBViewManager>("ISBViewManager", nullptr,
                                  {
                                      {"OpenView", [](ISBViewManager* o) { return o->OpenView(nullptr, nullptr); }},
                                  });
}

TEST(SlotProbe, JobInterfacesSitInTheirSlots) {
  ExpectInterface<ISBJob>("ISBJob", nullptr,
                          {
                              {"GetProperty", [](ISBJob* o) { return o->GetProperty(nullptr, nullptr); }},
                              {"BeginLiveUpdates", [](ISBJob* o) { return o->BeginLiveUpdates(nullptr); }},
                              {"EndLiveUpdates", [](ISBJob* o) { return o->EndLiveUpdates(nullptr); }},
                          });
  ExpectInterface<ISBJobTransfer>(
      "ISBJobTransfer", "{6CF8CDE8-1BA0-43FF-FE16-8DF5498F573E}",
      {
          {"Download", [](ISBJobTransfer* o) { return o->Download(nullptr, nullptr, 1, 0); }},
      });
  ExpectInterface<ISBManagedJob>("ISBManagedJob", nullptr,
                                 {
                                     {"GetClientFolder", [](ISBManagedJob* o) { return o->GetClientFolder(nullptr); }},
                                 });
  ExpectInterface<ISBZarnServerJob>(
      "ISBZarnServerJob", "{A77752A6-3DCE-4541-BBAD-7FAC2BB424B2}",
      {
          {"Initialize", [](ISBZarnServerJob* o) { return o->Initialize(nullptr, nullptr, VARIANT{}, nullptr); }},
          {"AddInputFile", [](ISBZarnServerJob* o) { return o->AddInputFile(nullptr, nullptr); }},
          {"GetDocumentsFolder", [](ISBZarnServerJob* o) { return o->GetDocumentsFolder(nullptr); }},
          {"SetJobText", [](ISBZarnServerJob* o) { return o->SetJobText(nullptr); }},
          {"GetJobFiles", [](ISBZarnServerJob* o) { return o->GetJobFiles(nullptr); }},
      });
  ExpectInterface<ISBJobFiles>("ISBJobFiles", nullptr,
                               {
                                   {"GetName", [](ISBJobFiles* o) { return o->GetName(nullptr); }},
                                   {"CopyFiles",
                                    [](ISBJobFiles* o) {
                                      return o->CopyFiles(nullptr, nullptr, 513, 0, VARIANT{}, VARIANT{}, VARIANT{},
                                                          VARIANT{}, nullptr);
                                    }},
                               });
  // Handed to a new job's initialisation; the library calls nothing on them.
  ExpectInterface<ISBJobHost>("ISBJobHost", "{5D1E4D7B-AD8C-45C8-AFF2-D76DB7AF2659}", {});
  ExpectInterface<ISBState>("ISBState", nullptr, {});
}

TEST(SlotProbe, ServerJobClassIsTheHostsOwn) {
  EXPECT_EQ(nsIDToString(CLSID_ZarnServerJob), "{47376B53-F04A-422B-92BF-50B254AD15FA}");
}

}  // namespace
