#include "settings/settings_keys.h"

#include <algorithm>
#include <optional>
#include <type_traits>

#include "platform/text_encoding.h"

namespace qzarn {
namespace {

#define QZARN_USER_ROW(section, key, kind, default_text, range)    \
  SettingKey<UserSettings>{#section,     #key,  SettingType::kind, \
                           default_text, range, &UserSettings::key},
#define QZARN_PROGRAM_ROW(section, key, kind, default_text, range)    \
  SettingKey<ProgramSettings>{#section,     #key,  SettingType::kind, \
                              default_text, range, &ProgramSettings::key},

constexpr SettingKey<UserSettings> kUserKeys[] = {QZARN_USER_SETTING_KEYS(QZARN_USER_ROW)};
constexpr SettingKey<ProgramSettings> kProgramKeys[] = {
    QZARN_PROGRAM_SETTING_KEYS(QZARN_PROGRAM_ROW)};

#undef QZARN_USER_ROW
#undef QZARN_PROGRAM_ROW

// A stray carriage return inside a line reads as a blank, as it is written, so that a text
// reads the same before and after it was written back.
std::string text_value(std::string_view raw) {
  std::string text = cp932_to_utf8(raw);
  std::replace(text.begin(), text.end(), '\r', ' ');
  return text;
}

template <typename T>
std::optional<T> parse_value(std::string_view raw) {
  if constexpr (std::is_same_v<T, bool>)
    return parse_setting_bool(raw);
  else if constexpr (std::is_same_v<T, std::int32_t>)
    return parse_setting_int(raw);
  else if constexpr (std::is_same_v<T, double>)
    return parse_setting_real(raw);
  else if constexpr (std::is_same_v<T, ColorRef>)
    return parse_setting_color(raw);
  else
    return text_value(raw);
}

template <typename T>
T clamp_to(T value, SettingRange range) {
  if constexpr (std::is_same_v<T, std::int32_t> || std::is_same_v<T, double>) {
    if (value < range.low) return static_cast<T>(range.low);
    if (value > range.high) return static_cast<T>(range.high);
  }
  return value;
}

// Sets the member from a value text; false (member unchanged) when the text is not a value
// of the key's type.
template <typename S>
bool assign(S& settings, const SettingKey<S>& key, std::string_view raw) {
  return std::visit(
      [&](auto member) {
        using T = std::remove_reference_t<decltype(settings.*member)>;
        const std::optional<T> v = parse_value<T>(raw);
        if (!v) return false;
        settings.*member = clamp_to(*v, key.range);
        return true;
      },
      key.member);
}

template <typename S>
void apply_defaults(S& settings, std::span<const SettingKey<S>> keys) {
  for (const auto& key : keys)
    assign(settings, key, key.default_text);
}

template <typename S>
S read_keys(const IniFile& ini, std::span<const SettingKey<S>> keys) {
  S settings;
  for (const auto& key : keys)
    if (const auto raw = ini.value(key.section, key.key)) assign(settings, key, *raw);
  return settings;
}

// The file form of a member: its text and whether that text holds the value exactly.
template <typename T>
Cp932Text format_value(const T& value) {
  if constexpr (std::is_same_v<T, bool>)
    return {format_setting_bool(value)};
  else if constexpr (std::is_same_v<T, std::int32_t>)
    return {format_setting_int(value)};
  else if constexpr (std::is_same_v<T, double>)
    return {format_setting_real(value)};
  else if constexpr (std::is_same_v<T, ColorRef>)
    return {format_setting_color(value)};
  else
    return utf8_to_cp932(value);
}

template <typename T>
bool write_value(IniFile& ini, const char* section, std::string_view key, const T& value) {
  // A text that already reads as the value stays as the user wrote it ("1.0" is not
  // rewritten as "1", "$00FFFFFF" not as "$FFFFFF").
  if (const auto raw = ini.value(section, key)) {
    const std::optional<T> current = parse_value<T>(*raw);
    if (current && *current == value) return true;
  }
  const Cp932Text text = format_value(value);
  ini.set(section, key, text.bytes);
  return !text.lossy;
}

template <typename S>
bool write_keys(const S& settings, std::span<const SettingKey<S>> keys, IniFile& ini) {
  bool exact = true;
  for (const auto& key : keys)
    std::visit(
        [&](auto member) { exact &= write_value(ini, key.section, key.key, settings.*member); },
        key.member);
  return exact;
}

template <typename S>
bool same_keys(const S& a, const S& b, std::span<const SettingKey<S>> keys) {
  return std::all_of(keys.begin(), keys.end(), [&](const auto& key) {
    return std::visit([&](auto member) { return a.*member == b.*member; }, key.member);
  });
}

constexpr const char* kRecentSection = "RecentFile";

std::string recent_file_key(int number) {
  return "File" + std::to_string(number);
}

}  // namespace

UserSettings::UserSettings() {
  apply_defaults<UserSettings>(*this, kUserKeys);
}
ProgramSettings::ProgramSettings() {
  apply_defaults<ProgramSettings>(*this, kProgramKeys);
}

std::span<const SettingKey<UserSettings>> user_setting_keys() {
  return kUserKeys;
}
std::span<const SettingKey<ProgramSettings>> program_setting_keys() {
  return kProgramKeys;
}

UserSettings read_user_settings(const IniFile& ini) {
  UserSettings settings = read_keys<UserSettings>(ini, kUserKeys);
  for (int n = 1; n <= kMaxRecentFiles; ++n) {
    const auto raw = ini.value(kRecentSection, recent_file_key(n));
    if (raw && !raw->empty()) settings.RecentFiles.push_back(text_value(*raw));
  }
  return settings;
}

ProgramSettings read_program_settings(const IniFile& ini) {
  return read_keys<ProgramSettings>(ini, kProgramKeys);
}

bool write_user_settings(const UserSettings& settings, IniFile& ini) {
  bool exact = write_keys<UserSettings>(settings, kUserKeys, ini);
  const int count = std::min<int>(kMaxRecentFiles, static_cast<int>(settings.RecentFiles.size()));
  for (int n = 1; n <= kMaxRecentFiles; ++n) {
    if (n <= count)
      exact &= write_value(ini, kRecentSection, recent_file_key(n),
                           settings.RecentFiles[static_cast<std::size_t>(n - 1)]);
    else
      ini.remove(kRecentSection, recent_file_key(n));
  }
  return exact;
}

bool write_program_settings(const ProgramSettings& settings, IniFile& ini) {
  return write_keys<ProgramSettings>(settings, kProgramKeys, ini);
}

bool same_settings(const ProgramSettings& a, const ProgramSettings& b) {
  return same_keys<ProgramSettings>(a, b, kProgramKeys);
}

bool same_settings(const UserSettings& a, const UserSettings& b) {
  return same_keys<UserSettings>(a, b, kUserKeys) && a.RecentFiles == b.RecentFiles;
}

}  // namespace qzarn
