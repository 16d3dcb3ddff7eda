#pragma once
// Builders shared by the document file tests: a screen that uses every block
// and record type, and raw access to the stored bytes.

#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "document/document_file.h"
#include "document/screen.h"
#include "platform/binary_io.h"
#include "platform/image_codec.h"

namespace qzarn::testing_support {

inline std::unique_ptr<Screen> NewScreen() {
  ScreenTitleCounter titles;
  return Screen::Create(NewScreenDefaults{}, titles);
}

// The fields a load resets (engine output and pointer words of the writing process), set to
// the values a load gives them so that a loaded record compares equal byte for byte.
inline void SetLoadedRuntimeState(FigureRecord& r) {
  if (FunctionRecord* f = r.function()) {
    f->CurveValid = 0;
    f->SampleLast = -1;
    f->SampleX = 0;
    f->SampleY = 0;
    f->KisekiList = 0;
  } else if (r.type() == kMensekiFigure) {
    r.point()->HatchCount = -1;
    r.point()->HatchX = 0;
    r.point()->HatchY = 0;
  }
}

inline FigureRecord RandomRecord(std::int32_t type, std::mt19937& rng) {
  FigureRecord r = FigureRecord::Blank(type);
  for (std::uint8_t& b : r.stored_bytes())
    b = static_cast<std::uint8_t>(rng());
  SetLoadedRuntimeState(r);
  return r;
}

inline std::vector<std::uint8_t> SmallBmp() {
  RgbImage img(3, 2);
  for (std::size_t i = 0; i < img.pixels.size(); ++i)
    img.pixels[i] = static_cast<std::uint8_t>(i * 40);
  return EncodeBmp(img);
}

// A screen with every record type (slots 0..17 hold types 1..18, slot 40 a second function
// with a curve locus), an embedded object's bytes, palette labels and boxes, two equations
// and a background picture.
inline std::unique_ptr<Screen> RichScreen(unsigned seed = 1) {
  std::mt19937 rng(seed);
  auto s = NewScreen();
  s->View().ScreenWidth = 800;
  s->View().ScreenHeight = 600;
  s->View().Zoom = 150;
  s->Variables().bind(0, 1, 2.5);
  s->Variables().bind(3, 2, -7.25);
  for (std::int32_t type = 1; type <= kLastFigureType; ++type) {
    FigureRecord r = RandomRecord(type, rng);
    if (type == kOleFigure)
      for (int i = 0; i < 300; ++i)
        r.owned.ObjectBytes.push_back(static_cast<std::uint8_t>(rng()));
    PlaceFigure(s->Figures, type - 1, std::move(r));
    FigureSlot& slot = s->Figures[type - 1];
    slot.Computed = static_cast<std::uint8_t>(type % 2);
    slot.Reserved[0] = 0x5A;
    slot.RecordWord = 0x12345678u + static_cast<std::uint32_t>(type);
  }
  FigureRecord f = RandomRecord(kFunctionFigure, rng);
  f.function()->KisekiF = true;
  f.owned.KisekiList = {{{1.0f, 2.0f, 3.0f}, {4.0f, 5.0f, 6.0f}}, {{-1.5f}, {0.25f}}};
  PlaceFigure(s->Figures, 40, std::move(f));
  s->Figures[8].Record.function()->KisekiF = false;  // the other function records no locus
  for (int i : {0, 1, 7}) {
    PaletteItem& item = s->PaletteItems[static_cast<std::size_t>(i)];
    for (std::uint8_t& b : item.Bytes)
      b = static_cast<std::uint8_t>(rng());
    item.SetKind(i == 1 ? 1 : 0);
  }
  s->Equations.EquationLast = 1;
  s->Equations.Entries[0].LetterIndex = 1;
  s->Equations.Entries[0].Row = 0;
  s->Equations.Entries[0].Text.assign("a*2");
  s->Equations.Entries[1].LetterIndex = 2;
  s->Equations.Entries[1].Row = 3;
  s->Equations.Entries[1].Text.assign("b+1");
  s->Background.format = BackgroundPicture::Format::kBmp;
  s->Background.bytes = SmallBmp();
  return s;
}

inline SaveOptions PlainBmp() {
  SaveOptions o;
  o.picture_as_jpeg = false;
  return o;
}

inline std::vector<std::uint8_t> Plain(const Screen& s, const SaveOptions& o = PlainBmp()) {
  std::vector<std::uint8_t> out;
  std::string error;
  if (!WritePlainDocument(s, "doc.qzl", o, out, error)) out.clear();
  return out;
}

inline std::int32_t I32At(const std::vector<std::uint8_t>& b, std::size_t at) {
  return LoadI32(b.data() + at);
}

}  // namespace qzarn::testing_support
