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

namespace {

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

// The length of the UTF-8 sequence that starts at s[i], 0 when none does.
size_t SequenceLength(std::string_view s, size_t i) {
  const unsigned char c = static_cast<unsigned char>(s[i]);
  size_t n;
  if (c < 0x80) return 1;
  if ((c & 0xE0) == 0xC0 && c >= 0xC2) n = 1;
  else if ((c & 0xF0) == 0xE0) n = 2;
  else if ((c & 0xF8) == 0xF0 && c <= 0xF4) n = 3;
  else return 0;
  if (i + n >= s.size()) return 0;
  for (size_t k = 1; k <= n; ++k)
    if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 0;
  return n + 1;
}

}  // namespace

bool TextCodec::IsValidUtf8(std::string_view s) {
  for (size_t i = 0, n; i < s.size(); i += n)
    if ((n = SequenceLength(s, i)) == 0) return false;
  return true;
}

std::string TextCodec::Convert(std::string_view in, const char* to, const char* from) const {
  iconv_t cd = iconv_open(to, from);
  if (cd == kNoConverter) return std::string(in);
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
  iconv_t cd = iconv_open(codePage_.c_str(), "UTF-8");
  if (cd == kNoConverter) return std::string(utf8);
  // One character at a time, so that a character the code page lacks is known as such
  // whatever this iconv does with it: some refuse it, others put a mark of their own in
  // its place and count it as not reversible. Either way it becomes '?'.
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    const size_t n = SequenceLength(utf8, i);
    if (n == 0) {  // not UTF-8: a byte at a time
      out += '?';
      ++i;
      continue;
    }
    char converted[16];
    char* inp = const_cast<char*>(utf8.data() + i);
    size_t inLeft = n;
    char* outp = converted;
    size_t outLeft = sizeof converted;
    const size_t irreversible = iconv(cd, &inp, &inLeft, &outp, &outLeft);
    if (irreversible != 0 || inLeft != 0) {
      out += '?';
      iconv(cd, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
    } else {
      out.append(converted, static_cast<size_t>(outp - converted));
    }
    i += n;
  }
  iconv_close(cd);
  return out;
}

}  // namespace velmora
