#include "forms/figure_clipboard.h"

#include "document/screen.h"

#include <cmath>
#include <string>

#include "engine/number_format.h"
#include "engine/references.h"

namespace qzarn::forms {

namespace {

void ResetReservedBlock(ReservedBlock& block) {
  for (int i = 0; i < 10; ++i)
    block[i] = kReservedBlockInit[i];
}

void DetachPointFamily(std::int32_t type, PointRecord& p) {
  p.Name = "";
  p.Ref0 = kNoReference;
  p.Ref1 = kNoReference;
  p.TrackCount = -1;
  switch (type) {
    case kPointFigure:
      p.Track = false;
      p.TrackConnect = false;
      break;
    case kBuntenFigure:
    case kSuisenFigure:
      p.Track = false;
      break;
    case kCrossFigure:
    case kCross2Figure:
      p.Track = false;
      p.RatioDegenerate = 0;
      break;
    case kAngle2Figure:
      p.Ref2 = kNoReference;
      p.Track = false;
      break;
    case kMensekiFigure:
      p.Ref2 = kNoReference;
      p.Ref3 = kNoReference;
      p.PaintFlag() = false;
      p.RatioDegenerate = 0;
      // The hatch list is run-time state: the copy computes its own.
      p.HatchCount = -1;
      p.HatchX = 0;
      p.HatchY = 0;
      break;
    default:
      break;
  }
  ResetReservedBlock(p.Reserved);
}

void DetachLine(std::int32_t type, LineRecord& l) {
  l.Name = "";
  l.Ref0 = kNoReference;
  l.Ref1 = kNoReference;
  if (type == kParabolaFigure || type == kAngleFigure) {
    l.PointName1 = "";
    l.PointName2 = "";
  }
  if (type == kAngleFigure) {
    l.Ref2 = kNoReference;
  } else {
    l.PaintFlag = false;
    l.TrackCount = -1;
  }
  ResetReservedBlock(l.Reserved);
}

void DetachCircle(CircleRecord& c) {
  c.Name = "";
  c.PointName1 = "";
  c.PointName2 = "";
  c.PointName3 = "";
  c.Ref0 = kNoReference;
  c.Ref1 = kNoReference;
  c.Ref2 = kNoReference;
  c.PaintFlag = false;
  c.TrackCount = -1;
  ResetReservedBlock(c.Reserved);
}

void DetachFunction(FunctionRecord& f) {
  f.Name = "";
  f.CurveValid = 0;
  f.SampleLast = -1;
  f.SampleX = 0;
  f.SampleY = 0;
  f.TrackCount = -1;
  f.KisekiF = false;
  f.KisekiList = 0;
  ResetReservedBlock(f.Reserved);
}

void DetachFrame(std::int32_t type, FrameRecord& r) {
  r.Name = type == kCharFigure ? "??" : "";
  r.PointName1 = "";
  r.PointName2 = "";
  r.Ref0 = kNoReference;
  r.Ref1 = kNoReference;
  if (type == kOleFigure) {
    r.Object().Container = 0;
    ResetReservedBlock(r.Object().Reserved);
  } else {
    ResetReservedBlock(r.Text().Reserved);
  }
}

void DetachPolygon(PolygonRecord& p) {
  p.Name = "";
  for (I32& ref : p.Refs)
    ref = kNoReference;
  ResetReservedBlock(p.Reserved);
}

void DetachMultiPoint(MultiPointRecord& m) {
  for (FigureName& name : m.Names)
    name = "";
  m.Ref0 = kNoReference;
  m.Ref1 = kNoReference;
  m.Track = false;
  m.Reserved2480 = 0;
  for (I32& count : m.TrackCount)
    count = -1;
  ResetReservedBlock(m.Reserved);
}

// Decimals of positions written into the settled texts, as a drag writes them.
constexpr int kSettledDecimals = 10;

// The present position of a referenced point; nothing for no reference or a
// point that is not on the plane now.
std::optional<PlanePoint> PresentPointOf(const Screen& screen, std::int32_t ref, int self) {
  // A figure tied to itself has no position to take from the tie.
  if (ref == kNoReference || ReferenceSlot(ref) == self) return std::nullopt;
  const PlanePoint p = PointOfReference(screen, ref);
  if (!std::isfinite(p.x) || !std::isfinite(p.y) || !(std::fabs(p.x) < kOffPlaneValue) ||
      !(std::fabs(p.y) < kOffPlaneValue))
    return std::nullopt;
  return p;
}

void Settle(Expression& fx, Expression& fy, const std::optional<PlanePoint>& p) {
  if (!p) return;
  fx = FormatNumber(p->x, kSettledDecimals);
  fy = FormatNumber(p->y, kSettledDecimals);
}

void SettleRecord(const Screen& screen, int self, FigureRecord& record) {
  const auto PresentPoint = [&](const Screen& on, std::int32_t ref) {
    return PresentPointOf(on, ref, self);
  };
  const std::int32_t type = record.type();
  if (type == kPointFigure) {
    PointRecord& p = *record.point();
    Settle(p.FX, p.FY, PresentPoint(screen, p.Ref0));
  } else if ((type == kLineFigure || type == kParabolaFigure) && record.line()->Mode == 0) {
    LineRecord& l = *record.line();
    Settle(l.FX0, l.FY0, PresentPoint(screen, l.Ref0));
    Settle(l.FX1, l.FY1, PresentPoint(screen, l.Ref1));
  } else if (type == kCircleFigure) {
    CircleRecord& c = *record.circle();
    if (c.Mode == 0) {
      const std::optional<PlanePoint> centre = PresentPoint(screen, c.Ref0);
      const std::optional<PlanePoint> rim = PresentPoint(screen, c.Ref1);
      Settle(c.FX0, c.FY0, centre);
      if (rim) {
        // The radius runs from the centre the copy will have to the rim point.
        const double cx = centre ? centre->x : c.X0.get();
        const double cy = centre ? centre->y : c.Y0.get();
        c.FX1 = FormatNumber(std::hypot(rim->x - cx, rim->y - cy), kSettledDecimals);
      }
    } else if (c.Mode == 3) {
      Settle(c.FX0, c.FY0, PresentPoint(screen, c.Ref0));
      Settle(c.FX1, c.FY1, PresentPoint(screen, c.Ref1));
      Settle(c.FX2, c.FY2, PresentPoint(screen, c.Ref2));
    }
  } else if (FrameRecord* f = record.frame()) {
    Settle(f->FX0, f->FY0, PresentPoint(screen, f->Ref0));
    Settle(f->FX1, f->FY1, PresentPoint(screen, f->Ref1));
  }
}

}  // namespace

FigureRecord SettledCopy(const Screen& screen, int index) {
  const FigureRecord* original = screen.Figures.record(index);
  if (original == nullptr) return {};
  FigureRecord copy = *original;
  SettleRecord(screen, index, copy);
  return copy;
}

void DetachCopy(FigureRecord& record) {
  const std::int32_t type = record.type();
  if (PointRecord* p = record.point()) DetachPointFamily(type, *p);
  if (LineRecord* l = record.line()) DetachLine(type, *l);
  if (CircleRecord* c = record.circle()) DetachCircle(*c);
  if (FunctionRecord* f = record.function()) DetachFunction(*f);
  if (FrameRecord* r = record.frame()) DetachFrame(type, *r);
  if (PolygonRecord* p = record.polygon()) DetachPolygon(*p);
  if (MultiPointRecord* m = record.multi_point()) DetachMultiPoint(*m);
  // Sampled curves, loci and hatches belong to the original; an embedded
  // object's saved bytes are its content and travel with the copy.
  std::vector<std::uint8_t> object = std::move(record.owned.ObjectBytes);
  record.owned.clear();
  record.owned.ObjectBytes = std::move(object);
}

bool CopiedFigure::CopyFrom(const Screen& screen) {
  record_.reset();
  if (screen.Figures.record(screen.SelectedIndex) == nullptr) return false;
  record_ = SettledCopy(screen, screen.SelectedIndex);
  return true;
}

std::optional<int> InsertCopy(Screen& screen, const FigureRecord& copied) {
  if (copied.empty()) return std::nullopt;
  FigureRecord copy = copied;
  DetachCopy(copy);
  return NewFigure(screen.Figures, std::move(copy));
}

}  // namespace qzarn::forms
