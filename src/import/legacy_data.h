#pragma once
// The data files of the earlier text-mode edition: a folder of fixed-record files holding
// stored parametric functions (FUNCTION.DAT) and stored figure sets (HOLDER.DAT, FIGURE.DAT
// and one page file per entry). Everything here only reads; nothing is ever written back.
//
// The files come from old disks and are not trusted: a length byte larger than its field is
// clamped to the field, a file shorter than its records is an error with a message, and a
// file is read only when it is a regular file of sensible size.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qzarn::import {

inline constexpr int kFunctionEntries = 100;
inline constexpr std::size_t kFunctionRecordSize = 499;
inline constexpr int kHolders = 8;
inline constexpr std::size_t kHolderRecordSize = 37;
inline constexpr int kFigureEntries = 400;
inline constexpr std::size_t kFigureRecordSize = 45;
inline constexpr int kEntriesPerHolder = 50;

// Texts are kept as the files hold them (code page 932), ready for figure records;
// Display() converts for the screen.
struct FunctionEntry {
  int number = 0;  // 1..100
  bool used = false;
  std::string title, start, end, x, y;
};

struct FigureEntry {
  int number = 0;  // 1..400
  int holder = 0;  // 1..8
  std::string holder_name, name;
  std::uint16_t first_word = 0, second_word = 0;  // handed to the page reader
  std::uint8_t extra = 0;
};

// Reads the 100 records of FUNCTION.DAT. A file shorter than 100 records fails with a message
// naming the last whole entry; bytes after the last record are ignored.
bool ReadFunctionFile(std::span<const std::uint8_t> bytes, std::vector<FunctionEntry>& out,
                      std::string& error);

// Reads HOLDER.DAT and FIGURE.DAT; `out` gets the entries in use, in entry order.
bool ReadFigureIndex(std::span<const std::uint8_t> holders, std::span<const std::uint8_t> figures,
                     std::vector<FigureEntry>& out, std::string& error);

// The list texts, UTF-8: "3.Title" and holder name + "≫" + entry name.
std::string FunctionRowTitle(const FunctionEntry& entry);
std::string FigureRowText(const FigureEntry& entry);
// UTF-8 of a stored text.
std::string Display(std::string_view cp932);

// The page file of a figure entry: "GRF" + the last three digits of 1000 + entry + ".DAT".
std::string PageFileName(int entry);

// The file of that name in the folder whatever the case of its letters (an exact match
// wins); nothing when the folder holds none.
std::optional<std::filesystem::path> FindFileNoCase(const std::filesystem::path& folder,
                                                    std::string_view name);

// Reads a whole data file found with FindFileNoCase. Refuses what is not a regular file
// (a FIFO or device is never opened for reading) and files above `max_bytes`.
bool ReadDataFile(const std::filesystem::path& folder, std::string_view name, std::size_t max_bytes,
                  std::vector<std::uint8_t>& out, std::string& error);

// Reads FUNCTION.DAT, or HOLDER.DAT and FIGURE.DAT, of a folder.
bool LoadFunctionFolder(const std::filesystem::path& folder, std::vector<FunctionEntry>& out,
                        std::string& error);
bool LoadFigureFolder(const std::filesystem::path& folder, std::vector<FigureEntry>& out,
                      std::string& error);

}  // namespace qzarn::import
