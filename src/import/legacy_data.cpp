#include "import/legacy_data.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <system_error>

#include "platform/binary_io.h"
#include "platform/text_encoding.h"

namespace qzarn::import {

namespace {

// A length-prefixed string of at most `width` characters at `p`; a longer length byte is
// clamped to the field, so a damaged record never reads into its neighbour. The old
// edition's editors wrote some lengths over the zero padding: the text ends at the first
// zero byte, which no code page 932 character contains.
std::string Field(const std::uint8_t* p, std::size_t width) {
  const std::size_t n = std::min<std::size_t>(p[0], width);
  const auto* begin = reinterpret_cast<const char*>(p + 1);
  return std::string(begin, std::find(begin, begin + n, '\0'));
}

std::string TruncatedMessage(const char* file, std::size_t whole_records) {
  return std::string(file) + " が途中で切れています（完全なﾚｺｰﾄﾞは " +
         std::to_string(whole_records) + " 件）．";
}

std::string Folded(std::string_view name) {
  std::string out(name);
  for (char& c : out)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace

bool ReadFunctionFile(std::span<const std::uint8_t> bytes, std::vector<FunctionEntry>& out,
                      std::string& error) {
  out.clear();
  if (bytes.size() < kFunctionEntries * kFunctionRecordSize) {
    error = TruncatedMessage("FUNCTION.DAT", bytes.size() / kFunctionRecordSize);
    return false;
  }
  out.reserve(kFunctionEntries);
  for (int i = 0; i < kFunctionEntries; ++i) {
    const std::uint8_t* r = bytes.data() + static_cast<std::size_t>(i) * kFunctionRecordSize;
    FunctionEntry e;
    e.number = i + 1;
    e.used = r[0] != 0;
    e.title = Field(r + 8, 40);
    e.start = Field(r + 49, 15);
    e.end = Field(r + 65, 15);
    e.x = Field(r + 97, 200);
    e.y = Field(r + 298, 200);
    out.push_back(std::move(e));
  }
  return true;
}

bool ReadFigureIndex(std::span<const std::uint8_t> holders, std::span<const std::uint8_t> figures,
                     std::vector<FigureEntry>& out, std::string& error) {
  out.clear();
  if (holders.size() < kHolders * kHolderRecordSize) {
    error = TruncatedMessage("HOLDER.DAT", holders.size() / kHolderRecordSize);
    return false;
  }
  if (figures.size() < kFigureEntries * kFigureRecordSize) {
    error = TruncatedMessage("FIGURE.DAT", figures.size() / kFigureRecordSize);
    return false;
  }
  std::string names[kHolders];
  for (int h = 0; h < kHolders; ++h)
    names[h] = Field(holders.data() + static_cast<std::size_t>(h) * kHolderRecordSize, 36);
  for (int i = 0; i < kFigureEntries; ++i) {
    const std::uint8_t* r = figures.data() + static_cast<std::size_t>(i) * kFigureRecordSize;
    if (static_cast<std::int16_t>(LoadU16(r)) < 1) continue;
    FigureEntry e;
    e.number = i + 1;
    e.holder = i / kEntriesPerHolder + 1;
    e.holder_name = names[e.holder - 1];
    e.name = Field(r + 4, 34);
    e.first_word = LoadU16(r + 39);
    e.second_word = LoadU16(r + 41);
    e.extra = r[44];
    out.push_back(std::move(e));
  }
  return true;
}

std::string Display(std::string_view cp932) {
  return cp932_to_utf8(cp932);
}

std::string FunctionRowTitle(const FunctionEntry& entry) {
  return std::to_string(entry.number) + "." + Display(entry.title);
}

std::string FigureRowText(const FigureEntry& entry) {
  return Display(entry.holder_name) + "≫" + Display(entry.name);
}

std::string PageFileName(int entry) {
  char digits[8];
  std::snprintf(digits, sizeof digits, "%03d", (1000 + entry) % 1000);
  return std::string("GRF") + digits + ".DAT";
}

std::optional<std::filesystem::path> FindFileNoCase(const std::filesystem::path& folder,
                                                    std::string_view name) {
  std::error_code ec;
  const std::filesystem::path exact = folder / std::string(name);
  if (std::filesystem::exists(exact, ec)) return exact;
  const std::string wanted = Folded(name);
  std::optional<std::filesystem::path> found;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
       it.increment(ec)) {
    const std::string candidate = it->path().filename().string();
    // Of several spellings the first in name order, so the choice does not depend on the
    // order the folder lists them in.
    if (Folded(candidate) == wanted && (!found || candidate < found->filename().string()))
      found = it->path();
  }
  return found;
}

bool ReadDataFile(const std::filesystem::path& folder, std::string_view name, std::size_t max_bytes,
                  std::vector<std::uint8_t>& out, std::string& error) {
  out.clear();
  const std::optional<std::filesystem::path> path = FindFileNoCase(folder, name);
  if (!path) {
    error = std::string(name) + " がありません．";
    return false;
  }
  struct stat st {};
  if (::stat(path->c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
    error = std::string(name) + " は通常のﾌｧｲﾙではありません．";
    return false;
  }
  if (static_cast<std::uint64_t>(st.st_size) > max_bytes) {
    error = std::string(name) + " が大きすぎます．";
    return false;
  }
  // The checks above give the user's message; the read opens without waiting and checks
  // again what it opened, so a file swapped for a FIFO meanwhile is still never read.
  std::string why;
  if (!ReadFileBytes(path->string(), out, why, max_bytes)) {
    error = std::string(name) + " を読み込めません．";
    return false;
  }
  return true;
}

bool LoadFunctionFolder(const std::filesystem::path& folder, std::vector<FunctionEntry>& out,
                        std::string& error) {
  out.clear();
  std::vector<std::uint8_t> bytes;
  return ReadDataFile(folder, "FUNCTION.DAT", 1 << 20, bytes, error) &&
         ReadFunctionFile(bytes, out, error);
}

bool LoadFigureFolder(const std::filesystem::path& folder, std::vector<FigureEntry>& out,
                      std::string& error) {
  out.clear();
  std::vector<std::uint8_t> holders, figures;
  return ReadDataFile(folder, "HOLDER.DAT", 1 << 20, holders, error) &&
         ReadDataFile(folder, "FIGURE.DAT", 1 << 20, figures, error) &&
         ReadFigureIndex(holders, figures, out, error);
}

}  // namespace qzarn::import
