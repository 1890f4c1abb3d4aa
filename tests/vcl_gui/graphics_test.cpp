// Pictures and fonts: JPEG decoding with its own error handling.
#include "vcl/graphics.h"

#include <gtest/gtest.h>

#include "jpeg_sample.h"

TEST(Jpeg, DecodesToRgbPixels) {
  std::vector<std::uint8_t> data = testing_support::SampleJpeg(16, 8);
  TPicture picture;
  int changes = 0;
  picture.OnChange = [&](TObject*) { ++changes; };
  picture.LoadFromData(data.data(), data.size());
  ASSERT_NE(picture.Graphic(), nullptr);
  EXPECT_EQ(picture.Width(), 16);
  EXPECT_EQ(picture.Height(), 8);
  const auto& pixels = picture.Graphic()->Pixels();
  ASSERT_EQ(pixels.size(), 16u * 8u * 3u);
  EXPECT_NEAR(pixels[0], 200, 12);  // red
  EXPECT_NEAR(pixels[2], 20, 12);   // blue
  EXPECT_EQ(changes, 1);
  TPicture copy;
  copy.Assign(&picture);
  EXPECT_EQ(copy.Graphic()->Pixels(), pixels);
}

TEST(Jpeg, DamagedDataRaisesAndLeavesThePictureAsItWas) {
  std::vector<std::uint8_t> good = testing_support::SampleJpeg(16, 8);
  struct Case {
    const char* name;
    std::vector<std::uint8_t> data;
  };
  std::vector<std::uint8_t> truncated(good.begin(), good.begin() + 40);
  std::vector<std::uint8_t> garbled = good;
  for (std::size_t i = 20; i < garbled.size() - 2; i += 3) garbled[i] = 0xFF;
  const Case cases[] = {
      {"truncated header", truncated},
      {"garbled", garbled},
      {"not a JPEG", {'G', 'I', 'F', '8', '9', 'a'}},
      {"empty", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TPicture picture;
    picture.LoadFromData(good.data(), good.size());
    EXPECT_THROW(picture.LoadFromData(c.data.data(), c.data.size()), EInvalidGraphic);
    EXPECT_EQ(picture.Width(), 16);
    TJPEGImage image;
    EXPECT_THROW(image.LoadFromData(c.data.data(), c.data.size()), EInvalidGraphic);
    EXPECT_TRUE(image.Empty);
  }
}

TEST(Jpeg, MissingFileRaisesAnOpenError) {
  TPicture picture;
  EXPECT_THROW(picture.LoadFromFile("/nonexistent/folder/picture.jpg"), EFOpenError);
}

TEST(Font, SizeAndHeightAndSystemColours) {
  TFont font;
  font.Height = -12;
  EXPECT_EQ(font.Size(), 9);
  font.Size = 8;
  EXPECT_EQ(font.Height(), -11);
  EXPECT_EQ(ColorToRGB(clRed), 0x0000FFu);
  EXPECT_EQ(ColorToRGB(clBtnFace), 0xC0C0C0u);
  EXPECT_EQ(ColorToRGB(clWindow), 0xFFFFFFu);
}
