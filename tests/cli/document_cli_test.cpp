// The document subcommands of qzarn-cli: new, save and dump, run as a user would.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <limits>

#include "cli/json_value.h"
#include "document/document_file.h"
#include "document/document_file_test_support.h"
#include "engine/engine_ui.h"
#include "engine/figure_expressions.h"
#include "engine/recompute.h"
#include "expr/engine.h"

namespace qzarn {
namespace {

using namespace testing_support;
namespace fs = std::filesystem;

struct CliRun {
  int code = -1;
  std::string out;
  std::string err;
};

class DocumentCli : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("qzarn-doccli-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Path(const std::string& name) const { return (dir_ / name).string(); }

  CliRun Cli(const std::string& args) const {
    const std::string err_path = Path("stderr.txt");
    const std::string command = std::string(QZARN_CLI) + " " + args + " 2>" + err_path;
    CliRun r;
    FILE* p = ::popen(command.c_str(), "r");
    if (p == nullptr) return r;
    char buf[65536];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0)
      r.out.append(buf, n);
    const int status = ::pclose(p);
    r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::vector<std::uint8_t> err;
    std::string error;
    ReadFileBytes(err_path, err, error);
    r.err.assign(err.begin(), err.end());
    return r;
  }

  std::vector<std::uint8_t> Bytes(const std::string& name) const {
    std::vector<std::uint8_t> out;
    std::string error;
    ReadFileBytes(Path(name), out, error);
    return out;
  }

  void Write(const Screen& s, const std::string& name, bool compressed) const {
    SaveOptions o = PlainBmp();
    o.compressed = compressed;
    ASSERT_TRUE(SaveDocument(s, Path(name), o).ok);
  }

  Json Dump(const std::string& name) const {
    CliRun r = Cli("dump " + Path(name));
    EXPECT_EQ(r.code, 0) << r.err;
    auto json = JsonParser(r.out).Parse();
    EXPECT_TRUE(json.has_value()) << "not valid JSON: " << r.out.substr(0, 300);
    return json.value_or(Json{});
  }

