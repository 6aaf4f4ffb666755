// The name index's hash where size_t has 32 bits (WebAssembly) and where it has 64.
#include "vars/name_index.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace velmora {
namespace {

TEST(FoldHash, KeepsA32BitHashWhole) {
  for (uint32_t h : {0u, 1u, 0x80000000u, 0xDEADBEEFu, 0xFFFFFFFFu}) EXPECT_EQ(FoldHash(h), h) << h;
}

TEST(FoldHash, MixesBothHalvesOfA64BitHash) {
  EXPECT_EQ(FoldHash(uint64_t{0x00000001'00000000}), 1u);
  EXPECT_EQ(FoldHash(uint64_t{0xFFFFFFFF'00000000}), 0xFFFFFFFFu);
  EXPECT_EQ(FoldHash(uint64_t{0x12345678'12345678}), 0u);
  EXPECT_EQ(FoldHash(uint64_t{0x00000000'DEADBEEF}), 0xDEADBEEFu);
}

}  // namespace
}  // namespace velmora
