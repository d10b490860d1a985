// CfxFileStream: a file read through the host framework.
//
// Open raises CfxResult when the file cannot be opened; the description
// names the path. Read puts at most `count` bytes into the buffer and returns
// how many; 0 means nothing more can be read, a short count alone does not.
// IsEOF is true when no further byte can be read. On this platform text and
// binary mode read the same bytes (no line-end translation in either).
#pragma once

#include <cstdint>
#include <memory>

#include "host/bstr.h"
#include "host/host_api.h"

enum CfxFileStreamMode : std::int32_t {
  CfxFileStreamModeRead = 1,
};

class CfxFileStreamBackend;  // the host's implementation of one stream

ZARN_EXPORTED_CLASSES_BEGIN

class CFX_API CfxFileStream {
 public:
  CfxFileStream();
  CfxFileStream(const CfxFileStream&) = delete;
  CfxFileStream& operator=(const CfxFileStream&) = delete;
  ~CfxFileStream();  // closes an open file quietly

  void Open(CfxFileStreamMode mode, const OLECHAR* path);
  void SetBinary(bool binary);
  std::uint32_t Read(void* buffer, std::uint32_t count);
  bool IsEOF();
  void Close();

 private:
  std::unique_ptr<CfxFileStreamBackend> backend_;
};

ZARN_EXPORTED_CLASSES_END
