// PNG and JPEG decoding, the picture loaders and the script's textureLoad
// and textureMake.
#include <png.h>

#include <cstring>

#include "render/pictures.h"
#include "render/resources.h"
#include "runtime/datapack.h"
#include "runtime/settings.h"
#include "tests/resources/picture_writers.h"
#include "tests/resources/resource_fixture.h"
#include "tests/script/script_fixture.h"

namespace {

using Bytes = std::vector<uint8_t>;

std::string pixelsText(const Picture& picture) {
  std::string text;
  for (size_t i = 0; i < picture.pixels.size(); ++i) {
    if (i) text += (i % static_cast<size_t>(picture.bytesPerPixel)) ? " " : " | ";
    text += std::to_string(picture.pixels[i]);
  }
  return text;
}

std::string pixelsText(const Bytes& bytes, int bytesPerPixel) {
  Picture p;
  p.pixels = bytes;
  p.bytesPerPixel = bytesPerPixel;
  return pixelsText(p);
}

Picture decodedPng(const Bytes& file, float saturation = 1.0f) {
  Picture picture;
  EXPECT_EQ(decodePngData(file.data(), file.size(), saturation, picture), pngDecoded) << picture.error;
  return picture;
}

const std::vector<PaletteEntry> fourColours = {{10, 20, 30}, {200, 0, 0}, {0, 200, 0}, {0, 0, 200}};

// --- PNG decoding ---------------------------------------------------------------

TEST(PngDecode, PaletteIndicesArePackedHighBitsFirst) {
  struct Case {
    int depth;
    Bytes row;  // four pixels
    std::vector<int> indices;
  };
  const Case cases[] = {
      {1, {0xA0}, {1, 0, 1, 0}},
      {2, {0x1B}, {0, 1, 2, 3}},
      {4, {0x12, 0x30}, {1, 2, 3, 0}},
      {8, {1, 2, 3, 0}, {1, 2, 3, 0}},
  };
  for (const Case& c : cases) {
    std::vector<PaletteEntry> palette(fourColours.begin(), fourColours.begin() + (c.depth == 1 ? 2 : 4));
    Picture picture = decodedPng(encodePng(4, 1, PNG_COLOR_TYPE_PALETTE, c.depth, c.row, palette));
    Bytes expected;
    for (int i : c.indices) expected.insert(expected.end(), {palette[i].red, palette[i].green, palette[i].blue, 255});
    EXPECT_EQ(picture.width, 4);
    EXPECT_EQ(pixelsText(picture), pixelsText(expected, 4)) << "depth " << c.depth;
  }
}

TEST(PngDecode, IndexPastThePaletteIsBlack) {
  Picture picture = decodedPng(encodePng(2, 1, PNG_COLOR_TYPE_PALETTE, 2, {0x30}, {{1, 2, 3}, {4, 5, 6}}));
  EXPECT_EQ(pixelsText(picture), "1 2 3 255 | 0 0 0 255");  // indices 0 and 3
}

TEST(PngDecode, Saturation) {
  const Bytes rgba = {255, 0, 0, 10, 0, 255, 0, 20, 10, 20, 30, 40};
  struct Case {
    float saturation;
    const char* pixels;
  };
  const Case cases[] = {
      {1.0f, "255 0 0 10 | 0 255 0 20 | 10 20 30 40"},
      // grey: the truncated luminance, 76.245, 149.685 and 18.15
      {0.0f, "76 76 76 10 | 149 149 149 20 | 18 18 18 40"},
      // 510 - 76.2 is above 255, -76.2 below 0: both are stored as 255
      {2.0f, "255 255 255 10 | 255 255 255 20 | 1 21 41 40"},
      {0.5f, "165 38 38 10 | 74 202 74 20 | 14 19 24 40"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(pixelsText(decodedPng(encodeRgbaPng(3, 1, rgba), c.saturation)), c.pixels) << c.saturation;
  }
}

TEST(PngDecode, GreyAnd16BitPicturesBecome8BitRgba) {
  struct Case {
    const char* what;
    int colorType, depth;
    Bytes rows;  // 2 x 2 pixels as stored
    const char* pixels;
  };
  const Case cases[] = {
      {"grey 8", PNG_COLOR_TYPE_GRAY, 8, {0, 100, 200, 255}, "0 0 0 255 | 100 100 100 255 | 200 200 200 255 | 255 255 255 255"},
      {"grey 1", PNG_COLOR_TYPE_GRAY, 1, {0x80, 0x40}, "255 255 255 255 | 0 0 0 255 | 0 0 0 255 | 255 255 255 255"},
      {"grey 4", PNG_COLOR_TYPE_GRAY, 4, {0x0F, 0x84}, "0 0 0 255 | 255 255 255 255 | 136 136 136 255 | 68 68 68 255"},
      {"grey-alpha 8", PNG_COLOR_TYPE_GRAY_ALPHA, 8, {10, 20, 30, 40, 50, 60, 70, 80},
       "10 10 10 20 | 30 30 30 40 | 50 50 50 60 | 70 70 70 80"},
      {"grey 16", PNG_COLOR_TYPE_GRAY, 16, {0x12, 0x34, 0xAB, 0xCD, 0, 0, 0xFF, 0xFF},
       "18 18 18 255 | 171 171 171 255 | 0 0 0 255 | 255 255 255 255"},
      {"grey-alpha 16", PNG_COLOR_TYPE_GRAY_ALPHA, 16, {1, 0, 2, 0, 3, 0, 4, 0, 5, 0, 6, 0, 7, 0, 8, 0},
       "1 1 1 2 | 3 3 3 4 | 5 5 5 6 | 7 7 7 8"},
      {"rgb 8", PNG_COLOR_TYPE_RGB, 8, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12},
       "1 2 3 255 | 4 5 6 255 | 7 8 9 255 | 10 11 12 255"},
      {"rgb 16", PNG_COLOR_TYPE_RGB, 16, {1, 9, 2, 9, 3, 9, 4, 9, 5, 9, 6, 9, 7, 9, 8, 9, 9, 9, 10, 9, 11, 9, 12, 9},
       "1 2 3 255 | 4 5 6 255 | 7 8 9 255 | 10 11 12 255"},
      {"rgba 16", PNG_COLOR_TYPE_RGB_ALPHA, 16,
       {1, 0, 2, 0, 3, 0, 4, 0, 5, 0, 6, 0, 7, 0, 8, 0, 9, 0, 10, 0, 11, 0, 12, 0, 13, 0, 14, 0, 15, 0, 16, 0},
       "1 2 3 4 | 5 6 7 8 | 9 10 11 12 | 13 14 15 16"},
  };
  for (const Case& c : cases) {
    Picture picture = decodedPng(encodePng(2, 2, c.colorType, c.depth, c.rows));
    EXPECT_EQ(picture.width, 2) << c.what;
    EXPECT_EQ(picture.height, 2) << c.what;
    EXPECT_EQ(pixelsText(picture), c.pixels) << c.what;
  }
}

TEST(PngDecode, InterlacedPictureDecodesLikeAPlainOne) {
  Bytes rgba;
  for (int i = 0; i < 9 * 5; ++i) rgba.insert(rgba.end(), {uint8_t(i), uint8_t(3 * i), uint8_t(255 - i), uint8_t(i + 7)});
  Picture plain = decodedPng(encodeRgbaPng(9, 5, rgba));
  Picture interlaced = decodedPng(encodePng(9, 5, PNG_COLOR_TYPE_RGB_ALPHA, 8, rgba, {}, true));
  EXPECT_EQ(plain.pixels, rgba);
  EXPECT_EQ(interlaced.pixels, rgba);
}

TEST(PngDecode, FailuresGiveNoPicture) {
  Bytes good = encodeRgbaPng(4, 4, Bytes(64, 90));
  Bytes badCrc = good;
  badCrc[good.size() - 20] ^= 0x55;  // inside the IDAT data
  struct Case {
    const char* what;
    Bytes file;
    int status;
  };
  const Case cases[] = {
      {"empty", {}, pngNoSignature},
      {"a JPEG", solidRgbJpeg(8, 8, 1, 2, 3), pngNoSignature},
      {"signature only", Bytes(good.begin(), good.begin() + 8), pngBadData},
      {"cut in the picture data", Bytes(good.begin(), good.begin() + static_cast<long>(good.size()) - 30), pngBadData},
      {"no end chunk", Bytes(good.begin(), good.end() - 12), pngBadData},
      {"damaged picture data", badCrc, pngBadData},
  };
  for (const Case& c : cases) {
    Picture picture;
    EXPECT_EQ(decodePngData(c.file.data(), c.file.size(), 1.0f, picture), c.status) << c.what;
    EXPECT_TRUE(picture.pixels.empty()) << c.what;
    EXPECT_FALSE(picture.error.empty()) << c.what;
  }
}

TEST(PngDecode, PictureOverTheBudgetIsRefusedBeforeDecoding) {
  Bytes file = encodeRgbaPng(16, 16, Bytes(16 * 16 * 4, 7));
  Picture picture;
  EXPECT_EQ(decodePngData(file.data(), file.size(), 1.0f, picture, 16 * 16 * 4 - 1), pngTooLarge);
  EXPECT_TRUE(picture.pixels.empty());
  EXPECT_EQ(decodePngData(file.data(), file.size(), 1.0f, picture, 16 * 16 * 4), pngDecoded);
}

// --- JPEG decoding ----------------------------------------------------------------

::testing::AssertionResult near(const Picture& picture, int x, int y, std::vector<int> rgb, int tolerance) {
  const unsigned char* p = picture.pixels.data() + (static_cast<size_t>(y) * picture.width + x) * 3;
  for (int k = 0; k < 3; ++k) {
    if (std::abs(p[k] - rgb[k]) > tolerance) {
      return ::testing::AssertionFailure() << "pixel " << x << "," << y << " is " << int(p[0]) << " " << int(p[1])
                                           << " " << int(p[2]);
    }
  }
  return ::testing::AssertionSuccess();
}

TEST(JpegDecode, RgbGreyAndProgressivePictures) {
  Bytes rgb;
  Bytes grey;
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 16; ++x) {
      bool left = x < 8;
      rgb.insert(rgb.end(), {uint8_t(left ? 200 : 20), uint8_t(40), uint8_t(left ? 40 : 220)});
      grey.push_back(left ? 50 : 180);
    }
  }
  Picture picture;
  for (bool progressive : {false, true}) {
    Bytes file = encodeJpeg(16, 8, 3, rgb, 95, progressive);
    ASSERT_TRUE(decodeJpegData(file.data(), file.size(), picture)) << picture.error;
    EXPECT_EQ(picture.width, 16);
    EXPECT_EQ(picture.height, 8);
    EXPECT_EQ(picture.bytesPerPixel, 3);
    EXPECT_EQ(picture.pixels.size(), size_t{16 * 8 * 3});
    EXPECT_TRUE(near(picture, 2, 3, {200, 40, 40}, 6));
    EXPECT_TRUE(near(picture, 13, 4, {20, 40, 220}, 6));
    EXPECT_FALSE(picture.endedEarly);
  }
  Bytes file = encodeJpeg(16, 8, 1, grey);
  ASSERT_TRUE(decodeJpegData(file.data(), file.size(), picture)) << picture.error;
  EXPECT_TRUE(near(picture, 1, 1, {50, 50, 50}, 3));
  EXPECT_TRUE(near(picture, 14, 6, {180, 180, 180}, 3));
}

