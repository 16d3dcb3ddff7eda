#include "document/figure_table.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace qzarn {

void FigureOwned::clear() {
  // Swapping with empty vectors gives the memory back, not just the size.
  *this = FigureOwned{};
}

CurveLocus::CurveLocus(std::initializer_list<CurveSnapshot> curves) {
  for (const CurveSnapshot& c : curves)
    push_back(c);
}

CurveSnapshotView CurveLocus::operator[](std::size_t k) const {
  const std::size_t begin = begin_of(k), n = ends_[k] - begin;
  return {std::span(x_).subspan(begin, n), std::span(y_).subspan(begin, n)};
}

void CurveLocus::push_back(std::span<const float> x, std::span<const float> y) {
  const std::size_t n = std::min(x.size(), y.size());
  Grow(n);
  ends_.push_back(x_.size() + n);
  x_.insert(x_.end(), x.begin(), x.begin() + static_cast<std::ptrdiff_t>(n));
  y_.insert(y_.end(), y.begin(), y.begin() + static_cast<std::ptrdiff_t>(n));
}

// Makes room for one more curve of n values first, so that running out of memory leaves the
// locus as it was rather than with arrays of different lengths.
void CurveLocus::Grow(std::size_t n) {
  auto room = [](auto& v, std::size_t more) {
    if (v.capacity() - v.size() < more) v.reserve(std::max(v.size() + more, 2 * v.capacity()));
  };
  room(ends_, 1);
  room(x_, n);
  room(y_, n);
}

void CurveLocus::push_back_stored(std::span<const std::uint8_t> x,
                                  std::span<const std::uint8_t> y) {
  const std::size_t n = std::min(x.size(), y.size()) / sizeof(float);
  const std::size_t begin = x_.size();
  Grow(n);
  x_.resize(begin + n);
  y_.resize(begin + n);
  std::memcpy(x_.data() + begin, x.data(), n * sizeof(float));
  std::memcpy(y_.data() + begin, y.data(), n * sizeof(float));
  ends_.push_back(begin + n);
}

void CurveLocus::replace(std::size_t k, std::span<const float> x, std::span<const float> y) {
  const std::size_t n = std::min(x.size(), y.size());
  const std::size_t begin = begin_of(k), old_n = ends_[k] - begin;
  const auto at = static_cast<std::ptrdiff_t>(begin);
  const auto count = static_cast<std::ptrdiff_t>(n);
  if (n != old_n) {
    // The common case of an unchanged length overwrites in place; otherwise the values after
    // the curve move and the later ends shift with them.
    const auto old_end = static_cast<std::ptrdiff_t>(begin + old_n);
    x_.erase(x_.begin() + at, x_.begin() + old_end);
    y_.erase(y_.begin() + at, y_.begin() + old_end);
    x_.insert(x_.begin() + at, x.begin(), x.begin() + count);
    y_.insert(y_.begin() + at, y.begin(), y.begin() + count);
    for (std::size_t i = k; i < ends_.size(); ++i)
      ends_[i] = ends_[i] - old_n + n;
    return;
  }
  std::copy(x.begin(), x.begin() + count, x_.begin() + at);
  std::copy(y.begin(), y.begin() + count, y_.begin() + at);
}

void CurveLocus::reserve(std::size_t curves, std::size_t values) {
  ends_.reserve(curves);
  x_.reserve(values);
  y_.reserve(values);
}

void CurveLocus::clear() {
  *this = CurveLocus{};
}

bool FigureOwned::empty() const {
  return SampleX.empty() && SampleY.empty() && KisekiList.empty() && HatchX.empty() &&
         HatchY.empty() && ObjectBytes.empty();
}

std::size_t LayoutSize(std::int32_t type) {
  switch (FamilyOf(type)) {
    case LayoutFamily::kPoint:
      return sizeof(PointRecord);
    case LayoutFamily::kLine:
      return sizeof(LineRecord);
    case LayoutFamily::kCircle:
      return sizeof(CircleRecord);
    case LayoutFamily::kFunction:
      return sizeof(FunctionRecord);
    case LayoutFamily::kFrame:
      return sizeof(FrameRecord);
    case LayoutFamily::kPolygon:
      return sizeof(PolygonRecord);
    case LayoutFamily::kMultiPoint:
      return sizeof(MultiPointRecord);
    case LayoutFamily::kNone:
      break;
  }
  return 0;
}

