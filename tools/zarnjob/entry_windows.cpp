// Windows: arguments come as wide text and become UTF-8, never the ANSI code
// page; output is UTF-8 bytes as written, without a '\r' put before '\n'.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>

#include "entry.h"
#include "host/bstr.h"

int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> words;
  for (int i = 1; i < argc; ++i) words.push_back(CfxWideToNarrow(argv[i]));
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  // A console shows the UTF-8 bytes as letters.
  ::SetConsoleOutputCP(CP_UTF8);
  return zarnjob::Main(words);
}