TEST(JpegDecode, PictureMustFitTheBuffer) {
  Bytes file = solidRgbJpeg(16, 16, 9, 9, 9);
  Picture picture;
  EXPECT_FALSE(decodeJpegData(file.data(), file.size(), picture, 16 * 16 * 3 - 1));
  EXPECT_NE(picture.error.find("16 x 16"), std::string::npos) << picture.error;
  EXPECT_TRUE(decodeJpegData(file.data(), file.size(), picture, 16 * 16 * 3));

  // The frame header made to claim 4096 x 4096: 48 MiB do not fit 32 MiB.
  size_t sof = 0;
  for (size_t i = 0; i + 9 < file.size(); ++i) {
    if (file[i] == 0xFF && file[i + 1] == 0xC0) {
      sof = i;
      break;
    }
  }
  ASSERT_NE(sof, 0u);
  file[sof + 5] = 0x10;
  file[sof + 6] = 0x00;
  file[sof + 7] = 0x10;
  file[sof + 8] = 0x00;
  EXPECT_FALSE(decodeJpegData(file.data(), file.size(), picture));
  EXPECT_NE(picture.error.find("4096 x 4096"), std::string::npos) << picture.error;
}

TEST(JpegDecode, BrokenFilesGiveNoPictureAndTheProgramGoesOn) {
  Bytes good = solidRgbJpeg(32, 32, 100, 150, 200);
  Bytes cmyk = encodeJpeg(8, 8, 4, Bytes(8 * 8 * 4, 100));
  struct Case {
    const char* what;
    Bytes file;
  };
  const Case cases[] = {
      {"empty", {}},
      {"cut inside the header", Bytes(good.begin(), good.begin() + 100)},
      {"no JPEG at all", encodeRgbaPng(2, 2, Bytes(16, 1))},
      {"CMYK", cmyk},
  };
  for (const Case& c : cases) {
    Picture picture;
    EXPECT_FALSE(decodeJpegData(c.file.data(), c.file.size(), picture)) << c.what;
    EXPECT_TRUE(picture.pixels.empty()) << c.what;
    EXPECT_FALSE(picture.error.empty()) << c.what;
  }
}