namespace {

// Offset of the reserved block in the record of a type.
std::size_t ReservedBlockOffset(std::int32_t type) {
  switch (FamilyOf(type)) {
    case LayoutFamily::kPoint:
      return offsetof(PointRecord, Reserved);
    case LayoutFamily::kLine:
      return offsetof(LineRecord, Reserved);
    case LayoutFamily::kCircle:
      return offsetof(CircleRecord, Reserved);
    case LayoutFamily::kFunction:
      return offsetof(FunctionRecord, Reserved);
    case LayoutFamily::kFrame:
      return type == kOleFigure ? offsetof(FrameRecord, Tail.Object.Reserved)
                                : offsetof(FrameRecord, Tail.Text.Reserved);
    case LayoutFamily::kPolygon:
      return offsetof(PolygonRecord, Reserved);
    case LayoutFamily::kMultiPoint:
      return offsetof(MultiPointRecord, Reserved);
    case LayoutFamily::kNone:
      break;
  }
  return 0;
}

// Offset of the first reference field; the others follow as consecutive words.
std::size_t FirstReferenceOffset(std::int32_t type) {
  switch (FamilyOf(type)) {
    case LayoutFamily::kPoint:
      return offsetof(PointRecord, Ref0);
    case LayoutFamily::kLine:
      return offsetof(LineRecord, Ref0);
    case LayoutFamily::kCircle:
      return offsetof(CircleRecord, Ref0);
    case LayoutFamily::kFrame:
      return offsetof(FrameRecord, Ref0);
    case LayoutFamily::kPolygon:
      return offsetof(PolygonRecord, Refs);
    case LayoutFamily::kMultiPoint:
      return offsetof(MultiPointRecord, Ref0);
    case LayoutFamily::kFunction:
    case LayoutFamily::kNone:
      break;
  }
  return 0;
}

// Where reference number i lies in a record of `size` bytes, if it has one.
std::optional<std::size_t> ReferenceOffset(std::size_t size, std::int32_t type, int i) {
  if (i < 0 || i >= ReferenceCount(type)) return std::nullopt;
  const std::size_t at = FirstReferenceOffset(type) + 4 * static_cast<std::size_t>(i);
  if (at + 4 > size) return std::nullopt;
  return at;
}

bool FitsItsType(const FigureRecord& record) {
  return IsFigureType(record.type()) && record.bytes().size() == LayoutSize(record.type());
}

}  // namespace

FigureRecord FigureRecord::Blank(std::int32_t type) {
  FigureRecord r;
  if (!IsFigureType(type)) return r;
  r.type_ = type;
  r.bytes_.assign(LayoutSize(type), 0);
  auto* block = reinterpret_cast<F32*>(r.bytes_.data() + ReservedBlockOffset(type));
  for (int i = 0; i < 10; ++i)
    block[i] = kReservedBlockInit[i];
  return r;
}

std::span<std::uint8_t> FigureRecord::stored_bytes(FormatVersion version) {
  const auto n =
      std::min<std::size_t>(static_cast<std::size_t>(RecordSize(type_, version)), bytes_.size());
  return std::span<std::uint8_t>(bytes_).first(n);
}

std::span<const std::uint8_t> FigureRecord::stored_bytes(FormatVersion version) const {
  const auto n =
      std::min<std::size_t>(static_cast<std::size_t>(RecordSize(type_, version)), bytes_.size());
  return std::span<const std::uint8_t>(bytes_).first(n);
}

std::string_view FigureRecord::name() const {
  if (const auto* p = point()) return p->Name.view();
  if (const auto* l = line()) return l->Name.view();
  if (const auto* c = circle()) return c->Name.view();
  if (const auto* f = function()) return f->Name.view();
  if (const auto* fr = frame()) return fr->Name.view();
  if (const auto* pg = polygon()) return pg->Name.view();
  if (const auto* m = multi_point()) return m->Names[0].view();
  return {};
}

