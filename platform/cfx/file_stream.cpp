// CfxFileStream: forwards every call to the backend that the host provides.
#include "host/file_stream.h"

#include <mutex>
#include <string>
#include <utility>

#include "cfx/cfx_host.h"

namespace {

std::mutex providerMutex;
CfxFileStreamProvider provider;

// Remembers whether the stream is open, so that destruction closes only a
// stream that is still open and a backend sees no Close it did not ask for.
class TrackedBackend final : public CfxFileStreamBackend {
 public:
  explicit TrackedBackend(std::unique_ptr<CfxFileStreamBackend> inner) : inner_(std::move(inner)) {}
  ~TrackedBackend() override {
    if (!open_) return;
    try {
      inner_->Close();
    } catch (...) {
      // Destruction must not fail; the file is gone with the backend anyway.
    }
  }

  void Open(CfxFileStreamMode mode, const CfxWString& path) override {
    inner_->Open(mode, path);
    open_ = true;
  }
  void SetBinary(bool binary) override { inner_->SetBinary(binary); }
  std::uint32_t Read(void* buffer, std::uint32_t count) override { return inner_->Read(buffer, count); }
  bool IsEOF() override { return inner_->IsEOF(); }
  void Close() override {
    open_ = false;
    inner_->Close();
  }

 private:
  std::unique_ptr<CfxFileStreamBackend> inner_;
  bool open_ = false;
};

std::unique_ptr<CfxFileStreamBackend> MakeBackend() {
  CfxFileStreamProvider current;
  {
    std::lock_guard lock(providerMutex);
    current = provider;
  }
  std::unique_ptr<CfxFileStreamBackend> backend = current ? current() : CfxMakeSystemFileStream();
  if (!backend) throw CfxResult(E_UNEXPECTED, "The file stream provider made no stream.");
  return std::make_unique<TrackedBackend>(std::move(backend));
}

}  // namespace

CfxFileStreamBackend::~CfxFileStreamBackend() = default;

void CfxSetFileStreamProvider(CfxFileStreamProvider newProvider) {
  std::lock_guard lock(providerMutex);
  provider = std::move(newProvider);
}

CfxFileStream::CfxFileStream() : backend_(MakeBackend()) {}

CfxFileStream::~CfxFileStream() = default;

void CfxFileStream::Open(CfxFileStreamMode mode, const OLECHAR* path) {
  backend_->Open(mode, path != nullptr ? CfxWString(path) : CfxWString());
}

void CfxFileStream::SetBinary(bool binary) { backend_->SetBinary(binary); }

std::uint32_t CfxFileStream::Read(void* buffer, std::uint32_t count) { return backend_->Read(buffer, count); }

bool CfxFileStream::IsEOF() { return backend_->IsEOF(); }

void CfxFileStream::Close() { backend_->Close(); }
