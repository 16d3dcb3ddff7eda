// The members of shapes made of several points and of frames: polygon,
// spline, text box and embedded object.

#include <utility>

#include "forms/property_members_common.h"

namespace qzarn::forms {

namespace {

// ---- Polygon and spline: up to 31 points chosen in order --------------------------

inline constexpr std::array<std::string_view, kPolygonVertices> kVertexCaptions = {
    "1",  "2",  "3",  "4",  "5",  "6",  "7",  "8",  "9",  "10", "11", "12", "13", "14", "15", "16",
    "17", "18", "19", "20", "21", "22", "23", "24", "25", "26", "27", "28", "29", "30", "31"};
inline constexpr std::array<std::string_view, kPolygonVertices> kVertexIds = {
    "Refs0",  "Refs1",  "Refs2",  "Refs3",  "Refs4",  "Refs5",  "Refs6",  "Refs7",
    "Refs8",  "Refs9",  "Refs10", "Refs11", "Refs12", "Refs13", "Refs14", "Refs15",
    "Refs16", "Refs17", "Refs18", "Refs19", "Refs20", "Refs21", "Refs22", "Refs23",
    "Refs24", "Refs25", "Refs26", "Refs27", "Refs28", "Refs29", "Refs30"};
// Vertices are laid out four to a row.
inline constexpr int kVerticesPerRow = 4;

constexpr std::array<ControlSpec, kPolygonVertices> Vertices() {
  std::array<ControlSpec, kPolygonVertices> out{};
  for (int k = 0; k < kPolygonVertices; ++k)
    out[static_cast<std::size_t>(k)] = {
        .kind = ControlKind::kReference,
        .id = kVertexIds[static_cast<std::size_t>(k)],
        .caption = kVertexCaptions[static_cast<std::size_t>(k)],
        .field = "Refs",
        .page = kDefinitionPage,
        .index = k,
        .refs = kPointSelector,
        .flags = kDefinition | (k % kVerticesPerRow != 0 ? kSameRow : 0u)};
  return out;
}

constexpr auto kPolyControls =
    Join(std::array{NameBox("多角形(&S)")}, Vertices(), Condition(),
         std::array{Size("SizeL", "線の太さ(&S)", kAtLeastOne, {"DispL"}), LineStyle(),
                    Check("DispL", "線を表示(&V)"), Check("DispP", "名前を表示(&D)"),
                    Check("DispZ", "面積を表示(&Z)"), Check("DispB", "塗りつぶす(&B)"),
                    Colour("LineColor", "線の色(&1)", {"DispL"}),
                    ControlSpec{.kind = ControlKind::kChoice,
                                .id = "StyleB",
                                .caption = "塗りつぶし(&P)",
                                .field = "StyleB",
                                .page = kDisplayPage,
                                .choices = kFillChoices,
                                .enable = {"DispB"}},
                    Colour("ColorB", "塗りつぶしの色(&2)", {"DispB"}),
                    // Dir holds the decimals of the area label.
                    Decimals("Dir", "小数点以下の桁数(&K)"), FontButton({"DispP", "DispZ"})});

constexpr auto kSplineControls =
    Join(std::array{NameBox("曲線(&S)")}, Vertices(),
         std::array{Check("DispP", "閉曲線(&C)", kDefinitionPage, kDefinition)}, Condition(),
         std::array{Size("SizeL", "線の太さ(&S)", kAtLeastOne, {"DispL"}), LineStyle(),
                    Check("DispL", "線を表示(&V)"), Colour("LineColor", "線の色(&1)", {"DispL"})});

int ChosenVertices(const PropertyForm& form) {
  int chosen = 0;
  for (std::string_view id : kVertexIds)
    chosen += form.SelectedReference(form.IndexOf(id)) >= 0 ? 1 : 0;
  return chosen;
}

template <int Least>
std::optional<FormFailure> CheckVertexCount(PropertyForm& form, ExprEngine&, FormPrompts&) {
  if (ChosenVertices(form) >= Least) return std::nullopt;
  const std::string_view message =
      Least == 3 ? "３つ以上の点を指定して下さい．" : "２つ以上の点を指定して下さい．";
  return FormFailure{std::string(message), kDefinitionPage, kVertexIds[0]};
}

// ---- Frames: text box and embedded object ----------------------------------------

inline constexpr int kTextPage = 3;
inline constexpr std::array<std::string_view, 4> kTextBoxPages = {"定義", "条件式", "表示", "文字"};
inline constexpr std::array<std::string_view, 7> kSpacingChoices = {"0", "1", "2", "3",
                                                                    "4", "5", "10"};
inline constexpr std::array<std::string_view, 4> kViewModeChoices = {"標準", "中央", "等倍",
                                                                     "拡大"};
inline constexpr std::array<std::string_view, kTextLines> kTextLineIds = {
    "Lines0", "Lines1", "Lines2", "Lines3", "Lines4",
    "Lines5", "Lines6", "Lines7", "Lines8", "Lines9"};
// What a screen reader calls each line of the text.
inline constexpr std::array<std::string_view, kTextLines> kTextLineNames = {
    "1 行目", "2 行目", "3 行目", "4 行目", "5 行目",
    "6 行目", "7 行目", "8 行目", "9 行目", "10 行目"};
inline constexpr int kTextLineLength = 60;

constexpr std::array<ControlSpec, kTextLines> TextLines() {
  std::array<ControlSpec, kTextLines> out{};
  for (int k = 0; k < kTextLines; ++k)
    out[static_cast<std::size_t>(k)] = {.kind = ControlKind::kText,
                                        .id = kTextLineIds[static_cast<std::size_t>(k)],
                                        .field = "Lines",
                                        .page = kTextPage,
                                        .index = k,
                                        .max_length = kTextLineLength,
                                        .name = kTextLineNames[static_cast<std::size_t>(k)]};
  return out;
}

constexpr ControlSpec Spacing(std::string_view field, std::string_view caption) {
  return {.kind = ControlKind::kSize,
          .id = field,
          .caption = caption,
          .field = field,
          .page = kDisplayPage,
          .choices = kSpacingChoices};
}

// The frame line, the background and the layer.
constexpr std::array<ControlSpec, 7> FrameDisplay() {
  return {Check("DispL", "枠を表示(&W)"),
          Size("SizeL", "線の太さ(&S)", kAtLeastOne, {"DispL"}),
          LineStyle(),
          Colour("RimColor", "枠の色(&1)", {"DispL"}),
          Check("DispBk", "背景を塗る(&B)"),
          Colour("ColorBk", "背景色(&2)", {"DispBk"}),
          Check("IsFront", "座標軸の前に表示(&M)")};
}

constexpr auto kCharControls = Join(
    std::array{NameBox("文字(&O)", kUpperCase)},
    PointOrPair("Ref0", "FX0", "FY0", "左上(&1)", "PointName1", "左上の X 座標", "左上の Y 座標"),
    PointOrPair("Ref1", "FX1", "FY1", "右下(&2)", "PointName2", "右下の X 座標", "右下の Y 座標"),
    Condition(), FrameDisplay(),
    std::array{Check("IsIcon", "文字に合わせて枠を決める(&A)"), Spacing("CharW", "枠との間隔(&G)"),
               Spacing("CharX", "文字の間隔(&X)"), Spacing("CharY", "行の間隔(&Y)"), FontButton()},
    TextLines());

constexpr auto kObjectControls = Join(
    std::array{NameBox("ｵﾌﾞｼﾞｪｸﾄ(&O)", kUpperCase)},
    PointOrPair("Ref0", "FX0", "FY0", "左下(&1)", "PointName1", "左下の X 座標", "左下の Y 座標"),
    PointOrPair("Ref1", "FX1", "FY1", "右上(&2)", "PointName2", "右上の X 座標", "右上の Y 座標"),
    Condition(), FrameDisplay(),
    std::array{ControlSpec{.kind = ControlKind::kChoice,
                           .id = "SizeM",
                           .caption = "表示方法(&D)",
                           .field = "SizeM",
                           .page = kDisplayPage,
                           .choices = kViewModeChoices},
               Check("IsIcon", "ｱｲｺﾝで表示(&I)")});

constexpr TwoPointRule kCorners{"Ref0", "FX0", "FY0", "Ref1", "FX1", "FY1"};

constexpr MemberSpec kMembers[] = {
    {.class_name = "TPro_Poly",
     .caption = "多角形",
     .figure_type = kPolyFigure,
     .handling = Handling::kCopy,
     .names = "S S0-9",
     .help_context = 1015,
     .pages = kStandardPages,
     .controls = kPolyControls,
     .needs = kNeedsThreePoints,
     .duplicate_message = "点が重複しています．",
     .check = CheckVertexCount<3>,
     .locus_button = false},
    {.class_name = "TPro_Spl",
     .caption = "スプライン曲線",
     .figure_type = kSplineFigure,
     .handling = Handling::kCopy,
     .names = "S S0-9",
     .help_context = 1018,
     .pages = kStandardPages,
     .controls = kSplineControls,
     .needs = kNeedsTwoPoints,
     .duplicate_message = "点が重複しています．",
     .check = CheckVertexCount<2>,
     .locus_button = false},
    {.class_name = "TPro_Char",
     .caption = "文字",
     .figure_type = kCharFigure,
     .handling = Handling::kInPlace,
     .names = "O O1-9",
     .help_context = 1016,
     .pages = kTextBoxPages,
     .controls = kCharControls,
     .two_points = kCorners,
     .locus_button = false},
    {.class_name = "TPro_OLE",
     .caption = "ｵﾌﾞｼﾞｪｸﾄ",
     .figure_type = kOleFigure,
     .handling = Handling::kInPlace,
     .names = "O O1-9",
     .help_context = 1010,
     .pages = kStandardPages,
     .controls = kObjectControls,
     .two_points = kCorners,
     .locus_button = false},
};

}  // namespace

std::span<const MemberSpec> ShapeMembers() {
  return kMembers;
}

}  // namespace qzarn::forms
