// The C runtime's private header, which the standard library's locale0.cpp
// includes; the part of that file that the import library holds uses none
// of it.
#pragma once
