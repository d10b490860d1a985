// The host's file streams over files the test adds.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_host/host.h"

namespace fakehost {
namespace {

using Lines = std::vector<std::string>;

TEST(Streams, EveryCallIsJournaled) {
  Host host;
  host.AddFile(OLESTR("/tmp/t.txt"), "ab");
  {
    CfxFileStream stream;
    stream.SetBinary(true);
    stream.Open(CfxFileStreamModeRead, CfxBSTR("/tmp/t.txt").in());
    char buffer[1000];
    EXPECT_EQ(stream.Read(buffer, sizeof buffer), 2u);
    EXPECT_TRUE(stream.IsEOF());
    stream.Close();
  }
  EXPECT_EQ(host.Journal(), (Lines{"stream.SetBinary(true)", R"(stream.Open(1, "/tmp/t.txt"))", "stream.Read(1000)",
                                   "stream.IsEOF()", "stream.Close()"}));
}

TEST(Streams, ReadsDeliverTheChunksInTurn) {
  Host host;
  host.AddFile(OLESTR("/f"), "abcdefgh", {3, 1});
  CfxFileStream stream;
  stream.Open(CfxFileStreamModeRead, CfxBSTR("/f").in());

  std::vector<std::string> reads;
  char buffer[16];
  for (int i = 0; i < 6; ++i) reads.emplace_back(buffer, stream.Read(buffer, 2 + 8 * (i % 2)));
  // Each read gets the least of the request, the chunk and what is left.
  EXPECT_EQ(reads, (std::vector<std::string>{"ab", "c", "de", "f", "gh", ""}));
}

TEST(Streams, WholeRequestWithoutChunks) {
  Host host;
  host.AddFile(OLESTR("/f"), "abcdef");
  CfxFileStream stream;
  stream.Open(CfxFileStreamModeRead, CfxBSTR("/f").in());
  char buffer[4];
  EXPECT_EQ(stream.Read(buffer, 4), 4u);
  EXPECT_EQ(stream.Read(buffer, 4), 2u);
  EXPECT_EQ(stream.Read(buffer, 4), 0u);
}

TEST(Streams, EofAsSoonAsEverythingIsDelivered) {
  Host host;
  host.AddFile(OLESTR("/f"), "abc");
  CfxFileStream stream;
  stream.Open(CfxFileStreamModeRead, CfxBSTR("/f").in());
  char buffer[8];
  EXPECT_FALSE(stream.IsEOF());
  EXPECT_EQ(stream.Read(buffer, 2), 2u);
  EXPECT_FALSE(stream.IsEOF());
  EXPECT_EQ(stream.Read(buffer, 2), 1u);
  EXPECT_TRUE(stream.IsEOF());
}

TEST(Streams, EofOnlyAfterAnEmptyReadWhenAsked) {
  Host host;
  host.AddFile(OLESTR("/f"), "abc", {}, /*eofBeforeRead=*/false);
  CfxFileStream stream;
  stream.Open(CfxFileStreamModeRead, CfxBSTR("/f").in());
  char buffer[8];
  EXPECT_EQ(stream.Read(buffer, 8), 3u);
  EXPECT_FALSE(stream.IsEOF()) << "all bytes delivered, but no read has come back empty yet";
  EXPECT_EQ(stream.Read(buffer, 8), 0u);
  EXPECT_TRUE(stream.IsEOF());
}

TEST(Streams, UnknownPathIsFileNotFound) {
  Host host;
  host.AddFile(OLESTR("/f"), "abc");
  CfxFileStream stream;
  try {
    stream.Open(CfxFileStreamModeRead, CfxBSTR("/g").in());
    ADD_FAILURE() << "Open did not throw";
  } catch (const CfxResult& result) {
    EXPECT_EQ(result.Code(), E_FILE_NOT_FOUND);
    EXPECT_EQ(result.Description(), "no such file: /g");
  }
}

TEST(Streams, EachOpenStartsAtTheBeginning) {
  Host host;
  host.AddFile(OLESTR("/f"), "abc", {2});
  CfxFileStream stream;
  char buffer[8];
  stream.Open(CfxFileStreamModeRead, CfxBSTR("/f").in());
  EXPECT_EQ(stream.Read(buffer, 8), 2u);
  stream.Close();
  stream.Open(CfxFileStreamModeRead, CfxBSTR("/f").in());
  EXPECT_EQ(stream.Read(buffer, 8), 2u);
  EXPECT_EQ(std::string(buffer, 2), "ab");
}

}  // namespace
}  // namespace fakehost
