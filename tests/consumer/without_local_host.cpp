// A package without the local reference host (the Windows package has none
// yet): the consumer runs only what needs no host.
#include "consumer.h"

std::string CheckWithLocalHost() { return "without the local host"; }
