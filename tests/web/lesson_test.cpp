// The lesson behind the web page, without the browser: figure look-up against the
// command-line dump, the scripting interface's variables, the palettes and the player.
#include "web/lesson.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/json_value.h"
#include "document/screen.h"
#include "engine/locus.h"
#include "forms/anime_player.h"
#include "platform/binary_io.h"
#include "render/recording_canvas.h"

namespace qzarn::web {
namespace {

using testing_support::Json;
using testing_support::JsonParser;
using Anime = Lesson::AnimeCommand;

std::string SheetPath(const std::string& name) {
  return (std::filesystem::path(QZARN_SOURCE_DIR) / "examples" / "gallery" / (name + ".qzl"))
      .string();
}

std::vector<std::uint8_t> SheetBytes(const std::string& name) {
  std::vector<std::uint8_t> bytes;
  std::string error;
  EXPECT_TRUE(ReadFileBytes(SheetPath(name), bytes, error)) << error;
  return bytes;
}

Json Parse(const std::string& text) {
  const std::optional<Json> json = JsonParser(text).Parse();
  EXPECT_TRUE(json.has_value()) << text;
  return json.value_or(Json{});
}

// A lesson of one gallery sheet, drawn once as the page does on opening.
struct LoadedLesson {
  Lesson lesson;
  explicit LoadedLesson(const std::string& sheet) {
    EXPECT_FALSE(lesson.AddScreen(SheetBytes(sheet), sheet).has_value());
    Draw();
  }
  void Draw() {
    render::RecordingCanvas canvas({lesson.SurfaceSize().width, lesson.SurfaceSize().height});
    lesson.Draw(canvas);
  }
  double Variable(const std::string& name) const {
    return Parse(lesson.VariablesJson())[name].number;
  }
  Json Palettes() const { return Parse(lesson.PalettesJson()); }
};

std::string RunDump(const std::string& path) {
  std::string out;
  FILE* p = ::popen((std::string(QZARN_CLI) + " dump '" + path + "'").c_str(), "r");
  if (p == nullptr) return out;
  char buf[65536];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, p)) > 0)
    out.append(buf, n);
  EXPECT_EQ(::pclose(p), 0);
  return out;
}

bool SameValue(const Json& a, const Json& b) {
  if (a.kind != b.kind) return false;
  switch (a.kind) {
    case Json::Kind::kNumber:
      return a.number == b.number ||
             std::fabs(a.number - b.number) <= 1e-12 * std::max(1.0, std::fabs(a.number));
    case Json::Kind::kString:
      return a.text == b.text;
    case Json::Kind::kBool:
      return a.boolean == b.boolean;
    case Json::Kind::kArray:
      if (a.items.size() != b.items.size()) return false;
      for (std::size_t i = 0; i < a.items.size(); ++i)
        if (!SameValue(a.items[i], b.items[i])) return false;
      return true;
    default:
      return true;
  }
}

// qzarn.figure(name) promises the dump's field names and computed values: every named
// figure of these sheets, first of its name, field by field.
TEST(LessonTest, FigureMatchesTheCommandLineDump) {
  for (const char* sheet : {"triangle_centres", "circle_tangents", "unit_circle_sine",
                            "midpoint_locus", "complex_plane", "conic_sections"}) {
    SCOPED_TRACE(sheet);
    LoadedLesson l(sheet);
    const Json dump = Parse(RunDump(SheetPath(sheet)));
    std::vector<std::string> seen;
    int compared = 0;
    for (const Json& figure : dump["figures"].items) {
      const Json* name = figure["fields"].get("Name");
      if (name == nullptr || name->text.empty()) continue;
      if (std::find(seen.begin(), seen.end(), name->text) != seen.end()) continue;
      seen.push_back(name->text);
      const Json mine = Parse(l.lesson.FigureJson(name->text));
      ASSERT_EQ(mine.kind, Json::Kind::kObject) << name->text;
      EXPECT_EQ(mine["type"].number, figure["type"].number) << name->text;
      for (const auto& [key, value] : mine.members) {
        if (key == "type") continue;
        const Json* theirs = figure["fields"].get(key);
        ASSERT_NE(theirs, nullptr) << name->text << "." << key;
        EXPECT_TRUE(SameValue(value, *theirs)) << name->text << "." << key;
      }
      ++compared;
    }
    EXPECT_GT(compared, 0);
    EXPECT_EQ(l.lesson.FigureJson("no such figure"), "null");
  }
}

