// The settings file reader on arbitrary bytes.
#include "fuzz_input.hpp"
#include "model/language.hpp"
#include "model/settings.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  zorvik::Settings settings;
  zorvik::LanguageTable language;
  zorvik::parseSettings(zorvik::fuzz::linesOf(data, size), settings, language, "/nonexistent");
  (void)zorvik::settingsLines(settings, language);
  return 0;
}