  fs::path dir_;
};

TEST_F(DocumentCli, UsageErrorsExitWithTwo) {
  for (const char* args : {"new", "new a.qzl b.qzl", "new --bogus a.qzl", "save", "save a.qzl",
                           "save a.qzl b.qzl c.qzl", "save a.qzl b.qzl --compressed --plain",
                           "save a b --zip", "dump", "dump a.qzl b.qzl", "dump --json"}) {
    CliRun r = Cli(args);
    EXPECT_EQ(r.code, 2) << args;
    EXPECT_FALSE(r.err.empty()) << args;
  }
}

// Asked for, the version and the usage are answers, not errors: standard
// output and exit 0, as the desktop program answers them.
TEST_F(DocumentCli, VersionAndHelpAnswerWithSuccess) {
  for (const char* args : {"--version", "-v"}) {
    CliRun r = Cli(args);
    EXPECT_EQ(r.code, 0) << args;
    EXPECT_EQ(r.out.rfind("qzarn-cli (Sorvane) ", 0), 0u) << r.out;
    EXPECT_EQ(r.out.find("usage"), std::string::npos) << args;
  }
  for (const char* args : {"--help", "-h"}) {
    CliRun r = Cli(args);
    EXPECT_EQ(r.code, 0) << args;
    EXPECT_NE(r.out.find("qzarn-cli render"), std::string::npos) << args;
    EXPECT_TRUE(r.err.empty()) << args;
  }
  EXPECT_EQ(Cli("--bogus").code, 2);
}

TEST_F(DocumentCli, NewWritesAnEmptyScreen) {
  ASSERT_EQ(Cli("new " + Path("plain.qzl")).code, 0);
  ASSERT_EQ(Cli("new " + Path("packed.qzl") + " --compressed").code, 0);
  const auto plain = Bytes("plain.qzl");
  ASSERT_EQ(plain.size(), 48u + 256 + 15492 + 52 + 12);
  EXPECT_EQ(std::string(plain.begin() + 1, plain.begin() + 13), "Q-ZARN V1.05");
  const auto packed = Bytes("packed.qzl");
  EXPECT_EQ(std::string(packed.begin() + 1, packed.begin() + 13), "Q-ZARN PRESS");
  Json a = Dump("plain.qzl"), b = Dump("packed.qzl");
  EXPECT_EQ(a["tag"].text, "Q-ZARN V1.05");
  EXPECT_FALSE(a["compressed"].boolean);
  EXPECT_TRUE(b["compressed"].boolean);
  EXPECT_EQ(a["figures"].items.size(), 0u);
  EXPECT_EQ(a["equations"].items.size(), 0u);
  EXPECT_EQ(a["palette"].items.size(), 0u);
  EXPECT_EQ(a["variables"].members.size(), 260u);
  EXPECT_EQ(a["settings"]["Zoom"].number, 100);
  EXPECT_EQ(a["settings"]["Scale"].number, 25);
  EXPECT_EQ(a["axis_font"]["FontSet"].number, 128);
  EXPECT_FALSE(a["cycle_reported"].boolean);
  EXPECT_EQ(Cli("new " + Path("no/such/folder/x.qzl")).code, 1);
}

TEST_F(DocumentCli, SaveConvertsBetweenTheForms) {
  auto s = RichScreen();
  Write(*s, "in.qzl", true);
  ASSERT_EQ(Cli("save " + Path("in.qzl") + " " + Path("out.qzl")).code, 0);
  ASSERT_EQ(Cli("save " + Path("in.qzl") + " " + Path("plain.qzl") + " --plain").code, 0);
  ASSERT_EQ(Cli("save " + Path("out.qzl") + " " + Path("packed.qzl") + " --compressed").code, 0);
  std::vector<std::uint8_t> expected;
  std::string error;
  {
    // save writes the screen as one recompute pass leaves it.
    ExprEngine expr;
    FigureExpressions expressions(expr);
    SilentEngineUi ui;
    FigureEngine(expressions, ui).RecomputeScreen(*s);
  }
  // Plain by default, with the default settings' picture format (JPEG).
  ASSERT_TRUE(WritePlainDocument(*s, "out.qzl", SaveOptions{}, expected, error));
  EXPECT_EQ(Bytes("out.qzl"), expected);
  const auto packed = Bytes("packed.qzl");
  EXPECT_EQ(std::string(packed.begin() + 1, packed.begin() + 13), "Q-ZARN PRESS");
  // packed.qzl went through a second load, pass and save; the same chain
  // written plain must hold the same document.
  ASSERT_EQ(Cli("save " + Path("out.qzl") + " " + Path("again.qzl") + " --plain").code, 0);
  auto back = NewScreen();
  ASSERT_TRUE(LoadDocument(*back, Path("packed.qzl")).ok());
  auto plain_back = NewScreen();
  ASSERT_TRUE(LoadDocument(*plain_back, Path("again.qzl")).ok());
  EXPECT_EQ(Plain(*back, SaveOptions{}), Plain(*plain_back, SaveOptions{}));

  CliRun missing = Cli("save " + Path("missing.qzl") + " " + Path("x.qzl"));
  EXPECT_EQ(missing.code, 1);
  EXPECT_FALSE(missing.err.empty());
  EXPECT_FALSE(fs::exists(Path("x.qzl")));
}

// save onto a FIFO or a device, directly or through a link, fails with the reason and leaves
// the target as it was.
TEST_F(DocumentCli, SaveRefusesTargetsThatAreNotRegularFiles) {
  ASSERT_EQ(Cli("new " + Path("in.qzl")).code, 0);
  ASSERT_EQ(::mkfifo(Path("pipe.qzl").c_str(), 0600), 0);
  fs::create_symlink("pipe.qzl", Path("link.qzl"));
  for (const char* target : {"pipe.qzl", "link.qzl"}) {
    SCOPED_TRACE(target);
    const CliRun r = Cli("save " + Path("in.qzl") + " " + Path(target));
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("not a regular file"), std::string::npos) << r.err;
    EXPECT_TRUE(fs::is_fifo(Path("pipe.qzl")));
  }
}

