#pragma once
// Curve sampling runs one compiled program over a block of samples at a time:
// each operation is dispatched once per block and then loops over the
// samples, so the cost per sample is the arithmetic alone. Every sample gets
// the value and math-error flag that EvaluateProgram gives for it, to the bit,
// because each operation calls the same arithmetic in the same order.

#include <span>

#include "expr/engine.h"
#include "expr/program.h"
#include "expr/variable_table.h"

namespace qzarn {

inline constexpr int kProgramBlockSize = 128;
// The most cells one block may vary per sample.
inline constexpr int kMaxSampleLanes = 4;

// A cell whose value changes from sample to sample: sample i sees the cell
// bound (marked defined) to values[i].
struct SampleLane {
  int row;
  int column;
  const double* values;
};

// Whether the program reads the cell (row, column).
bool ProgramReadsCell(const CompiledProgram& program, int row, int column);
// Whether the program draws random numbers: their order follows the samples,
// so a block of such a program runs sample by sample.
bool ProgramDrawsRandom(const CompiledProgram& program);

// Evaluates `program` for the samples 0 .. count-1 (count at most
// kProgramBlockSize) against `table` with every lane's cell bound to the
// sample's value; values[i] and math_errors[i] receive the value and the
// math-error flag. engine.flags ends as after the last sample. A program that
// draws random numbers, or more than kMaxSampleLanes lanes, runs sample by
// sample with the same results.
void EvaluateProgramBlock(ExprEngine& engine, const VariableTable& table,
                          const CompiledProgram& program, std::span<const SampleLane> lanes,
                          int count, double* values, bool* math_errors);
// The same on the chosen evaluator build (tests compare both).
void EvaluateProgramBlockOn(ProductUnit unit, ExprEngine& engine, const VariableTable& table,
                            const CompiledProgram& program, std::span<const SampleLane> lanes,
                            int count, double* values, bool* math_errors);

}  // namespace qzarn