int ReferenceCount(std::int32_t type) {
  switch (type) {
    case kPointFigure:
      return 1;
    case kBuntenFigure:
    case kCrossFigure:
    case kSuisenFigure:
    case kCross2Figure:
    case kLineFigure:
    case kParabolaFigure:
    case kSessenFigure:
    case kOleFigure:
    case kCharFigure:
    case kCross3Figure:
      return 2;
    case kAngle2Figure:
    case kAngleFigure:
    case kCircleFigure:
      return 3;
    case kMensekiFigure:
      return 4;
    case kPolyFigure:
    case kSplineFigure:
      return kPolygonVertices;
    default:
      return 0;
  }
}

std::int32_t ReferenceAt(const FigureRecord& record, int i) {
  const auto at = ReferenceOffset(record.bytes().size(), record.type(), i);
  if (!at) return kNoReference;
  I32 word;
  std::memcpy(word.bytes, record.bytes().data() + *at, sizeof word.bytes);
  return word;
}

bool SetReferenceAt(FigureRecord& record, int i, std::int32_t ref) {
  const auto at = ReferenceOffset(record.bytes().size(), record.type(), i);
  if (!at) return false;
  I32 word;
  word = ref;
  std::memcpy(record.bytes().data() + *at, word.bytes, sizeof word.bytes);
  return true;
}

bool DependsOn(const FigureRecord& record, int slot) {
  const int n = ReferenceCount(record.type());
  for (int i = 0; i < n; ++i)
    if (RefersTo(ReferenceAt(record, i), slot)) return true;
  return false;
}

StoredSlot FigureSlot::stored() const {
  StoredSlot s{};
  s.Record = RecordWord;
  s.FigureType = FigureType;
  s.Computed = Computed;
  s.Marked = Marked;
  std::memcpy(s.Reserved, Reserved, sizeof Reserved);
  return s;
}

FigureSlot* FigureTable::slot(int index) {
  return index >= 0 && index <= kLastSlot ? &(*this)[index] : nullptr;
}

const FigureSlot* FigureTable::slot(int index) const {
  return index >= 0 && index <= kLastSlot ? &(*this)[index] : nullptr;
}

FigureRecord* FigureTable::record(int index) {
  FigureSlot* s = slot(index);
  return s && !s->empty() ? &s->Record : nullptr;
}

const FigureRecord* FigureTable::record(int index) const {
  const FigureSlot* s = slot(index);
  return s && !s->empty() ? &s->Record : nullptr;
}

bool HasFreeSlot(const FigureTable& table) {
  return std::any_of(table.slots().begin(), table.slots().end(),
                     [](const FigureSlot& s) { return s.empty(); });
}

bool PlaceFigure(FigureTable& table, int index, FigureRecord record) {
  FigureSlot* s = table.slot(index);
  if (!s || !FitsItsType(record)) return false;
  FreeFigure(table, index);
  s->FigureType = record.type();
  s->Computed = 0;
  s->Marked = 0;
  s->Record = std::move(record);
  table.LastIndex = std::max(table.LastIndex, index);
  return true;
}

std::optional<int> NewFigure(FigureTable& table, FigureRecord record) {
  if (!FitsItsType(record)) return std::nullopt;
  for (int i = 0; i <= kLastSlot; ++i) {
    if (!table[i].empty()) continue;
    PlaceFigure(table, i, std::move(record));
    return i;
  }
  return std::nullopt;
}

void FreeFigure(FigureTable& table, int index) {
  FigureSlot* s = table.slot(index);
  if (!s) return;
  *s = FigureSlot{};
}

void ClearTable(FigureTable& table) {
  for (FigureSlot& s : table.slots())
    s = FigureSlot{};
  table.LastIndex = -1;
}

bool FindByName(const FigureTable& table, std::string_view name, int own_index) {
  if (name.empty()) return false;  // an empty name is no name
  for (int i = 0; i <= kLastSlot; ++i) {
    if (i == own_index || table[i].empty()) continue;
    const FigureRecord& r = table[i].Record;
    if (const auto* m = r.multi_point()) {
      for (const auto& n : m->Names)
        if (n == name) return true;
    } else if (r.name() == name) {
      return true;
    }
  }
  return false;
}

}  // namespace qzarn
