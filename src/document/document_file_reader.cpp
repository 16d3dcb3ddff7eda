// Reads the plain document layout of every version from 1.00 to 1.05. Every
// count and index read from the bytes is checked before it is used, and the
// blocks are read into a fresh copy that replaces the screen's blocks only at
// the end, so a file that fails half way leaves the screen as it was.
#include <memory>
#include <new>

#include "document/document_file.h"
#include "document/document_file_format.h"
#include "platform/binary_io.h"
#include "platform/image_codec.h"

namespace qzarn {
namespace {

using namespace docfile;

// The persistent blocks of a screen while they are being read.
struct DocumentBlocks {
  SettingsBlock Settings;
  AxisFont Font;
  BackgroundPicture Background;
  FigureTable Figures;
  std::array<PaletteItem, kPaletteItems> PaletteItems;
  EquationBlock Equations;
};

class PlainReader {
 public:
  PlainReader(std::span<const std::uint8_t> bytes, const LoadOptions& options, LoadResult& result)
      : r_(bytes), options_(options), result_(result), bytes_(bytes) {}

  bool Read(DocumentBlocks& doc) {
    if (!ReadHeader() || !ReadSettings(doc) || !ReadPicture(doc.Background) ||
        !ReadFigures(doc.Figures))
      return false;
    const bool rest_read = ReadPaletteAndMarkers(doc);
    // Where the rest does not read, a damaged figure index is the likelier cause: it ended the
    // list early, and the figures behind it were taken for the blocks that follow the list.
    // (A limit the rest ran into is its own, exact reason.)
    const bool astray = rest_read ? !r_.at_end() : result_.error == LoadError::kCorrupt;
    if (astray && ListEndedEarly()) return DamagedAfter(list_end_);
    if (!rest_read) return false;
    // Every byte belongs to some block; bytes nobody read mean the reading went astray.
    if (!r_.at_end()) return DamagedAfter(r_.position());
    return true;
  }

 private:
  bool Corrupt(std::string what) {
    result_.error = LoadError::kCorrupt;
    result_.detail = std::move(what);
    return false;
  }
  bool Truncated(const char* where) { return Corrupt(std::string("file ends inside ") + where); }
  bool DamagedAfter(std::size_t good_bytes) {
    return Corrupt("the file is damaged after byte " + std::to_string(good_bytes));
  }
  bool TooLarge(std::string what) {
    result_.error = LoadError::kTooLarge;
    result_.detail = "the document claims " + std::move(what);
    return false;
  }

  bool ReadHeader() {
    std::span<const std::uint8_t> header;
    if (!r_.ReadSpan(kHeaderSize, header)) {
      result_.error = LoadError::kUnknownFormat;
      result_.detail = "file too short for a document header";
      return false;
    }
    const auto tag = StoredTag(header);
    const auto version = tag ? VersionOfTag(*tag) : std::nullopt;
    if (!version) {
      result_.error = LoadError::kUnknownFormat;
      result_.detail = "unknown format tag";
      return false;
    }
    result_.tag = std::string(*tag);
    result_.version = *version;
    last_figure_ = LoadI32(header.data() + kTagFieldSize);
    return true;
  }

  bool ReadSettings(DocumentBlocks& doc) {
    if (!r_.Skip(kFileNameFieldSize)) return Truncated("the file name");
    if (!r_.ReadBytes(&doc.Settings, sizeof doc.Settings)) return Truncated("the settings");
    if (result_.version < FormatVersion::kV105) {
      ResetAxisFont(doc.Font, options_.window_font_name);
    } else if (!r_.ReadBytes(&doc.Font, sizeof doc.Font)) {
      return Truncated("the axis font");
    }
    return true;
  }

  bool ReadPicture(BackgroundPicture& picture) {
    std::int32_t tag = 0;
    if (!r_.ReadI32(tag)) return Truncated("the picture tag");
    if (tag == kNoPicture) return true;
    std::int32_t size = tag;
    auto format = BackgroundPicture::Format::kBmp;
    if (tag == kJpegPicture) {
      format = BackgroundPicture::Format::kJpeg;
      if (!r_.ReadI32(size)) return Truncated("the picture size");
    }
    if (size < 0) return Corrupt("negative picture size");
    if (size == 0) return true;  // nothing stored: no picture
    std::span<const std::uint8_t> bytes;
    if (!r_.ReadSpan(static_cast<std::size_t>(size), bytes)) return Truncated("the picture");
    // The picture must decode now: a document whose picture is damaged does not load.
    RgbImage image;
    std::string error;
    const bool decoded = format == BackgroundPicture::Format::kJpeg
                             ? DecodeJpeg(bytes, image, error)
                             : DecodeBmp(bytes, image, error);
    if (!decoded) return Corrupt("background picture: " + error);
    picture.format = format;
    picture.bytes.assign(bytes.begin(), bytes.end());
    return true;
  }

