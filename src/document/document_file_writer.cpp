// Writes the plain document layout: header, file name, settings block, axis
// font, background picture, figure records, palette entries, curve loci and
// intermediate equations, in that order.
#include <algorithm>
#include <cstring>

#include "document/document_file.h"
#include "document/document_file_format.h"
#include "platform/binary_io.h"
#include "platform/image_codec.h"
#include "platform/text_encoding.h"

namespace qzarn {
namespace {

using namespace docfile;

void WriteHeader(ByteWriter& w, std::string_view tag) {
  std::uint8_t field[kTagFieldSize] = {};
  field[0] = static_cast<std::uint8_t>(tag.size());
  std::memcpy(field + 1, tag.data(), tag.size());
  w.WriteBytes(field, sizeof field);
  w.WriteI32(kWrittenLastFigure);
  w.WriteI32(kWrittenLastPaletteEntry);
}

// The file name as a str[255] in code page 932; readers skip it.
void WriteFileName(ByteWriter& w, std::string_view file_name) {
  const std::string cp932 = utf8_to_cp932(file_name).bytes;
  const std::size_t n = cp932_prefix_length(cp932, kFileNameFieldSize - 1);
  std::uint8_t field[kFileNameFieldSize] = {};
  field[0] = static_cast<std::uint8_t>(n);
  std::memcpy(field + 1, cp932.data(), n);
  w.WriteBytes(field, sizeof field);
}

// The picture goes out in the format the settings ask for. A picture already held in that
// format is written back as it came, so saving again never costs JPEG quality.
bool WritePicture(ByteWriter& w, const BackgroundPicture& picture, const SaveOptions& options,
                  std::string& error) {
  using Format = BackgroundPicture::Format;
  if (picture.empty()) {
    w.WriteI32(kNoPicture);
    return true;
  }
  const Format wanted = options.picture_as_jpeg ? Format::kJpeg : Format::kBmp;
  std::vector<std::uint8_t> converted;
  std::span<const std::uint8_t> bytes = picture.bytes;
  if (picture.format != wanted) {
    RgbImage image;
    if (!DecodeImage(picture.bytes, image, error)) return false;
    if (wanted == Format::kJpeg) {
      if (!EncodeJpeg(image, options.jpeg_quality, converted, error)) return false;
    } else {
      converted = EncodeBmp(image);
    }
    bytes = converted;
  }
  if (bytes.size() > static_cast<std::size_t>(INT32_MAX) - 16) {
    error = "background picture too large";
    return false;
  }
  if (wanted == Format::kJpeg) w.WriteI32(kJpegPicture);
  w.WriteI32(static_cast<std::int32_t>(bytes.size()));
  w.WriteBytes(bytes);
  return true;
}

bool WriteFigures(ByteWriter& w, const FigureTable& table, std::string& error) {
  for (int i = 0; i < kFigureSlots; ++i) {
    const FigureSlot& slot = table[i];
    if (slot.empty() || slot.Record.empty()) continue;
    const StoredSlot stored = slot.stored();
    w.WriteI32(i);
    w.WriteBytes(&stored, sizeof stored);
    const auto bytes = slot.Record.stored_bytes();
    if (bytes.size() != static_cast<std::size_t>(RecordSize(slot.FigureType))) {
      error = "figure " + std::to_string(i) + " has a record of the wrong size";
      return false;
    }
    w.WriteBytes(bytes);
    if (slot.FigureType == kOleFigure) {
      const auto& object = slot.Record.owned.ObjectBytes;
      if (object.size() > static_cast<std::size_t>(INT32_MAX)) {
        error = "embedded object too large";
        return false;
      }
      w.WriteI32(static_cast<std::int32_t>(object.size()));
      w.WriteBytes(object);
    }
  }
  w.WriteI32(kEndOfList);
  return true;
}

void WritePalette(ByteWriter& w, const std::array<PaletteItem, kPaletteItems>& items) {
  for (int i = 0; i < kPaletteItems; ++i) {
    if (items[static_cast<std::size_t>(i)].Kind() < 0) continue;
    w.WriteI32(i);
    w.WriteBytes(items[static_cast<std::size_t>(i)].Bytes, kPaletteItemSize);
  }
}

// A function's curve locus is stored when it is switched on and holds at least one curve.
// Empty curves cannot be stored (their count would read as the end of the list).
bool HasStoredLocus(const FigureSlot& slot) {
  if (slot.FigureType != kFunctionFigure) return false;
  const FunctionRecord* f = slot.Record.function();
  if (f == nullptr || !f->KisekiF) return false;
  const CurveLocus& locus = slot.Record.owned.KisekiList;
  for (std::size_t k = 0; k < locus.size(); ++k)
    if (!locus[k].X.empty()) return true;
  return false;
}

void WriteCurveLoci(ByteWriter& w, const FigureTable& table) {
  std::vector<int> slots;
  for (int i = 0; i < kFigureSlots; ++i)
    if (HasStoredLocus(table[i])) slots.push_back(i);
  if (slots.empty()) return;
  w.WriteI32(kCurveLociMarker);
  w.WriteI32(static_cast<std::int32_t>(slots.size()) - 1);
  for (int i : slots) {
    w.WriteI32(i);
    const CurveLocus& locus = table[i].Record.owned.KisekiList;
    for (std::size_t k = 0; k < locus.size(); ++k) {
      const CurveSnapshotView c = locus[k];
      const std::size_t n = c.X.size();
      if (n == 0) continue;
      w.WriteI32(static_cast<std::int32_t>(n - 1));
      w.WriteBytes(c.X.data(), n * sizeof(float));  // little-endian floats, as stored
      w.WriteBytes(c.Y.data(), n * sizeof(float));
    }
    w.WriteI32(kEndOfList);
  }
}

void WriteEquationsOrEnd(ByteWriter& w, const EquationBlock& equations) {
  const std::int32_t last = std::min<std::int32_t>(equations.EquationLast, kHighestEquation);
  if (last < 0) {
    w.WriteI32(kEndOfList);
    return;
  }
  w.WriteI32(kEquationsMarker);
  w.WriteI32(last);
  for (std::int32_t i = 0; i <= last; ++i) {
    const EquationEntry& e = equations.Entries[i];
    w.WriteBytes(&e.LetterIndex, sizeof e.LetterIndex);
    w.WriteBytes(&e.Row, sizeof e.Row);
    w.WriteBytes(&e.Text, sizeof e.Text);  // the reserved byte after it is not stored
  }
}

std::size_t EstimatedSize(const Screen& screen) {
  std::size_t n = kHeaderSize + kFileNameFieldSize + sizeof(SettingsBlock) + sizeof(AxisFont) +
                  screen.Background.bytes.size() + kPaletteItems * (kPaletteItemSize + 4) +
                  sizeof(EquationBlock) + 64;
  for (const FigureSlot& slot : screen.Figures.slots()) {
    if (slot.empty()) continue;
    n += 16 + slot.Record.bytes().size() + slot.Record.owned.ObjectBytes.size();
    const CurveLocus& locus = slot.Record.owned.KisekiList;
    n += 4 * locus.size() + 8 * locus.value_count();
  }
  return n;
}

}  // namespace

bool WritePlainDocument(const Screen& screen, std::string_view file_name,
                        const SaveOptions& options, std::vector<std::uint8_t>& out,
                        std::string& error) {
  static_assert(sizeof(EquationEntry::Text) + 8 == kStoredEquationSize);
  ByteWriter w;
  w.Reserve(EstimatedSize(screen));
  WriteHeader(w, kCurrentTag);
  WriteFileName(w, file_name);
  w.WriteBytes(&screen.Settings, sizeof screen.Settings);
  w.WriteBytes(&screen.Font, sizeof screen.Font);
  if (!WritePicture(w, screen.Background, options, error)) return false;
  if (!WriteFigures(w, screen.Figures, error)) return false;
  WritePalette(w, screen.PaletteItems);
  WriteCurveLoci(w, screen.Figures);
  WriteEquationsOrEnd(w, screen.Equations);
  out = w.Take();
  return true;
}

}  // namespace qzarn
