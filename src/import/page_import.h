#pragma once
// Figure pages of the text-mode edition brought into screens, and stored functions
// brought into a screen's figure table.
//
// The layout of the page files ("GRF" files) is not known to this program. A PageReader
// answers for one entry: whether its page data could be read, how many pages it has, a
// preview of a page and the page's figures. FilePageReader checks the page file and then
// says plainly that its pages cannot be read, instead of guessing at their contents.

#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "document/figure_defaults.h"
#include "document/figure_table.h"
#include "import/legacy_data.h"
#include "platform/rgb_image.h"

namespace qzarn::import {

// The page box allows 1..99, and "all pages" imports no more than that many screens.
inline constexpr int kMaxImportPages = 99;
inline constexpr int kPreviewWidth = 400;
inline constexpr int kPreviewHeight = 600;
inline constexpr std::uint32_t kPreviewGrey = 0xC0C0C0;

class PageReader {
 public:
  virtual ~PageReader() = default;
  // Reads the page data of the entry; false with a message for the user when it cannot.
  virtual bool Load(const std::filesystem::path& folder, const FigureEntry& entry,
                    std::string& message) = 0;
  // After a successful Load: the highest page number found, at least 1.
  virtual int PageCount() const = 0;
  // A 400 x 600 picture of the page.
  virtual RgbImage Preview(int page) const = 0;
  // Appends the page's figures to the table; false when the page cannot be converted.
  virtual bool AppendPage(int page, FigureTable& table) const = 0;
};

// The page reader of the program: finds the entry's page file (any case), reads it as
// 16-bit words, and reports that the page layout cannot be read.
class FilePageReader final : public PageReader {
 public:
  bool Load(const std::filesystem::path& folder, const FigureEntry& entry,
            std::string& message) override;
  int PageCount() const override { return 0; }
  RgbImage Preview(int page) const override;
  bool AppendPage(int page, FigureTable& table) const override;

  // Page files larger than this are refused unread.
  static constexpr std::size_t kMaxPageFileBytes = std::size_t{16} << 20;
};

// The message FilePageReader gives for a page file it found and read.
std::string UnknownPageFormatMessage(int entry);

// Which pages an import brings: every page 1..page_count when `all` is set, at most
// kMaxImportPages of them; otherwise the page of the page box (clamped to the pages there are).
struct PageSelection {
  std::vector<int> pages;
  bool capped = false;  // there were more pages than one import brings
};
PageSelection SelectPages(bool all, int page_box, int page_count);
std::string PageCapMessage(int page_count);

// The title of the screen a page becomes: the list text + "(" + page + ")", UTF-8.
std::string PageTitle(const FigureEntry& entry, int page);

// Converts each page into the table `new_screen` hands out for it (a fresh screen's).
// A page is converted on a copy of the table, so one that fails leaves its screen untouched.
// Returns, per page, whether it was converted.
std::vector<bool> ImportPages(const PageReader& reader, std::span<const int> pages,
                              const std::function<FigureTable*(int page)>& new_screen);

// A parametric function from a stored entry: FuncX, FuncY, AreaSx1 and AreaEx1 from the
// entry, every other field the type's defaults. Nothing when the table is full.
std::optional<int> AddImportedFunction(FigureTable& table, const FigureDefaults& defaults,
                                       const NewFigureFont& font, const FunctionEntry& entry);

}  // namespace qzarn::import