TEST_F(DocumentCli, DumpShowsEveryBlockByName) {
  auto s = NewScreen();
  s->View().Zoom = 150;
  s->Variables().bind(0, 1, 2.5);   // a
  s->Variables().bind(3, 26, 0.1);  // z3
  FigureRecord p = FigureRecord::Blank(kPointFigure);
  p.point()->Name.assign("A");
  // The pass recomputes X and Y; the label fields, which a point keeps, carry
  // the numbers whose printing is checked.
  p.point()->LabelX = 0.1;
  p.point()->LabelY = std::numeric_limits<double>::quiet_NaN();
  p.point()->FX.assign("1+\"2\"\\\x01");
  p.point()->Ref0 = 20017;
  PlaceFigure(s->Figures, 3, std::move(p));
  s->Figures[3].Computed = 1;
  FigureRecord poly = FigureRecord::Blank(kPolyFigure);
  poly.polygon()->Refs[0] = 3;
  PlaceFigure(s->Figures, 5, std::move(poly));
  FigureRecord f = FigureRecord::Blank(kFunctionFigure);
  f.function()->FuncX.assign("x^2");
  f.function()->Name.assign("\x82\xA0");  // あ in code page 932
  PlaceFigure(s->Figures, 6, std::move(f));
  FigureRecord c3 = FigureRecord::Blank(kCross3Figure);
  c3.multi_point()->Names[2].assign("Q1");
  PlaceFigure(s->Figures, 7, std::move(c3));
  s->Equations.EquationLast = 0;
  s->Equations.Entries[0].LetterIndex = 1;
  s->Equations.Entries[0].Row = 0;
  s->Equations.Entries[0].Text.assign("a*2");
  s->PaletteItems[4].SetKind(1);
  Write(*s, "d.qzl", false);

  Json j = Dump("d.qzl");
  EXPECT_EQ(j["settings"]["Zoom"].number, 150);
  EXPECT_EQ(j["variables"]["a"].number, 2.5);
  EXPECT_EQ(j["variables"]["z3"].text, "0.10000000000000001");  // 17 significant digits
  EXPECT_EQ(j["variables"]["b1"].number, 0);
  ASSERT_EQ(j["equations"].items.size(), 1u);
  EXPECT_EQ(j["equations"][0]["variable"].text, "b");
  EXPECT_EQ(j["equations"][0]["text"].text, "a*2");
  ASSERT_EQ(j["palette"].items.size(), 1u);
  EXPECT_EQ(j["palette"][0]["index"].number, 4);
  EXPECT_EQ(j["palette"][0]["Kind"].number, 1);
  EXPECT_NE(j["palette"][0].get("Step"), nullptr);

  const Json& figs = j["figures"];
  ASSERT_EQ(figs.items.size(), 4u);
  const Json& point = figs[0];
  EXPECT_EQ(point["slot"].number, 3);
  EXPECT_EQ(point["type"].number, 2);
  EXPECT_TRUE(point["computed"].boolean);
  EXPECT_EQ(point["fields"]["Name"].text, "A");
  EXPECT_EQ(point["fields"]["X"].number, 20000);  // tied to an empty slot
  EXPECT_EQ(point["fields"]["LabelX"].text, "0.10000000000000001");
  EXPECT_EQ(point["fields"]["LabelY"].kind, Json::Kind::kNull);  // NaN
  EXPECT_EQ(point["fields"]["FX"].text, "1+\"2\"\\\\u0001");
  EXPECT_EQ(point["fields"]["Ref0"].number, 20017);
  EXPECT_EQ(point["fields"]["DispMark"].kind, Json::Kind::kBool);
  EXPECT_EQ(point["fields"].get("TrackX"), nullptr);  // locus arrays left out
  EXPECT_NE(point["fields"].get("TrackCount"), nullptr);
  EXPECT_EQ(point.get("samples"), nullptr);
  EXPECT_EQ(point["fields"].get("samples"), nullptr);
  const Json& refs = figs[1]["fields"]["Refs"];
  ASSERT_EQ(refs.kind, Json::Kind::kArray);
  EXPECT_EQ(refs.items.size(), 31u);
  EXPECT_EQ(refs[0].number, 3);
  EXPECT_EQ(figs[1]["fields"]["VX"].items.size(), 31u);
  EXPECT_EQ(figs[2]["fields"]["FuncX"].text, "x^2");
  EXPECT_EQ(figs[2]["fields"]["Name"].text, "\xE3\x81\x82");
  EXPECT_EQ(figs[2]["fields"]["samples"].kind, Json::Kind::kArray);
  EXPECT_EQ(figs[2].get("samples"), nullptr);  // inside "fields", not beside it
  const Json& names = figs[3]["fields"]["Names"];
  ASSERT_EQ(names.items.size(), 4u);
  EXPECT_EQ(names[2].text, "Q1");
  EXPECT_EQ(figs[3]["fields"]["PX"].items.size(), 4u);
}

TEST_F(DocumentCli, DumpOfAnUnreadableFileFails) {
  std::string error;
  ASSERT_TRUE(WriteFileAtomically(Path("junk.qzl"), std::vector<std::uint8_t>(100, 7), error));
  for (const char* name : {"junk.qzl", "missing.qzl"}) {
    CliRun r = Cli("dump " + Path(name));
    EXPECT_EQ(r.code, 1) << name;
    EXPECT_TRUE(r.out.empty()) << name;
    EXPECT_NE(r.err.find(name), std::string::npos) << r.err;
  }
}

}  // namespace
}  // namespace qzarn
