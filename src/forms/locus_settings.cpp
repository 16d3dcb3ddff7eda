#include "forms/locus_settings.h"

#include <algorithm>

#include "engine/locus.h"

namespace qzarn {

namespace {

int AtLeastOne(int size) {
  return std::max(size, 1);
}

}  // namespace

std::optional<LocusDialogKind> LocusDialogOf(const FigureRecord& record) {
  if (!CanHaveLocus(record.type())) return std::nullopt;
  return record.type() == kFunctionFigure ? LocusDialogKind::kFunction : LocusDialogKind::kFigure;
}

std::string LocusDialogCaption(std::string_view name_utf8) {
  return "軌跡 [" + std::string(name_utf8) + "]";
}

std::optional<LocusSettings> ReadLocusSettings(const FigureRecord& record) {
  if (!CanHaveLocus(record.type())) return std::nullopt;
  LocusSettings s;
  if (const FunctionRecord* f = record.function()) {
    s.on = f->KisekiF;
    s.show_lines = f->KisekiL;
    s.show_points = f->KisekiP;
    s.point_size = f->KisekiR;
    s.line_width = f->KisekiW;
    s.colour = f->PaintColor.get();
  } else if (const MultiPointRecord* m = record.multi_point()) {
    s.on = m->Track;
    s.connect = m->TrackConnect;
    s.point_size = m->TrackRadius;
    s.line_width = m->TrackThick;
    s.colour = m->TrackColor.get();
  } else if (const CircleRecord* c = record.circle()) {
    s.on = c->PaintFlag;
    s.point_size = c->TrackRadius;
    s.line_width = c->PaintType;
    s.colour = c->PaintColor.get();
  } else if (const LineRecord* l = record.line()) {
    s.on = l->PaintFlag;
    s.point_size = l->TrackRadius;
    s.line_width = l->PaintType;
    s.colour = l->PaintColor.get();
  } else if (const PointRecord* p = record.point()) {
    s.on = p->Track;
    s.connect = p->TrackConnect;
    s.point_size = p->TrackRadius;
    s.line_width = p->TrackThick;
    s.colour = p->TrackColor.get();
  } else {
    return std::nullopt;
  }
  return s;
}

bool ApplyLocusSettings(FigureRecord& record, const LocusSettings& s) {
  const std::optional<LocusSettings> before = ReadLocusSettings(record);
  if (!before) return false;
  const int size = AtLeastOne(s.point_size), width = AtLeastOne(s.line_width);
  if (FunctionRecord* f = record.function()) {
    f->KisekiF = s.on;
    f->KisekiL = s.show_lines;
    f->KisekiP = s.show_points;
    f->KisekiR = size;
    f->KisekiW = width;
    f->PaintColor = s.colour;
  } else if (MultiPointRecord* m = record.multi_point()) {
    m->Track = s.on;
    m->TrackConnect = s.connect;
    m->TrackRadius = size;
    m->TrackThick = width;
    m->TrackColor = s.colour;
  } else if (CircleRecord* c = record.circle()) {
    c->PaintFlag = s.on;
    c->TrackRadius = size;
    c->PaintType = width;
    c->PaintColor = s.colour;
  } else if (LineRecord* l = record.line()) {
    l->PaintFlag = s.on;
    l->TrackRadius = size;
    l->PaintType = width;
    l->PaintColor = s.colour;
  } else if (PointRecord* p = record.point()) {
    p->Track = s.on;
    p->TrackConnect = s.connect;
    p->TrackRadius = size;
    p->TrackThick = width;
    p->TrackColor = s.colour;
  }
  const bool switched_off = before->on && !s.on;
  if (!switched_off && !s.clear) return false;
  // Clearing a function's locus takes the present curve as its first snapshot,
  // which needs the switch as it is now: a function switched off keeps nothing.
  ClearLocus(record);
  return true;
}

bool ClearLocusForChangedDefinition(FigureRecord& record, bool definition_changed) {
  if (!definition_changed || !LocusOn(record) || !HasLocusEntries(record)) return false;
  ClearLocus(record);
  return true;
}

}  // namespace qzarn
