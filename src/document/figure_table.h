#pragma once
// The figure table of a screen: 501 slots, each holding one figure record (its
// stored bytes) together with what the record owns at run time.

#include <array>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "document/figure_layouts.h"
#include "document/figure_types.h"

namespace qzarn {

inline constexpr int kFigureSlots = 501;
inline constexpr int kLastSlot = kFigureSlots - 1;

// ---- References ------------------------------------------------------------
// A reference names a figure of the same table: slot index + 10000 × sub-index,
// the sub-index (0..3) choosing one point of a Cross3 figure. -1 is none; a
// foot-of-perpendicular's line reference also uses -1 for the x axis and -2
// for the y axis.
inline constexpr std::int32_t kNoReference = -1;
inline constexpr std::int32_t kXAxisReference = -1;
inline constexpr std::int32_t kYAxisReference = -2;
inline constexpr std::int32_t kReferenceStride = 10000;

// The reference to point `sub_index` of the figure in `slot`; kNoReference
// when either is out of range.
constexpr std::int32_t MakeReference(int slot, int sub_index = 0) {
  if (slot < 0 || slot > kLastSlot || sub_index < 0 || sub_index >= kCross3Points)
    return kNoReference;
  return slot + kReferenceStride * sub_index;
}
// The slot a reference names (reference mod 10000); negative for none and axes.
constexpr int ReferenceSlot(std::int32_t ref) {
  return ref < 0 ? ref : ref % kReferenceStride;
}
// The sub-index of a reference (reference div 10000); 0 for none and axes.
constexpr int ReferenceSubIndex(std::int32_t ref) {
  return ref < 0 ? 0 : ref / kReferenceStride;
}
// Whether a reference names the figure in `slot`, whatever its sub-index.
constexpr bool RefersTo(std::int32_t ref, int slot) {
  return ref >= 0 && slot >= 0 && ReferenceSlot(ref) == slot;
}

// The reference fields a figure of the type has (Ref0, Ref1, ... in order; the
// 31 vertices of a polygon or spline): 0 for a function graph and unknown types.
int ReferenceCount(std::int32_t type);
class FigureRecord;
// Reference number i (0 <= i < ReferenceCount) of the record; kNoReference when
// i is out of range.
std::int32_t ReferenceAt(const FigureRecord& record, int i);
// Returns false when i is out of range.
bool SetReferenceAt(FigureRecord& record, int i, std::int32_t ref);
// Whether any reference field of the record names the figure in `slot`.
bool DependsOn(const FigureRecord& record, int slot);

// ---- What a record owns ----------------------------------------------------

// One remembered curve of a function's curve locus: n + 1 sample pairs.
struct CurveSnapshot {
  std::vector<float> X;
  std::vector<float> Y;
};

// A curve of a locus as it is stored: views into the locus, valid until it changes.
struct CurveSnapshotView {
  std::span<const float> X;
  std::span<const float> Y;
};

// A function's curve locus, oldest curve first. All curves share two flat arrays of values
// and one array of end offsets, so an entry costs its values and one offset, never an
// allocation of its own: a document with millions of tiny curves costs what its bytes do.
class CurveLocus {
 public:
  CurveLocus() = default;
  CurveLocus(std::initializer_list<CurveSnapshot> curves);

  std::size_t size() const { return ends_.size(); }
  bool empty() const { return ends_.empty(); }
  // Values of all curves together (of x, and as many of y).
  std::size_t value_count() const { return x_.size(); }
  CurveSnapshotView operator[](std::size_t k) const;
  CurveSnapshotView back() const { return (*this)[size() - 1]; }

