#pragma once
// Reading and writing document files (".qzl"): the plain form, a fixed header
// followed by the screen's blocks and figure records as stored bytes, and the
// compressed form, a second header followed by an LZH archive whose one member
// is the plain file. The byte layer works on memory; the file functions add
// the file system around it.
//
// Loading always reads into a fresh screen and hands it over only when the
// whole file was read, so a truncated or corrupt file leaves the screen the user
// had exactly as it was. Saving builds the complete file in memory, writes it to
// a temporary file beside the target and renames that over the target, so a
// failure at any point leaves the previous file intact.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "document/figure_table.h"
#include "document/figure_types.h"
#include "document/screen.h"
#include "settings/settings_keys.h"

namespace qzarn {

// The user-visible messages of failed saves and loads (shown by the window layer).
inline constexpr std::string_view kSaveFailedMessage = "ファイルの保存に失敗しました．";
inline constexpr std::string_view kReadOnlyMessage =
    "このファイルは読み取り専用です．\r別名で保存してください．";
// "“" + path + kLoadFailedMessageTail: an unrecognised format tag.
inline constexpr std::string_view kLoadFailedMessageHead = "“";
inline constexpr std::string_view kLoadFailedMessageTail = "”の読み込みに失敗しました．";

struct SaveOptions {
  bool compressed = false;      // the CompressMode setting (snapshots: always false)
  bool picture_as_jpeg = true;  // the BackBitmap setting
  int jpeg_quality = 50;        // BackBitmapQuality, clamped to 1..100
  // The target is the screen's current file: a target that cannot be written then gives the
  // read-only message instead of the general one.
  bool target_is_current_file = false;
  // Tests: makes the file write fail after this many bytes.
  std::size_t fail_write_after = SIZE_MAX;
};

// The save options the user settings ask for (CompressMode, BackBitmap, BackBitmapQuality).
SaveOptions SaveOptionsFromSettings(const UserSettings& settings);

// Makes the record a figure of the type starts from before its stored bytes are read over it
// (the type's default attributes); a shorter record of an older version keeps the tail.
using RecordFactory = std::function<FigureRecord(std::int32_t type)>;

struct LoadOptions {
  RecordFactory make_record;  // empty: FigureRecord::Blank
  // The document window's font, given to documents written before the axis font was stored.
  std::string window_font_name = NewScreenDefaults{}.WindowFontName;
};

enum class LoadError {
  kNone,
  kWrongExtension,  // not ".qzl": refused without a message
  kUnreadable,      // the file could not be opened or read
  kUnknownFormat,   // the format tag is none of the accepted ones (message shown)
  kCorrupt,         // truncated or inconsistent content
  kBadArchive,      // compressed form: no readable member holding a document
  kTooLarge,        // the document claims more than one document may hold
  kOutOfMemory,     // memory ran out while the document was read
};

struct LoadResult {
  LoadError error = LoadError::kNone;
  std::string detail;  // what went wrong, for logs and the command line
  std::string tag;     // the plain document's format tag, e.g. "Q-ZARN V1.05"
  FormatVersion version = kCurrentFormat;
  bool compressed = false;

  bool ok() const { return error == LoadError::kNone; }
};

struct SaveResult {
  bool ok = false;
  std::string message;  // kSaveFailedMessage or kReadOnlyMessage when !ok
  std::string detail;   // the system's reason
  // A successful save that could not keep something of the replaced file (its owner or
  // group): the user should hear it.
  std::string notice;
};

// ---- Bytes ----------------------------------------------------------------------------------

// The plain file; `file_name` (UTF-8, without folder) is stored in the header area.
bool WritePlainDocument(const Screen& screen, std::string_view file_name,
                        const SaveOptions& options, std::vector<std::uint8_t>& out,
                        std::string& error);
// The plain or compressed file, as options.compressed says.
bool WriteDocumentBytes(const Screen& screen, std::string_view file_name,
                        const SaveOptions& options, std::vector<std::uint8_t>& out,
                        std::string& error);

// Reads a plain file into the screen's persistent blocks; on failure the screen is unchanged.
LoadResult ReadPlainDocument(std::span<const std::uint8_t> bytes, Screen& screen,
                             const LoadOptions& options = {});
// Reads either form.
LoadResult ReadDocumentBytes(std::span<const std::uint8_t> bytes, Screen& screen,
                             const LoadOptions& options = {});

// ---- Files ----------------------------------------------------------------------------------

// Writes the screen to `path`. The screen's Title, FilePath and Modified are left to the caller.
SaveResult SaveDocument(const Screen& screen, const std::string& path, const SaveOptions& options);

// Loads a plain document file. Only paths whose extension starts with ".qzl" (any case) are
// accepted. On success the screen holds the document and its Modified flag is cleared.
LoadResult LoadPlainDocument(Screen& screen, const std::string& path,
                             const LoadOptions& options = {});
// Loads a document file of either form: the entry point for opening files.
LoadResult LoadDocument(Screen& screen, const std::string& path, const LoadOptions& options = {});

// True when the first four characters of the path's extension are ".qzl" in any case.
bool HasDocumentExtension(std::string_view path);

}  // namespace qzarn
