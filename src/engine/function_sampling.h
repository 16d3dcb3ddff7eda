#pragma once
// Sampling of function figures into their sample lists: explicit, parametric
// and polar curves (with families and recurrences) here, implicit curves and
// regions in implicit_curves.h. A sample list is a sequence of (x, y) pairs of
// 32-bit floats in plane units; (20000, 20000) is a break, and no list holds
// more than 10001 entries.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "document/figure_layouts.h"
#include "document/figure_table.h"
#include "expr/variable_table.h"

namespace qzarn {

class ExprEngine;
class Screen;
struct CompiledProgram;
struct SampleLane;

inline constexpr float kSampleBreak = 20000.0f;
inline constexpr int kMaxSampleEntries = 10001;
// Steps below this produce no curve.
inline constexpr double kMinimumStep = 1e-8;

// Variable columns the samplers write (row 0).
inline constexpr int kColumnR = 18;
inline constexpr int kColumnX = 24;
inline constexpr int kColumnY = 25;

enum FunctionKind : std::int32_t {
  kExplicitCurve = 1,
  kParametricCurve = 2,
  kPolarCurve = 3,
  kImplicitCurve = 4,
};

// The sample list being built by one resampling.
class SampleList {
 public:
  SampleList() {
    x_.reserve(kMaxSampleEntries);
    y_.reserve(kMaxSampleEntries);
  }
  // Empties the list and keeps its room for the next resampling.
  void Clear() {
    x_.clear();
    y_.clear();
    coarse_cell_ = 0;
  }
  int size() const { return static_cast<int>(x_.size()); }
  // Index of the last entry, -1 when empty.
  int last() const { return size() - 1; }
  void Append(double x, double y) {
    if (size() >= kMaxSampleEntries) return;
    x_.push_back(static_cast<float>(x));
    y_.push_back(static_cast<float>(y));
  }
  void AppendBreak() { Append(kSampleBreak, kSampleBreak); }
  // Appends `count` entries that the caller knows fit, for the caller to
  // fill in at x and y.
  void Extend(int count, float*& x, float*& y) {
    const std::size_t at = x_.size();
    x_.resize(at + static_cast<std::size_t>(count));
    y_.resize(at + static_cast<std::size_t>(count));
    x = x_.data() + at;
    y = y_.data() + at;
  }
  // An implicit curve traced with a larger cell than its record asks for (too many cells).
  double coarse_cell() const { return coarse_cell_; }
  void set_coarse_cell(double w) { coarse_cell_ = w; }
  std::vector<float>& xs() { return x_; }
  std::vector<float>& ys() { return y_; }
  const std::vector<float>& xs() const { return x_; }
  const std::vector<float>& ys() const { return y_; }

 private:
  std::vector<float> x_, y_;
  double coarse_cell_ = 0;
};

// One expression text compiled once for a resampling and run many times
// against the variable cells.
class CurveProgram {
 public:
  CurveProgram(ExprEngine& expr, std::string_view text);
  ~CurveProgram();
  CurveProgram(const CurveProgram&) = delete;
  CurveProgram& operator=(const CurveProgram&) = delete;

  // The value (the off-plane value 20000 when it cannot be computed).
  double Evaluate(const VariableTable& table);
  // Whether the last Evaluate raised a math error.
  bool math_error() const { return math_error_; }

  // Whether the program reads the cell (row, column) or draws random numbers:
  // what decides if samples may be computed a block at a time.
  bool Reads(int row, int column) const;
  bool DrawsRandom() const;
  // Values and math errors of `count` samples, sample i seeing each lane's
  // cell bound to its i-th value: the same as binding and calling Evaluate
  // sample by sample.
  void EvaluateBlock(const VariableTable& table, std::span<const SampleLane> lanes, int count,
                     double* values, bool* math_errors);

 private:
  ExprEngine& expr_;
  std::unique_ptr<CompiledProgram> program_;
  bool math_error_ = false;
};

// Cell column of a variable chosen in a function dialog list, 0 for "*" (none)
// or an index outside the list.
// Lists "*", a..w, z (explicit family, parametric family).
int FamilyColumnAbcwz(std::int32_t index);
// List a..w, z counted from 0 (parametric curve parameter).
int ParameterColumnAbcwz(std::int32_t index);
// List a..q, s..z counted from 0 (polar angle).
int AngleColumnNoR(std::int32_t index);
// List "*", a..q, s..z (polar family).
int FamilyColumnNoR(std::int32_t index);

// Samples the function record into `owned` when its curve is invalid, using
// the variable cells of `vars` (written as the samplers go). Returns whether
// the curve was resampled; sets CurveValid either way. `notice` receives what the user
// should read on the status bar about the curve (an implicit curve traced coarser than
// asked), else stays as it was.
bool ResampleFunction(FunctionRecord& record, FigureOwned& owned, VariableTable& vars,
                      ExprEngine& expr, std::string* notice = nullptr);
// The same for the function figure in `slot` of the screen; false for a slot
// that holds no function figure.
bool ResampleFunction(Screen& screen, ExprEngine& expr, int slot, std::string* notice = nullptr);

// The status text of an implicit curve traced with cell size `cell` instead of the smaller
// one its record asks for.
std::string CoarseImplicitNotice(double cell);

// Whether one of the texts that shape the curve of this kind refers to the
// variable cell (row, column): the display condition while it is on, and the
// body and range texts the kind reads.
bool FunctionUsesVariable(const FunctionRecord& record, int row, int column);

}  // namespace qzarn
