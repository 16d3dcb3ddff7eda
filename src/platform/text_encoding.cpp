#include "platform/text_encoding.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>

namespace qzarn {
namespace {

constexpr std::string_view kUtf8Replacement = "\xEF\xBF\xBD";

// One pair of iconv descriptors per thread, opened on first use: opening a descriptor costs
// far more than converting a short label, and iconv descriptors must not be shared between
// threads.
class Converters {
 public:
  Converters() : to_utf8_(iconv_open("UTF-8", "CP932")), to_cp932_(iconv_open("CP932", "UTF-8")) {
    if (to_utf8_ == invalid() || to_cp932_ == invalid())
      throw std::runtime_error("iconv has no CP932 table");
  }
  ~Converters() {
    iconv_close(to_utf8_);
    iconv_close(to_cp932_);
  }
  Converters(const Converters&) = delete;
  Converters& operator=(const Converters&) = delete;

  iconv_t to_utf8() const { return to_utf8_; }
  iconv_t to_cp932() const { return to_cp932_; }

 private:
  static iconv_t invalid() { return reinterpret_cast<iconv_t>(-1); }
  iconv_t to_utf8_;
  iconv_t to_cp932_;
};

Converters& converters() {
  thread_local Converters instance;
  return instance;
}

bool is_ascii(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Runs one iconv conversion over the whole input. At every position where iconv stops on an
// invalid or incomplete sequence, on_error appends a replacement to out and returns how many
// input bytes to skip.
template <typename OnError>
void convert(iconv_t cd, std::string_view input, std::string& out, OnError on_error) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  // iconv's interface takes a non-const input pointer but never writes through it.
  char* in = const_cast<char*>(input.data());
  std::size_t in_left = input.size();
  while (in_left > 0) {
    // Converting straight into the result: one input byte never needs more than three
    // output bytes (a code page 932 byte becoming U+FFFD or a kana in UTF-8).
    const std::size_t start = out.size();
    out.resize(start + 3 * in_left + 4);
    char* out_ptr = out.data() + start;
    std::size_t out_left = out.size() - start;
    const std::size_t rc = iconv(cd, &in, &in_left, &out_ptr, &out_left);
    const int error = errno;
    out.resize(static_cast<std::size_t>(out_ptr - out.data()));
    if (rc != static_cast<std::size_t>(-1)) break;
    if (error == E2BIG) continue;
    // EILSEQ or EINVAL (a sequence cut off by the end of the input).
    const std::size_t skip = std::min(in_left, on_error(std::string_view(in, in_left), out));
    in += skip;
    in_left -= skip;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
}

}  // namespace

std::string cp932_to_utf8(std::string_view cp932) {
  if (is_ascii(cp932)) return std::string(cp932);
  std::string out;
  convert(converters().to_utf8(), cp932, out, [](std::string_view, std::string& o) {
    o.append(kUtf8Replacement);
    return std::size_t{1};
  });
  return out;
}

Cp932Text utf8_to_cp932(std::string_view utf8) {
  Cp932Text result;
  if (is_ascii(utf8)) {
    result.bytes.assign(utf8);
    return result;
  }
  convert(converters().to_cp932(), utf8, result.bytes,
          [&result](std::string_view rest, std::string& o) {
            result.lossy = true;
            o.push_back('?');
            return std::max<std::size_t>(1, utf8_sequence_length(rest));
          });
  return result;
}

bool is_valid_cp932(std::string_view cp932) {
  if (is_ascii(cp932)) return true;
  bool valid = true;
  std::string ignored;
  convert(converters().to_utf8(), cp932, ignored, [&valid](std::string_view rest, std::string&) {
    valid = false;
    return rest.size();
  });
  return valid;
}

}  // namespace qzarn
