#include "host/file_stream.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "cfx/cfx_host.h"

namespace {

class PosixFileStreamTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "cfx_stream_XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  // A new file in the test's directory holding `bytes`; returns its path.
  std::string MakeFile(const std::string& bytes) {
    std::string path = dir_ + "/file_XXXXXX";
    const int fd = mkstemp(path.data());
    EXPECT_GE(fd, 0);
    EXPECT_EQ(write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    close(fd);
    return path;
  }

  static void Open(CfxFileStream& stream, const std::string& path) {
    stream.Open(CfxFileStreamModeRead, CfxBSTR(path).in());
  }

  std::string dir_;
};

std::string RandomBytes(std::size_t size) {
  std::mt19937 random(99);
  std::uniform_int_distribution<int> byte(0, 255);
  std::string bytes(size, '\0');
  for (char& b : bytes) b = static_cast<char>(byte(random));
  return bytes;
}

// Text and binary mode alike: there is no line-end translation here.
TEST_F(PosixFileStreamTest, ReadsTheFileBytesInAnyChunkSize) {
  // Longer than the stream's buffer, so every chunk size crosses a refill.
  const std::string content = RandomBytes(150'001) + "\r\n\n\r\0end";
  const std::string path = MakeFile(content);
  for (std::uint32_t chunk : {1u, 7u, 1000u, 65'535u, 65'536u, 65'537u, 1'000'000u}) {
    CfxFileStream stream;
    stream.SetBinary(chunk % 2 == 0);
    Open(stream, path);
    EXPECT_FALSE(stream.IsEOF());
    std::string read;
    std::vector<char> buffer(chunk);
    for (;;) {
      const std::uint32_t n = stream.Read(buffer.data(), chunk);
      if (n == 0) break;
      ASSERT_LE(n, chunk);
      read.append(buffer.data(), n);
    }
    EXPECT_EQ(read, content) << "chunk " << chunk;
    EXPECT_TRUE(stream.IsEOF());
    EXPECT_EQ(stream.Read(buffer.data(), chunk), 0u);
    stream.Close();
  }
}

TEST_F(PosixFileStreamTest, EmptyFileIsAtEndRightAfterOpen) {
  CfxFileStream stream;
  Open(stream, MakeFile(""));
  EXPECT_TRUE(stream.IsEOF());
  char byte = 0;
  EXPECT_EQ(stream.Read(&byte, 1), 0u);
}

TEST_F(PosixFileStreamTest, IsEOFOnlyWhenNoByteIsLeft) {
  CfxFileStream stream;
  Open(stream, MakeFile("xy"));
  char byte = 0;
  EXPECT_FALSE(stream.IsEOF());
  EXPECT_EQ(stream.Read(&byte, 1), 1u);
  EXPECT_FALSE(stream.IsEOF());
  EXPECT_EQ(stream.Read(&byte, 1), 1u);
  EXPECT_EQ(byte, 'y');
  EXPECT_TRUE(stream.IsEOF());
}

TEST_F(PosixFileStreamTest, MissingFileRaisesWithThePath) {
  const std::string path = dir_ + "/missing.txt";
  CfxFileStream stream;
  try {
    Open(stream, path);
    ADD_FAILURE() << "no exception";
  } catch (const CfxResult& result) {
    EXPECT_EQ(result.Code(), E_FILE_NOT_FOUND);
    EXPECT_EQ(result.Description(), "Cannot open file '" + path + "': No such file or directory");
  }
}

TEST_F(PosixFileStreamTest, OnlyTheReadModeIsSupported) {
  CfxFileStream stream;
  try {
    stream.Open(static_cast<CfxFileStreamMode>(2), CfxBSTR(MakeFile("x")).in());
    ADD_FAILURE() << "no exception";
  } catch (const CfxResult& result) {
    EXPECT_EQ(result.Code(), E_INVALIDARG);
    EXPECT_NE(result.Description().find('2'), std::string::npos) << result.Description();
  }
}

TEST_F(PosixFileStreamTest, PathBytesThatAreNotUtf8StillOpen) {
  const std::string path = dir_ + "/caf\xE9\xFF.txt";
  std::ofstream(path) << "latin";
  CfxFileStream stream;
  Open(stream, path);
  char buffer[8] = {};
  EXPECT_EQ(stream.Read(buffer, sizeof buffer), 5u);
}

TEST_F(PosixFileStreamTest, CloseTwiceIsHarmless) {
  CfxFileStream stream;
  Open(stream, MakeFile("x"));
  stream.Close();
  EXPECT_NO_THROW(stream.Close());
  EXPECT_TRUE(stream.IsEOF());
}

// Records what the stream forwards to it.
struct BackendLog {
  std::vector<std::string> calls;
  CfxWString path;
};

class RecordingBackend : public CfxFileStreamBackend {
 public:
  explicit RecordingBackend(BackendLog& log) : log_(log) {}
  void Open(CfxFileStreamMode mode, const CfxWString& path) override {
    log_.calls.push_back("Open " + std::to_string(mode));
    log_.path = path;
  }
  void SetBinary(bool binary) override { log_.calls.push_back(binary ? "SetBinary 1" : "SetBinary 0"); }
  std::uint32_t Read(void* buffer, std::uint32_t count) override {
    log_.calls.push_back("Read " + std::to_string(count));
    static_cast<char*>(buffer)[0] = 'z';
    return 1;
  }
  bool IsEOF() override {
    log_.calls.push_back("IsEOF");
    return true;
  }
  void Close() override {
    log_.calls.push_back("Close");
    throw std::runtime_error("close failed");
  }

 private:
  BackendLog& log_;
};

class FileStreamProviderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CfxSetFileStreamProvider([this] { return std::make_unique<RecordingBackend>(log_); });
  }
  void TearDown() override { CfxSetFileStreamProvider({}); }
  BackendLog log_;
};

TEST_F(FileStreamProviderTest, ForwardsEveryCallToTheProvidedBackend) {
  {
    CfxFileStream stream;
    stream.SetBinary(true);
    stream.Open(CfxFileStreamModeRead, OLESTR("/some/p\u00E4th"));
    char byte = 0;
    EXPECT_EQ(stream.Read(&byte, 10), 1u);
    EXPECT_EQ(byte, 'z');
    EXPECT_TRUE(stream.IsEOF());
    EXPECT_THROW(stream.Close(), std::runtime_error);
  }
  EXPECT_EQ(log_.calls, (std::vector<std::string>{"SetBinary 1", "Open 1", "Read 10", "IsEOF", "Close"}))
      << "a closed stream is not closed again on destruction";
  EXPECT_EQ(log_.path, OLESTR("/some/p\u00E4th"));
}

TEST_F(FileStreamProviderTest, DestructionClosesAnOpenStreamQuietly) {
  {
    CfxFileStream stream;
    stream.Open(CfxFileStreamModeRead, OLESTR("x"));
  }
  EXPECT_EQ(log_.calls, (std::vector<std::string>{"Open 1", "Close"}));
}

TEST_F(FileStreamProviderTest, DestructionOfAnUnopenedStreamClosesNothing) {
  { CfxFileStream stream; }
  EXPECT_TRUE(log_.calls.empty());
}

}  // namespace
