#include "platform/cp1251.h"

#include <iconv.h>

#include <cerrno>
#include <cstddef>
#include <stdexcept>

namespace platform {
namespace {

// One conversion descriptor per thread and direction: an iconv_t carries shift state and must
// not be shared between threads.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1))
      throw std::runtime_error(std::string("iconv_open failed: ") + from + " -> " + to);
  }
  ~Converter() { iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // skip_invalid(p, n) says how many input bytes a sequence that cannot be converted spans.
  template <class Skip>
  std::string Convert(std::string_view in, Skip skip_invalid) {
    std::string out;
    out.reserve(in.size() * 2 + 4);
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(in.data());
    std::size_t src_left = in.size();
    char buf[512];
    while (src_left > 0) {
      char* dst = buf;
      std::size_t dst_left = sizeof buf;
      const std::size_t rc = iconv(cd_, &src, &src_left, &dst, &dst_left);
      out.append(buf, static_cast<std::size_t>(dst - buf));
      if (rc != static_cast<std::size_t>(-1)) continue;
      if (errno == E2BIG) continue;
      // EILSEQ (no such character) or EINVAL (sequence cut off at the end): one '?' for it.
      out.push_back('?');
      const std::size_t n = skip_invalid(src, src_left);
      src += n;
      src_left -= n;
      iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    }
    return out;
  }

 private:
  iconv_t cd_;
};

}  // namespace

std::size_t Utf8SequenceLength(std::string_view text) {
  if (text.empty()) return 0;
  const auto lead = static_cast<unsigned char>(text[0]);
  std::size_t n = 1;
  if (lead >= 0xC2 && lead <= 0xDF)
    n = 2;
  else if (lead >= 0xE0 && lead <= 0xEF)
    n = 3;
  else if (lead >= 0xF0 && lead <= 0xF4)
    n = 4;
  if (n > text.size()) return 1;
  for (std::size_t i = 1; i < n; ++i)
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) return 1;
  return n;
}

std::string Cp1251ToUtf8(std::string_view text) {
  thread_local Converter conv("UTF-8", "CP1251");
  return conv.Convert(text, [](const char*, std::size_t) { return std::size_t{1}; });
}

std::string Utf8ToCp1251(std::string_view text) {
  thread_local Converter conv("CP1251", "UTF-8");
  return conv.Convert(text, [](const char* p, std::size_t left) {
    return Utf8SequenceLength(std::string_view(p, left));
  });
}

}  // namespace platform
