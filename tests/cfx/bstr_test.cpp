#include "host/bstr.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <new>
#include <stdexcept>

#include "cfx/cfx_host.h"
#include "fake_host/code_page.h"
#include "string_leak_check.h"

namespace {

using BstrTest = StringLeakCheck;

TEST_F(BstrTest, SysAllocStringLayoutAndLength) {
  BSTR text = SysAllocStringLen(OLESTR("ab\0c"), 4);
  ASSERT_NE(text, nullptr);
  std::uint32_t byteLength = 0;
  std::memcpy(&byteLength, reinterpret_cast<char*>(text) - sizeof byteLength, sizeof byteLength);
  EXPECT_EQ(byteLength, 8u);
  EXPECT_EQ(SysStringLen(text), 4u);
  EXPECT_EQ(CfxWStringView(text, 5), CfxWStringView(OLESTR("ab\0c\0"), 5));
  EXPECT_EQ(LiveSinceStart(), 1);
  SysFreeString(text);
  EXPECT_EQ(LiveSinceStart(), 0);

  text = SysAllocString(OLESTR("ab\0c"));
  EXPECT_EQ(SysStringLen(text), 2u);
  SysFreeString(text);
  EXPECT_EQ(SysAllocString(nullptr), nullptr);
  EXPECT_EQ(SysStringLen(nullptr), 0u);
  SysFreeString(nullptr);
}

TEST_F(BstrTest, InjectedFailureHitsExactlyTheNthAllocation) {
  CfxFailStringAllocation(2);
  BSTR first = SysAllocString(OLESTR("1"));
  BSTR second = SysAllocString(OLESTR("2"));
  BSTR third = SysAllocString(OLESTR("3"));
  EXPECT_NE(first, nullptr);
  EXPECT_EQ(second, nullptr);
  EXPECT_NE(third, nullptr);
  SysFreeString(first);
  SysFreeString(third);

  CfxFailStringAllocation(1);
  CfxFailStringAllocation(0);
  BSTR after = SysAllocString(OLESTR("x"));
  EXPECT_NE(after, nullptr) << "0 must switch the failure off";
  SysFreeString(after);
}

TEST_F(BstrTest, EmptyStringsAllocateNothing) {
  const auto before = CfxStringAllocationCount();
  CfxBSTR fromDefault;
  CfxBSTR fromWide(OLESTR(""));
  CfxBSTR fromNullWide(static_cast<const OLECHAR*>(nullptr));
  CfxBSTR fromNarrow("");
  CfxBSTR fromNullNarrow(static_cast<const char*>(nullptr));
  CfxBSTR fromString{std::string()};
  for (const CfxBSTR* s : {&fromDefault, &fromWide, &fromNullWide, &fromNarrow, &fromNullNarrow, &fromString}) {
    EXPECT_EQ(s->in(), nullptr);
    EXPECT_TRUE(s->IsEmpty());
  }
  EXPECT_EQ(CfxStringAllocationCount(), before);
  EXPECT_TRUE(CfxBSTR::nullBSTRData.IsShared());
}

TEST_F(BstrTest, CopiesShareOneHolderAndTheLastOneFreesIt) {
  {
    CfxBSTR a(OLESTR("shared"));
    const auto before = CfxStringAllocationCount();
    CfxBSTR b(a);
    CfxBSTR c;
    c = b;
    EXPECT_EQ(b.in(), a.in());
    EXPECT_EQ(c.in(), a.in());
    EXPECT_EQ(CfxStringAllocationCount(), before);
    EXPECT_EQ(LiveSinceStart(), 1);
  }
  EXPECT_EQ(LiveSinceStart(), 0);
}

TEST_F(BstrTest, AssignmentReleasesTheOldText) {
  CfxBSTR a(OLESTR("first"));
  const CfxBSTR b(OLESTR("second"));
  EXPECT_EQ(LiveSinceStart(), 2);
  a = b;
  EXPECT_EQ(LiveSinceStart(), 1);
  const CfxBSTR& self = a;
  a = self;
  EXPECT_EQ(a, OLESTR("second"));
  a = CfxBSTR(OLESTR("third"));
  EXPECT_EQ(a, OLESTR("third"));
  EXPECT_EQ(LiveSinceStart(), 2);
}

TEST_F(BstrTest, MoveLeavesTheSourceEmpty) {
  CfxBSTR a(OLESTR("moved"));
  const BSTR text = a.in();
  CfxBSTR b(std::move(a));
  EXPECT_EQ(b.in(), text);
  EXPECT_EQ(a.in(), nullptr);
  CfxBSTR c;
  c = std::move(b);
  EXPECT_EQ(c.in(), text);
  EXPECT_EQ(b.in(), nullptr);
  EXPECT_EQ(LiveSinceStart(), 1);
}

TEST_F(BstrTest, CopyOnWriteIsolatesASharedCopy) {
  CfxBSTR a(OLESTR("text"));
  CfxBSTR b(a);
  b.CopyOnWrite();
  EXPECT_NE(b.in(), a.in());
  EXPECT_EQ(b, OLESTR("text"));
  *b.out() = SysAllocString(OLESTR("changed"));
  EXPECT_EQ(a, OLESTR("text"));
  EXPECT_EQ(b, OLESTR("changed"));
}

TEST_F(BstrTest, CopyOnWriteKeepsAnUnsharedHolder) {
  CfxBSTR a(OLESTR("mine"));
  const BSTR text = a.in();
  const auto before = CfxStringAllocationCount();
  a.CopyOnWrite();
  EXPECT_EQ(a.in(), text);
  EXPECT_EQ(CfxStringAllocationCount(), before);
}

TEST_F(BstrTest, FillingAnEmptyStringLeavesOtherEmptyStringsEmpty) {
  CfxBSTR filled;
  const CfxBSTR bystander;
  filled.CopyOnWrite();
  *filled.out() = SysAllocString(OLESTR("filled"));
  EXPECT_EQ(filled, OLESTR("filled"));
  EXPECT_EQ(bystander.in(), nullptr);
  EXPECT_EQ(CfxBSTR().in(), nullptr);
  EXPECT_EQ(CfxBSTR::nullBSTRData.text_, nullptr);
}

TEST_F(BstrTest, OutFreesTheHeldTextFirst) {
  CfxBSTR a(OLESTR("old"));
  a.CopyOnWrite();
  BSTR* slot = a.out();
  EXPECT_EQ(*slot, nullptr);
  EXPECT_EQ(LiveSinceStart(), 0);
  *slot = SysAllocString(OLESTR("new"));
  // A second fill through the same string must not leak the first result.
  *a.out() = SysAllocString(OLESTR("newer"));
  EXPECT_EQ(a, OLESTR("newer"));
  EXPECT_EQ(LiveSinceStart(), 1);
}

TEST_F(BstrTest, OutOnASharedHolderLeavesTheOtherCopy) {
  CfxBSTR a(OLESTR("kept"));
  CfxBSTR b(a);
  *b.out() = SysAllocString(OLESTR("other"));
  EXPECT_EQ(a, OLESTR("kept"));
  EXPECT_EQ(b, OLESTR("other"));
}

TEST_F(BstrTest, DetachHandsOverTheTextOrACopyOfIt) {
  CfxBSTR unique(OLESTR("unique"));
  const BSTR held = unique.in();
  BSTR detached = unique.Detach();
  EXPECT_EQ(detached, held);
  EXPECT_EQ(unique.in(), nullptr);
  EXPECT_EQ(LiveSinceStart(), 1);
  SysFreeString(detached);

  CfxBSTR a(OLESTR("shared"));
  CfxBSTR b(a);
  BSTR copy = b.Detach();
  EXPECT_NE(copy, a.in());
  EXPECT_EQ(CfxWStringView(copy), OLESTR("shared"));
  EXPECT_EQ(a, OLESTR("shared"));
  EXPECT_EQ(b.in(), nullptr);
  SysFreeString(copy);

  EXPECT_EQ(CfxBSTR().Detach(), nullptr);
}

TEST_F(BstrTest, NarrowConstructorsAndConversions) {
  // Narrow text is in the application's code page, whatever it is here.
  const std::string withZero = std::string("a\0b", 3) + CfxWideToCodePage(OLESTR("\u00E9"));
  const CfxBSTR fromString(withZero);
  EXPECT_EQ(fromString.Length(), 4u);
  EXPECT_EQ(fromString.ToWString(), CfxWString(OLESTR("a\0b\u00E9"), 4));
  EXPECT_EQ(fromString.ToString(), std::string("a\0b\xC3\xA9", 5)) << "UTF-8 whatever the code page";
  EXPECT_EQ(fromString.ToTString(), withZero);

  const CfxBSTR fromPointer(withZero.c_str());
  EXPECT_EQ(fromPointer, OLESTR("a"));

  const CfxBSTR counted(OLESTR("a\0b"), 3);
  EXPECT_EQ(counted.ToWString().size(), 3u);
  EXPECT_EQ(CfxBSTR(CfxWStringView(OLESTR("xyz"), 2)), OLESTR("xy"));
}

// In each code page the framework takes, every byte is one character (UTF-8
// with its lossless escapes, Windows-1252, the system's single-byte ANSI code
// page on Windows), so every byte string comes back whole through ToTString.
// ToString is UTF-8 whatever the code page.
TEST_F(BstrTest, EveryByteStringSurvivesTheNarrowRoundTripInEveryCodePage) {
  const std::uint32_t system = CfxApplicationCodePage();
  for (const std::uint32_t codePage : {kCfxCodePageUtf8, kCfxCodePageWindows1252, system}) {
    const fakehost::CodePage chosen(codePage);
    std::string everyByte;
    for (int byte = 0; byte < 256; ++byte) {
      const std::string one(1, static_cast<char>(byte));
      EXPECT_EQ(CfxBSTR(one).ToTString(), one) << "code page " << codePage << ", byte " << byte;
      everyByte += one;
    }
    everyByte += "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\xED\xA0\x80";  // UTF-8 sequences, one of them invalid
    EXPECT_EQ(CfxBSTR(everyByte).ToTString(), everyByte) << "code page " << codePage;
    EXPECT_EQ(CfxBSTR(OLESTR("\u00E9\u20AC")).ToString(), "\xC3\xA9\xE2\x82\xAC") << "code page " << codePage;
  }
}

TEST_F(BstrTest, Windows1252MapsItsHighBytesAndNarrowsTheRestToAQuestionMark) {
  const fakehost::CodePage windows1252(kCfxCodePageWindows1252);
  EXPECT_EQ(CfxBSTR("\x80\x9F\xE9\x81").ToWString(), CfxWString(OLESTR("\u20AC\u0178\u00E9\u0081")));
  EXPECT_EQ(CfxBSTR(OLESTR("\u20AC\u00FC\u0100")).ToTString(), "\x80\xFC?");
  EXPECT_THROW(CfxSetApplicationCodePage(12345), std::invalid_argument);
  EXPECT_EQ(CfxApplicationCodePage(), kCfxCodePageWindows1252) << "a refused code page changes nothing";
}

// Fails each allocation of an operation in turn: every failure must raise
// std::bad_alloc, leave the string as it was and leak nothing.
void ExpectEveryAllocationFailureIsClean(const std::function<void()>& operation) {
  for (std::uint64_t n = 1;; ++n) {
    const std::size_t live = CfxLiveStringCount();
    CfxFailStringAllocation(n);
    bool threw = false;
    try {
      operation();
    } catch (const std::bad_alloc&) {
      threw = true;
    }
    CfxFailStringAllocation(0);
    EXPECT_EQ(CfxLiveStringCount(), live) << "allocation " << n;
    if (!threw) return;
    ASSERT_LT(n, 10u) << "the operation keeps failing";
  }
}

TEST_F(BstrTest, ConstructorsThrowBadAllocOnFailedAllocation) {
  CfxFailStringAllocation(1);
  EXPECT_THROW(CfxBSTR(OLESTR("x")), std::bad_alloc);
  CfxFailStringAllocation(1);
  EXPECT_THROW(CfxBSTR("x"), std::bad_alloc);
  CfxFailStringAllocation(1);
  EXPECT_THROW(CfxBSTR(std::string("x")), std::bad_alloc);
  EXPECT_EQ(LiveSinceStart(), 0);
  ExpectEveryAllocationFailureIsClean([] { const CfxBSTR a(OLESTR("a")), b("b"), c(std::string("c")); });
}

TEST_F(BstrTest, SharedOperationsFailCleanly) {
  CfxBSTR original(OLESTR("original"));
  ExpectEveryAllocationFailureIsClean([&] {
    CfxBSTR copy(original);
    copy.CopyOnWrite();
  });
  ExpectEveryAllocationFailureIsClean([&] {
    CfxBSTR copy(original);
    SysFreeString(copy.Detach());
  });
  CfxBSTR copy(original);
  CfxFailStringAllocation(1);
  EXPECT_THROW(copy.CopyOnWrite(), std::bad_alloc);
  EXPECT_EQ(copy.in(), original.in()) << "a failed CopyOnWrite must leave the string as it was";
}

}  // namespace
