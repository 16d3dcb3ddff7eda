// qzarn-cli render, run as a user would, without a display.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "platform/image_codec.h"

namespace qzarn {
namespace {

namespace fs = std::filesystem;

// The share of 8x8 blocks whose mean colour differs by more than 24 (of 255) in some
// channel: small for the same picture drawn by different rasterisers.
double BlockDifference(const RgbImage& a, const RgbImage& b) {
  int blocks = 0, differing = 0;
  for (int by = 0; by + 8 <= a.height; by += 8)
    for (int bx = 0; bx + 8 <= a.width; bx += 8) {
      ++blocks;
      for (int c = 0; c < 3; ++c) {
        int sa = 0, sb = 0;
        for (int y = by; y < by + 8; ++y)
          for (int x = bx; x < bx + 8; ++x) {
            sa += a.row(y)[3 * x + c];
            sb += b.row(y)[3 * x + c];
          }
        if (std::abs(sa - sb) > 24 * 64) {
          ++differing;
          break;
        }
      }
    }
  return blocks == 0 ? 1.0 : static_cast<double>(differing) / blocks;
}

struct RenderRun {
  int code = -1;
  std::string err;
};

class RenderCli : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("qzarn-rendercli-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  static std::string Example(const std::string& name) {
    return (fs::path(QZARN_SOURCE_DIR) / "examples" / (name + ".qzl")).string();
  }

  // Runs with no display at all, as on a build server. `shell_setup` runs first in the same
  // shell (limits, traps).
  RenderRun Cli(const std::string& args, const std::string& shell_setup = "") const {
    const std::string err_path = Path("stderr.txt");
    const std::string command = shell_setup +
                                " env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " +
                                std::string(QZARN_CLI) + " render " + args + " 2>" + err_path;
    RenderRun r;
    const int status = std::system(command.c_str());
    r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream in(err_path);
    r.err.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return r;
  }