  // Adds a curve of min(x.size(), y.size()) pairs.
  void push_back(std::span<const float> x, std::span<const float> y);
  void push_back(const CurveSnapshot& curve) { push_back(curve.X, curve.Y); }
  // Adds a curve as documents store it: little-endian floats, x and y of equal byte counts.
  void push_back_stored(std::span<const std::uint8_t> x, std::span<const std::uint8_t> y);
  // Replaces curve k (k < size()); a curve of another length moves the values after it.
  void replace(std::size_t k, std::span<const float> x, std::span<const float> y);
  void reserve(std::size_t curves, std::size_t values);
  void clear();

  friend bool operator==(const CurveLocus&, const CurveLocus&) = default;

 private:
  std::size_t begin_of(std::size_t k) const { return k == 0 ? 0 : ends_[k - 1]; }
  void Grow(std::size_t n);

  std::vector<float> x_, y_;
  std::vector<std::size_t> ends_;  // where curve k's values end
};

struct CachedObjectSummary;  // document/embedded_object.h

// The run-time data of a figure that its record's pointer words stand for.
// It is freed with the figure.
struct FigureOwned {
  std::vector<float> SampleX, SampleY;    // Function: the sampled curve
  CurveLocus KisekiList;                  // Function: the curve locus, oldest first
  std::vector<float> HatchX, HatchY;      // Menseki: the hatch list
  std::vector<std::uint8_t> ObjectBytes;  // OLE: the object as saved by its container
  // OLE: what drawing learnt from ObjectBytes (class name, picture), so that a repaint
  // need not decode them again. Shared by copies, which hold the same bytes; drawing
  // checks it against the bytes before use (ObjectSummaryOf).
  mutable std::shared_ptr<const CachedObjectSummary> ObjectSummaryCache;

  void clear();
  bool empty() const;
};

// ---- One figure ------------------------------------------------------------

// The bytes of one figure record and what it owns. The bytes always cover the
// whole layout struct of the type's family (for an embedded object 2,064 bytes,
// of which the first 1,400 are its record); `stored_bytes` is the part
// documents hold.
class FigureRecord {
 public:
  FigureRecord() = default;
  // A record of the type with every byte zero except the reserved block;
  // empty for an unknown type. Default attributes are set on top of it.
  static FigureRecord Blank(std::int32_t type);

  std::int32_t type() const { return type_; }
  bool empty() const { return type_ == kNoFigure; }

  std::span<std::uint8_t> bytes() { return bytes_; }
  std::span<const std::uint8_t> bytes() const { return bytes_; }
  // The first RecordSize(type, version) bytes: what a document of that version holds.
  std::span<std::uint8_t> stored_bytes(FormatVersion version = kCurrentFormat);
  std::span<const std::uint8_t> stored_bytes(FormatVersion version = kCurrentFormat) const;

  // The record seen through its layout; nullptr when the type is of another family.
  PointRecord* point() { return view<PointRecord>(LayoutFamily::kPoint); }
  LineRecord* line() { return view<LineRecord>(LayoutFamily::kLine); }
  CircleRecord* circle() { return view<CircleRecord>(LayoutFamily::kCircle); }
  FunctionRecord* function() { return view<FunctionRecord>(LayoutFamily::kFunction); }
  FrameRecord* frame() { return view<FrameRecord>(LayoutFamily::kFrame); }
  PolygonRecord* polygon() { return view<PolygonRecord>(LayoutFamily::kPolygon); }
  MultiPointRecord* multi_point() { return view<MultiPointRecord>(LayoutFamily::kMultiPoint); }
  const PointRecord* point() const { return view<PointRecord>(LayoutFamily::kPoint); }
  const LineRecord* line() const { return view<LineRecord>(LayoutFamily::kLine); }
  const CircleRecord* circle() const { return view<CircleRecord>(LayoutFamily::kCircle); }
  const FunctionRecord* function() const { return view<FunctionRecord>(LayoutFamily::kFunction); }
  const FrameRecord* frame() const { return view<FrameRecord>(LayoutFamily::kFrame); }
  const PolygonRecord* polygon() const { return view<PolygonRecord>(LayoutFamily::kPolygon); }
  const MultiPointRecord* multi_point() const {
    return view<MultiPointRecord>(LayoutFamily::kMultiPoint);
  }

