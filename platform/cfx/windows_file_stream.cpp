// The default file stream backend on Windows: a read-only file opened by its
// wide path (the path is never narrowed on its way to the file system),
// behind a buffer of its own, so that callers reading a few bytes at a time
// cost no system call per read.
#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "cfx/cfx_host.h"
#include "host/com_types.h"

namespace {

constexpr DWORD kBufferSize = 64 * 1024;

// The system's text for an error, without its closing line end.
std::string Reason(DWORD error) {
  wchar_t* text = nullptr;
  const DWORD length =
      FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  if (length == 0 || text == nullptr) return "error " + std::to_string(error);
  std::wstring message(text, length);
  LocalFree(text);
  while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r')) message.pop_back();
  return CfxWideToCodePage(message);
}

HRESULT OpenFailureCode(DWORD error) noexcept {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return E_FILE_NOT_FOUND;
    case ERROR_ACCESS_DENIED: return E_ACCESSDENIED;
    default: return E_FAIL;
  }
}

class WindowsFileStream final : public CfxFileStreamBackend {
 public:
  ~WindowsFileStream() override { Close(); }

  void Open(CfxFileStreamMode mode, const CfxWString& path) override {
    if (mode != CfxFileStreamModeRead) {
      throw CfxResult(E_INVALIDARG, "File stream mode " + std::to_string(mode) + " is not supported.");
    }
    Close();
    const std::string shown = CfxWideToCodePage(path);
    if (path.find(L'\0') != CfxWString::npos) {
      throw CfxResult(E_INVALIDARG, "Cannot open file '" + shown + "': the path contains a zero character");
    }
    // Others may go on reading, writing or renaming the file while it is read.
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      const DWORD error = GetLastError();
      throw CfxResult(OpenFailureCode(error), "Cannot open file '" + shown + "': " + Reason(error));
    }
    if (!buffer_) buffer_ = std::make_unique_for_overwrite<char[]>(kBufferSize);
    file_ = file;
    path_ = shown;
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
    if (file_ == INVALID_HANDLE_VALUE) return true;
    return begin_ == end_ && !Fill();
  }

  void Close() override {
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
    file_ = INVALID_HANDLE_VALUE;
    begin_ = end_ = 0;
    atEnd_ = false;
  }

 private:
  void RequireOpen() const {
    if (file_ == INVALID_HANDLE_VALUE) throw CfxResult(E_UNEXPECTED, "The file stream is not open.");
  }

  // Refills the empty buffer; false when the file has no more bytes.
  bool Fill() {
    if (atEnd_) return false;
    DWORD n = 0;
    if (!ReadFile(file_, buffer_.get(), kBufferSize, &n, nullptr)) {
      const DWORD error = GetLastError();
      throw CfxResult(E_READ_FAULT, "Cannot read file '" + path_ + "': " + Reason(error));
    }
    begin_ = 0;
    end_ = n;
    atEnd_ = n == 0;
    return n > 0;
  }

  HANDLE file_ = INVALID_HANDLE_VALUE;
  std::string path_;
  std::unique_ptr<char[]> buffer_;
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  bool atEnd_ = false;  // ReadFile reported the end; it is not asked again
  // Recorded only: neither mode translates line ends.
  bool binary_ = false;
};

}  // namespace

std::unique_ptr<CfxFileStreamBackend> CfxMakeSystemFileStream() { return std::make_unique<WindowsFileStream>(); }