TEST(LessonTest, SetVariableTakesPaletteNamesOnly) {
  LoadedLesson l("circle_tangents");
  const std::string before = l.lesson.VariablesJson();
  struct Case {
    const char* name;
    double value;
    bool taken;
  };
  for (const Case& c : {Case{"a", 3.5, true}, Case{"B", -2, true}, Case{"c7", 1, true},
                        Case{"aa", 1, false}, Case{"", 1, false}, Case{"x0", 1, false},
                        Case{"a", std::nan(""), false}, Case{"a", INFINITY, false}}) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(l.lesson.SetVariable(c.name, c.value), c.taken);
  }
  EXPECT_EQ(l.Variable("a"), 3.5);
  EXPECT_EQ(l.Variable("b"), -2);
  EXPECT_EQ(l.lesson.Value("B"), -2);
  EXPECT_EQ(l.lesson.Value("c7"), 1) << "set, though the screen does not use it";
  EXPECT_FALSE(l.lesson.Value("aa").has_value());
  l.lesson.Reset();
  EXPECT_EQ(l.lesson.VariablesJson(), before);
}

TEST(LessonTest, UserPaletteIsReadAsDesigned) {
  LoadedLesson l("circle_tangents");
  const Json p = l.Palettes();
  EXPECT_EQ(p["mode"].number, 2);
  ASSERT_EQ(p["labels"].items.size(), 2u);
  ASSERT_EQ(p["boxes"].items.size(), 2u);
  EXPECT_EQ(p["labels"][0]["caption"].text, "P の x 座標");
  EXPECT_EQ(p["labels"][0]["left"].number, 9);  // stored one less than shown
  const Json& a = p["boxes"][0];
  EXPECT_EQ(a["name"].text, "a");
  EXPECT_EQ(a["left"].number, 91);
  EXPECT_EQ(a["top"].number, 7);
  EXPECT_EQ(a["width"].number, 90);
  EXPECT_EQ(a["text"].text, "9");
  EXPECT_EQ(a["minimum"].number, -12);
  EXPECT_EQ(a["maximum"].number, 12);
  EXPECT_EQ(a["step"].number, 0.5);
  EXPECT_EQ(a["colour"].text, "#000000");
}

TEST(LessonTest, UserPaletteBoxesStepAndClampLikeTheDesktop) {
  LoadedLesson l("circle_tangents");  // a: 9 in -12..12 by 0.5; b: 2 in -9..9 by 0.5
  struct Step {
    const char* what;
    int box;
    int direction;  // 0: type `typed`
    double typed;
    bool changed;
    const char* variable;
    double after;
  };
  for (const Step& s : {
           Step{"up", 0, 1, 0, true, "a", 9.5},
           Step{"down", 0, -1, 0, true, "a", 9},
           Step{"typed", 0, 0, 11.75, true, "a", 11.75},
           Step{"up to the maximum", 0, 1, 0, true, "a", 12},
           Step{"up at the maximum", 0, 1, 0, false, "a", 12},
           Step{"typed beyond", 1, 0, -50, true, "b", -9},
           Step{"down at the minimum", 1, -1, 0, false, "b", -9},
           Step{"not a number", 1, 0, NAN, false, "b", -9},
           Step{"no such box", 2, 1, 0, false, "b", -9},
       }) {
    SCOPED_TRACE(s.what);
    const bool changed = s.direction != 0 ? l.lesson.StepBox(s.box, s.direction)
                                          : l.lesson.SetBoxValue(s.box, s.typed);
    EXPECT_EQ(changed, s.changed);
    EXPECT_EQ(l.Variable(s.variable), s.after);
  }
  // The box shows the value, as the palette entry keeps it.
  EXPECT_EQ(l.Palettes()["boxes"][0]["value"].number, 12);
}

// What the desktop player's model gives for the same box: ten ticks of a forward play.
std::vector<double> DesktopTicks(const AnimeRange& range, double from, int ticks) {
  AnimePlayer player;
  player.PlayForward(range, from);
  std::vector<double> shown;
  for (int i = 0; i < ticks; ++i)
    if (const auto v = player.Tick()) shown.push_back(*v);
  return shown;
}

TEST(LessonTest, TenAnimationTicksGiveTheDesktopValues) {
  struct Case {
    const char* sheet;
    int box;
    const char* variable;
  };
  for (const Case& c : {Case{"unit_circle_sine", 0, "a"}, Case{"vertex_palette", 0, "a"},
                        Case{"vertex_palette", 1, "b"}, Case{"sine_family", 0, "b"}}) {
    SCOPED_TRACE(std::string(c.sheet) + " " + c.variable);
    LoadedLesson l(c.sheet);
    const Json box = l.Palettes()["boxes"][static_cast<std::size_t>(c.box)];
    ASSERT_EQ(box["name"].text, c.variable);
    const AnimeRange range{box["minimum"].number, box["maximum"].number, box["step"].number};
    const std::vector<double> expected = DesktopTicks(range, box["value"].number, 10);
    EXPECT_EQ(l.lesson.Animate(c.box, Anime::kPlayForward), Lesson::kAnimePlaying);
    std::vector<double> shown;
    for (int i = 0; i < 10; ++i) {
      l.lesson.AnimeTick();
      shown.push_back(l.Variable(c.variable));
    }
    EXPECT_EQ(shown, expected);
    EXPECT_NEAR(shown.back(), box["value"].number + 9 * box["step"].number, 1e-9);
  }
}

