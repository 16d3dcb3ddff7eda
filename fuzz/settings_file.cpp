// Any bytes as a settings file: reading never fails, the figure defaults build, and what is
// written back reads as the same settings.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "document/figure_defaults.h"
#include "settings/ini_file.h"
#include "settings/settings_keys.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace qzarn;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  IniFile ini = IniFile::parse(bytes);
  const UserSettings user = read_user_settings(ini);
  const ProgramSettings program = read_program_settings(ini);
  const FigureDefaults defaults(ini);
  (void)defaults;

  write_user_settings(user, ini);
  write_program_settings(program, ini);
  const IniFile again = IniFile::parse(ini.serialize());
  if (!same_settings(read_program_settings(again), program)) std::abort();
  // Undecodable text bytes stay as read while their key keeps its text, but a recent file
  // that moves to another number is written from its decoded form; from then on the file
  // reads back unchanged.
  const UserSettings once = read_user_settings(again);
  IniFile twice = again;
  write_user_settings(once, twice);
  if (!same_settings(read_user_settings(IniFile::parse(twice.serialize())), once)) std::abort();
  return 0;
}