  static std::vector<std::uint8_t> Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  fs::path dir_;
};

TEST_F(RenderCli, WritesEachFormatAtTheSurfaceSize) {
  ASSERT_EQ(Cli(Example("lines") + " -o " + Path("a.png")).code, 0);
  const std::vector<std::uint8_t> png = Bytes(Path("a.png"));
  ASSERT_GT(png.size(), 24u);
  EXPECT_EQ(std::string(png.begin() + 1, png.begin() + 4), "PNG");
  // Width and height in the IHDR chunk, big-endian.
  EXPECT_EQ((png[16] << 24) | (png[17] << 16) | (png[18] << 8) | png[19], 640);
  EXPECT_EQ((png[20] << 24) | (png[21] << 16) | (png[22] << 8) | png[23], 480);

  ASSERT_EQ(Cli(Example("grid_dots") + " --no-antialias -o " + Path("b.bmp")).code, 0);
  RgbImage bmp;
  std::string error;
  ASSERT_TRUE(DecodeBmp(Bytes(Path("b.bmp")), bmp, error)) << error;
  EXPECT_EQ(bmp.width, 480);
  EXPECT_EQ(bmp.height, 360);
  // The outer frame is black, the background the screen's colour (0x00BBGGRR 0xF0FFFF).
  EXPECT_EQ(bmp.row(0)[3 * 5], 0);
  EXPECT_EQ(bmp.row(2)[3 * 3 + 0], 0xFF);
  EXPECT_EQ(bmp.row(2)[3 * 3 + 2], 0xF0);

  ASSERT_EQ(Cli(Example("circles") + " --no-antialias -o " + Path("c.JPG")).code, 0);
  RgbImage jpeg;
  ASSERT_TRUE(DecodeJpeg(Bytes(Path("c.JPG")), jpeg, error)) << error;
  EXPECT_EQ(jpeg.width, 640);
}

TEST_F(RenderCli, UnknownExtensionsAreRefusedWithoutWritingAnything) {
  for (const std::string name : {"shot.gif", "shot", "shot.jpeg", "shot.png.txt"}) {
    const RenderRun r = Cli(Example("lines") + " -o " + Path(name));
    EXPECT_EQ(r.code, 1) << name;
    EXPECT_NE(r.err.find("unknown picture kind"), std::string::npos) << name;
    EXPECT_FALSE(fs::exists(Path(name))) << name;
    EXPECT_FALSE(fs::exists(Path(name + ".BMP"))) << name;
  }
}

TEST_F(RenderCli, SizeAndScaleResizeThePicture) {
  const struct {
    std::string args;
    int width, height;
  } cases[] = {
      {"--scale 2", 1280, 960},         {"--scale 0.5", 320, 240}, {"--size 320x240", 320, 240},
      {"--size 1000x1000", 1000, 1000}, {"--scale 1", 640, 480},
  };
  for (const auto& c : cases) {
    // Without antialiasing the frame's pixels are exactly black.
    ASSERT_EQ(Cli(Example("lines") + " --no-antialias " + c.args + " -o " + Path("s.bmp")).code, 0)
        << c.args;
    RgbImage bmp;
    std::string error;
    ASSERT_TRUE(DecodeBmp(Bytes(Path("s.bmp")), bmp, error)) << error;
    EXPECT_EQ(bmp.width, c.width) << c.args;
    EXPECT_EQ(bmp.height, c.height) << c.args;
    // The outer frame follows the picture's edge; beyond the surface the picture is white.
    EXPECT_EQ(bmp.row(0)[0], 0) << c.args;
    if (c.height == 1000) {
      EXPECT_EQ(bmp.row(999)[3 * 500], 0xFF);
    }
  }
  // Doubling draws the same picture: averaged over 2x2 blocks it matches the surface size.
  ASSERT_EQ(Cli(Example("lines") + " -o " + Path("one.bmp")).code, 0);
  ASSERT_EQ(Cli(Example("lines") + " --scale 2 -o " + Path("two.bmp")).code, 0);
  RgbImage one, two;
  std::string error;
  ASSERT_TRUE(DecodeBmp(Bytes(Path("one.bmp")), one, error));
  ASSERT_TRUE(DecodeBmp(Bytes(Path("two.bmp")), two, error));
  RgbImage halved;
  halved.width = one.width;
  halved.height = one.height;
  halved.pixels.resize(one.pixels.size());
  for (int y = 0; y < one.height; ++y)
    for (int x = 0; x < one.width * 3; ++x) {
      const int c = x % 3, px = x / 3;
      int sum = 0;
      for (int dy = 0; dy < 2; ++dy)
        for (int dx = 0; dx < 2; ++dx)
          sum += two.row(2 * y + dy)[3 * (2 * px + dx) + c];
      halved.row(y)[x] = static_cast<std::uint8_t>(sum / 4);
    }
  EXPECT_LT(BlockDifference(one, halved), 0.05);
}

// Start tags by name in an XML document (enough of XML for the generator's output).
std::map<std::string, int> CountTags(const std::string& xml) {
  std::map<std::string, int> tags;
  for (std::size_t at = xml.find('<'); at != std::string::npos; at = xml.find('<', at + 1)) {
    const std::size_t end = xml.find_first_of(" \t\n/>", at + 1);
    if (end == std::string::npos) break;
    const std::string name = xml.substr(at + 1, end - at - 1);
    if (!name.empty() && name[0] != '?' && name[0] != '!') ++tags[name];
  }
  return tags;
}

TEST_F(RenderCli, SvgHoldsTheFiguresAsShapesAndTexts) {
  ASSERT_EQ(Cli(Example("lines") + " -o " + Path("a.SVG")).code, 0);
  const std::vector<std::uint8_t> bytes = Bytes(Path("a.SVG"));
  const std::string xml(bytes.begin(), bytes.end());
  EXPECT_NE(xml.find("<svg"), std::string::npos);
  EXPECT_NE(xml.find("viewBox=\"0 0 640 480\""), std::string::npos);
  const std::map<std::string, int> tags = CountTags(xml);
  // Grid, axes, ticks and lines are strokes (a dashed grid line is one path), points are
  // circles; axis labels and names are texts.
  int shapes = 0;
  for (const char* shape : {"path", "polyline", "line", "circle", "ellipse"})
    shapes += tags.count(shape) ? tags.at(shape) : 0;
  EXPECT_GT(shapes, 20);
  ASSERT_TRUE(tags.count("text"));
  EXPECT_GT(tags.at("text"), 5);
  // A larger size changes the picture's size, and everything is drawn larger inside.
  ASSERT_EQ(Cli(Example("lines") + " --scale 2 -o " + Path("b.svg")).code, 0);
  const std::vector<std::uint8_t> big = Bytes(Path("b.svg"));
  EXPECT_NE(std::string(big.begin(), big.end()).find("viewBox=\"0 0 1280 960\""),
            std::string::npos);
}

// A PPM (P6) file as pdftoppm writes it.
bool ReadPpm(const std::string& path, RgbImage& out) {
  std::ifstream in(path, std::ios::binary);
  std::string magic;
  int maxval = 0;
  in >> magic >> out.width >> out.height >> maxval;
  in.get();
  if (!in || magic != "P6" || maxval != 255) return false;
  out.pixels.resize(static_cast<std::size_t>(out.width) * out.height * 3);
  // Both are rows top to bottom, red, green, blue.
  return static_cast<bool>(in.read(reinterpret_cast<char*>(out.pixels.data()),
                                   static_cast<std::streamsize>(out.pixels.size())));
}

TEST_F(RenderCli, PdfRendersLikeTheRasterPicture) {
  if (std::system("pdftoppm -v >/dev/null 2>&1") != 0) GTEST_SKIP() << "pdftoppm missing";
  for (const std::string example : {"lines", "circles", "areas"}) {
    ASSERT_EQ(Cli(Example(example) + " -o " + Path("p.pdf")).code, 0) << example;
    ASSERT_EQ(Cli(Example(example) + " -o " + Path("p.bmp")).code, 0) << example;
    const std::vector<std::uint8_t> pdf = Bytes(Path("p.pdf"));
    ASSERT_GT(pdf.size(), 5u);
    EXPECT_EQ(std::string(pdf.begin(), pdf.begin() + 5), "%PDF-");
    // The page measures the surface at 96 pixels per inch.
    ASSERT_EQ(
        std::system(("pdftoppm -r 96 -singlefile " + Path("p.pdf") + " " + Path("p")).c_str()), 0);
    RgbImage paper, raster;
    std::string error;
    ASSERT_TRUE(ReadPpm(Path("p.ppm"), paper)) << example;
    ASSERT_TRUE(DecodeBmp(Bytes(Path("p.bmp")), raster, error)) << error;
    EXPECT_EQ(paper.width, raster.width) << example;
    EXPECT_EQ(paper.height, raster.height) << example;
    if (paper.width != raster.width || paper.height != raster.height) continue;
    EXPECT_LT(BlockDifference(paper, raster), 0.05) << example;
  }
}

TEST_F(RenderCli, FailedVectorWritesLeaveNothingBehind) {
  for (const std::string name : {"no/dir/a.svg", "no/dir/a.pdf", "no/dir/a.png"}) {
    const RenderRun r = Cli(Example("lines") + " -o " + Path(name));
    EXPECT_EQ(r.code, 1) << name;
    EXPECT_NE(r.err.find("cannot"), std::string::npos) << name;
  }
  // A target that is a folder stays a folder, and no temporary file remains beside it.
  fs::create_directories(Path("taken.pdf"));
  EXPECT_EQ(Cli(Example("lines") + " -o " + Path("taken.pdf")).code, 1);
  EXPECT_TRUE(fs::is_directory(Path("taken.pdf")));
  int entries = 0;
  for (const auto& e : fs::directory_iterator(dir_))
    if (e.path().filename() != "stderr.txt") ++entries;
  EXPECT_EQ(entries, 1);
}

TEST_F(RenderCli, UnloadableFilesFailWithAMessage) {
  const RenderRun missing = Cli(Path("nothing.qzl") + " -o " + Path("x.png"));
  EXPECT_EQ(missing.code, 1);
  EXPECT_NE(missing.err.find("render"), std::string::npos);
  EXPECT_FALSE(fs::exists(Path("x.png")));
  {
    std::ofstream junk(Path("junk.qzl"), std::ios::binary);
    junk << "not a document at all";
  }
  const RenderRun junk = Cli(Path("junk.qzl") + " -o " + Path("y.png"));
  EXPECT_EQ(junk.code, 1);
  EXPECT_FALSE(junk.err.empty());
  EXPECT_FALSE(fs::exists(Path("y.png")));
}

TEST_F(RenderCli, UsageErrors) {
  const std::string doc = Example("lines");
  for (const std::string& args :
       {std::string(""), doc, doc + " -o", "-o " + Path("a.png"), doc + " -o a.png -o b.png",
        doc + " --frobnicate -o a.png", doc + " " + doc + " -o a.png", doc + " --size 0x5 -o a.png",
        doc + " --size 640 -o a.png", doc + " --size ax3 -o a.png", doc + " --scale 0 -o a.png",
        doc + " --scale -2 -o a.png", doc + " --scale 1,5 -o a.png",
        doc + " --scale 2 --size 10x10 -o a.png", doc + " -o a.png --scale"}) {
    const RenderRun r = Cli(args);
    EXPECT_EQ(r.code, 2) << args;
    EXPECT_NE(r.err.find("usage"), std::string::npos) << args;
  }
}

TEST_F(RenderCli, UnwritableOutputFails) {
  const RenderRun r = Cli(Example("lines") + " -o " + Path("no/such/dir/a.png"));
  EXPECT_EQ(r.code, 1);
  EXPECT_FALSE(r.err.empty());
}

// A disk that fills up while a picture is written (here: a file size limit, with the signal
// it raises ignored so that writes fail as they would on a full disk) fails the command and
// leaves the previous picture as it was, in every format.
TEST_F(RenderCli, FullDiskFailsAndKeepsThePreviousPicture) {
  const std::vector<std::uint8_t> old(300, 0x5A);
  const char* names[] = {"full.png", "full.bmp", "full.jpg", "full.svg", "full.pdf"};
  for (const char* name : names) {
    SCOPED_TRACE(name);
    {
      std::ofstream out(Path(name), std::ios::binary);
      out.write(reinterpret_cast<const char*>(old.data()),
                static_cast<std::streamsize>(old.size()));
    }
    const RenderRun r = Cli(Example("circles") + " -o " + Path(name), "trap '' XFSZ; ulimit -f 2;");
    EXPECT_EQ(r.code, 1) << r.err;
    EXPECT_NE(r.err.find("cannot write"), std::string::npos) << r.err;
    EXPECT_EQ(Bytes(Path(name)), old);
  }
  // Nothing else is left in the folder: no partial picture, no temporary file.
  std::size_t files = 0;
  for (const auto& entry : fs::directory_iterator(dir_))
    files += entry.path().filename() != "stderr.txt";
  EXPECT_EQ(files, std::size(names));
}

// A picture rendered onto a FIFO or a device, directly or through a link, fails with the
// reason and leaves the target as it was.
TEST_F(RenderCli, RefusesTargetsThatAreNotRegularFiles) {
  ASSERT_EQ(::mkfifo(Path("pipe.svg").c_str(), 0600), 0);
  fs::create_symlink("pipe.svg", Path("link.svg"));
  std::vector<std::string> targets = {"pipe.svg", "link.svg"};
  if (::mknod(Path("null.png").c_str(), S_IFCHR | 0666, ::makedev(1, 3)) == 0)
    targets.push_back("null.png");
  for (const std::string& target : targets) {
    SCOPED_TRACE(target);
    const RenderRun r = Cli(Example("circles") + " -o " + Path(target));
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("not a regular file"), std::string::npos) << r.err;
  }
  EXPECT_TRUE(fs::is_fifo(Path("pipe.svg")));
  if (fs::exists(Path("null.png"))) {
    EXPECT_TRUE(fs::is_character_file(Path("null.png")));
  }
}

}  // namespace
}  // namespace qzarn
