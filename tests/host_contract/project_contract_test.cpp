// What the library relies on from the project side of a host.
#include <gtest/gtest.h>

#include "host/cotaskmem.h"
#include "host_contract/contract_fixture.h"
#include "support/file_system.h"

namespace zarncontract {
namespace {

// RFC 1738 unescaping, as the library applies it to relative URL text.
std::string Unescape(const std::string& text) {
  auto hex = [](char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  std::string plain;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && hex(text[i + 1]) >= 0 && hex(text[i + 2]) >= 0) {
      plain += static_cast<char>(hex(text[i + 1]) * 16 + hex(text[i + 2]));
      i += 2;
    } else {
      plain += text[i];
    }
  }
  return plain;
}

const ProjectSpec kTree{{{"d/c.txt", "c"}, {"d/a.txt", "a"}, {"d/b/x.txt", "x"}, {"d/b/w/", ""}}, {}};

TEST_F(HostContract, ListsAFolderInNameOrderCountingFromOne) {
  Host().MakeProject(kTree);
  EXPECT_EQ(ListedPaths(Host().Location("d/").get()), PathsOf({"d/a.txt", "d/b", "d/c.txt"}));
}

TEST_F(HostContract, AskingOutsideOneToCountIsAFailureNotACrash) {
  Host().MakeProject(kTree);
  CfxComPtr<ISBUrlList> list = List(Host().Location("d/").get());
  std::int32_t count = 0;
  ASSERT_EQ(list->GetCount(&count), S_OK);
  for (const std::int32_t index : {0, -1, count + 1}) {
    CfxComPtr<ISBUrl> entry;
    EXPECT_LT(list->GetItem(index, entry.put()), 0) << index;
    EXPECT_FALSE(entry) << index;
  }
}

TEST_F(HostContract, SubfoldersAreListedOnlyWithRecursiveYes) {
  Host().MakeProject(kTree);
  CfxComPtr<ISBUrl> folder = Host().Location("d/");
  ASSERT_EQ(folder->SetQuery(CfxBSTR("Recursive=Yes").in()), S_OK);
  const std::vector<std::string> all = ListedPaths(folder.get());
  EXPECT_EQ(all.size(), 5u);
  for (const char* entry : {"d/a.txt", "d/b", "d/b/x.txt", "d/b/w", "d/c.txt"}) {
    EXPECT_NE(std::find(all.begin(), all.end(), Host().PathOf(entry)), all.end()) << entry;
  }
  ASSERT_EQ(folder->SetQuery(CfxBSTR("Recursive=No").in()), S_OK);
  EXPECT_EQ(ListedPaths(folder.get()), PathsOf({"d/a.txt", "d/b", "d/c.txt"}));
}

TEST_F(HostContract, AWildCardStandsForEveryEntryOfItsFolder) {
  Host().MakeProject(kTree);
  CfxComPtr<ISBUrl> everything = Child(Host().Location("d/").get(), "*");
  EXPECT_EQ(ListedPaths(everything.get()), PathsOf({"d/a.txt", "d/b", "d/c.txt"}));
  ASSERT_EQ(everything->SetQuery(CfxBSTR("Recursive=Yes").in()), S_OK);
  EXPECT_EQ(ListedPaths(everything.get()).size(), 5u);
  // A study table's companion folder, named the way file hiding names it.
  CfxComPtr<ISBUrl> companion = Child(Child(Host().Location("d/b/x.txt").get(), "../b/").get(), "*");
  EXPECT_EQ(ListedPaths(companion.get()), PathsOf({"d/b/w", "d/b/x.txt"}));
}

TEST_F(HostContract, ChildrenResolveBesideADocumentAndInsideAFolder) {
  Host().MakeProject({{{"d/T.std", "t"}, {"d/T Files/a.txt", "a"}}, {}});
  CfxComPtr<ISBUrl> table = Host().Location("d/T.std");
  struct Case {
    std::string relative, entry;
    bool exists;
  };
  const Case besideTable[] = {
      {"T Files", "d/T Files", true},
      {"T_Files", "d/T_Files", false},  // made whether or not anything is there
      {"Input/T.std", "d/Input/T.std", false},
      {"J.std", "d/J.std", false},
  };
  for (const Case& c : besideTable) {
    CfxComPtr<ISBUrl> child = Child(table.get(), c.relative);
    ASSERT_TRUE(child) << c.relative;
    EXPECT_EQ(FilePath(child.get()), Host().PathOf(c.entry)) << c.relative;
    EXPECT_EQ(Exists(child.get()), c.exists) << c.relative;
  }
  CfxComPtr<ISBUrl> folder = Child(table.get(), "T Files/");
  EXPECT_TRUE(Exists(folder.get()));
  EXPECT_EQ(FilePath(Child(folder.get(), "a.txt").get()), Host().PathOf("d/T Files/a.txt"));
}

TEST_F(HostContract, NamesComeWithAndWithoutTheExtension) {
  Host().MakeProject({{{"d/T.std", ""}, {"d/a.b.c", ""}, {"d/T Files/", ""}}, {}});
  struct Case {
    std::string entry, name, fileName;
  };
  for (const Case& c :
       {Case{"d/T.std", "T", "T.std"}, Case{"d/a.b.c", "a.b", "a.b.c"}, Case{"d/T Files/", "T Files", "T Files"}}) {
    CfxComPtr<ISBUrl> location = Host().Location(c.entry);
    CfxBSTR name, fileName;
    name.CopyOnWrite();
    fileName.CopyOnWrite();
    EXPECT_EQ(Text(location->GetName(name.out()), name), c.name) << c.entry;
    EXPECT_EQ(Text(location->GetFileName(fileName.out()), fileName), c.fileName) << c.entry;
  }
}

TEST_F(HostContract, RelativeUrlsDecodeBackToTheRelativePath) {
  std::vector<std::string> names = {"T Files",
                                    "100% sure",
                                    "no#1",
                                    "why?",
                                    "\xC3\xBC"
                                    "ber",
                                    "plain"};
  std::erase_if(names, [](const std::string& name) { return !zarntest::FileNameAllowed(name); });  // '?' on Windows
  ProjectSpec spec;
  spec.files.push_back({"d/T.std", ""});
  for (const std::string& name : names) spec.files.push_back({"d/Input/" + name + "/x.txt", ""});
  Host().MakeProject(spec);
  CfxComPtr<ISBUrl> base = Host().Location("d/T.std");
  for (const std::string& name : names) {
    CfxComPtr<ISBUrl> target = Child(base.get(), "Input/" + name);
    CfxBSTR url;
    url.CopyOnWrite();
    const std::string text = Text(base->GetRelativeUrl(target.get(), url.out()), url);
    EXPECT_EQ(Unescape(text), "Input/" + name) << text;
    for (const char c : text) {
      const auto byte = static_cast<unsigned char>(c);
      EXPECT_TRUE(byte > 0x20 && byte < 0x7F && c != '#' && c != '?') << "unescaped byte in " << text;
    }
  }
}

TEST_F(HostContract, HiddenMarksOutliveTheProcess) {
  Host().MakeProject({{{"d/a.std", ""}, {"d/a.def", ""}, {"d/a Files/", ""}}, {}});
  ASSERT_EQ(Factory()->SetHidden(CfxBSTR(Host().PathOf("d/a.def")).in(), VARIANT_TRUE), S_OK);
  ASSERT_EQ(Factory()->SetHidden(CfxBSTR(Host().PathOf("d/a Files")).in(), VARIANT_TRUE), S_OK);
  Host().Reopen();
  EXPECT_TRUE(Host().IsHidden("d/a.def"));
  EXPECT_TRUE(Host().IsHidden("d/a Files"));
  EXPECT_FALSE(Host().IsHidden("d/a.std"));
}

TEST_F(HostContract, LocksByOwnerOutliveTheProcess) {
  Host().MakeProject({{{"d/a.std", "a"}}, {}});
  auto lockOnce = [&](bool lock) {
    CfxComPtr<ISBDocumentRoot> document;
    ASSERT_EQ(Documents()->GetDocument(0, Host().Location("d/a.std").get(), {}, {}, {}, document.put()), S_OK);
    ASSERT_TRUE(document);
    auto lockable = CfxComPtr<ISBLockable>::Query(document);
    const CfxBSTR owner("Corvane Server");
    EXPECT_GE(lock ? lockable->Lock(owner.in()) : lockable->Unlock(owner.in()), 0);
  };
  lockOnce(true);
  Host().Reopen();
  EXPECT_EQ(Host().LockOwners("d/a.std"), std::vector<std::string>{"Corvane Server"});
  lockOnce(false);
  Host().Reopen();
  EXPECT_TRUE(Host().LockOwners("d/a.std").empty());
}

TEST_F(HostContract, ADocumentForADocumentAndNoneForAFolder) {
  Host().MakeProject({{{"d/a.std", "a"}, {"d/sub/", ""}}, {}});
  for (const std::int32_t flags : {0, 16}) {
    CfxComPtr<ISBDocumentRoot> document;
    EXPECT_EQ(Documents()->GetDocument(flags, Host().Location("d/a.std").get(), {}, {}, {}, document.put()), S_OK);
    EXPECT_TRUE(document) << flags;
  }
  CfxComPtr<ISBDocumentRoot> none;
  EXPECT_GE(Documents()->GetDocument(0, Host().Location("d/sub").get(), {}, {}, {}, none.put()), 0);
  EXPECT_FALSE(none);
}

TEST_F(HostContract, ImportingWhereThereIsNoDocumentFailsAndNamesTheLocation) {
  // The library counts on a document from a successful GetDocument with the
  // import flags; the null check after it is the last resort.
  Host().MakeProject({{{"d/sub/", ""}}, {}});
  for (const std::string entry : {"d/sub", "d/sub/", "d/none.std"}) {
    CfxResult::SetLastError(S_OK);
    CfxComPtr<ISBDocumentRoot> document;
    EXPECT_LT(Documents()->GetDocument(16, Host().Location(entry).get(), {}, {}, {}, document.put()), 0) << entry;
    EXPECT_FALSE(document) << entry;
    const std::string description = CfxResult::LastErrorCheckNotS_OK().Description();
    EXPECT_NE(description.find(Host().PathOf(entry)), std::string::npos) << entry << ": " << description;
    CfxComPtr<ISBDocumentRoot> none;
    EXPECT_GE(Documents()->GetDocument(0, Host().Location(entry).get(), {}, {}, {}, none.put()), 0) << entry;
    EXPECT_FALSE(none) << entry;
  }
}

TEST_F(HostContract, DocumentTypesAndDependentExtensionsByExtension) {
  Host().MakeProject({{{"d/T.std", ""}, {"d/m.abc", ""}}, {{"abc", "Acme.Model", {"def", "ghi"}}}});
  CfxBSTR type;
  type.CopyOnWrite();
  EXPECT_EQ(Text(Documents()->GetDocumentType(Host().Location("d/T.std").get(), type.out()), type),
            "SDDocuments.StudyTableDocument");
  type.CopyOnWrite();
  EXPECT_EQ(Text(Documents()->GetDocumentType(Host().Location("d/m.abc").get(), type.out()), type), "Acme.Model");

  CfxComPtr<ISBFileTypes> types;
  ASSERT_EQ(CfxComPtr<ISBFileTypeProvider>::Query(Documents())->GetFileTypes(types.put()), S_OK);
  LPOLESTR* extensions = nullptr;
  std::int32_t count = 0;
  ASSERT_EQ(types->GetDependentExtensions(CfxBSTR("abc").in(), &extensions, &count), S_OK);
  std::vector<CfxWString> got;
  for (std::int32_t i = 0; i < count; ++i) {
    got.emplace_back(extensions[i]);
    CoTaskMemFree(extensions[i]);
  }
  CoTaskMemFree(extensions);
  EXPECT_EQ(got, (std::vector<CfxWString>{OLESTR("def"), OLESTR("ghi")}));
}

}  // namespace
}  // namespace zarncontract