  FigureRecord NewRecord(std::int32_t type) const {
    if (options_.make_record) {
      FigureRecord r = options_.make_record(type);
      if (r.type() == type && r.bytes().size() == LayoutSize(type)) return r;
    }
    return FigureRecord::Blank(type);
  }

  // What a loaded record must not keep from the file: the engine's sampled curve and hatch
  // state, and the pointer words that meant something only to the writing process.
  void ResetRuntimeState(FigureRecord& record) const {
    if (FunctionRecord* f = record.function()) {
      if (result_.version <= FormatVersion::kV103) {
        f->AreaEx2.assign(f->LegacyAreaEx2.view());
        f->AreaWd2.assign(f->LegacyAreaWd2.view());
      }
      f->CurveValid = 0;
      f->SampleLast = -1;
      f->SampleX = 0;
      f->SampleY = 0;
      f->KisekiList = 0;
    } else if (record.type() == kMensekiFigure) {
      PointRecord* p = record.point();
      p->HatchCount = -1;
      p->HatchX = 0;
      p->HatchY = 0;
    }
  }

  bool ReadFigures(FigureTable& table) {
    for (;;) {
      std::int32_t index = 0;
      const std::size_t at = r_.position();
      if (!r_.ReadI32(index)) return Truncated("the figure list");
      if (index < 0 || index > last_figure_) {
        list_end_ = at;
        list_end_value_ = index;
        return true;
      }
      if (index > kLastSlot) return Corrupt("figure index " + std::to_string(index));
      StoredSlot slot;
      if (!r_.ReadBytes(&slot, sizeof slot)) return Truncated("a figure slot");
      const std::int32_t type = slot.FigureType;
      if (!IsFigureType(type)) return Corrupt("figure type " + std::to_string(type));
      FigureRecord record = NewRecord(type);
      if (!r_.ReadBytes(record.stored_bytes(result_.version).data(),
                        static_cast<std::size_t>(RecordSize(type, result_.version))))
        return Truncated("a figure record");
      ResetRuntimeState(record);
      if (type == kOleFigure) {
        // The object's data is kept byte for byte so that saving again stores the same object.
        std::int32_t size = 0;
        if (!r_.ReadI32(size)) return Truncated("an object's size");
        if (size < 0) return Corrupt("negative object size");
        if (!r_.ReadInto(static_cast<std::size_t>(size), record.owned.ObjectBytes))
          return Truncated("an object's data");
      }
      if (!PlaceFigure(table, index, std::move(record)))
        return Corrupt("figure " + std::to_string(index) + " does not fit its slot");
      FigureSlot& placed = table[index];
      placed.Computed = slot.Computed;
      placed.Reserved[0] = slot.Reserved[0];
      placed.Reserved[1] = slot.Reserved[1];
      placed.RecordWord = slot.Record;
    }
  }

  // Whether the figure list ended early: on a value other than its end mark (any index beyond
  // the list ends it), or on the end mark with a figure's slot right behind it.
  bool ListEndedEarly() const {
    if (list_end_value_ != kEndOfList) return true;
    ByteReader probe(bytes_);
    StoredSlot slot;
    if (!probe.Seek(list_end_ + 4) || !probe.ReadBytes(&slot, sizeof slot)) return false;
    const std::int32_t type = slot.FigureType;
    std::int32_t next = 0;
    // The slot's record must be there, followed by another index or the end mark.
    return IsFigureType(type) && type != kOleFigure &&
           probe.Skip(static_cast<std::size_t>(RecordSize(type, result_.version))) &&
           probe.ReadI32(next) && (next == kEndOfList || (next >= 0 && next <= last_figure_));
  }

