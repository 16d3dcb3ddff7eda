#pragma once
// The shift-reduce machine of the evaluator: its action table, Goto table and
// productions. The machine itself is a template over the semantics so that
// the evaluator (computing values) and the program translator (emitting
// postfix code) follow exactly the same parse, reduction by reduction.

#include <cstdint>

#include "expr/compiled_reader.h"
#include "expr/tokens.h"

namespace qzarn {

enum class ActionKind : std::uint8_t {
  kError,
  kShift,
  kReduce,
  kAccept,
  kShiftArgument,  // states 80 and 97: the second and third function arguments
};

struct Action {
  ActionKind kind;
  std::int16_t target;  // state to shift to, or production to reduce by
};

Action LookupAction(int state, TokenKind token);
// State after reducing by `production` with `state` uncovered on top; -1 if none.
int GotoState(int production, int state);
// Number of stack entries the right-hand side of `production` occupies.
int ProductionLength(int production);

// One parse stack entry: state and payload.
struct ParseEntry {
  std::uint8_t state;
  std::uint8_t code;  // function or constant code
  std::uint16_t column;
  std::uint16_t row;
  double value;
};

// Runs the machine over `reader`. `Sem` supplies:
//   double Reduce(int production, const ParseEntry* rhs, ExprFlags& flags);
//   double Argument(const Token& t, bool negate);   // states 80 and 97
// Returns true on accept, with the accepted value in `result`.
template <class Sem>
bool RunMachine(Sem& sem, CompiledReader& reader, ParseEntry (&stack)[kParseStackSize],
                ExprFlags& flags, double& result) {
  int top = 0;
  stack[0].state = 0;
  Token look = reader.Next(flags);
  auto push = [&](int state, const Token& t, double value) {
    if (top + 1 >= kParseStackSize) {
      flags.syntax_error = true;
      return;
    }
    ParseEntry& e = stack[++top];
    e.state = static_cast<std::uint8_t>(state);
    e.code = t.code;
    e.column = t.column;
    e.row = t.row;
    e.value = value;
  };
  for (;;) {
    Action a = LookupAction(stack[top].state, look.kind);
    switch (a.kind) {
      case ActionKind::kError:
        flags.syntax_error = true;
        break;
      case ActionKind::kAccept:
        result = stack[top].value;
        return true;
      case ActionKind::kShift:
        push(a.target, look, look.number);
        look = reader.Next(flags);
        break;
      case ActionKind::kShiftArgument: {
        bool negate = look.kind == TokenKind::kMinus;
        if (negate) {
          look = reader.Next(flags);
          if (look.kind != TokenKind::kNumber) {
            flags.syntax_error = true;
            break;
          }
        }
        push(a.target, look, sem.Argument(look, negate));
        look = reader.Next(flags);
        break;
      }
      case ActionKind::kReduce: {
        int p = a.target;
        int n = ProductionLength(p);
        double v = sem.Reduce(p, &stack[top - n + 1], flags);
        top -= n;
        int next = GotoState(p, stack[top].state);
        if (next < 0) {
          flags.syntax_error = true;
          break;
        }
        Token payload;
        push(next, payload, v);
        break;
      }
    }
    if (flags.syntax_error || flags.too_long) return false;
  }
}

}  // namespace qzarn
