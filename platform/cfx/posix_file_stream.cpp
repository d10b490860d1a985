// The default file stream backend: a read-only POSIX file behind a buffer of
// its own, so that callers reading a few bytes at a time cost no system call
// per read.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <string>
#include <system_error>

#include "cfx/cfx_host.h"

namespace {

constexpr std::size_t kBufferSize = 64 * 1024;

std::string Reason(int error) { return std::generic_category().message(error); }

HRESULT OpenFailureCode(int error) noexcept {
  switch (error) {
    case ENOENT: return E_FILE_NOT_FOUND;
    case EACCES: return E_ACCESSDENIED;
    default: return E_FAIL;
  }
}

class PosixFileStream final : public CfxFileStreamBackend {
 public:
  ~PosixFileStream() override { Close(); }

  void Open(CfxFileStreamMode mode, const CfxWString& path) override {
    if (mode != CfxFileStreamModeRead) {
      throw CfxResult(E_INVALIDARG, "File stream mode " + std::to_string(mode) + " is not supported.");
    }
    Close();
    std::string narrow = CfxWideToNarrow(path);
    if (narrow.find('\0') != std::string::npos) {
      throw CfxResult(E_INVALIDARG, "Cannot open file '" + narrow + "': the path contains a zero character");
    }
    int fd;
    do {
      fd = ::open(narrow.c_str(), O_RDONLY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
      const int error = errno;
      throw CfxResult(OpenFailureCode(error), "Cannot open file '" + narrow + "': " + Reason(error));
    }
    if (!buffer_) buffer_ = std::make_unique_for_overwrite<char[]>(kBufferSize);
    fd_ = fd;
    path_ = std::move(narrow);
  }

  void SetBinary(bool binary) override { binary_ = binary; }

  std::uint32_t Read(void* buffer, std::uint32_t count) override {
    RequireOpen();
    auto* target = static_cast<char*>(buffer);
    std::uint32_t copied = 0;
    while (copied < count) {
      if (begin_ == end_ && !Fill()) break;
      const std::size_t chunk = std::min<std::size_t>(end_ - begin_, count - copied);
      std::memcpy(target + copied, buffer_.get() + begin_, chunk);
      begin_ += chunk;
      copied += static_cast<std::uint32_t>(chunk);
    }
    return copied;
  }

  bool IsEOF() override {
    if (fd_ < 0) return true;
    return begin_ == end_ && !Fill();
  }

  void Close() override {
    // close(2) is not retried: on Linux the descriptor is gone even after EINTR.
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    begin_ = end_ = 0;
    atEnd_ = false;
  }

 private:
  void RequireOpen() const {
    if (fd_ < 0) throw CfxResult(E_UNEXPECTED, "The file stream is not open.");
  }

  // Refills the empty buffer; false when the file has no more bytes.
  bool Fill() {
    if (atEnd_) return false;
    ssize_t n;
    do {
      n = ::read(fd_, buffer_.get(), kBufferSize);
    } while (n < 0 && errno == EINTR);
    if (n < 0) {
      const int error = errno;
      throw CfxResult(E_READ_FAULT, "Cannot read file '" + path_ + "': " + Reason(error));
    }
    begin_ = 0;
    end_ = static_cast<std::size_t>(n);
    atEnd_ = n == 0;
    return n > 0;
  }

  int fd_ = -1;
  std::string path_;
  std::unique_ptr<char[]> buffer_;
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  bool atEnd_ = false;  // read(2) reported the end; it is not asked again
  // Recorded only: there is no line-end translation on this platform.
  bool binary_ = false;
};

}  // namespace

std::unique_ptr<CfxFileStreamBackend> CfxMakeSystemFileStream() { return std::make_unique<PosixFileStream>(); }
