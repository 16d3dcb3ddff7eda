#pragma once
// Figures offered as graphs y = F(x) to the constructions built on curves (the
// intersection of two graphs, the tangent, the area between two graphs): each
// graph is rewritten as an expression text in x, compiled once per
// construction and evaluated with the x cell set to the argument.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "engine/function_sampling.h"

namespace qzarn {

class ExprEngine;
class Screen;
struct VariableTable;

// The graph of the figure `ref` names as an expression text in x:
// - a line, angle division or tangent: y = a x + b through its two points;
// - a parabola: y = k x^2 + m x + n from its vertex and point (a general-form
//   parabola whose squared term vanished is the straight line it carries);
// - an explicit function: its body text as it stands;
// - kXAxisReference (-1): "0".
// Empty when the figure has no graph: a vertical line or parabola, a figure
// whose points are undefined, a non-explicit or recursive function, any other
// kind, an empty slot or the y axis.
std::string GraphText(const Screen& screen, std::int32_t ref);

// F(x) at one x: the value and whether the evaluation raised a math error.
struct GraphValue {
  double y = 0.0;
  bool error = false;
};

// A graph the constructions evaluate point by point.
using Graph = std::function<GraphValue(double x)>;

// One graph text compiled once and evaluated at many x, each time with x
// written into the x cell of the variables and the cell marked defined.
class GraphProgram {
 public:
  GraphProgram(ExprEngine& expr, VariableTable& vars, std::string_view text);
  GraphValue operator()(double x);
  // A Graph that evaluates this program (which must outlive it).
  Graph graph() {
    return [this](double x) { return (*this)(x); };
  }

 private:
  VariableTable& vars_;
  CurveProgram program_;
};

}  // namespace qzarn
