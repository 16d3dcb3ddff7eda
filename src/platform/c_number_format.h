#pragma once
// Numbers written for files, expressions, labels and dumps always use "." as
// the decimal point. The desktop toolkit sets the process locale from the
// environment, so plain printf would write "1,5" under a comma-decimal locale
// (text that then no longer reads as a number). These calls format as printf
// does, in the "C" locale of the calling thread only.

#include <cstddef>

namespace qzarn {

// snprintf in the "C" locale.
int FormatC(char* buffer, std::size_t size, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

}  // namespace qzarn
