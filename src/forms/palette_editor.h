#pragma once
// The palette editor (変数ﾊﾟﾚｯﾄの編集, TEditValue_E) apart from its window: the
// labels and variable boxes on the design surface, selection and marks,
// dragging with grid snapping, the property rows with their limits, the
// editor's own clipboard and the write-back into the screen's palette entries.
//
// Positions are relative to the surface's upper-left corner as the palette
// shows them (the stored position + 1).

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "forms/variable_palette.h"

namespace qzarn {

class FigureExpressions;
class Screen;

inline constexpr int kPaletteEditorHelpContext = 2030;
inline constexpr int kPaletteObjectLimit = 200;
// The design area at 96 dpi: the largest surface the palette can have.
inline constexpr int kDesignAreaWidth = 426;
inline constexpr int kDesignAreaHeight = 351;
inline constexpr int kMinSurfaceWidth = 20;
inline constexpr int kMinSurfaceHeight = 10;
inline constexpr int kPaletteGrid = 4;
// a..z, a1..z9: variable index = letter + 26 × row.
inline constexpr int kPaletteVariableCount = 260;
// A label keeps at most this many bytes of its caption.
inline constexpr int kPaletteCaptionBytes = 200;
// Property limits.
inline constexpr double kPaletteValueLimit = 10000.0;
inline constexpr double kPaletteStepLimit = 1000.0;
inline constexpr int kShiftJisCharset = 128;

inline constexpr const char* kDeleteAllQuestion = "すべてのオブジェクトを削除してよいですか？";
inline constexpr const char* kUseCurrentValuesQuestion =
    "現在編集中の値を使う場合　”はい”\r\rすべての値を初期値に戻す場合　”いいえ”　\r";
// Refusals of the property rows.
inline constexpr const char* kMinimumAboveMaximumMessage = "最小値が最大値を超えています．";
inline constexpr const char* kStepNotPositiveMessage =
    "間隔には 0 より大きい値を指定してください．";
inline constexpr const char* kCaptionNotStorableMessage = "この文字はラベルに使えません．";

struct PaletteFont {
  std::string name;          // UTF-8
  int size = 10;             // points
  std::uint32_t colour = 0;  // 0x00BBGGRR
  int style = 0;             // 1 bold, 2 italic, 4 underline, 8 strike-out
  int charset = kShiftJisCharset;
  bool bold() const { return (style & 1) != 0; }
  bool operator==(const PaletteFont&) const = default;
};

struct PaletteRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  int right() const { return left + width; }
  int bottom() const { return top + height; }
  bool Contains(int x, int y) const { return x >= left && x < right() && y >= top && y < bottom(); }
  bool Overlaps(const PaletteRect& o) const {
    return left < o.right() && o.left < right() && top < o.bottom() && o.top < bottom();
  }
};

enum class PaletteObjectKind { kLabel, kBox };

struct PaletteObject {
  PaletteObjectKind kind = PaletteObjectKind::kLabel;
  std::string caption;  // a label's text, UTF-8
  int variable = 0;     // a box's variable index
  PaletteRect rect;     // a label's size follows its text
  double minimum = -100;
  double maximum = 100;
  double initial = 0;
  double step = 0.1;
  double value = 0;
  PaletteFont font;
  bool box() const { return kind == PaletteObjectKind::kBox; }
};

// Variable index <-> variable; the name ("a", "b1") of an index.
PaletteVariable VariableOfIndex(int index);
int IndexOfVariable(PaletteVariable v);
std::string VariableIndexName(int index);

// How the screen treats each of the 260 variables.
enum class VariableUse { kFree, kUsed, kNotFree };
std::vector<VariableUse> ClassifyVariables(const Screen& screen);
// An entry of the variable list: " a(使用中)", " b(使用不可)", " c".
std::string VariableListEntry(int index, VariableUse use);

// The new left (or top) edge of an object dragged to `offset` from the
// surface's edge: on the 4-pixel grid while snapping.
int SnapToGrid(int offset, bool snap);
// The surface's size kept within 20 × 10 and the design area.
PaletteRect ClampSurface(int width, int height);

// Outcome of a property row entry.
enum class PropertyResult {
  kStored,   // stored as entered
  kLimited,  // replaced by a limit; the row shows the stored value
  kIgnored,  // not a number: nothing changes
  kRefused,  // refused with `message`; nothing changes
};
struct PropertyOutcome {
  PropertyResult result = PropertyResult::kIgnored;
  std::string message;
};