// 64 x 64: the top 16 rows one colour, the rest noise, so that most of the
// file is picture data.
Bytes noisyJpeg() {
  Bytes rgb;
  unsigned seed = 1;
  for (int i = 0; i < 64 * 64; ++i) {
    for (int k = 0; k < 3; ++k) {
      seed = seed * 1103515245u + 12345u;
      const uint8_t top[3] = {100, 150, 200};
      rgb.push_back(i < 64 * 16 ? top[k] : uint8_t(seed >> 24));
    }
  }
  return encodeJpeg(64, 64, 3, rgb, 90);
}

TEST(JpegDecode, DataEndingInsideThePictureIsFilledIn) {
  Bytes good = noisyJpeg();
  Bytes cut(good.begin(), good.begin() + static_cast<long>(good.size()) * 3 / 4);
  Picture picture;
  ASSERT_TRUE(decodeJpegData(cut.data(), cut.size(), picture)) << picture.error;
  EXPECT_TRUE(picture.endedEarly);
  EXPECT_EQ(picture.width, 64);
  EXPECT_TRUE(near(picture, 0, 0, {100, 150, 200}, 4));
}

// --- Loaders ------------------------------------------------------------------------

class PictureLoading : public ResourceTest {};

TEST_F(PictureLoading, CorruptPicturesRegisterNothingAndSayWhichFile) {
  Bytes png = encodeRgbaPng(4, 4, Bytes(64, 90));
  Bytes badCrc = png;
  badCrc[png.size() - 20] ^= 0x55;
  Bytes jpeg = solidRgbJpeg(32, 32, 1, 2, 3);
  writeBytes("crc.png", badCrc);
  writeBytes("cut.png", Bytes(png.begin(), png.begin() + 40));
  writeBytes("cut.jpg", Bytes(jpeg.begin(), jpeg.begin() + 100));
  writeBytes("picture.png.jpg", jpeg);  // ".png" anywhere: read as PNG, and not one

  struct Case {
    const char* file;
    const char* name;
  };
  const Case cases[] = {{"crc.png", "corrupt png"}, {"cut.png", "cut png"}, {"cut.jpg", "cut jpeg"},
                        {"picture.png.jpg", "jpeg named png"}};
  for (const Case& c : cases) {
    testing::internal::CaptureStderr();
    Texture* texture = loadPictureTexture(0, c.name, c.file, 1.0f);
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(texture, nullptr) << c.file;
    EXPECT_EQ(findTexture(c.name), nullptr) << c.file;
    EXPECT_NE(said.find(c.file), std::string::npos) << said;
    EXPECT_NE(said.find(c.name), std::string::npos) << said;
  }
  // The decoders are usable afterwards.
  writeBytes("fine.png", png);
  writeBytes("fine.jpg", jpeg);
  EXPECT_NE(loadPngTexture(0, "fine png", "fine.png", 1.0f), nullptr);
  EXPECT_NE(loadJpegTexture(0, "fine jpeg", "fine.jpg"), nullptr);
}

