// The files a test gives the host's file streams, and the stream backend
// that reads them and journals every call.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "cfx/cfx_host.h"

namespace fakehost {

class Host;

struct FakeFile {
  std::string bytes;
  std::vector<std::uint32_t> chunks;  // the i-th Read delivers at most chunks[i % size]; empty: no limit
  bool eofBeforeRead = true;          // false: IsEOF only after a Read at the end returned 0
};

std::unique_ptr<CfxFileStreamBackend> MakeFakeFileStream(Host& host);

}  // namespace fakehost