// Tool-bar state of the editor.
struct PaletteEditorTools {
  bool clear = false;   // 新規作成
  bool create = false;  // ラベル作成, 変数作成
  bool cut = false;
  bool copy = false;
  bool paste = false;
};

class PaletteEditorForm {
 public:
  // The size a label takes for its caption in its font (the window measures).
  using MeasureText = std::function<std::pair<int, int>(const std::string&, const PaletteFont&)>;

  PaletteEditorForm(MeasureText measure, const PaletteFont& initial_font);

  // Removes every object and loads the screen's entries and palette size;
  // nothing is selected afterwards.
  void Load(const Screen& screen);

  const std::vector<PaletteObject>& objects() const { return objects_; }
  const PaletteRect& surface() const { return surface_; }
  void ResizeSurface(int width, int height);
  bool grid() const { return grid_; }
  void SetGrid(bool on) { grid_ = on; }
  PaletteEditorTools tools() const;

  // Selection: one object, plus the objects marked by a rubber band.
  int selected() const { return selected_; }
  bool marked(int index) const;
  int markedCount() const;
  // Pressing on an object selects it (marks stay when it is marked, so that
  // the group can be dragged); -1 clears the selection and the marks.
  void Select(int index);
  // The topmost object under the point, -1 for none.
  int ObjectAt(int x, int y) const;
  // Whether the point lies on the selected box's sizing square.
  bool OnSizeHandle(int x, int y) const;
  static PaletteRect SizeHandle(const PaletteRect& box);
  // Marks every object overlapping the rectangle (any corner order).
  void MarkRectangle(int x0, int y0, int x1, int y1);

  // Drags the object (and, when it is marked, every marked object by the same
  // offset) so that its upper-left corner goes to (left, top), snapped to the
  // grid unless `snap` is off, and kept inside the surface.
  void DragTo(int index, int left, int top, bool snap);
  // Sizes the selected box, kept inside the surface.
  void ResizeSelected(int width, int height);

  // The label and box fonts for new objects.
  const PaletteFont& labelFont() const { return label_font_; }
  const PaletteFont& boxFont() const { return box_font_; }

  // ラベル作成 / 変数作成: at the surface's corner, selected. False at the limit.
  bool CreateLabel();
  bool CreateBox();
  // 新規作成 after the question: removes every object.
  void Clear();
  // The internal clipboard.
  bool Copy();
  bool Cut();
  bool DeleteSelection();
  bool Paste();
  bool holdsCopy() const { return clipboard_.has_value(); }

  // The property rows of the selected object. Numeric rows take the text as
  // the user typed it.
  PropertyOutcome SetCaption(std::string_view text);
  PropertyOutcome SetMinimum(std::string_view text);
  PropertyOutcome SetMaximum(std::string_view text);
  PropertyOutcome SetInitial(std::string_view text);
  PropertyOutcome SetStep(std::string_view text);
  // Refused (false) for a variable that is not free or out of range.
  bool SetVariable(int index, const std::vector<VariableUse>& uses);
  // The font dialog's choice, or the colour alone; becomes the font of new
  // objects of the same kind.
  void SetFont(const PaletteFont& font);
  void SetColour(std::uint32_t colour);

  // Adds finished objects (the wizard's), as far as the limit allows; returns
  // how many were added.
  int AddObjects(const std::vector<PaletteObject>& objects);

  // OK's first check: the name of a variable two boxes share.
  std::optional<std::string> DuplicateVariable() const;
  // Writes the design into the screen: every entry emptied, labels first,
  // then boxes, each in creation order; a box's value is its variable's
  // present value (clamped to the box) when `use_current`, else its initial
  // value. The palette size is stored and the screen marked modified.
  void Store(Screen& screen, bool use_current) const;

 private:
  PaletteObject* Selected();
  void Measure(PaletteObject& label) const;
  void KeepInside(PaletteRect& r) const;
  bool Add(PaletteObject object);
  void RemoveMarkedOrSelected();

  MeasureText measure_;
  std::vector<PaletteObject> objects_;
  std::vector<bool> marks_;
  PaletteRect surface_;
  int selected_ = -1;
  bool grid_ = true;
  PaletteFont label_font_;
  PaletteFont box_font_;
  std::optional<PaletteObject> clipboard_;
};

// "変数名" + '"' + name + '"' + " が重複しています．"
std::string DuplicateVariableMessage(std::string_view name);

// After the editor's OK the palette starts at the stored values: each box's
// variable takes its entry's current value. Returns how many changed.
int ApplyStoredPaletteValues(Screen& screen, FigureExpressions& expressions);

}  // namespace qzarn
