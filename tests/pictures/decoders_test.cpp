// The decoders on real files: each format's pixels, and clear faults for damaged files.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "base/fault.h"
#include "platform/pictures/picture_decoders.h"
#include "base/pictures.h"
#include "support/test_game.h"

namespace velmora {
namespace {

using testing::TempDir;
using testing::TestGame;

std::string Fixture(const std::string& name) { return std::string(VELMORA_PICTURE_FIXTURES) + "/" + name; }

std::string ReadFixture(const std::string& name) {
  std::ifstream in(Fixture(name), std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

struct Rgb {
  int r, g, b;
};

Rgb At(const Picture& p, int x, int y) {
  const uint32_t v = p.pixels[static_cast<size_t>(y * p.width + x)];
  return {static_cast<int>((v >> 16) & 0xFF), static_cast<int>((v >> 8) & 0xFF), static_cast<int>(v & 0xFF)};
}

void ExpectNear(Rgb got, Rgb want, int tolerance, const std::string& what) {
  EXPECT_NEAR(got.r, want.r, tolerance) << what;
  EXPECT_NEAR(got.g, want.g, tolerance) << what;
  EXPECT_NEAR(got.b, want.b, tolerance) << what;
}

struct Case {
  const char* file;
  const char* extension;
  int width, height;
  int x, y;
  Rgb color;
  int tolerance;
};

TEST(PictureDecoders, DecodeEachFormat) {
  const Case cases[] = {
      {"quad.png", "png", 2, 2, 1, 0, {0, 255, 0}, 0},
      {"quad.png", "png", 2, 2, 0, 1, {0, 0, 255}, 0},
      {"quad.bmp", "bmp", 2, 2, 0, 0, {255, 0, 0}, 0},
      {"quad.bmp", "bmp", 2, 2, 1, 1, {255, 255, 255}, 0},
      {"red.jpg", "jpg", 16, 16, 8, 8, {255, 0, 0}, 8},
      {"red.jpg", "jpeg", 16, 16, 0, 15, {255, 0, 0}, 8},
      {"gray.jpg", "jpg", 16, 16, 3, 3, {128, 128, 128}, 4},
      {"cmyk.jpg", "jpg", 16, 16, 8, 8, {255, 0, 0}, 24},
      {"icon.ico", "ico", 32, 32, 16, 16, {255, 0, 0}, 0},  // the largest of the icon's sizes
      {"rect.wmf", "wmf", 64, 32, 32, 16, {255, 0, 0}, 0},
      {"rect.emf", "emf", 64, 32, 32, 16, {255, 0, 0}, 0},
  };
  auto decoder = CreatePictureDecoder();
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.file) + " as " + c.extension);
    auto picture = decoder->Decode(Fixture(c.file), c.extension, {});
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->width, c.width);
    EXPECT_EQ(picture->height, c.height);
    ASSERT_EQ(picture->pixels.size(), static_cast<size_t>(picture->width * picture->height));
    ExpectNear(At(*picture, c.x, c.y), c.color, c.tolerance, "pixel");
    EXPECT_EQ(picture->pixels[static_cast<size_t>(c.y * picture->width + c.x)] >> 24, 0xFFu) << "opaque";
  }
}

// Pictures come at the size they are shown: stretched to fill a box, or shrunk to fit one
// (a smaller picture keeps its own size), however the decoder gets there.
TEST(PictureDecoders, DecodedAtTheSizeShown) {
  using Fill = PictureBox::Fill;
  struct SizeCase {
    const char* file;
    const char* extension;
    PictureBox box;
    int width, height;
    bool quarters;  // red, lime, blue and white quarters; else the pixel in the middle is red
  };
  const SizeCase cases[] = {
      {"quads.jpg", "jpg", {100, 75}, 100, 75, true},  // libjpeg's quarter size exactly
      {"quads.jpg", "jpg", {130, 40}, 130, 40, true},  // half size, then scaled
      {"quads.jpg", "jpg", {934, 337}, 934, 337, true},
      {"quads.jpg", "jpg", {250, 250, Fill::kShrinkToFit}, 250, 187, true},
      {"quads.png", "png", {33, 17}, 33, 17, true},  // a palette picture, rows averaged by 12
      {"quads.png", "png", {400, 300}, 400, 300, true},
      {"quads-interlaced.png", "png", {50, 50}, 50, 50, true},
      {"quads.png", "png", {250, 250, Fill::kShrinkToFit}, 250, 187, true},
      {"quads.png", "png", {300, 100, Fill::kShrinkToFit}, 133, 100, true},
      {"red.jpg", "jpg", {250, 250, Fill::kShrinkToFit}, 16, 16, false},  // smaller than the box: kept
      {"cmyk.jpg", "jpg", {8, 8}, 8, 8, false},
      {"rect.wmf", "wmf", {32, 16}, 32, 16, false},
      {"rect.emf", "emf", {16, 16, Fill::kShrinkToFit}, 16, 8, false},
      {"icon.ico", "ico", {64, 48}, 64, 48, false},
  };
  auto decoder = CreatePictureDecoder();
  for (const SizeCase& c : cases) {
    SCOPED_TRACE(std::string(c.file) + " in " + std::to_string(c.box.width) + "x" + std::to_string(c.box.height));
    auto picture = decoder->Decode(Fixture(c.file), c.extension, c.box);
    ASSERT_TRUE(picture);
    ASSERT_EQ(picture->width, c.width);
    ASSERT_EQ(picture->height, c.height);
    ASSERT_EQ(picture->pixels.size(), static_cast<size_t>(c.width * c.height));
    const int w = c.width, h = c.height;
    if (c.quarters) {
      ExpectNear(At(*picture, w / 4, h / 4), {255, 0, 0}, 8, "top left");
      ExpectNear(At(*picture, 3 * w / 4, h / 4), {0, 255, 0}, 8, "top right");
      ExpectNear(At(*picture, w / 4, 3 * h / 4), {0, 0, 255}, 8, "bottom left");
      ExpectNear(At(*picture, 3 * w / 4, 3 * h / 4), {255, 255, 255}, 8, "bottom right");
    } else {
      ExpectNear(At(*picture, w / 2, h / 2), {255, 0, 0}, 24, "middle");
    }
  }
}

