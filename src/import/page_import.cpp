#include "import/page_import.h"

#include <algorithm>

namespace qzarn::import {

std::string UnknownPageFormatMessage(int entry) {
  return PageFileName(entry) +
         " は見つかりましたが、そのﾍﾟｰｼﾞの記録形式はこの版では読み取れないため、"
         "図形をｲﾝﾎﾟｰﾄできません．";
}

bool FilePageReader::Load(const std::filesystem::path& folder, const FigureEntry& entry,
                          std::string& message) {
  std::vector<std::uint8_t> bytes;
  const std::string name = PageFileName(entry.number);
  if (!ReadDataFile(folder, name, kMaxPageFileBytes, bytes, message)) return false;
  if (bytes.size() % 2 != 0) {
    message = name + " が途中で切れています．";
    return false;
  }
  message = UnknownPageFormatMessage(entry.number);
  return false;
}

RgbImage FilePageReader::Preview(int) const {
  RgbImage grey(kPreviewWidth, kPreviewHeight);
  std::fill(grey.pixels.begin(), grey.pixels.end(), std::uint8_t{0xC0});
  return grey;
}

bool FilePageReader::AppendPage(int, FigureTable&) const {
  return false;
}

PageSelection SelectPages(bool all, int page_box, int page_count) {
  PageSelection out;
  const int count = std::max(page_count, 1);
  if (!all) {
    out.pages.push_back(std::clamp(page_box, 1, std::min(count, kMaxImportPages)));
    return out;
  }
  out.capped = count > kMaxImportPages;
  for (int page = 1; page <= std::min(count, kMaxImportPages); ++page)
    out.pages.push_back(page);
  return out;
}

std::string PageCapMessage(int page_count) {
  return "この図形は " + std::to_string(page_count) + " ﾍﾟｰｼﾞあります．一度にｲﾝﾎﾟｰﾄできるのは " +
         std::to_string(kMaxImportPages) + " ﾍﾟｰｼﾞまでなので、1～" +
         std::to_string(kMaxImportPages) + " ﾍﾟｰｼﾞをｲﾝﾎﾟｰﾄします．";
}

std::string PageTitle(const FigureEntry& entry, int page) {
  return FigureRowText(entry) + "(" + std::to_string(page) + ")";
}

std::vector<bool> ImportPages(const PageReader& reader, std::span<const int> pages,
                              const std::function<FigureTable*(int page)>& new_screen) {
  std::vector<bool> converted;
  converted.reserve(pages.size());
  for (int page : pages) {
    FigureTable* table = new_screen(page);
    if (table == nullptr) {
      converted.push_back(false);
      continue;
    }
    FigureTable work = *table;
    const bool ok = reader.AppendPage(page, work);
    if (ok) *table = std::move(work);
    converted.push_back(ok);
  }
  return converted;
}

std::optional<int> AddImportedFunction(FigureTable& table, const FigureDefaults& defaults,
                                       const NewFigureFont& font, const FunctionEntry& entry) {
  constexpr std::int32_t kParametric = 2;
  FigureRecord record = InitialiseFigure(kFunctionFigure, defaults, font, kParametric);
  FunctionRecord* f = record.function();
  if (f == nullptr) return std::nullopt;
  f->FuncX = entry.x;
  f->FuncY = entry.y;
  f->AreaSx1 = entry.start;
  f->AreaEx1 = entry.end;
  f->CurveValid = 0;
  return NewFigure(table, std::move(record));
}

}  // namespace qzarn::import
