#include "settings/ini_file.h"

#include <gtest/gtest.h>

#include <string>

namespace qzarn {
namespace {

TEST(IniFile, SerializesEveryLineAsRead) {
  const std::string files[] = {
      "",
      "[Window]\r\nLeft=3\r\n",
      "no section=1\n[A]\nkey = value \n; comment\n\ngarbage line\n[B]\nx=\x82\xA0\xFF\n",
      "\xEF\xBB\xBF[A]\r\nk=v\r\n",
  };
  for (const std::string& bytes : files)
    EXPECT_EQ(IniFile::parse(bytes).serialize(), bytes);
  // A last line without a line end gets one.
  EXPECT_EQ(IniFile::parse("[A]\nk=v").serialize(), "[A]\nk=v\n");
}

TEST(IniFile, LooksUpAsProfileFilesDo) {
  const IniFile ini = IniFile::parse(
      "[Option]\n"
      "  InitZoom  =  150  \n"
      "Quoted=\"  a b \"\n"
      "Dup=first\n"
      "Dup=second\n"
      "=no key\n"
      "[option]\n"
      "Later=1\n"
      "[ Axis ]\n"
      "Empty=\n");
  struct Case {
    const char* section;
    const char* key;
    std::optional<std::string> value;
  };
  const Case cases[] = {
      {"Option", "InitZoom", "150"},
      {"OPTION", "initzoom", "150"},
      {"Option", "Quoted", "  a b "},
      {"Option", "Dup", "first"},
      {"Option", "Later", std::nullopt},  // only the first section of a name counts
      {"Axis", "Empty", ""},
      {"Axis", "Missing", std::nullopt},
      {"Nowhere", "InitZoom", std::nullopt},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ini.value(c.section, c.key), c.value) << c.key;
  EXPECT_EQ(ini.unreadable_lines(), 1);
}

TEST(IniFile, SetKeepsOrderAndUnknownLines) {
  IniFile ini = IniFile::parse(
      "[Window]\r\n"
      "Left=1\r\n"
      "; keep me\r\n"
      "Unknown=x\r\n"
      "\r\n"
      "[Other]\r\n"
      "Mine=\x83\x41\r\n");
  ini.set("window", "LEFT", "5");    // replaced in place, key keeps its spelling
  ini.set("Window", "Top", "7");     // added before the blank separator line
  ini.set("Axis", "Ya", "0.4");      // new section at the end
  ini.set("Axis", "Spaces", " x ");  // quoted so that it reads back as written
  ini.set("Axis", "Break", "a\nb");
  EXPECT_EQ(ini.serialize(),
            "[Window]\r\n"
            "Left=5\r\n"
            "; keep me\r\n"
            "Unknown=x\r\n"
            "Top=7\r\n"
            "\r\n"
            "[Other]\r\n"
            "Mine=\x83\x41\r\n"
            "[Axis]\r\n"
            "Ya=0.4\r\n"
            "Spaces=\" x \"\r\n"
            "Break=a b\r\n");
  EXPECT_EQ(IniFile::parse(ini.serialize()).value("Axis", "Spaces"), " x ");
}

TEST(IniFile, RemoveDropsEveryOccurrenceInTheSection) {
  IniFile ini = IniFile::parse("[R]\nFile1=a\nFile2=b\nfile2=c\n[S]\nFile2=d\n");
  ini.remove("R", "File2");
  EXPECT_EQ(ini.serialize(), "[R]\nFile1=a\n[S]\nFile2=d\n");
}

}  // namespace
}  // namespace qzarn