// Shrinking weighs colour by alpha: transparent pixels lend no black to opaque neighbours.
TEST(PictureDecoders, ShrinkingKeepsTheColourOfHalfTransparentEdges) {
  auto decoder = CreatePictureDecoder();
  auto picture = decoder->Decode(Fixture("alpha.png"), "png", {16, 16});
  ASSERT_EQ(picture->width, 16);
  const auto pixel = [&](int x) { return picture->pixels[static_cast<size_t>(8 * 16 + x)]; };
  EXPECT_EQ(pixel(2) >> 24, 0u);
  EXPECT_EQ(pixel(7) & 0xFFFFFFu, 0xFF0000u) << std::hex << pixel(7);  // columns 28 to 31: two clear, two red
  EXPECT_NEAR(static_cast<int>(pixel(7) >> 24), 128, 1);
  EXPECT_EQ(pixel(12), 0xFFFF0000u);
}

// Damaged files of every kind raise a fault that names the file; none crashes.
TEST(PictureDecoders, DamagedFilesRaiseClearFaults) {
  TempDir dir;
  auto decoder = CreatePictureDecoder();
  struct Damage {
    const char* name;
    std::string content;
  };
  const std::string png = ReadFixture("quad.png"), jpg = ReadFixture("red.jpg"), bmp = ReadFixture("quad.bmp");
  const std::string ico = ReadFixture("icon.ico"), wmf = ReadFixture("rect.wmf"), emf = ReadFixture("rect.emf");
  std::string hugePng = png;  // IHDR width and height patched to 100000 by 100000
  hugePng.replace(16, 8, std::string("\x00\x01\x86\xa0\x00\x01\x86\xa0", 8));
  std::string hugeJpg = jpg;  // frame header patched to 65535 by 65535
  hugeJpg.replace(jpg.find("\xff\xc0") + 5, 4, std::string("\xff\xff\xff\xff", 4));
  std::string hugeWmf = wmf;  // the largest record said to be 4 GB long
  hugeWmf.replace(22 + 12, 4, std::string("\xff\xff\xff\x7f", 4));
  const Damage damages[] = {
      {"empty.png", ""},
      {"cut.png", png.substr(0, 30)},
      {"huge.png", hugePng},
      {"text.jpg", "this is no picture at all"},
      {"cut.jpg", jpg.substr(0, 20)},
      {"huge.jpg", hugeJpg},
      {"text.bmp", "BM this is no bitmap"},
      {"cut.ico", ico.substr(0, 10)},
      {"text.wmf", "not a metafile, but long enough to hold a header of some kind"},
      {"cut.wmf", wmf.substr(0, 30)},
      {"huge.wmf", hugeWmf},
      {"text.emf", std::string(100, 'x')},
      {"cut.emf", emf.substr(0, 40)},
  };
  for (const Damage& d : damages) {
    SCOPED_TRACE(d.name);
    const std::string path = dir.Write(d.name, d.content);
    const std::string name = d.name;
    const std::string extension = name.substr(name.find('.') + 1);
    try {
      decoder->Decode(path, extension, {});
      ADD_FAILURE() << "decoded a damaged file";
    } catch (const RuntimeFault& fault) {
      EXPECT_NE(std::string(fault.what()).find(path), std::string::npos) << fault.what();
    }
  }
}

TEST(PictureDecoders, MissingFileNamesPathAndReason) {
  TempDir dir;
  auto decoder = CreatePictureDecoder();
  const std::string path = (dir.path() / "gone.png").string();
  try {
    decoder->Decode(path, "png", {});
    FAIL();
  } catch (const RuntimeFault& fault) {
    EXPECT_EQ(std::string(fault.what()), "Cannot open file \"" + path + "\". No such file or directory");
  }
}

// Through the loader: the extension in any letter case picks the decoder, and a Windows
// path in other letter case finds the file.
TEST(PictureDecoders, LoaderUsesPlatformDecoder) {
  TestGame t;
  auto decoder = CreatePictureDecoder();
  t.platform.pictures = decoder.get();
  t.dir.Write("Images/Quad.PNG", ReadFixture("quad.png"));
  Game& game = t.Make();
  auto picture = LoadPicture(game, game.gameFolder() + "\\images\\QUAD.png", {});
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->width, 2);
  ExpectNear(At(*picture, 0, 0), {255, 0, 0}, 0, "top left");
}

}  // namespace
}  // namespace velmora
