// qzarn-cli dump FILE: loads a document, recomputes it once and prints it as
// one JSON object. Field names come from the record field tables, so every
// name is spelled once, where the layout is defined. Numbers print with 17
// significant digits; NaN and infinities, which JSON cannot spell, print as
// null. Locus coordinate arrays are left out (thousands of numbers that only
// drawing uses).
#include <cstdio>
#include <string>
#include <string_view>

#include "app/cli/cli_document.h"
#include "app/cli/commands.h"
#include "app/cli/json_writer.h"
#include "document/field_table.h"
#include "document/palette_item_fields.h"
#include "platform/text_encoding.h"

namespace qzarn::cli {
namespace {

void WriteScalar(JsonWriter& json, std::span<const std::uint8_t> bytes, const FieldInfo& field,
                 int index) {
  if (field.kind == FieldKind::kString) {
    const auto text = ReadString(bytes, field, index);
    if (text)
      json.String(cp932_to_utf8(*text));
    else
      json.Null();
    return;
  }
  const auto value = ReadNumber(bytes, field, index);
  if (!value)
    json.Null();
  else if (field.kind == FieldKind::kBool)
    json.Bool(*value != 0);
  else
    json.Number(*value);
}

bool IsLocusArray(const FieldInfo& field) {
  return field.count >= kTrackLength;
}

void WriteField(JsonWriter& json, std::span<const std::uint8_t> bytes, const FieldInfo& field) {
  json.Key(field.name);
  if (field.count == 1) {
    WriteScalar(json, bytes, field, 0);
    return;
  }
  json.BeginArray();
  for (int i = 0; i < field.count; ++i)
    WriteScalar(json, bytes, field, i);
  json.EndArray();
}

void WriteFields(JsonWriter& json, std::span<const std::uint8_t> bytes,
                 std::span<const FieldInfo> fields) {
  json.BeginObject();
  for (const FieldInfo& f : fields)
    if (!IsLocusArray(f)) WriteField(json, bytes, f);
  json.EndObject();
}

template <class Block>
std::span<const std::uint8_t> BytesOf(const Block& block) {
  return {reinterpret_cast<const std::uint8_t*>(&block), sizeof block};
}

std::string VariableName(int letter, int row) {
  std::string name(1, static_cast<char>('a' + letter));
  if (row > 0) name += std::to_string(row);
  return name;
}

void WriteVariables(JsonWriter& json, const VariableTable& table) {
  json.BeginObject();
  for (int row = 0; row <= 9; ++row)
    for (int letter = 0; letter < 26; ++letter) {
      json.Key(VariableName(letter, row));
      json.Number(table.read(row, letter + 1));
    }
  json.EndObject();
}

void WriteEquations(JsonWriter& json, const EquationBlock& equations) {
  json.BeginArray();
  const int last = std::min<int>(equations.EquationLast, kEquationCount - 1);
  for (int i = 0; i <= last; ++i) {
    const EquationEntry& e = equations.Entries[i];
    json.BeginObject();
    json.Key("variable");
    const int letter = e.LetterIndex, row = e.Row;
    if (letter >= 0 && letter < 26 && row >= 0 && row <= 12)
      json.String(VariableName(letter, row));
    else
      json.Null();
    json.Key("text");
    json.String(cp932_to_utf8(e.Text.view()));
    json.EndObject();
  }
  json.EndArray();
}

void WritePalette(JsonWriter& json, const std::array<PaletteItem, kPaletteItems>& items) {
  json.BeginArray();
  for (int i = 0; i < kPaletteItems; ++i) {
    const PaletteItem& item = items[static_cast<std::size_t>(i)];
    if (item.Kind() < 0) continue;
    json.BeginObject();
    json.Key("index");
    json.Integer(i);
    const std::span<const std::uint8_t> bytes(item.Bytes, kPaletteItemSize);
    for (const FieldInfo& f : PaletteItemFields(item.Kind()))
      WriteField(json, bytes, f);
    json.EndObject();
  }
  json.EndArray();
}

void WriteFigures(JsonWriter& json, const FigureTable& table) {
  json.BeginArray();
  for (int i = 0; i < kFigureSlots; ++i) {
    const FigureSlot& slot = table[i];
    if (slot.empty()) continue;
    json.BeginObject();
    json.Key("slot");
    json.Integer(i);
    json.Key("type");
    json.Integer(slot.FigureType);
    json.Key("computed");
    json.Bool(slot.Computed != 0);
    json.Key("fields");
    json.BeginObject();
    const auto bytes = slot.Record.stored_bytes();
    for (const FieldInfo* f : FieldsOfType(slot.FigureType))
      if (!IsLocusArray(*f)) WriteField(json, bytes, *f);
    // A function's sampled curve is one of its fields.
    if (slot.FigureType == kFunctionFigure) {
      json.Key("samples");
      json.BeginArray();
      const auto& owned = slot.Record.owned;
      const std::size_t n = std::min(owned.SampleX.size(), owned.SampleY.size());
      for (std::size_t k = 0; k < n; ++k) {
        json.BeginArray();
        json.Number(owned.SampleX[k]);
        json.Number(owned.SampleY[k]);
        json.EndArray();
      }
      json.EndArray();
    }
    json.EndObject();
    json.EndObject();
  }
  json.EndArray();
}

}  // namespace

int RunDump(int argc, char** argv) {
  if (argc != 2 || std::string_view(argv[1]).starts_with("--")) {
    std::fprintf(stderr, "usage: qzarn-cli dump FILE\n");
    return 2;
  }
  LoadResult loaded;
  std::unique_ptr<Screen> screen = LoadCliDocument("dump", argv[1], &loaded);
  if (!screen) return 1;
  RecomputeForCli(*screen);

  JsonWriter json;
  json.BeginObject();
  json.Key("tag");
  json.String(loaded.tag);
  json.Key("compressed");
  json.Bool(loaded.compressed);
  json.Key("settings");
  WriteFields(json, BytesOf(screen->View()), ViewSettingsFields());
  json.Key("axis_font");
  WriteFields(json, BytesOf(screen->Font), LabelFontFields());
  json.Key("variables");
  WriteVariables(json, screen->Variables());
  json.Key("equations");
  WriteEquations(json, screen->Equations);
  json.Key("palette");
  WritePalette(json, screen->PaletteItems);
  json.Key("figures");
  WriteFigures(json, screen->Figures);
  json.Key("cycle_reported");
  json.Bool(screen->CycleReported);
  json.EndObject();
  std::printf("%s\n", json.str().c_str());
  return 0;
}

}  // namespace qzarn::cli
