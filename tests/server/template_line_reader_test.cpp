// TemplateLineReader on its own: lines in place, pieces of long lines, and
// reading that ends with Close.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fake_host/host.h"
#include "server/template_line_reader.h"

namespace {

using fakehost::Host;
using zarn::TemplateLineReader;
using Lines = std::vector<std::string>;

TEST(TemplateLineReader, HandsOutLinesInPlaceWithTheTerminatorOverwritten) {
  Host host;
  host.AddFile(OLESTR("/f"), "ab\r\ncd\n");
  {
    TemplateLineReader reader;
    EXPECT_TRUE(reader.OpenFile("/f"));
    const char* first = reader.ReadLine();
    ASSERT_NE(first, nullptr);
    EXPECT_STREQ(first, "ab");
    const char* second = reader.ReadLine();
    ASSERT_NE(second, nullptr);
    EXPECT_STREQ(second, "cd");
    EXPECT_EQ(second, first + 4) << "both lines lie in the one buffer, no copies";
    EXPECT_FALSE(reader.AtEnd());
  }
  EXPECT_EQ(host.Journal(), (Lines{"stream.SetBinary(true)", R"(stream.Open(1, "/f"))", "stream.IsEOF()",
                                   "stream.Read(1000)", "stream.Close()"}));
  EXPECT_TRUE(host.Balanced());
}

TEST(TemplateLineReader, LineLengthIsTheLengthOfEachLineAlsoWhenItWasMovedByARefill) {
  Host host;
  // Short reads move lines to the buffer start; every kind of terminator occurs.
  host.AddFile(OLESTR("/f"), std::string("ab\r\ncde\n\0f\rgh\n\rijk", 18), {3, 2, 4, 1});
  TemplateLineReader reader;
  reader.OpenFile("/f");
  std::string text;
  int lines = 0;
  while (!reader.AtEnd()) {
    if (const char* line = reader.ReadLine()) {
      EXPECT_EQ(reader.LineLength(), std::string(line).size()) << "line " << lines;
      text.append(line, reader.LineLength()) += '\n';
      ++lines;
    } else {
      EXPECT_EQ(reader.LineLength(), 0u);
      text += reader.Unfinished();
    }
  }
  EXPECT_EQ(text, "ab\ncde\n\nf\ngh\n\nijk\n");
  EXPECT_GE(lines, 7);
}

TEST(TemplateLineReader, ALineLongerThanTheBufferComesInPiecesThenAsALine) {
  Host host;
  host.AddFile(OLESTR("/f"), std::string(1500, 'x') + "\ny");
  TemplateLineReader reader;
  reader.OpenFile("/f");

  EXPECT_EQ(reader.ReadLine(), nullptr);
  EXPECT_FALSE(reader.AtEnd());
  EXPECT_EQ(reader.Unfinished(), std::string(1000, 'x'));

  const char* rest = reader.ReadLine();
  ASSERT_NE(rest, nullptr);
  EXPECT_EQ(std::string(rest), std::string(500, 'x'));
  EXPECT_TRUE(reader.Unfinished().empty());
}

TEST(TemplateLineReader, CloseClosesTheStreamOnceAndEndsReading) {
  Host host;
  host.AddFile(OLESTR("/f"), "a\nb\n");
  {
    TemplateLineReader reader;
    reader.OpenFile("/f");
    reader.Close();
    EXPECT_TRUE(reader.AtEnd());
    EXPECT_EQ(reader.ReadLine(), nullptr);
  }
  EXPECT_EQ(host.Journal().back(), "stream.Close()");
  EXPECT_EQ(std::count(host.Journal().begin(), host.Journal().end(), "stream.Close()"), 1);
}

}  // namespace
