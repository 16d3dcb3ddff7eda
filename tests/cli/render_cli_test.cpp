// qzarn-cli render, run as a user would, without a display.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/image_codec.h"

namespace qzarn {
namespace {

namespace fs = std::filesystem;

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

TEST_F(RenderCli, OtherExtensionsGetBmpAppended) {
  ASSERT_EQ(Cli(Example("lines") + " -o " + Path("shot.gif")).code, 0);
  EXPECT_TRUE(fs::exists(Path("shot.gif.BMP")));
  EXPECT_FALSE(fs::exists(Path("shot.gif")));
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
        doc + " --frobnicate -o a.png", doc + " " + doc + " -o a.png"}) {
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
  for (const char* name : {"full.png", "full.bmp", "full.jpg"}) {
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
  EXPECT_EQ(files, 3u);
}

}  // namespace
}  // namespace qzarn
