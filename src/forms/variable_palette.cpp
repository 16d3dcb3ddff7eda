#include "forms/variable_palette.h"

#include <algorithm>
#include <cmath>

#include "document/field_table.h"
#include "document/screen.h"
#include "engine/equations.h"
#include "engine/function_sampling.h"
#include "engine/number_format.h"
#include "expr/compiled_reader.h"
#include "expr/engine.h"
#include "forms/value_table_form.h"

namespace qzarn {

namespace {

constexpr int kPlainLetters = 26;
constexpr int kPaletteRows = 10;
// Expression fields hold up to 250 characters; names, fonts and captions less.
constexpr std::uint16_t kExpressionCapacity = 250;

// Walks the compiled items rather than the text, so that names inside
// function names or numbers never count.
void MarkText(UsedVariables& used, std::string_view text) {
  if (text.empty()) return;
  const CompileResult r = CompileExpression(NormaliseExpression(text));
  CompiledReader reader(r.compiled, CompiledReader::kWholeLength);
  ExprFlags scratch;
  for (;;) {
    const Token t = reader.Next(scratch);
    if (t.kind == TokenKind::kEnd) return;
    if (t.kind == TokenKind::kVariable) used.set(t.row, t.column, true);
  }
}

void MarkFigure(UsedVariables& used, const FigureRecord& record) {
  for (const FieldInfo* field : FieldsOfType(record.type())) {
    if (field->kind != FieldKind::kString || field->capacity != kExpressionCapacity) continue;
    for (int i = 0; i < field->count; ++i)
      if (auto text = ReadString(record.bytes(), *field, i)) MarkText(used, *text);
  }
}

// Sets the flags of the variables a function figure binds while it samples:
// they are not knobs of the screen even where its texts name them.
void SetBound(UsedVariables& flags, const FunctionRecord& r, bool on) {
  const bool recursive = r.Recursive != 0;
  switch (r.FuncKind) {
    case kExplicitCurve:
      flags.set(0, kColumnX, on);
      flags.set(0, FamilyColumnAbcwz(r.ParamVar), on);
      if (recursive) flags.set(0, kColumnY, on);
      break;
    case kParametricCurve:
      flags.set(0, ParameterColumnAbcwz(r.ParamVar), on);
      flags.set(0, FamilyColumnAbcwz(r.FamilyVar), on);
      if (recursive) {
        flags.set(0, kColumnX, on);
        flags.set(0, kColumnY, on);
      }
      break;
    case kPolarCurve:
      flags.set(0, AngleColumnNoR(r.ParamVar), on);
      flags.set(0, FamilyColumnNoR(r.FamilyVar), on);
      break;
    case kImplicitCurve:
      flags.set(0, kColumnX, on);
      flags.set(0, kColumnY, on);
      break;
    default:
      break;
  }
}

// Sets the flags of every variable the screen's function figures bind and its
// intermediate equations assign.
void SetNotFree(UsedVariables& flags, const Screen& screen, bool on) {
  for (const FigureSlot& slot : screen.Figures.slots())
    if (!slot.empty())
      if (const FunctionRecord* r = slot.Record.function()) SetBound(flags, *r, on);
  const EquationBlock& eq = screen.Equations;
  const int last = std::min<int>(eq.EquationLast, kEquationCount - 1);
  for (int i = 0; i <= last; ++i) {
    const EquationEntry& e = eq.Entries[i];
    if (e.LetterIndex >= 0 && e.LetterIndex < kPlainLetters)
      flags.set(e.Row, e.LetterIndex + 1, on);
  }
}

bool InPalette(PaletteVariable v) {
  return v.row >= 0 && v.row < kPaletteRows && v.letter >= 0 && v.letter < kPlainLetters;
}

}  // namespace

std::string PaletteVariableName(PaletteVariable v) {
  std::string name(1, static_cast<char>('a' + v.letter));
  if (v.row > 0) name += static_cast<char>('0' + v.row);
  return name;
}

std::optional<PaletteVariable> PaletteVariableFromName(std::string_view name) {
  const std::optional<VariableName> v = ParseVariableName(name);
  if (!v || v->column > kPlainLetters) return std::nullopt;
  return PaletteVariable{v->row, v->column - 1};
}

bool UsedVariables::used(int row, int column) const {
  if (row < 0 || row >= kVariableRows || column < 1 || column > kVariableColumns) return false;
  return flags_[static_cast<std::size_t>(row * kVariableColumns + column - 1)];
}

void UsedVariables::set(int row, int column, bool on) {
  if (row < 0 || row >= kVariableRows || column < 1 || column > kVariableColumns) return;
  flags_[static_cast<std::size_t>(row * kVariableColumns + column - 1)] = on;
}

std::vector<PaletteVariable> UsedVariables::PaletteList() const {
  std::vector<PaletteVariable> list;
  for (int row = 0; row < kPaletteRows; ++row)
    for (int letter = 0; letter < kPlainLetters; ++letter)
      if (used(row, letter + 1)) list.push_back({row, letter});
  return list;
}

UsedVariables CollectUsedVariables(const Screen& screen) {
  UsedVariables used;
  for (const FigureSlot& slot : screen.Figures.slots())
    if (!slot.empty()) MarkFigure(used, slot.Record);
  const EquationBlock& eq = screen.Equations;
  const int last = std::min<int>(eq.EquationLast, kEquationCount - 1);
  for (int i = 0; i <= last; ++i)
    MarkText(used, eq.Entries[i].Text.view());
  SetNotFree(used, screen, false);
  return used;
}

UsedVariables NotFreeVariables(const Screen& screen) {
  UsedVariables bound;
  SetNotFree(bound, screen, true);
  return bound;
}

bool ApplyVariableValue(Screen& screen, PaletteVariable v, double value,
                        FigureExpressions& expressions) {
  if (!InPalette(v)) return false;
  // Compared bit for bit through the value: a NaN never equals and would be
  // written again each time, so it is refused outright.
  if (std::isnan(value)) return false;
  if (screen.Variables().cell(v.row, v.column()).value() == value) return false;
  AssignVariable(screen, v.row, v.column(), value, expressions);
  screen.Modified = true;
  return true;
}

double ParsePaletteValue(std::string_view text) {
  return ParseTableValue(text);
}

std::string FormatPaletteValue(double value) {
  return FormatTableValue(value);
}

double ParsePaletteStep(std::string_view text) {
  for (char c : text)
    if (!IsPaletteStepCharacter(static_cast<unsigned char>(c))) return 0.0;
  return ParseTableValue(text);
}

std::string FormatPaletteStep(double step) {
  return FormatNumber(step, kValueTableDecimals);
}

double ClampStandardValue(double value) {
  if (std::isnan(value)) return 0.0;
  return std::clamp(value, -kStandardPaletteLimit, kStandardPaletteLimit);
}

double StandardSpinUp(double value, double step) {
  return ClampStandardValue(value + step);
}

double StandardSpinDown(double value, double step) {
  return ClampStandardValue(value - step);
}

bool IsPaletteValueCharacter(char32_t c) {
  return c < U' ' || IsTableValueCharacter(c);
}

bool IsPaletteStepCharacter(char32_t c) {
  return c < U' ' || (c >= U'0' && c <= U'9') || c == U'.';
}

void StandardPaletteForm::Load(Screen& screen) {
  list_ = CollectUsedVariables(screen).PaletteList();
  selected_ = -1;
  const std::optional<PaletteVariable> stored =
      PaletteVariableFromName(screen.View().PaletteVariable.view());
  for (std::size_t i = 0; stored && i < list_.size(); ++i)
    if (list_[i] == *stored) selected_ = static_cast<int>(i);
  if (selected_ < 0 && !list_.empty()) selected_ = 0;
  if (selected_ >= 0) Select(screen, selected_);
}

void StandardPaletteForm::Select(Screen& screen, int index) {
  if (index < 0 || index >= static_cast<int>(list_.size())) return;
  selected_ = index;
  const PaletteVariable v = list_[static_cast<std::size_t>(index)];
  ViewSettings& view = screen.View();
  view.PaletteVariable.assign(PaletteVariableName(v));
  view.PaletteRow = v.row;
  view.PaletteColumn = v.letter;
}

std::optional<PaletteVariable> StandardPaletteForm::Current() const {
  if (selected_ < 0 || selected_ >= static_cast<int>(list_.size())) return std::nullopt;
  return list_[static_cast<std::size_t>(selected_)];
}

std::string StandardPaletteForm::ValueText(const Screen& screen) const {
  const std::optional<PaletteVariable> v = Current();
  if (!v) return {};
  return FormatPaletteValue(screen.Variables().cell(v->row, v->column()).value());
}

bool StandardPaletteForm::Apply(Screen& screen, double value, FigureExpressions& expressions) {
  const std::optional<PaletteVariable> v = Current();
  return v && ApplyVariableValue(screen, *v, value, expressions);
}

bool StandardPaletteForm::SpinUp(Screen& screen, std::string_view field,
                                 FigureExpressions& expressions) {
  const double step = screen.View().PaletteStep;
  return Apply(screen, StandardSpinUp(ParsePaletteValue(field), step), expressions);
}

bool StandardPaletteForm::SpinDown(Screen& screen, std::string_view field,
                                   FigureExpressions& expressions) {
  const double step = screen.View().PaletteStep;
  return Apply(screen, StandardSpinDown(ParsePaletteValue(field), step), expressions);
}

bool StandardPaletteForm::EnterValue(Screen& screen, std::string_view text,
                                     FigureExpressions& expressions) {
  return Apply(screen, ClampStandardValue(ParsePaletteValue(text)), expressions);
}

void StandardPaletteForm::SetStep(Screen& screen, std::string_view text) {
  screen.View().PaletteStep = ParsePaletteStep(text);
}

}  // namespace qzarn
