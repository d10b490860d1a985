#include "host/file_stream.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

#include "cfx/cfx_host.h"

namespace {

// A path as the system's file calls take it, in wide text: Windows keeps
// paths wide, Linux keeps bytes (which the lossless UTF-8 rules carry).
template <class Path>
CfxWString WidePath(const Path& path) {
  if constexpr (std::is_same_v<typename Path::value_type, OLECHAR>) {
    return path.native();
  } else {
    return CfxNarrowToWide(path.native());
  }
}

// Tests of the system's file stream, the default backend.
class SystemFileStreamTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device seed;
    for (int attempt = 0; attempt < 100 && dir_.empty(); ++attempt) {
      const auto candidate = std::filesystem::temp_directory_path() / ("cfx_stream_" + std::to_string(seed()));
      if (std::filesystem::create_directory(candidate)) dir_ = candidate.string();
    }
    ASSERT_FALSE(dir_.empty());
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  // A new file in the test's directory holding `bytes`; returns its path.
  std::string MakeFile(const std::string& bytes) {
    const std::string path = dir_ + "/file_" + std::to_string(files_++);
    std::ofstream(path, std::ios::binary) << bytes;
    EXPECT_EQ(std::filesystem::file_size(path), bytes.size());
    return path;
  }

  // Narrow paths are in the application's code page, on both sides.
  static void Open(CfxFileStream& stream, const std::string& path) {
    stream.Open(CfxFileStreamModeRead, CfxBSTR(path).in());
  }

  std::string dir_;
  int files_ = 0;
};

std::string RandomBytes(std::size_t size) {
  std::mt19937 random(99);
  std::uniform_int_distribution<int> byte(0, 255);
  std::string bytes(size, '\0');
  for (char& b : bytes) b = static_cast<char>(byte(random));
  return bytes;
}

// Text and binary mode alike: there is no line-end translation here.
TEST_F(SystemFileStreamTest, ReadsTheFileBytesInAnyChunkSize) {
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

TEST_F(SystemFileStreamTest, EmptyFileIsAtEndRightAfterOpen) {
  CfxFileStream stream;
  Open(stream, MakeFile(""));
  EXPECT_TRUE(stream.IsEOF());
  char byte = 0;
  EXPECT_EQ(stream.Read(&byte, 1), 0u);
}

TEST_F(SystemFileStreamTest, IsEOFOnlyWhenNoByteIsLeft) {
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

TEST_F(SystemFileStreamTest, MissingFileRaisesWithThePath) {
  const std::string path = dir_ + "/missing.txt";
  CfxFileStream stream;
  try {
    Open(stream, path);
    ADD_FAILURE() << "no exception";
  } catch (const CfxResult& result) {
    EXPECT_EQ(result.Code(), E_FILE_NOT_FOUND);
    // The system's own words for why follow the path.
    const std::string prefix = "Cannot open file '" + path + "': ";
    EXPECT_EQ(result.Description().substr(0, prefix.size()), prefix);
    EXPECT_GT(result.Description().size(), prefix.size() + 5) << result.Description();
  }
}

TEST_F(SystemFileStreamTest, OnlyTheReadModeIsSupported) {
  CfxFileStream stream;
  try {
    stream.Open(static_cast<CfxFileStreamMode>(2), CfxBSTR(MakeFile("x")).in());
    ADD_FAILURE() << "no exception";
  } catch (const CfxResult& result) {
    EXPECT_EQ(result.Code(), E_INVALIDARG);
    EXPECT_NE(result.Description().find('2'), std::string::npos) << result.Description();
  }
}

// Names in several scripts at once: no single-byte code page holds them all,
// so a path narrowed anywhere on its way to the file system is not found.
TEST_F(SystemFileStreamTest, WidePathsReachTheFileSystemWhole) {
  const std::filesystem::path path =
      std::filesystem::path(dir_) /
      std::filesystem::path(u8"caf\u00E9 \u03A9\u043C\u0435\u0433\u0430 \u65E5\u672C.txt");
  std::ofstream(path, std::ios::binary) << "wide";
  ASSERT_TRUE(std::filesystem::exists(path));
  CfxFileStream stream;
  stream.Open(CfxFileStreamModeRead, CfxBSTR(WidePath(path)).in());
  char buffer[8] = {};
  EXPECT_EQ(stream.Read(buffer, sizeof buffer), 4u);
  EXPECT_EQ(std::string(buffer, 4), "wide");
}

// Bytes that are no UTF-8 (Linux) or that are characters of the ANSI code
// page (Windows): either way the narrow path comes back to the same file.
TEST_F(SystemFileStreamTest, PathBytesThatAreNotUtf8StillOpen) {
  const std::string path = dir_ + "/caf\xE9\xFF.txt";
  std::ofstream(path) << "latin";
  CfxFileStream stream;
  Open(stream, path);
  char buffer[8] = {};
  EXPECT_EQ(stream.Read(buffer, sizeof buffer), 5u);
}

TEST_F(SystemFileStreamTest, CloseTwiceIsHarmless) {
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