TEST_F(PictureLoading, JpegEndingEarlyIsLoadedWithAWarning) {
  Bytes jpeg = noisyJpeg();
  writeBytes("short.jpg", Bytes(jpeg.begin(), jpeg.begin() + static_cast<long>(jpeg.size()) * 3 / 4));
  testing::internal::CaptureStderr();
  Texture* texture = loadJpegTexture(0, "short", "short.jpg");
  std::string said = testing::internal::GetCapturedStderr();
  ASSERT_NE(texture, nullptr);
  EXPECT_NE(said.find("short.jpg"), std::string::npos) << said;
  EXPECT_EQ(texelsOf(*texture).width, 64);
}

TEST_F(PictureLoading, SameNameTwiceReadsTheFileOnce) {
  writeBytes("first.png", encodeRgbaPng(2, 1, {1, 2, 3, 4, 5, 6, 7, 8}));
  writeBytes("second.png", encodeRgbaPng(1, 1, {9, 9, 9, 9}));
  Texture* first = loadPngTexture(0, "once", "first.png", 1.0f);
  ASSERT_NE(first, nullptr);
  clearFileRequestLog();
  EXPECT_EQ(loadPngTexture(1, "once", "second.png", 0.0f), first);
  EXPECT_EQ(loadJpegTexture(1, "once", "other.jpg"), first);
  EXPECT_TRUE(fileRequestLog().empty());
  Texels texels = texelsOf(*first);
  EXPECT_EQ(texels.width, 2);
  EXPECT_EQ(rgbaText(texels.at(1, 0)), "5 6 7 8");
}

