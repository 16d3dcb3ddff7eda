#include "settings/settings_store.h"

#include <system_error>
#include <utility>

#include "platform/text_encoding.h"
#include "settings/settings_file_io.h"

namespace qzarn {
namespace fs = std::filesystem;
namespace {

// Reads one file; an unreadable file is reported and marked not to be overwritten.
IniFile read_ini(const fs::path& path, std::string& bytes, bool& writable,
                 std::vector<SettingsProblem>& problems) {
  FileReadResult read = read_settings_file(path);
  writable = read.status != FileReadResult::Status::Failed;
  if (!writable) problems.push_back({SettingsIssue::FileUnreadable, path, read.error});
  bytes = std::move(read.bytes);
  return IniFile::parse(bytes);
}

void create_folder(const fs::path& folder, std::vector<SettingsProblem>& problems) {
  if (folder.empty()) return;
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (ec) problems.push_back({SettingsIssue::FolderNotCreated, folder, ec.message()});
}

bool is_folder(const std::string& utf8_path) {
  std::error_code ec;
  return fs::is_directory(fs::path(utf8_path), ec);
}

}  // namespace

std::string settings_problem_message(const SettingsProblem& problem) {
  std::string text;
  switch (problem.issue) {
    case SettingsIssue::FileUnreadable:
      text = "設定ﾌｧｲﾙを読み込めませんでした．初期設定で起動します．";
      break;
    case SettingsIssue::FolderNotCreated:
      text = "ﾌｫﾙﾀﾞを作成できませんでした．";
      break;
    case SettingsIssue::FileNotWritten:
      text = "設定ﾌｧｲﾙの保存に失敗しました．";
      break;
    case SettingsIssue::TextNotExact:
      text = "設定ﾌｧｲﾙに保存できない文字を「?」に置き換えました．";
      break;
  }
  text += "\n" + problem.path.string();
  if (!problem.detail.empty()) text += "\n" + problem.detail;
  return text;
}

SettingsStore::SettingsStore(SettingsLocations locations) : locations_(std::move(locations)) {}

std::vector<SettingsProblem> SettingsStore::load() {
  std::vector<SettingsProblem> problems;
  create_folder(locations_.user_file.parent_path(), problems);
  create_folder(locations_.documents_folder, problems);

  user_ini_ = read_ini(locations_.user_file, user_bytes_, user_file_writable_, problems);
  std::string program_bytes;
  program_ini_ = read_ini(locations_.program_file, program_bytes, program_file_writable_, problems);

  user_ = read_user_settings(user_ini_);
  program_ = read_program_settings(program_ini_);
  program_as_read_ = program_;

  if (user_.RecentDir.empty())
    user_.RecentDir = locations_.documents_folder.string();
  else if (!is_folder(user_.RecentDir))
    user_.RecentDir = locations_.program_folder.string();
  return problems;
}

// A read-only file is reported once per run, not at every save.
void SettingsStore::report_not_written(const fs::path& path, const std::string& error,
                                       bool& read_only_told,
                                       std::vector<SettingsProblem>& problems) {
  if (error == kReadOnlySettingsFile) {
    if (read_only_told) return;
    read_only_told = true;
  }
  problems.push_back({SettingsIssue::FileNotWritten, path, error});
}

std::vector<SettingsProblem> SettingsStore::save() {
  std::vector<SettingsProblem> problems;
  if (user_file_writable_) {
    IniFile ini = user_ini_;
    const bool exact = write_user_settings(user_, ini);
    std::string bytes = ini.serialize();
    if (bytes != user_bytes_) {
      if (std::string error = replace_file(locations_.user_file, bytes); !error.empty()) {
        report_not_written(locations_.user_file, error, user_read_only_told_, problems);
      } else {
        user_ini_ = std::move(ini);
        user_bytes_ = std::move(bytes);
        if (!exact) problems.push_back({SettingsIssue::TextNotExact, locations_.user_file, {}});
      }
    }
  }
  if (program_file_writable_ && !same_settings(program_, program_as_read_)) {
    IniFile ini = program_ini_;
    write_program_settings(program_, ini);
    if (std::string error = replace_file(locations_.program_file, ini.serialize());
        !error.empty()) {
      report_not_written(locations_.program_file, error, program_read_only_told_, problems);
    } else {
      program_ini_ = std::move(ini);
      program_as_read_ = program_;
    }
  }
  return problems;
}

}  // namespace qzarn
