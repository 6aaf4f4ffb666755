// memcmp for the WebAssembly build. The C library's compares word by word only when both
// sides are 4-byte aligned and byte by byte otherwise, and a variable's text sits
// unaligned in its slot, so every set lookup and comparison of long texts went byte by
// byte. WebAssembly loads need no alignment: this one compares eight bytes at a time.
// Built without builtins, so the loop is never turned back into a call to itself.
#include <cstddef>
#include <cstdint>

extern "C" int memcmp(const void* left, const void* right, size_t n) {
  auto* l = static_cast<const unsigned char*>(left);
  auto* r = static_cast<const unsigned char*>(right);
  while (n >= 8) {
    uint64_t a, b;
    __builtin_memcpy(&a, l, 8);
    __builtin_memcpy(&b, r, 8);
    if (a != b) break;
    l += 8;
    r += 8;
    n -= 8;
  }
  for (; n != 0 && *l == *r; --n, ++l, ++r) {
  }
  return n != 0 ? *l - *r : 0;
}
