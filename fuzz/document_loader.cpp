// Loads arbitrary bytes as a document, plain or compressed (the loader tells
// them apart by the header). A document that loads must write back and load
// again to the same bytes.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "document/document_file.h"
#include "document/screen.h"

namespace {

qzarn::Screen& ReusedScreen() {
  static std::unique_ptr<qzarn::Screen> screen = [] {
    qzarn::ScreenTitleCounter titles;
    return qzarn::Screen::Create(qzarn::NewScreenDefaults{}, titles);
  }();
  return *screen;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  qzarn::Screen& screen = ReusedScreen();
  const qzarn::LoadResult loaded = qzarn::ReadDocumentBytes({data, size}, screen);
  if (!loaded.ok()) return 0;

  // Keep the picture in the format it came in, so writing it back changes nothing.
  qzarn::SaveOptions options;
  options.picture_as_jpeg = screen.Background.format == qzarn::BackgroundPicture::Format::kJpeg;
  std::vector<std::uint8_t> first, second;
  std::string error;
  if (!qzarn::WritePlainDocument(screen, "f.qzl", options, first, error)) std::abort();
  if (!qzarn::ReadPlainDocument(first, screen).ok()) std::abort();
  if (!qzarn::WritePlainDocument(screen, "f.qzl", options, second, error)) std::abort();
  if (first != second) std::abort();
  return 0;
}
