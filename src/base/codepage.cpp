#include "base/codepage.h"

#include <iconv.h>

#include <cerrno>

namespace velmora {

TextCodec::TextCodec(std::string codePage) : codePage_(std::move(codePage)) {}

bool TextCodec::HasHighBytes(std::string_view s) {
  for (unsigned char c : s)
    if (c >= 0x80) return true;
  return false;
}

bool TextCodec::IsValidUtf8(std::string_view s) {
  size_t i = 0;
  while (i < s.size()) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    size_t n;
    if (c < 0x80) n = 0;
    else if ((c & 0xE0) == 0xC0 && c >= 0xC2) n = 1;
    else if ((c & 0xF0) == 0xE0) n = 2;
    else if ((c & 0xF8) == 0xF0 && c <= 0xF4) n = 3;
    else return false;
    if (n > 0 && i + n >= s.size()) return false;
    for (size_t k = 1; k <= n; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    i += n + 1;
  }
  return true;
}

std::string TextCodec::Convert(std::string_view in, const char* to, const char* from) const {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(in);
  std::string out;
  out.resize(in.size() * 4 + 16);
  char* inp = const_cast<char*>(in.data());
  size_t inLeft = in.size();
  char* outp = out.data();
  size_t outLeft = out.size();
  while (inLeft > 0) {
    size_t r = iconv(cd, &inp, &inLeft, &outp, &outLeft);
    if (r == static_cast<size_t>(-1)) {
      if (errno == E2BIG) break;
      // A byte or character the target cannot hold: show a replacement and go on.
      ++inp;
      --inLeft;
      if (outLeft > 0) {
        *outp++ = '?';
        --outLeft;
      }
    }
  }
  out.resize(out.size() - outLeft);
  iconv_close(cd);
  return out;
}

std::string TextCodec::ToUtf8(std::string_view bytes) const {
  if (!HasHighBytes(bytes)) return std::string(bytes);
  if (gameIsUtf8_ || IsValidUtf8(bytes)) return std::string(bytes);
  return Convert(bytes, "UTF-8", codePage_.c_str());
}

std::string TextCodec::FromUtf8(std::string_view utf8) const {
  if (!HasHighBytes(utf8) || gameIsUtf8_) return std::string(utf8);
  return Convert(utf8, (codePage_ + "//TRANSLIT").c_str(), "UTF-8");
}

}  // namespace velmora
