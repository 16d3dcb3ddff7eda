#include "platform/c_number_format.h"

#include <locale.h>

#include <cstdarg>
#include <cstdio>

namespace qzarn {
namespace {

locale_t CLocale() {
  static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return c;
}

}  // namespace

int FormatC(char* buffer, std::size_t size, const char* format, ...) {
  // Switches this thread only, so other threads keep their own locale.
  const locale_t previous = uselocale(CLocale());
  va_list arguments;
  va_start(arguments, format);
  const int n = std::vsnprintf(buffer, size, format, arguments);
  va_end(arguments);
  uselocale(previous);
  return n;
}

}  // namespace qzarn
