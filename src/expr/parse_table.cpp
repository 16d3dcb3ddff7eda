#include "expr/parse_table.h"

namespace qzarn {
namespace {

using K = TokenKind;

constexpr Action Error() {
  return {ActionKind::kError, 0};
}
constexpr Action Shift(int s) {
  return {ActionKind::kShift, static_cast<std::int16_t>(s)};
}
constexpr Action Reduce(int p) {
  return {ActionKind::kReduce, static_cast<std::int16_t>(p)};
}

// States that expect an operand.
bool ExpectsOperand(int s) {
  switch (s) {
    case 0:
    case 9:
    case 12:
    case 13:
    case 14:
    case 15:
    case 16:
    case 20:
    case 101:
    case 102:
      return true;
    default:
      return s >= 110 && s <= 117;
  }
}

Action OperandAction(K t, bool allow_minus) {
  switch (t) {
    case K::kNumber:
      return Shift(10);
    case K::kVariable:
      return Shift(7);
    case K::kFunction:
      return Shift(11);
    case K::kMinus:
      return allow_minus ? Shift(5) : Error();
    case K::kOpen:
      return Shift(9);
    case K::kConstant:
      return Shift(70);
    default:
      return Error();
  }
}

// plus, minus and the comparison and word operators after a complete expression.
Action AfterExpression(K t) {
  switch (t) {
    case K::kPlus:
      return Shift(12);
    case K::kMinus:
      return Shift(13);
    case K::kEq:
      return Shift(110);
    case K::kLt:
      return Shift(111);
    case K::kLe:
      return Shift(112);
    case K::kGt:
      return Shift(113);
    case K::kGe:
      return Shift(114);
    case K::kNe:
      return Shift(115);
    case K::kAnd:
      return Shift(116);
    case K::kOr:
      return Shift(117);
    default:
      return Error();
  }
}

// The multiplicative operators after a term, else the given reduction.
Action AfterTerm(K t, int otherwise) {
  switch (t) {
    case K::kTimes:
      return Shift(14);
    case K::kDivide:
      return Shift(15);
    case K::kIntDiv:
      return Shift(101);
    case K::kMod:
      return Shift(102);
    default:
      return Reduce(otherwise);
  }
}

}  // namespace

Action LookupAction(int state, TokenKind t) {
  if (ExpectsOperand(state)) return OperandAction(t, true);
  switch (state) {
    case 5:
      return OperandAction(t, false);
    case 1:
      if (t == K::kEnd) return {ActionKind::kAccept, 0};
      return AfterExpression(t);
    case 2:
      return AfterTerm(t, 3);
    case 21:
      return AfterTerm(t, 1);
    case 22:
      return AfterTerm(t, 2);
    case 3:
      return Reduce(6);
    case 4:
      return t == K::kPower ? Shift(16) : Reduce(8);
    case 6:
      return Reduce(10);
    case 7:
      return Reduce(13);
    case 8:
      return Reduce(12);
    case 10:
      return Reduce(15);
    case 11:
      return t == K::kOpen ? Shift(20) : Error();
    case 17:
      return Reduce(9);
    case 19:
      return t == K::kClose ? Shift(27) : AfterExpression(t);
    case 23:
      return Reduce(4);
    case 24:
      return Reduce(5);
    case 25:
      return Reduce(7);
    case 27:
      return Reduce(14);
    case 28:
      switch (t) {
        case K::kPlus:
          return Shift(12);
        case K::kMinus:
          return Shift(13);
        case K::kClose:
          return Shift(29);
        case K::kComma:
          return Shift(80);
        default:
          return Error();
      }
    case 29:
      return Reduce(16);
    case 70:
      return Reduce(21);
    case 80:
      if (t == K::kNumber || t == K::kVariable || t == K::kMinus)
        return {ActionKind::kShiftArgument, 84};
      return Error();
    case 84:
      if (t == K::kClose) return Shift(85);
      if (t == K::kComma) return Shift(97);
      return Error();
    case 85:
      return Reduce(22);
    case 97:
      if (t == K::kNumber || t == K::kVariable) return {ActionKind::kShiftArgument, 98};
      return Error();
    case 98:
      return t == K::kClose ? Shift(99) : Error();
    case 99:
      return Reduce(99);
    case 201:
      return Reduce(101);
    case 202:
      return Reduce(102);
    default:
      if (state >= 210 && state <= 217) return Reduce(state - 100);
      return Error();
  }
}

int GotoState(int p, int s) {
  if (p <= 3) {  // expression
    switch (s) {
      case 0:
        return 1;
      case 9:
        return 19;
      case 20:
        return 28;
      default:
        return -1;
    }
  }
  if (p <= 6) {  // term
    switch (s) {
      case 0:
      case 9:
      case 20:
        return 2;
      case 12:
        return 21;
      case 13:
        return 22;
      default:
        return -1;
    }
  }
  if (p <= 8) {  // power
    switch (s) {
      case 0:
      case 9:
      case 12:
      case 13:
      case 20:
        return 3;
      case 14:
        return 23;
      case 15:
        return 24;
      case 16:
        return 25;
      case 101:
        return 201;
      case 102:
        return 202;
      default:
        return s >= 110 && s <= 117 ? s + 100 : -1;
    }
  }
  if (p <= 10) return ExpectsOperand(s) ? 4 : -1;  // signed operand
  if (p <= 12) {                                   // operand
    if (s == 5) return 17;
    return ExpectsOperand(s) ? 6 : -1;
  }
  return s == 5 || ExpectsOperand(s) ? 8 : -1;  // primary
}

int ProductionLength(int p) {
  switch (p) {
    case 9:
      return 2;
    case 16:
      return 4;
    case 22:
      return 6;
    case 99:
      return 8;
    case 3:
    case 6:
    case 8:
    case 10:
    case 12:
    case 13:
    case 15:
    case 21:
      return 1;
    default:
      return 3;  // binary operators, comparisons and ( expression )
  }
}

}  // namespace qzarn
