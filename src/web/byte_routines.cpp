// The byte routines of the WebAssembly build, in place of the C library's.
//
// memcmp: the C library's compares word by word only when both sides are 4-byte aligned
// and byte by byte otherwise, and a variable's text sits unaligned in its slot, so every
// set lookup and comparison of long texts went byte by byte. WebAssembly loads need no
// alignment: this one compares eight bytes at a time. Built without builtins, so the
// loop is never turned back into a call to itself, and outside link-time optimisation,
// so that the calls the code generator makes to it find it.
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

#if defined(__wasm_bulk_memory__)
// Where the engine has bulk memory operations, a copy or fill of any length is one
// instruction it runs natively; the C library's byte loops (and its call out to
// JavaScript for long copies) are not linked. With bulk memory the compiler emits these
// builtins as the instructions, never as calls.
extern "C" void* memcpy(void* to, const void* from, size_t n) {
  __builtin_memcpy(to, from, n);
  return to;
}

extern "C" void* memmove(void* to, const void* from, size_t n) {
  __builtin_memmove(to, from, n);
  return to;
}

extern "C" void* memset(void* to, int value, size_t n) {
  __builtin_memset(to, value, n);
  return to;
}
#endif
