// The player's answers about plug-ins: one per file name and content, in the user's
// config folder.
#include "library/plugin_consent.h"

#include <gtest/gtest.h>

#include "base/fault.h"
#include "base/sha256.h"
#include "library/library_fixture.h"

namespace velmora {
namespace {

using testing::UserFoldersTest;
using PluginConsentTest = UserFoldersTest;

TEST_F(PluginConsentTest, AnAnswerHoldsForThatNameAndContentOnly) {
  EXPECT_EQ(Sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  const std::string a = Sha256Hex("library a"), b = Sha256Hex("library b");
  const PluginConsent consent(files);
  EXPECT_EQ(consent.Recorded("demo.so", a), std::nullopt);
  consent.Record("demo.so", a, true);
  consent.Record("evil.so", b, false);
  EXPECT_EQ(PluginConsent(files).Recorded("demo.so", a), true);
  EXPECT_EQ(consent.Recorded("evil.so", b), false);
  EXPECT_EQ(consent.Recorded("demo.so", b), std::nullopt);  // changed content
  EXPECT_EQ(consent.Recorded("other.so", a), std::nullopt);  // the trusted bytes under another name
  consent.Record("demo.so", a, false);                       // asked again, answered otherwise
  EXPECT_EQ(consent.Recorded("demo.so", a), false);
  // A name the settings line cannot hold whole is not remembered, never mistaken.
  for (const char* name : {"a=load.so", "two\nlines.so", "blank.so "})
    EXPECT_THROW(consent.Record(name, a, true), RuntimeFault) << name;
}

}  // namespace
}  // namespace velmora
