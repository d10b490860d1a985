#include <gtest/gtest.h>

#include <cctype>
#include <ostream>
#include <random>
#include <string>

#include "host/bstr.h"

namespace {

CfxWString Wide(std::initializer_list<OLECHAR> units) { return CfxWString(units); }

struct RoundTripCase {
  const char* name;
  std::string narrow;
  CfxWString wide;
};

// Each narrow text converts to the wide text and back to the same bytes.
const RoundTripCase kRoundTrips[] = {
    {"ascii", "abc", OLESTR("abc")},
    {"embedded zero", std::string("a\0b", 3), CfxWString(OLESTR("a\0b"), 3)},
    {"two bytes", "\xC3\xA9", Wide({0x00E9})},
    {"three bytes", "\xE2\x82\xAC", Wide({0x20AC})},
    {"last before surrogates", "\xED\x9F\xBF", Wide({0xD7FF})},
    {"U+FFFF", "\xEF\xBF\xBF", Wide({0xFFFF})},
    {"four bytes", "\xF0\x9F\x98\x80", Wide({0xD83D, 0xDE00})},
    {"U+10FFFF", "\xF4\x8F\xBF\xBF", Wide({0xDBFF, 0xDFFF})},
    {"overlong two bytes", "\xC0\xAF", Wide({0xDCC0, 0xDCAF})},
    {"overlong three bytes", "\xE0\x80\xAF", Wide({0xDCE0, 0xDC80, 0xDCAF})},
    {"overlong four bytes", "\xF0\x8F\xBF\xBF", Wide({0xDCF0, 0xDC8F, 0xDCBF, 0xDCBF})},
    {"encoded high surrogate", "\xED\xA0\x80", Wide({0xDCED, 0xDCA0, 0xDC80})},
    {"encoded low surrogate", "\xED\xBF\xBF", Wide({0xDCED, 0xDCBF, 0xDCBF})},
    {"truncated at end", "\xE2\x82", Wide({0xDCE2, 0xDC82})},
    {"truncated before ascii",
     "\xE2\x82"
     "A",
     Wide({0xDCE2, 0xDC82, OLESTR('A')})},
    {"truncated before valid",
     "\xF0\x9F"
     "\xC3\xA9",
     Wide({0xDCF0, 0xDC9F, 0x00E9})},
    {"stray continuation",
     "a\x80"
     "b",
     Wide({OLESTR('a'), 0xDC80, OLESTR('b')})},
    {"above U+10FFFF", "\xF4\x90\x80\x80", Wide({0xDCF4, 0xDC90, 0xDC80, 0xDC80})},
    {"never a lead byte", "\xF5\xFF\xC1", Wide({0xDCF5, 0xDCFF, 0xDCC1})},
};

void PrintTo(const RoundTripCase& c, std::ostream* out) { *out << c.name; }

class RoundTripTest : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(RoundTripTest, NarrowToWideAndBack) {
  const RoundTripCase& c = GetParam();
  EXPECT_EQ(CfxNarrowToWide(c.narrow), c.wide);
  EXPECT_EQ(CfxWideToNarrow(c.wide), c.narrow);
}

INSTANTIATE_TEST_SUITE_P(Utf8, RoundTripTest, ::testing::ValuesIn(kRoundTrips),
                         [](const ::testing::TestParamInfo<RoundTripCase>& info) {
                           std::string name;
                           for (char ch : std::string(info.param.name))
                             name += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
                           return name;
                         });

struct WideOnlyCase {
  const char* name;
  CfxWString wide;
  std::string narrow;
};

// Lone surrogates that did not come from an invalid byte become U+FFFD.
const WideOnlyCase kLoneSurrogates[] = {
    {"lone high", Wide({0xD800}), "\xEF\xBF\xBD"},
    {"high before ascii", Wide({0xDBFF, OLESTR('A')}),
     "\xEF\xBF\xBD"
     "A"},
    {"lone low below the byte range", Wide({0xDC7F}), "\xEF\xBF\xBD"},
    {"lone low above the byte range", Wide({0xDD00}), "\xEF\xBF\xBD"},
    {"reversed pair", Wide({0xDE00, 0xD83D}), "\xEF\xBF\xBD\xEF\xBF\xBD"},
    {"escaped byte", Wide({0xDC80, 0xDCFF}), "\x80\xFF"},
    {"pair before escaped byte reading", Wide({0xD800, 0xDC80}), "\xF0\x90\x82\x80"},
};

TEST(WideToNarrowTest, LoneSurrogates) {
  for (const WideOnlyCase& c : kLoneSurrogates) {
    EXPECT_EQ(CfxWideToNarrow(c.wide), c.narrow) << c.name;
  }
}

TEST(UnicodeTest, ArbitraryBytesSurviveARoundTrip) {
  std::mt19937 random(20240611);
  // Mostly high bytes, so that both valid sequences and broken ones are common.
  std::uniform_int_distribution<int> length(0, 48);
  std::uniform_int_distribution<int> byte(0, 255);
  std::bernoulli_distribution ascii(0.2);
  for (int round = 0; round < 5000; ++round) {
    std::string bytes;
    for (int n = length(random); n > 0; --n) {
      bytes += static_cast<char>(ascii(random) ? byte(random) & 0x7F : byte(random) | 0x80);
    }
    ASSERT_EQ(CfxWideToNarrow(CfxNarrowToWide(bytes)), bytes) << "round " << round;
  }
}

}  // namespace
