// Linked into the test programs that hand UTF-8 paths to the framework's
// narrow strings: they speak UTF-8 as zarnjob does, also on Windows, where
// the framework's default is the ANSI code page.
#include "cfx/cfx_host.h"

namespace {

const bool kUtf8 = (CfxSetApplicationCodePage(kCfxCodePageUtf8), true);

}  // namespace
