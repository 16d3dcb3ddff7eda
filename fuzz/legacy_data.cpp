// Any bytes as the text-mode edition's data files (FUNCTION.DAT, HOLDER.DAT + FIGURE.DAT) and
// as a stored embedded object. The input is read once as it is (mostly a truncated file) and
// once repeated to the full record count, so the fuzzer's bytes reach every record. Reading
// never fails on a full-size file, every text stays within its field and entries come in
// order under their holder. (The texts are converted for display only when shown; the
// conversion has its own tests and would slow every run down.)
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "document/embedded_object.h"
#include "import/legacy_data.h"

namespace {

std::vector<std::uint8_t> Repeated(std::span<const std::uint8_t> bytes, std::size_t size) {
  std::vector<std::uint8_t> out(size, 0);
  if (!bytes.empty())
    for (std::size_t i = 0; i < size; ++i)
      out[i] = bytes[i % bytes.size()];
  return out;
}

void Check(bool condition) {
  if (!condition) std::abort();
}

void Functions(std::span<const std::uint8_t> bytes) {
  using namespace qzarn::import;
  std::vector<FunctionEntry> out;
  std::string error;
  Check(ReadFunctionFile(bytes, out, error) ==
        (bytes.size() >= kFunctionEntries * kFunctionRecordSize));
  const auto full = Repeated(bytes, kFunctionEntries * kFunctionRecordSize);
  Check(ReadFunctionFile(full, out, error) && out.size() == kFunctionEntries);
  for (const FunctionEntry& e : out) {
    Check(e.title.size() <= 40 && e.start.size() <= 15 && e.end.size() <= 15 && e.x.size() <= 200 &&
          e.y.size() <= 200);
  }
}

void Figures(std::span<const std::uint8_t> bytes) {
  using namespace qzarn::import;
  const std::size_t half = bytes.size() / 2;
  const auto holders = bytes.first(half);
  const auto figures = bytes.subspan(half);
  std::vector<FigureEntry> out;
  std::string error;
  (void)ReadFigureIndex(holders, figures, out, error);
  const auto full_holders = Repeated(holders, kHolders * kHolderRecordSize);
  const auto full_figures = Repeated(figures, kFigureEntries * kFigureRecordSize);
  Check(ReadFigureIndex(full_holders, full_figures, out, error));
  int previous = 0;
  for (const FigureEntry& e : out) {
    Check(e.number > previous && e.number <= kFigureEntries);
    Check(e.holder == (e.number - 1) / kEntriesPerHolder + 1);
    Check(e.holder_name.size() <= 36 && e.name.size() <= 34);
    Check(PageFileName(e.number).size() == 10);
    previous = e.number;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::span<const std::uint8_t> rest(data + 1, size - 1);
  switch (data[0] % 3) {
    case 0:
      Functions(rest);
      break;
    case 1:
      Figures(rest);
      break;
    default: {
      const qzarn::ObjectSummary s = qzarn::DescribeObject(rest);
      if (s.picture) Check(s.picture->pixels.size() == s.picture->stride() * s.picture->height);
      break;
    }
  }
  return 0;
}
