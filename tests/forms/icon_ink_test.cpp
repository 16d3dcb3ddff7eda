// The tool-bar icons on a dark bar: every line drawn in them stands out from
// the bar by at least 3:1 once inked for it, and a light bar gets the
// drawings unchanged.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "forms/icon_ink.h"

namespace qzarn::forms {
namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t kLightBar = 0xEFEFEF;  // Fusion's light window colour
constexpr std::uint32_t kDarkBar = 0x353535;   // a usual dark scheme's window colour

std::string Read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(IconInk, ContrastAndDarkness) {
  EXPECT_NEAR(ContrastRatio(0xFFFFFF, 0x000000), 21.0, 1e-9);
  EXPECT_NEAR(ContrastRatio(0x777777, 0x777777), 1.0, 1e-9);
  EXPECT_NEAR(ContrastRatio(0x2B2B2B, kDarkBar), ContrastRatio(kDarkBar, 0x2B2B2B), 1e-12);
  EXPECT_TRUE(IsDarkColour(kDarkBar));
  EXPECT_TRUE(IsDarkColour(0x000000));
  EXPECT_FALSE(IsDarkColour(kLightBar));
  EXPECT_FALSE(IsDarkColour(0xFFFFFF));
}

TEST(IconInk, EveryCommandIconStandsOutOnADarkBar) {
  const std::regex stroke("stroke=\"#([0-9a-f]{6})\"");
  const std::regex ink_fill("fill=\"#2b2b2b\"");
  int icons = 0;
  for (const auto& entry :
       fs::directory_iterator(fs::path(QZARN_SOURCE_DIR) / "resources" / "icons" / "commands")) {
    if (entry.path().extension() != ".svg") continue;
    SCOPED_TRACE(entry.path().filename().string());
    ++icons;
    const std::string drawn = Read(entry.path());
    EXPECT_EQ(InkedIcon(drawn, false), drawn);
    const std::string inked = InkedIcon(drawn, true);
    EXPECT_FALSE(std::regex_search(inked, ink_fill)) << "text left in the dark ink";
    for (auto it = std::sregex_iterator(inked.begin(), inked.end(), stroke);
         it != std::sregex_iterator(); ++it) {
      const auto colour = static_cast<std::uint32_t>(std::stoul((*it)[1].str(), nullptr, 16));
      EXPECT_GE(ContrastRatio(colour, kDarkBar), 3.0) << (*it)[0].str();
    }
  }
  EXPECT_GE(icons, 60);
}

}  // namespace
}  // namespace qzarn::forms