TEST_F(PictureLoading, TwoByTwoBumpMaps) {
  // No pixel has neighbours on both sides: flat slopes, blue = 255 - luminance.
  writeBytes("bump.png", encodeRgbaPng(2, 2, {255, 0, 0, 9, 0, 255, 0, 9, 0, 0, 255, 9, 255, 255, 255, 9}));
  Texture* png = loadPngTexture(1, "bump png", "bump.png", 1.0f);
  ASSERT_NE(png, nullptr);
  Texels t = texelsOf(*png);
  EXPECT_EQ(rgbaText(t.at(0, 0)), "127 127 179 0");  // 255 - 76
  EXPECT_EQ(rgbaText(t.at(1, 0)), "127 127 106 0");  // 255 - 149
  EXPECT_EQ(rgbaText(t.at(0, 1)), "127 127 226 0");  // 255 - 29
  EXPECT_EQ(rgbaText(t.at(1, 1)), "127 127 0 0");

  writeBytes("bump.jpg", solidRgbJpeg(2, 2, 128, 128, 128));
  Texture* jpeg = loadJpegTexture(1, "bump jpeg", "bump.jpg");
  ASSERT_NE(jpeg, nullptr);
  t = texelsOf(*jpeg);
  for (int i = 0; i < 4; ++i) {
    const uint8_t* p = t.at(i % 2, i / 2);
    EXPECT_EQ(p[0], 127);
    EXPECT_EQ(p[1], 127);
    EXPECT_NEAR(p[2], 127, 2);
    EXPECT_EQ(p[3], 255);  // three bytes per pixel: the texture's alpha is 1
  }
}

TEST_F(PictureLoading, OddWidthJpegRowsStayAligned) {
  Bytes rgb;
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 5; ++x) rgb.insert(rgb.end(), {uint8_t(y < 2 ? 250 : 10), 128, uint8_t(y < 2 ? 10 : 250)});
  }
  writeBytes("odd.jpg", encodeJpeg(5, 4, 3, rgb, 100));
  Texture* texture = loadJpegTexture(0, "odd", "odd.jpg");
  ASSERT_NE(texture, nullptr);
  Texels t = texelsOf(*texture);
  EXPECT_NEAR(t.at(4, 0)[0], 250, 12);
  EXPECT_NEAR(t.at(0, 3)[2], 250, 12);
  EXPECT_NEAR(t.at(4, 3)[2], 250, 12);
}

