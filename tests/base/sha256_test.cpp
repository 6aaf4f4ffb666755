// SHA-256 against the standard's test vectors, whole and fed in uneven pieces.
#include <gtest/gtest.h>

#include <string>

#include "base/sha256.h"

namespace velmora {
namespace {

struct Vector {
  std::string message;
  const char* digest;
};

const Vector kVectors[] = {
    {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
    {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
    {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",  // 448 bits: the length spills into a second block
     "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
    {std::string(1'000'000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
};

TEST(Sha256, StandardVectors) {
  for (const Vector& v : kVectors) EXPECT_EQ(Sha256Hex(v.message), v.digest) << v.message.size() << " bytes";
}

TEST(Sha256, PiecesGiveTheDigestOfTheWhole) {
  for (const Vector& v : kVectors) {
    for (size_t piece : {size_t {1}, size_t {55}, size_t {63}, size_t {64}, size_t {65}, size_t {4097}}) {
      Sha256 hash;
      for (size_t at = 0; at < v.message.size(); at += piece) hash.Update(std::string_view(v.message).substr(at, piece));
      EXPECT_EQ(hash.HexDigest(), v.digest) << v.message.size() << " bytes in pieces of " << piece;
    }
  }
}

}  // namespace
}  // namespace velmora
