#include <gtest/gtest.h>

#include <cstddef>
#include <random>
#include <string>

#include "ZarnServerJobUtils.h"
#include "job/unescape_reference.h"

namespace {

using AppUtils::Document::UnescapeRFC1738;
using jobtest::SearchAndEraseDecoding;
using namespace std::string_literals;

TEST(UnescapeRFC1738, DecodesEveryRowOfTheContract) {
  struct Row {
    std::string input;
    std::string expected;
  };
  const Row rows[] = {
      {"", ""},
      {"no escapes here", "no escapes here"},
      {"a%20b", "a b"},
      {"%41", "A"},
      {"x%4a%4A", "xJJ"},
      {"abc%41", "abcA"},
      {"%", "%"},
      {"%4", "%4"},
      {"abc%4", "abc%4"},
      {"%G1", "%G1"},
      {"%2541", "%41"},
      {"%%41", "%%41"},
      {"%a%41", "%aA"},
      {"%zz%41", "%zzA"},
      {"a+b", "a+b"},
      {"%00", "\0"s},
      {"a%00b%000", "a\0b\0"s + "0"},
      {"%C3%A9", "\xC3\xA9"},
      {"%fF%Ff", "\xFF\xFF"},
      {"%\xC3\xA9", "%\xC3\xA9"},  // bytes of 0x80 and above are no digits
      {"\x80%41\xFF",
       "\x80"
       "A\xFF"},
      {"%4%41", "%4A"},
      {"%%%41", "%%A"},
      {"%%%%41", "%%%%41"},
      {"%41%", "A%"},
      {"%41%4", "A%4"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(UnescapeRFC1738(row.input), row.expected) << "input: " << row.input;
  }
}

TEST(UnescapeRFC1738, AgreesWithSearchAndEraseOnRandomText) {
  // Mostly '%' and digits, so that escapes, near misses and runs of '%' all occur.
  const std::string alphabet = "%%%%%%0123456789abcdefABCDEFgGzZ+ /\0\x80\xC3\xFF"s;
  std::mt19937 random(20240611);
  std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
  std::uniform_int_distribution<std::size_t> length(0, 24);
  for (int round = 0; round < 20000; ++round) {
    std::string input(length(random), ' ');
    for (char& byte : input) byte = alphabet[pick(random)];
    ASSERT_EQ(UnescapeRFC1738(input), SearchAndEraseDecoding(input)) << "round " << round;
  }
}

TEST(UnescapeRFC1738, AgreesWithSearchAndEraseOnLongPlainRunsBetweenEscapes) {
  // Plain runs of up to a few hundred bytes between the '%', so that the
  // blocks moved between escapes are long and start at every alignment.
  const std::string plain = "abcXYZ019+ /\0\x80\xFF"s;
  const std::string nearby = "0123456789abcdefABCDEFgz%"s;
  std::mt19937 random(1738);
  std::uniform_int_distribution<std::size_t> run(0, 300);
  std::uniform_int_distribution<std::size_t> pickPlain(0, plain.size() - 1);
  std::uniform_int_distribution<std::size_t> pickNear(0, nearby.size() - 1);
  for (int round = 0; round < 2000; ++round) {
    std::string input;
    const int pieces = static_cast<int>(run(random) % 12);
    for (int piece = 0; piece < pieces; ++piece) {
      for (std::size_t i = run(random); i > 0; --i) input += plain[pickPlain(random)];
      input += '%';
      for (std::size_t i = random() % 3; i > 0; --i) input += nearby[pickNear(random)];
    }
    ASSERT_EQ(UnescapeRFC1738(input), SearchAndEraseDecoding(input)) << "round " << round;
  }
}

TEST(UnescapeRFC1738, DecodesALongTextInOnePass) {
  // Erasing in place for every escape would move the rest of the text each
  // time; this text would then take far too long to finish.
  constexpr std::size_t kEscapes = 1 << 20;
  std::string input;
  for (std::size_t i = 0; i < kEscapes; ++i) input += "%41";
  const std::string decoded = UnescapeRFC1738(input);
  EXPECT_EQ(decoded, std::string(kEscapes, 'A'));
}

}  // namespace
