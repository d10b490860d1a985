// The UCRT's header of terminate and its handler, which Wine keeps in eh.h.
#pragma once

#include <eh.h>
