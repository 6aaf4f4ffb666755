#include "base/int_text.h"

#include <gtest/gtest.h>

#include "base/fault.h"

namespace velmora {
namespace {

struct IntCase {
  const char* text;
  std::optional<int32_t> value;
};

TEST(ParseInt32, FollowsTheIntegerTextRules) {
  const IntCase cases[] = {
      {"0", 0},          {"42", 42},          {"-7", -7},          {"+5", 5},
      {"  12", 12},      {"12 ", std::nullopt}, {"", std::nullopt}, {"-", std::nullopt},
      {"0x10", 16},      {"0X10", 16},        {"x1f", 31},         {"X1F", 31},
      {"$FF", 255},      {"$FFFFFFFF", -1},   {"$80000000", INT32_MIN}, {"$100000000", std::nullopt},
      {"-$10", -16},     {"2147483647", INT32_MAX}, {"2147483648", std::nullopt},
      {"-2147483648", INT32_MIN}, {"-2147483649", std::nullopt}, {"16px", std::nullopt},
      {"1.5", std::nullopt}, {"true", std::nullopt}, {"\t3", std::nullopt}, {"$", std::nullopt},
      {"0x", std::nullopt}, {"x", std::nullopt}, {"$000000000FF", 255}, {"-0", 0}, {"--1", std::nullopt},
      {"$-1", std::nullopt}, {"0x1G", std::nullopt}, {"99999999999999999999", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseInt32(c.text), c.value) << '"' << c.text << '"';
}

TEST(StrToInt, RaisesTheConversionFault) {
  try {
    StrToInt("abc");
    FAIL();
  } catch (const RuntimeFault& f) {
    EXPECT_STREQ(f.what(), "'abc' is not a valid integer value");
  }
}

TEST(NumberedName, TakesOnlyTheFormTheProgramBuilds) {
  const struct {
    const char* name;
    std::optional<int64_t> n;
  } cases[] = {
      {"page0", 0},           {"page12", 12},           {"page", std::nullopt},  {"page07", std::nullopt},
      {"page-0", std::nullopt}, {"page+7", std::nullopt}, {"page 7", std::nullopt}, {"page7x", std::nullopt},
      {"pages7", std::nullopt}, {"page9999999999999999999", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(NumberedName(c.name, "page"), c.n) << c.name;
}

}  // namespace
}  // namespace velmora
