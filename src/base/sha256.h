#pragma once
// SHA-256 (FIPS 180-4), our own small portable one: the plug-in consent is its only user,
// and it must give the same answer on every machine the core is built for.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace velmora {

class Sha256 {
 public:
  Sha256();
  void Update(std::string_view bytes);
  // The digest as 64 lower-case hexadecimal digits; the hasher is spent afterwards.
  std::string HexDigest();

 private:
  void Block(const unsigned char* block);
  std::array<uint32_t, 8> state_;
  std::array<unsigned char, 64> pending_{};
  uint64_t length_ = 0;  // bytes hashed so far
  size_t used_ = 0;      // bytes waiting in pending_
};

// SHA-256 of a byte string, as 64 lower-case hexadecimal digits.
std::string Sha256Hex(std::string_view bytes);

}  // namespace velmora
