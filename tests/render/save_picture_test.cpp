#include "render/save_picture.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/image_codec.h"

namespace qzarn::render {
namespace {

namespace fs = std::filesystem;

TEST(SaveAsPicture, FormatByExtension) {
  struct Case {
    const char* requested;
    PictureFormat format;
    const char* path;
  };
  const Case cases[] = {
      {"a.bmp", PictureFormat::kBmp, "a.bmp"},
      {"a.BMP", PictureFormat::kBmp, "a.BMP"},
      {"a.jpg", PictureFormat::kJpeg, "a.jpg"},
      {"dir.v/a.Jpg", PictureFormat::kJpeg, "dir.v/a.Jpg"},
      {"a.png", PictureFormat::kBmp, "a.png.BMP"},
      {"a.jpeg", PictureFormat::kBmp, "a.jpeg.BMP"},
      {"dir.v/a", PictureFormat::kBmp, "dir.v/a.BMP"},
  };
  for (const Case& c : cases) {
    const PictureTarget t = ResolvePictureTarget(c.requested);
    EXPECT_EQ(t.format, c.format) << c.requested;
    EXPECT_EQ(t.path, c.path) << c.requested;
  }
}

std::vector<std::uint8_t> ReadAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(SaveAsPicture, WritesDecodableFiles) {
  const fs::path dir =
      fs::temp_directory_path() / ("qzarn_save_picture_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  RgbImage picture(8, 4);
  for (std::size_t i = 0; i < picture.pixels.size(); ++i)
    picture.pixels[i] = static_cast<std::uint8_t>(i * 7);
  std::string written, error;

  ASSERT_TRUE(SaveAsPicture(picture, (dir / "shot.png").string(), written, error)) << error;
  EXPECT_EQ(written, (dir / "shot.png.BMP").string());
  RgbImage back;
  ASSERT_TRUE(DecodeBmp(ReadAll(written), back, error)) << error;
  EXPECT_EQ(back, picture);

  ASSERT_TRUE(SaveAsPicture(picture, (dir / "shot.jpg").string(), written, error)) << error;
  ASSERT_TRUE(DecodeJpeg(ReadAll(written), back, error)) << error;
  EXPECT_EQ(back.width, 8);
  EXPECT_EQ(back.height, 4);

  // An unwritable place fails and leaves nothing.
  EXPECT_FALSE(SaveAsPicture(picture, (dir / "missing" / "x.bmp").string(), written, error));
  EXPECT_FALSE(fs::exists(dir / "missing" / "x.bmp"));
  EXPECT_FALSE(SaveAsPicture(RgbImage{}, (dir / "empty.bmp").string(), written, error));
  EXPECT_FALSE(fs::exists(dir / "empty.bmp"));
  fs::remove_all(dir);
}

}  // namespace
}  // namespace qzarn::render
