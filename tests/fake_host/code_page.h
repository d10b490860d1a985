// fakehost::CodePage: the application's code page for one test.
//
//   fakehost::CodePage windows1252(kCfxCodePageWindows1252);
//
// In the default UTF-8 the framework's ToString and ToTString give the same
// bytes; a single-byte code page makes them differ, so a test that compares
// what the library built from narrow text sees which conversion it used.
#pragma once

#include <cstdint>

#include "cfx/cfx_host.h"

namespace fakehost {

class CodePage {
 public:
  explicit CodePage(std::uint32_t codePage) : previous_(CfxApplicationCodePage()) {
    CfxSetApplicationCodePage(codePage);
  }
  CodePage(const CodePage&) = delete;
  CodePage& operator=(const CodePage&) = delete;
  ~CodePage() { CfxSetApplicationCodePage(previous_); }

 private:
  std::uint32_t previous_;
};

}  // namespace fakehost
