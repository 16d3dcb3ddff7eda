#pragma once
// A small screen for the figure list tests: points A and B, the line L through
// them and a free point P, all shown and computed.

#include <string>
#include <string_view>

#include "document/figure_table.h"
#include "engine/screen_builder.h"
#include "platform/text_encoding.h"

namespace qzarn::testing {

inline void Name(FigureRecord& r, std::string_view utf8) {
  const std::string cp932 = utf8_to_cp932(utf8).bytes;
  switch (FamilyOf(r.type())) {
    case LayoutFamily::kPoint:
      r.point()->Name = cp932;
      break;
    case LayoutFamily::kLine:
      r.line()->Name = cp932;
      break;
    case LayoutFamily::kCircle:
      r.circle()->Name = cp932;
      break;
    case LayoutFamily::kFunction:
      r.function()->Name = cp932;
      break;
    case LayoutFamily::kPolygon:
      r.polygon()->Name = cp932;
      break;
    default:
      r.frame()->Name = cp932;
  }
}

struct ABLine {
  ScreenBuilder b;
  int a, c, line, free_point;
  ABLine() {
    a = b.Point("0", "0");
    c = b.Point("1", "1");
    line = b.LineThrough(a, c);
    free_point = b.Point("3", "3");
    Name(b.Record(a), "A");
    Name(b.Record(c), "B");
    Name(b.Record(line), "L");
    Name(b.Record(free_point), "P");
    for (int i : {a, c, free_point})
      b.Record(i).point()->DispMark = true;
    b.Record(line).line()->DispL = true;
    for (int i : {a, c, line, free_point})
      b.screen().Figures[i].Computed = 1;
  }
};

}  // namespace qzarn::testing
