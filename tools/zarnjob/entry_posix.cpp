// POSIX: arguments are the bytes as given.
#include "entry.h"

int main(int argc, char** argv) { return zarnjob::Main(std::vector<std::string>(argv + 1, argv + argc)); }
