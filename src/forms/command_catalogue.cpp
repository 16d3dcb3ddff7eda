#include "forms/command_catalogue.h"

#include <algorithm>

namespace qzarn::forms {

namespace {

using K = CommandKind;
using S = ButtonStyle;

constexpr int kButtonWidth = 23;

// One defined command: number, caption, long name, hint, action; a button of
// width 23 with its icon unless `kind`, `width` and `style` say otherwise.
struct Row {
  int number;
  std::string_view caption;
  std::string_view long_name;
  std::string_view hint;
  std::string_view action;
  K kind = K::kButton;
  int width = kButtonWidth;
  S style = S::kPlain;
};

constexpr Row kRows[] = {
    {0, "", "ｾﾊﾟﾚｰﾀ", "", ""},
    {1, "新規", "画面の新規作成", "新規(Ctrl+N)", "M_New"},
    {2, "開く", "既存のファイルを開く", "開く(Ctrl+O)", "M_Open"},
    {3, "上書保存", "編集中の画面を上書き保存", "上書保存(Ctrl+S)", "M_Save"},
    {4, "名前を付けて保存", "編集中の画面に名前を付けて保存", "名前を付けて保存", "M_SaveAs"},
    {5, "ｲﾒｰｼﾞ保存", "編集中の画面をイメージとして保存", "イメージとして保存", "M_SaveImage"},
    {6, "印刷", "編集中の画面を印刷", "印刷(Ctrl+P)", "M_Print"},
    {7, "ﾌﾟﾘﾝﾀ", "プリンタの設定", "プリンタの設定", "M_PrinterSetup"},
    {8, "カット", "選択した図形をカット", "カット(Ctrl+X)", "M_Cut"},
    {9, "コピー", "選択した図形をコピー", "コピー(Ctrl+C)", "M_Copy"},
    {10, "貼り付け", "図形を貼り付け", "貼り付け(Ctrl+V)", "M_Paste"},
    {11, "図形ﾂｰﾙﾊﾞｰ", "図形ツールバーを表示", "図形ツールバー", "M_ToolBar2", K::kButton,
     kButtonWidth, S::kCheck},
    {12, "変数ﾊﾟﾚｯﾄ", "変数パレットを表示", "変数パレット", "sPop_Standard", K::kButton,
     kButtonWidth, S::kDropDown},
    {13, "ﾊﾟﾚｯﾄの編集", "変数パレットの編集", "変数パレットの編集", "AjustPedit"},
    {14, "図形ﾘｽﾄ", "図形リストを表示", "図形リスト", "AjustList"},
    {15, "変数ﾃｰﾌﾞﾙ", "変数テーブルを表示", "変数テーブル", "AjustTable"},
    {16, "", "編集画面のズーム", "ズーム", "", K::kCombo, 59, S::kDivider},
    {17, "図形ｲﾝﾎﾟｰﾄ", "MS-DOS版Q-ZARN図形のｲﾝﾎﾟｰﾄ", "図形のインポート", "M_ImportFigures"},
    {18, "関数ｲﾝﾎﾟｰﾄ", "MS-DOS版Q-ZARN関数のｲﾝﾎﾟｰﾄ", "関数のインポート", "M_ImportFunctions"},
    {19, "教材", "シミュレーション教材", "シミュレーション教材", "M_Launcher"},
    {20, "中間式", "中間式の編集", "中間式", "EditEqu"},
    {21, "", "編集画面のズーム", "ズーム", "", K::kSpin, 58},
    {22, "元に戻す", "元に戻す", "元に戻す(Ctrl+Z)", "M_Undo"},
    {23, "一時保存", "一時保存", "一時保存(Ctrl+A)", "M_SaveDo"},
    {24, "やり直し", "やり直し", "やり直し(Ctrl+Y)", "M_Repeat"},
    {50, "座標系", "座標系の設定", "座標系の設定", "M_Zahyo"},
    {51, "点", "点", "点", "InsertPoint"},
    {52, "分点", "分点", "分点", "InsertBunten"},
    {53, "交点", "交点", "交点", "InsertCross"},
    {54, "垂線の足", "垂線の足", "垂線の足", "InsertSuisen"},
    {55, "角の等分", "角の等分", "角の等分", "InsertAngle"},
    {56, "角度", "角度", "角度", "InsertAngle2"},
    {57, "直線", "直線（種類を選択）", "直線", "MenuLineP2", K::kButton, kButtonWidth,
     S::kDropDown},
    {58, "円", "円（種類を選択）", "円", "MenuCircleP2", K::kButton, kButtonWidth, S::kDropDown},
    {59, "放物線", "放物線（種類を選択）", "放物線", "MenuIHoubP2", K::kButton, kButtonWidth,
     S::kDropDown},
    {60, "関数", "関数（種類を選択）", "関数", "I_FuncYo", K::kButton, kButtonWidth, S::kDropDown},
    {61, "関数の交点", "関数の交点", "関数の交点", "InsertCross2"},
    {62, "接線・法線", "関数の接線・法線", "関数の接線・法線", "InsertSessen"},
    {63, "面積", "関数の面積", "関数の面積", "InsertMenseki"},
    {64, "多角形", "多角形", "多角形", "InsertPoly"},
    {65, "ｵﾌﾞｼﾞｪｸﾄ", "オブジェクト", "オブジェクト", "InsertOLE"},
    {66, "文字", "文字", "文字", "InsertChar"},
    {67, "直線(2点)", "直線（２点指定）", "直線(２点指定)", "MenuLineP2"},
    {68, "直線(一般)", "直線（一般形）", "直線(一般形)", "MenuLineK2"},
    {69, "直線(標準)", "直線（標準形）", "直線(標準形)", "MenuLineH2"},
    {70, "放物線(頂点)", "放物線（頂点指定）", "放物線(頂点指定)", "MenuIHoubP2"},
    {71, "放物線(一般)", "放物線（一般形）", "放物線(一般形)", "MenuIHoubK2"},
    {72, "放物線(標準)", "放物線（標準形）", "放物線(標準形)", "MenuIHoubS2"},
    {73, "円(中心)", "円（中心指定）", "円(中心指定)", "MenuCircleP2"},
    {74, "円(3点)", "円（３点指定）", "円(３点指定)", "MenuCircleP3"},
    {75, "円(一般)", "円（一般形）", "円(一般形)", "MenuCircleK2"},
    {76, "円(標準)", "円（標準形）", "円(標準形)", "MenuCircleH2"},
    {77, "陽関数", "陽関数", "陽関数", "I_FuncYo"},
    {78, "陰関数", "陰関数/領域", "陰関数/領域", "I_FuncIn"},
    {79, "媒介変数", "媒介変数の関数", "媒介変数の関数", "I_FuncBi"},
    {80, "極方程式", "極方程式", "極方程式", "I_FuncKy"},
    {81, "数式", "Microsoft 数式ｴﾃﾞｨﾀ", "数式エディタ", ""},
    {82, "JS数式", "JS数式作成", "JS数式作成", ""},
    {83, "ｽﾌﾟﾗｲﾝ", "ｽﾌﾟﾗｲﾝ曲線", "スプライン曲線", "InsertSpline"},
    {100, "図形の設定", "図形の設定", "図形の設定", "M_Figure"},
    {101, "軌跡の設定", "軌跡の設定", "軌跡の設定", "M_KisekiSet"},
    {102, "軌跡のクリア", "軌跡のクリア", "軌跡のクリア", "M_KisekiErase"},
    {103, "", "図形の色", "色", "", K::kCombo, 76},
    {104, "", "図形のサイズ", "図形のサイズ", "", K::kCombo, 50},
    {105, "", "図形のスタイル", "図形のスタイル", "", K::kCombo, 79},
    {106, "", "図形の塗り潰し", "図形の塗り潰し", "", K::kCombo, 79},
    {107, "", "文字の種類", "文字の種類", "", K::kCombo, 117},
    {108, "", "文字の色", "文字の色", "", K::kCombo, 76},
    {109, "", "文字の大きさ", "文字の大きさ", "", K::kCombo, 50},
    {110, "", "図形の内部や背景の色", "内部色", "", K::kCombo, 76},
};

std::array<CommandEntry, kCatalogueSize> BuildCatalogue() {
  std::array<CommandEntry, kCatalogueSize> catalogue{};
  for (int n = 0; n < kCatalogueSize; ++n)
    catalogue[static_cast<std::size_t>(n)].Number = n;
  for (const Row& row : kRows) {
    CommandEntry& e = catalogue[static_cast<std::size_t>(row.number)];
    e.Kind = row.kind;
    e.Width = row.width;
    e.Style = row.style;
    e.Caption = row.caption;
    e.LongName = row.long_name;
    e.Hint = row.hint;
    e.Action = row.action;
    // Buttons show the icon of their number; the separator and the controls have none.
    e.ImageIndex = row.kind == K::kButton && row.number != 0 ? row.number : -1;
  }
  return catalogue;
}

constexpr int kDefault1[] = {1,  2, 3,  6,  0,  22, 24, 23, 0, 8, 9,
                             10, 0, 11, 12, 13, 14, 20, 15, 0, 21};
constexpr int kDefault2[] = {50, 51, 52, 53, 54, 55, 56, 57, 58, 59, 60, 61, 62, 63, 64, 66};
constexpr int kDefault3[] = {100, 102, 101, 0, 103, 104, 105, 106, 110, 107, 108, 109};

// A group of the layout string as a whole number; false when it is not one.
bool ReadGroup(std::string_view group, int& value) {
  if (group.empty()) return false;
  value = 0;
  for (char c : group) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  return true;
}

}  // namespace

const std::array<CommandEntry, kCatalogueSize>& CommandCatalogue() {
  static const std::array<CommandEntry, kCatalogueSize> catalogue = BuildCatalogue();
  return catalogue;
}

const CommandEntry* CatalogueEntry(int number) {
  if (number < 0 || number >= kCatalogueSize) return nullptr;
  const CommandEntry& e = CommandCatalogue()[static_cast<std::size_t>(number)];
  return e.defined() ? &e : nullptr;
}

std::span<const int> DefaultToolbarLayout(int bar) {
  switch (bar) {
    case 1:
      return kDefault1;
    case 2:
      return kDefault2;
    case 3:
      return kDefault3;
    default:
      return {};
  }
}

ToolbarLoad LoadToolbarLayout(int bar, std::string_view layout) {
  ToolbarLoad load;
  for (std::size_t at = 0; at < layout.size(); at += 4) {
    int value = 0;
    if (!ReadGroup(layout.substr(at, 4), value)) {
      const std::span<const int> fallback = DefaultToolbarLayout(bar);
      load.commands.assign(fallback.begin(), fallback.end());
      load.reset = true;
      load.truncated = false;
      return load;
    }
    if (CatalogueEntry(value - kLayoutNumberBase) == nullptr) continue;
    // A hostile string is read to its end (a later group may still be
    // malformed) but places no more than a tool bar holds.
    if (static_cast<int>(load.commands.size()) >= kMaxToolbarControls) {
      load.truncated = true;
      continue;
    }
    load.commands.push_back(value - kLayoutNumberBase);
  }
  return load;
}

std::string SaveToolbarLayout(std::span<const int> commands) {
  std::string layout;
  for (int number : commands)
    if (CatalogueEntry(number) != nullptr) layout += std::to_string(kLayoutNumberBase + number);
  return layout;
}

int ToolbarDropIndex(std::span<const int> centres, int x) {
  const auto it = std::find_if(centres.begin(), centres.end(), [x](int c) { return c > x; });
  return static_cast<int>(it - centres.begin());
}

std::string ToolbarResetMessage(int bar) {
  return "設定ﾌｧｲﾙに誤りがあります．\n｢ﾂｰﾙﾊﾞｰ" + std::to_string(bar) + "｣を初期設定に戻します．";
}

}  // namespace qzarn::forms