  bool ReadCurveLoci(FigureTable& table) {
    std::int32_t count_less_one = 0;
    if (!r_.ReadI32(count_less_one)) return Truncated("the curve loci");
    if (count_less_one < -1 || count_less_one > kLastSlot)
      return Corrupt("curve locus count " + std::to_string(count_less_one));
    for (std::int32_t k = 0; k <= count_less_one; ++k) {
      std::int32_t index = 0;
      if (!r_.ReadI32(index)) return Truncated("the curve loci");
      FigureRecord* record = table.record(index);
      if (record == nullptr || record->function() == nullptr)
        return Corrupt("curve locus for figure " + std::to_string(index) +
                       ", which is not a function");
      for (;;) {
        std::int32_t last = 0;
        if (!r_.ReadI32(last)) return Truncated("a curve locus");
        if (last < 0) break;
        const std::size_t n = static_cast<std::size_t>(last) + 1;
        std::span<const std::uint8_t> xs, ys;
        if (!r_.ReadSpan(n * 4, xs) || !r_.ReadSpan(n * 4, ys)) return Truncated("a curve locus");
        if (++curves_ > kMaxLocusCurves)
          return TooLarge("more than " + std::to_string(kMaxLocusCurves) +
                          " curves in its curve loci");
        record->owned.KisekiList.push_back_stored(xs, ys);
      }
    }
    return true;
  }

  bool ReadEquations(EquationBlock& equations) {
    std::int32_t last = 0;
    if (!r_.ReadI32(last)) return Truncated("the equations");
    if (last < -1 || last > kHighestEquation)
      return Corrupt("equation count " + std::to_string(last));
    equations.EquationLast = last;
    for (std::int32_t i = 0; i <= last; ++i) {
      EquationEntry& e = equations.Entries[i];
      if (!r_.ReadBytes(&e.LetterIndex, sizeof e.LetterIndex) ||
          !r_.ReadBytes(&e.Row, sizeof e.Row) || !r_.ReadBytes(&e.Text, sizeof e.Text))
        return Truncated("the equations");
    }
    return true;
  }

  // Palette entries run until the first negative value, which is the first marker of the
  // optional blocks; a file without equations ends with -1.
  bool ReadPaletteAndMarkers(DocumentBlocks& doc) {
    std::int32_t marker = 0;
    for (;;) {
      if (!r_.ReadI32(marker)) return Truncated("the palette");
      if (marker < 0) break;
      if (marker >= kPaletteItems) return Corrupt("palette entry " + std::to_string(marker));
      if (!r_.ReadBytes(doc.PaletteItems[static_cast<std::size_t>(marker)].Bytes, kPaletteItemSize))
        return Truncated("a palette entry");
    }
    if (marker == kCurveLociMarker) {
      if (!ReadCurveLoci(doc.Figures)) return false;
      if (!r_.ReadI32(marker)) return Truncated("the marker after the curve loci");
    }
    if (marker == kEquationsMarker) return ReadEquations(doc.Equations);
    return true;
  }

  ByteReader r_;
  const LoadOptions& options_;
  LoadResult& result_;
  std::int32_t last_figure_ = kWrittenLastFigure;
  std::size_t curves_ = 0;  // curve-locus entries read so far, all figures together
  std::span<const std::uint8_t> bytes_;
  std::size_t list_end_ = 0;  // where the figure list's last word starts
  std::int32_t list_end_value_ = kEndOfList;
};

}  // namespace

LoadResult ReadPlainDocument(std::span<const std::uint8_t> bytes, Screen& screen,
                             const LoadOptions& options) try {
  LoadResult result;
  auto doc = std::make_unique<DocumentBlocks>();
  ResetPalette(doc->PaletteItems);
  ResetEquations(doc->Equations);
  ClearTable(doc->Figures);
  PlainReader reader(bytes, options, result);
  if (!reader.Read(*doc)) return result;

  screen.Settings = doc->Settings;
  screen.Font = doc->Font;
  screen.Background = std::move(doc->Background);
  screen.Figures = std::move(doc->Figures);
  screen.PaletteItems = doc->PaletteItems;
  screen.Equations = doc->Equations;
  screen.BitmapWidth = screen.View().ScreenWidth;
  screen.BitmapHeight = screen.View().ScreenHeight;
  screen.Modified = false;
  screen.SelectedIndex = -1;
  screen.GrabbedHandle = -1;
  screen.ActiveObject = -1;
  screen.CycleReported = false;
  return result;
} catch (const std::bad_alloc&) {
  return OutOfMemory();
}

}  // namespace qzarn
