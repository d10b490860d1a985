// What the journal says about a call: the lines later tests compare against.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_host/host.h"
#include "host/com_ptr.h"

namespace fakehost {
namespace {

using Lines = std::vector<std::string>;

TEST(Journal, OperationShowsTextObjectAndVariantArguments) {
  Host host;
  Object& manager = host.Make("manager");
  Object& doc = host.Make("doc");
  manager.Add<FakeDocumentManager>();
  doc.Add<FakeDocumentRoot>();

  CfxVariant text(CfxBSTR("a.sdd"));
  CfxVariant empty;
  VARIANT number{};
  number.vt = VT_I4;
  number.lVal = 7;
  EXPECT_EQ(manager.As<ISBDocumentManager>()->SaveDocument(doc.As<ISBDocumentRoot>(), 5, text, empty, number), S_OK);

  EXPECT_EQ(host.Journal(),
            (Lines{R"(manager.ISBDocumentManager.SaveDocument(doc, 5, "a.sdd", empty, variant(vt=3)))"}));
}

TEST(Journal, ObjectArgumentsAreNamedNullOrUnknown) {
  Host host;
  Object& manager = host.Make("manager");
  manager.Add<FakeDocumentManager>();
  Object stranger(host, "stranger");  // not made by the host, so not one of its objects
  stranger.Add<FakeUrl>();

  {
    CfxBSTR type;
    manager.As<ISBDocumentManager>()->GetDocumentType(nullptr, type.out());
    manager.As<ISBDocumentManager>()->GetDocumentType(stranger.As<ISBUrl>(), type.out());
  }

  EXPECT_EQ(host.Journal(), (Lines{"manager.ISBDocumentManager.GetDocumentType(null)",
                                   "manager.ISBDocumentManager.GetDocumentType(?)"}));
  EXPECT_TRUE(host.Balanced());
}

struct TextCase {
  const char* label;
  CfxBSTR text;
  std::string shown;
  friend void PrintTo(const TextCase& c, std::ostream* os) { *os << c.label; }
};

class JournalText : public testing::TestWithParam<TextCase> {};

TEST_P(JournalText, IsQuotedWithCEscapes) {
  Host host;
  Object& url = host.Make("url");
  url.Add<FakeUrl>();
  url.As<ISBUrl>()->SetQuery(GetParam().text.in());
  EXPECT_EQ(host.Journal(), Lines{"url.ISBUrl.SetQuery(" + GetParam().shown + ")"});
}

INSTANTIATE_TEST_SUITE_P(
    Escapes, JournalText,
    testing::Values(TextCase{"plain", CfxBSTR("Recursive=Yes"), R"("Recursive=Yes")"},
                    TextCase{"quote_and_backslash", CfxBSTR(R"(say "C:\x")"), R"("say \"C:\\x\"")"},
                    TextCase{"line_ends_and_tab", CfxBSTR("a\r\nb\tc"), R"("a\r\nb\tc")"},
                    TextCase{"embedded_zero", CfxBSTR(std::string("a\0b", 3)), R"("a\0b")"},
                    TextCase{"control_and_delete", CfxBSTR("\x01\x7F"), R"("\x01\x7F")"},
                    TextCase{"non_ascii_as_utf8", CfxBSTR(OLESTR("\u00E9\u20AC")), R"("\xC3\xA9\xE2\x82\xAC")"},
                    TextCase{"empty_string_is_null", CfxBSTR(), "null"}),
    [](const testing::TestParamInfo<TextCase>& info) { return std::string(info.param.label); });

TEST(Journal, QueryShowsTheInterfaceByNameOrIdentifier) {
  Host host;
  Object& url = host.Make("url");
  url.Add<FakeUrl>();
  url.Add<FakeFileUrl>();

  CfxComPtr<ISBFileUrl> file = CfxComPtr<ISBFileUrl>::TryQuery(url.As<ISBUrl>());
  void* other = nullptr;
  constexpr nsID kUnknownId = nsIDFromText("{01234567-89AB-CDEF-0123-456789ABCDEF}");
  EXPECT_EQ(url.As<ISBUrl>()->QueryInterface(kUnknownId, &other), E_NOINTERFACE);

  EXPECT_EQ(host.Journal(),
            (Lines{"url.QueryInterface(ISBFileUrl)", "url.QueryInterface({01234567-89AB-CDEF-0123-456789ABCDEF})"}));
}

TEST(Journal, ClearJournalKeepsTheCallCount) {
  Host host;
  Object& url = host.Make("url");
  url.Add<FakeUrl>();
  url.As<ISBUrl>()->SetQuery(nullptr);
  host.ClearJournal();
  url.As<ISBUrl>()->SetQuery(nullptr);

  EXPECT_EQ(host.Journal(), Lines{"url.ISBUrl.SetQuery(null)"});
  EXPECT_EQ(host.CallCount(), 2);
}

TEST(Journal, AnOptedInObjectJournalsOnlyTheReleaseThatGivesBackTheLastForeignReference) {
  Host host;
  Object& operation = host.Make("operation");
  Object& quiet = host.Make("quiet");
  operation.Add<FakeUnknown>();
  quiet.Add<FakeUnknown>();
  operation.journalFinalRelease = true;
  {
    CfxComPtr<IUnknown> first(operation.As<IUnknown>());
    CfxComPtr<IUnknown> second(operation.As<IUnknown>());
    CfxComPtr<IUnknown> other(quiet.As<IUnknown>());
    first.Reset();
    EXPECT_TRUE(host.Journal().empty());
  }
  EXPECT_EQ(host.Journal(), (Lines{"operation.Release()"}));
  EXPECT_EQ(host.CallCount(), 1);
  EXPECT_TRUE(host.Balanced());
}

}  // namespace
}  // namespace fakehost