// --- The script's textureLoad and textureMake ----------------------------------------

class ScriptTextures : public ResourceTest {
 protected:
  void SetUp() override {
    ResourceTest::SetUp();
    setFatalHandler(throwFatal);
    installResourceLoaders();
  }
  void TearDown() override {
    setScriptResourceLoaders(ScriptResourceLoaders{});
    setFatalHandler(nullptr);
    ResourceTest::TearDown();
  }
};

TEST_F(ScriptTextures, SaturationAppliesToPngOnly) {
  writeBytes("colour.jpg", solidRgbJpeg(8, 8, 200, 40, 40));
  writeBytes("colour.png", encodeRgbaPng(1, 1, {200, 40, 40, 255}));
  ScriptContext ctx = loadScript(
      "texture j = textureLoad(\"colour.jpg\", \"grey jpeg?\", 0, 0.0);"
      "texture p = textureLoad(\"colour.png\", \"grey png\", 0, 0.0);"
      "texture q = textureLoad(\"colour.png\");");
  EXPECT_EQ(findVariable(ctx, "j")->textures, std::vector<std::string>{"grey jpeg?"});
  EXPECT_EQ(findVariable(ctx, "q")->textures, std::vector<std::string>{"colour.png"});

  Texture* jpeg = findTexture("grey jpeg?");
  ASSERT_NE(jpeg, nullptr);
  Texels jpegTexels = texelsOf(*jpeg);
  const uint8_t* j = jpegTexels.at(3, 3);
  EXPECT_NEAR(j[0], 200, 4);
  EXPECT_NEAR(j[1], 40, 4);
  EXPECT_NEAR(j[2], 40, 4);
  EXPECT_EQ(j[3], 255);

  Texture* png = findTexture("grey png");
  ASSERT_NE(png, nullptr);
  EXPECT_EQ(rgbaText(texelsOf(*png).at(0, 0)), "87 87 87 255");  // 59.8 + 23.48 + 4.56
  Texture* plain = findTexture("colour.png");
  ASSERT_NE(plain, nullptr);
  EXPECT_EQ(rgbaText(texelsOf(*plain).at(0, 0)), "200 40 40 255");
}

TEST_F(ScriptTextures, TextureMakeSizesAndZeroFill) {
  loadScript("texture a = textureMake(\"made 256\", 256);"
             "texture b = textureMake(\"made target\");"
             "texture c = textureMake(\"made 8x4\", 8, 4);");
  struct Case {
    const char* name;
    int width, height;
  };
  const Case cases[] = {{"made 256", 256, 256}, {"made target", targetWidth, targetHeight}, {"made 8x4", 8, 4}};
  for (const Case& c : cases) {
    Texture* texture = findTexture(c.name);
    ASSERT_NE(texture, nullptr) << c.name;
    Texels t = texelsOf(*texture);
    EXPECT_EQ(t.width, c.width) << c.name;
    EXPECT_EQ(t.height, c.height) << c.name;
    EXPECT_EQ(t.rgba, Bytes(t.rgba.size(), 0)) << c.name;
  }
}

TEST_F(ScriptTextures, UnreadablePictureLeavesTheNameInTheVariableOnly) {
  writeBytes("broken.png", {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0});
  testing::internal::CaptureStderr();
  ScriptContext ctx = loadScript("texture t = textureLoad(\"broken.png\", \"unresolved\");");
  std::string said = testing::internal::GetCapturedStderr();
  EXPECT_EQ(findVariable(ctx, "t")->textures, std::vector<std::string>{"unresolved"});
  EXPECT_EQ(findTexture("unresolved"), nullptr);
  EXPECT_NE(said.find("broken.png"), std::string::npos) << said;
}

}  // namespace