  // The figure's name (for Cross3 the name of point 0). Every layout has one.
  std::string_view name() const;

  FigureOwned owned;

 private:
  template <class Layout>
  Layout* view(LayoutFamily family) {
    if (FamilyOf(type_) != family || bytes_.size() < sizeof(Layout)) return nullptr;
    return reinterpret_cast<Layout*>(bytes_.data());
  }
  template <class Layout>
  const Layout* view(LayoutFamily family) const {
    if (FamilyOf(type_) != family || bytes_.size() < sizeof(Layout)) return nullptr;
    return reinterpret_cast<const Layout*>(bytes_.data());
  }

  std::int32_t type_ = kNoFigure;
  std::vector<std::uint8_t> bytes_;
};

// Bytes of the in-memory record of a type (the size of its family's layout struct).
std::size_t LayoutSize(std::int32_t type);

// ---- Slots and table ---------------------------------------------------------

// The 12 bytes a slot occupies in a document, in front of its record.
struct StoredSlot {
  PointerWord Record;
  I32 FigureType;
  std::uint8_t Computed;
  std::uint8_t Marked;
  std::uint8_t Reserved[2];
};
static_assert(sizeof(StoredSlot) == 12);

struct FigureSlot {
  std::int32_t FigureType = kNoFigure;  // 0 = empty slot
  std::uint8_t Computed = 0;            // the figure was computed in the current pass
  std::uint8_t Marked = 0;              // scratch mark of the dependency search
  std::uint8_t Reserved[2] = {0, 0};
  std::uint32_t RecordWord = 0;  // the slot's pointer word as read, written back as is
  FigureRecord Record;

  bool empty() const { return FigureType == kNoFigure; }
  StoredSlot stored() const;
};

class FigureTable {
 public:
  std::int32_t LastIndex = -1;  // highest slot used since the table was last cleared
  // The table header's other words, kept as read.
  std::int32_t HeaderWord0 = 0;
  std::int32_t HeaderWord2 = 0;

  FigureSlot& operator[](int index) { return slots_[static_cast<std::size_t>(index)]; }
  const FigureSlot& operator[](int index) const { return slots_[static_cast<std::size_t>(index)]; }
  // nullptr for an index outside 0..500.
  FigureSlot* slot(int index);
  const FigureSlot* slot(int index) const;
  // The record in a slot, nullptr for an empty slot or an index outside 0..500.
  FigureRecord* record(int index);
  const FigureRecord* record(int index) const;

  std::span<FigureSlot> slots() { return slots_; }
  std::span<const FigureSlot> slots() const { return slots_; }

 private:
  std::array<FigureSlot, kFigureSlots> slots_;
};

// True while at least one of the 501 slots is empty.
bool HasFreeSlot(const FigureTable& table);

// Puts an initialised record into the lowest empty slot with Computed and
// Marked cleared, and raises LastIndex to it. Returns the slot index, or
// nothing when every slot is used or the record does not fit its own type.
std::optional<int> NewFigure(FigureTable& table, FigureRecord record);

// Puts a record into the given slot (a document names the slot of every
// figure), freeing whatever was there, and raises LastIndex. Fails for an
// index outside 0..500 or a record that does not fit its own type.
bool PlaceFigure(FigureTable& table, int index, FigureRecord record);

// Empties the slot and frees its record with everything it owns. LastIndex is
// left as it is: indices are stable and the slot is reused by the next figure.
void FreeFigure(FigureTable& table, int index);

// Empties every slot and sets LastIndex to -1.
void ClearTable(FigureTable& table);

// True when a figure other than the one in `own_index` already has the name.
// A Cross3 figure owns the names of all four of its points.
bool FindByName(const FigureTable& table, std::string_view name, int own_index);

}  // namespace qzarn
