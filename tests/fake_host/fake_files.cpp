#include "fake_host/fake_files.h"

#include <algorithm>
#include <cstring>

#include "fake_host/host.h"

namespace fakehost {
namespace {

class FakeFileStream final : public CfxFileStreamBackend {
 public:
  explicit FakeFileStream(Host& host) : host_(host) {}

  void Open(CfxFileStreamMode mode, const CfxWString& path) override {
    host_.RecordOrThrow("stream.Open(" + Arg(static_cast<std::int32_t>(mode)) + ", " + Arg(CfxWStringView(path)) + ")");
    const FakeFile* file = host_.FindFile(path);
    if (!file) throw CfxResult(E_FILE_NOT_FOUND, "no such file: " + CfxWideToNarrow(path));
    file_ = *file;
    position_ = 0;
    reads_ = 0;
    readZeroAtEnd_ = false;
  }

  void SetBinary(bool binary) override { host_.RecordOrThrow("stream.SetBinary(" + Arg(binary) + ")"); }

  std::uint32_t Read(void* buffer, std::uint32_t count) override {
    host_.RecordOrThrow("stream.Read(" + Arg(count) + ")");
    std::size_t delivered = std::min<std::size_t>(count, file_.bytes.size() - position_);
    if (!file_.chunks.empty()) delivered = std::min<std::size_t>(delivered, file_.chunks[reads_ % file_.chunks.size()]);
    ++reads_;
    std::memcpy(buffer, file_.bytes.data() + position_, delivered);
    position_ += delivered;
    if (delivered == 0 && position_ == file_.bytes.size()) readZeroAtEnd_ = true;
    return static_cast<std::uint32_t>(delivered);
  }

  bool IsEOF() override {
    host_.RecordOrThrow("stream.IsEOF()");
    return file_.eofBeforeRead ? position_ == file_.bytes.size() : readZeroAtEnd_;
  }

  void Close() override { host_.RecordOrThrow("stream.Close()"); }

 private:
  Host& host_;
  FakeFile file_;
  std::size_t position_ = 0;
  std::size_t reads_ = 0;
  bool readZeroAtEnd_ = false;
};

}  // namespace

std::unique_ptr<CfxFileStreamBackend> MakeFakeFileStream(Host& host) { return std::make_unique<FakeFileStream>(host); }

}  // namespace fakehost