TEST(LessonTest, PlayerEndsAtTheLimitAndStepsClamp) {
  LoadedLesson l("vertex_palette");  // a: 1 in -3..3 by 0.1
  l.lesson.SetBoxValue(0, 2.75);
  l.lesson.Animate(0, Anime::kPlayForward);
  std::vector<double> shown;
  while (l.lesson.AnimePlaying()) {
    l.lesson.AnimeTick();
    shown.push_back(l.Variable("a"));
  }
  const std::vector<double> expected{2.75, 2.85, 2.95, 3};
  ASSERT_EQ(shown.size(), expected.size());
  for (std::size_t i = 0; i < shown.size(); ++i)
    EXPECT_NEAR(shown[i], expected[i], 1e-12);
  EXPECT_EQ(l.lesson.Animate(0, Anime::kStepForward), 0);  // at the maximum: nothing to draw
  EXPECT_EQ(l.lesson.Animate(0, Anime::kStepBack), Lesson::kAnimeChanged);
  EXPECT_NEAR(l.Variable("a"), 2.9, 1e-12);
  // Pause keeps the value; a backward play runs on from it.
  l.lesson.Animate(0, Anime::kPlayBackward);
  l.lesson.AnimeTick();
  l.lesson.AnimeTick();
  EXPECT_EQ(l.lesson.Animate(0, Anime::kPause), 0);
  EXPECT_NEAR(l.Variable("a"), 2.8, 1e-12);
  EXPECT_EQ(l.lesson.AnimeTick(), 0);
}

TEST(LessonTest, StopReturnsToTheInitialValueAndClearsTraces) {
  LoadedLesson l("vertex_palette");  // the vertex V leaves a trace
  l.lesson.Animate(0, Anime::kPlayForward);
  for (int i = 0; i < 5; ++i) {
    l.lesson.AnimeTick();
    l.Draw();
  }
  const Json traced = Parse(l.lesson.FigureJson("V"));
  EXPECT_GT(traced["TrackCount"].number, 1);
  EXPECT_EQ(l.lesson.Animate(0, Anime::kStop), Lesson::kAnimeChanged);
  EXPECT_EQ(l.Variable("a"), 1);
  EXPECT_LE(Parse(l.lesson.FigureJson("V"))["TrackCount"].number, 0);
}

TEST(LessonTest, StandardPaletteTargetUsesItsStepAndLimits) {
  LoadedLesson l("circle_tangents");
  EXPECT_EQ(l.lesson.Animate(Lesson::kStandardTarget, Anime::kStepForward), 0)
      << "no variable chosen yet";
  EXPECT_FALSE(l.lesson.SelectVariable("q"));  // not used by the screen
  ASSERT_TRUE(l.lesson.SelectVariable("b"));
  l.lesson.SetPaletteStep(0.25);
  EXPECT_EQ(l.Palettes()["variable"].text, "b");
  EXPECT_EQ(l.Palettes()["step"].number, 0.25);
  l.lesson.Animate(Lesson::kStandardTarget, Anime::kStepForward);
  EXPECT_EQ(l.Variable("b"), 2.25);
  l.lesson.SetVariable("b", 99.9);
  l.lesson.Animate(Lesson::kStandardTarget, Anime::kStepForward);
  EXPECT_EQ(l.Variable("b"), 100);
  l.lesson.Animate(Lesson::kStandardTarget, Anime::kStop);
  EXPECT_EQ(l.Variable("b"), 2) << "the published value";
}

TEST(LessonTest, ShowingAnotherScreenStopsThePlayer) {
  Lesson lesson;
  ASSERT_FALSE(lesson.AddScreen(SheetBytes("vertex_palette"), "one").has_value());
  ASSERT_FALSE(lesson.AddScreen(SheetBytes("unit_circle_sine"), "two").has_value());
  EXPECT_TRUE(lesson.AddScreen(std::vector<std::uint8_t>{1, 2, 3}, "broken").has_value());
  EXPECT_EQ(lesson.ScreenCount(), 2);
  lesson.Animate(0, Anime::kPlayForward);
  EXPECT_TRUE(lesson.AnimePlaying());
  EXPECT_TRUE(lesson.Show(1));
  EXPECT_FALSE(lesson.AnimePlaying());
  EXPECT_FALSE(lesson.Show(2));
  EXPECT_EQ(lesson.Title(1), "two");
}

}  // namespace
}  // namespace qzarn::web
