// The picture loader's own checks, which hold with or without a decoder.
#include <gtest/gtest.h>

#include <filesystem>

#include "base/fault.h"
#include "base/pictures.h"
#include "story_fixture.h"

namespace velmora {
namespace {

using testing::StoryTest;

class PictureLoaderTest : public StoryTest {};

std::string FaultOf(Game& g, const std::string& path) {
  try {
    LoadPicture(g, path, {});
  } catch (const RuntimeFault& fault) {
    return fault.what();
  }
  return "(no fault)";
}

TEST_F(PictureLoaderTest, Faults) {
  t.dir.Write("Images/pic.GIF", "x");
  t.dir.Write("Images/folder.png/inside", "x");
  Game& g = Make();
  const std::string images = t.dir.path().string() + "/Images/";
  EXPECT_EQ(FaultOf(g, g.gameFolder() + "\\Images\\pic.GIF"), "Unknown picture file extension (.GIF)");
  EXPECT_EQ(FaultOf(g, g.gameFolder() + "\\Images\\missing.txt"), "Unknown picture file extension (.txt)");
  EXPECT_EQ(FaultOf(g, g.gameFolder() + "\\Images.d\\noext"), "Unknown picture file extension (.)");
  EXPECT_EQ(FaultOf(g, g.gameFolder() + "\\Images\\missing.png"),
            "Cannot open file \"" + images + "missing.png\". No such file or directory");
  EXPECT_EQ(FaultOf(g, g.gameFolder() + "\\Images\\folder.png"),
            "Cannot open file \"" + images + "folder.png\". Is a directory");
}

TEST_F(PictureLoaderTest, RelativePathIsTheCurrentDirectorys) {
  Game& g = Make();
  const std::string cwd = std::filesystem::current_path().string();
  EXPECT_EQ(FaultOf(g, "no_such_picture.bmp"),
            "Cannot open file \"" + cwd + "/no_such_picture.bmp\". No such file or directory");
}

TEST_F(PictureLoaderTest, ExtensionInAnyCasePicksTheDecoder) {
  t.dir.Write("Images/a.JPEG", "x");
  t.dir.Write("Images/b.Wmf", "x");
  Game& g = Make();
  LoadPicture(g, g.gameFolder() + "Images/a.JPEG", {});
  LoadPicture(g, g.gameFolder() + "images\\B.wmf", {});
  EXPECT_EQ(decoder.decoded, (std::vector<std::string>{"jpeg a.JPEG", "wmf b.Wmf"}));
}

TEST_F(PictureLoaderTest, WithoutDecoderThePictureIsEmpty) {
  t.platform.pictures = nullptr;
  t.dir.Write("Images/a.png", "x");
  Game& g = Make();
  auto picture = LoadPicture(g, g.gameFolder() + "\\Images\\a.png", {});
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->width, 0);
  EXPECT_EQ(FaultOf(g, g.gameFolder() + "\\Images\\a.tga"), "Unknown picture file extension (.tga)");
}

}  // namespace
}  // namespace velmora
