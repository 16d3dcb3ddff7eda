// Spoken names: mnemonics dropped, formula punctuation recognised, and every
// control of every property dialog member named readably and apart from its
// neighbours.

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "forms/accessible_name.h"
#include "forms/property_form.h"

namespace qzarn::forms {
namespace {

TEST(AccessibleName, CaptionsLoseTheirMnemonicOnly) {
  const std::pair<const char*, const char*> cases[] = {
      {"軌跡(&K)", "軌跡"},
      {"&X ≦", "X ≦"},
      {"ﾌｫﾝﾄ(&F)...", "ﾌｫﾝﾄ..."},
      {"A&&B", "A&B"},
      {"R&&D(&&)", "R&D(&)"},
      {"OK", "OK"},
      {"  点(&P) ", "点"},
      {"&", ""},
      {"(&", "("},
      {"次の条件式が真のとき図形を表示する(&J)", "次の条件式が真のとき図形を表示する"},
  };
  for (const auto& [caption, spoken] : cases)
    EXPECT_EQ(SpokenCaption(caption), spoken) << caption;
}

TEST(AccessibleName, PunctuationAloneIsNoName) {
  const std::pair<const char*, bool> cases[] = {
      {"", true},      {"(", true},         {",", true},       {"≦", true},      {") +", true},
      {")² =", true},  {"▲", true},         {"：", true},      {"ﾟ", true},      {"x +", false},
      {"= 0", false},  {"ｙ =", false},     {"X 座標", false}, {"ｷｬﾝｾﾙ", false}, {"＝０", false},
      {"\xff", false}, {"\xe2\x89", false},
  };
  for (const auto& [text, punctuation] : cases)
    EXPECT_EQ(PunctuationOnly(text), punctuation) << text;
  EXPECT_FALSE(UsableName("軌跡(&K)"));
  EXPECT_FALSE(UsableName("≦"));
  EXPECT_TRUE(UsableName("定義域の始め"));
}

TEST(AccessibleName, EveryMemberControlHasItsOwnReadableName) {
  for (const MemberSpec* m : AllMembers()) {
    SCOPED_TRACE(m->class_name);
    std::map<std::string, std::string> seen;
    for (const ControlSpec& c : m->controls) {
      const std::string name = ControlName(*m, c);
      EXPECT_TRUE(UsableName(name)) << c.id << ": " << name;
      const auto [at, fresh] = seen.emplace(name, std::string(c.id));
      EXPECT_TRUE(fresh) << c.id << " and " << at->second << " are both " << name;
    }
  }
}

}  // namespace
}  // namespace qzarn::forms
