// The data files shipped in res/: broker symbol lists, help texts with their English lines,
// and the event sounds. They are edited by hand, so these tests guard their shape.
#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "model/catalogue_rows.hpp"
#include "model/language.hpp"
#include "test_support.hpp"
#include "text/cp1252.hpp"
#include "text/numbers.hpp"
#include "text/strings.hpp"
#include "text/text_files.hpp"

namespace zorvik {
namespace {

using testing::readBytes;
using testing::sourceDir;

fs::path resFile(const std::string& name) { return sourceDir() / "res" / name; }

// Every line of a program data file ends in CR LF; a lone CR or LF would split a line
// differently in the old readers than here.
void expectCrLfOnly(const std::string& name, const std::string& bytes) {
  ASSERT_FALSE(bytes.empty()) << name;
  EXPECT_TRUE(endsWith(bytes, "\r\n")) << name;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\r') {
      ASSERT_TRUE(i + 1 < bytes.size() && bytes[i + 1] == '\n') << name << ": lone CR at byte " << i;
    } else if (bytes[i] == '\n') {
      ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << name << ": lone LF at byte " << i;
    }
  }
}

// Splits at ";" outside double quotes, as the broker lists are read.
std::vector<std::string> splitOutsideQuotes(const std::string& line) {
  std::vector<std::string> fields(1);
  bool quoted = false;
  for (char c : line) {
    if (c == '"') quoted = !quoted;
    if (c == ';' && !quoted) {
      fields.emplace_back();
    } else {
      fields.back() += c;
    }
  }
  return fields;
}

TEST(BrokerSymbolLists, WellFormed) {
  const std::vector<std::string> columns = {"broker",   "platform",    "clearname", "symbol",
                                            "basecurrency", "lotvalue", "minimumtick", "tickvalue",
                                            "minimumstop",  "margintype", "tradinghours"};
  std::vector<std::set<std::string>> symbolsPerFile;
  for (const std::string name : {"ATMT4.csv", "MT4_LCG.csv"}) {
    SCOPED_TRACE(name);
    const std::string bytes = readBytes(resFile(name));
    expectCrLfOnly(name, bytes);
    const std::vector<std::string> lines = splitLines(cp1252ToUtf8(bytes));
    ASSERT_GE(lines.size(), 30u);
    EXPECT_LE(lines.size(), 1000u);  // the reader stops there

    std::string header = lines[0];
    if (startsWith(header, "'")) header.erase(0, 1);
    const std::vector<std::string> names = splitOutsideQuotes(header);
    ASSERT_GE(names.size(), columns.size());
    EXPECT_LE(names.size(), 20u);
    for (std::size_t i = 0; i < columns.size(); ++i) EXPECT_TRUE(iequals(names[i], columns[i])) << names[i];

    std::set<std::string> symbols;
    for (std::size_t n = 1; n < lines.size(); ++n) {
      const std::string& line = lines[n];
      SCOPED_TRACE(line);
      // Blank lines and lines of 12 characters or fewer are skipped by the reader: a record
      // must never be that short, or its symbol silently disappears from the list.
      ASSERT_GT(line.size(), 12u);
      const std::vector<std::string> f = splitOutsideQuotes(line);
      ASSERT_EQ(f.size(), names.size());
      const std::string& symbol = f[3];
      EXPECT_FALSE(symbol.empty());
      EXPECT_LE(symbol.size(), 12u);  // MetaTrader 4 symbol names are at most 12 characters
      EXPECT_EQ(symbol.find_first_of(" \"'@,;"), std::string::npos);
      EXPECT_TRUE(symbols.insert(symbol).second) << "duplicate symbol " << symbol;
      EXPECT_EQ(f[1], "MT4");
      for (int col : {5, 6, 7}) EXPECT_GT(leadingNumber(f[col]), 0.0) << columns[col];
      EXPECT_GE(leadingNumber(f[8]), 0.0);
      EXPECT_EQ(f[8], intText(toInt32(f[8])));  // a stop level is a whole number of points
    }
    symbolsPerFile.push_back(symbols);
  }
  // The two brokers must share the usual majors, or switching between them is never automatic.
  for (const char* major : {"EURUSD", "GBPUSD", "USDJPY", "USDCHF"}) {
    EXPECT_TRUE(symbolsPerFile[0].count(major) && symbolsPerFile[1].count(major)) << major;
  }
}

// The help texts as the help reader builds them: "#" starts an entry, every other line is
// appended with one blank unless it already ends in one, lines before the first key are
// ignored.
std::vector<std::pair<std::string, std::string>> readHelpEntries(const std::vector<std::string>& lines) {
  std::vector<std::pair<std::string, std::string>> entries;
  for (const std::string& line : lines) {
    if (startsWith(line, "#")) {
      entries.emplace_back(line.substr(1), "");
    } else if (!entries.empty()) {
      entries.back().second += line;
      if (!endsWith(line, " ")) entries.back().second += " ";
    }
  }
  return entries;
}

TEST(HelpTexts, EveryKeyHasGermanAndEnglishText) {
  const std::string bytes = readBytes(resFile("CodeHelp.txt"));
  expectCrLfOnly("CodeHelp.txt", bytes);
  const auto entries = readHelpEntries(splitLines(cp1252ToUtf8(bytes)));

  std::set<std::string> keys;
  for (const auto& [key, text] : entries) {
    EXPECT_TRUE(keys.insert(key).second) << "duplicate key " << key;  // the first one would win
    EXPECT_GT(text.size(), 20u) << key;
    // German display cuts a text at "@"; the language table splits its lines at the first ";".
    EXPECT_EQ(text.find_first_of("@;\""), std::string::npos) << key;
  }

  std::vector<std::string> wanted = {"SysInfo_LXS", "SysInfo_SXL",    "SysInfo_Sall", "SysInfo_STOP",
                                     "SysInfo_SYMBOL", "SysInfo_TIME", "metatraderpfad"};
  for (std::string_view row : kParameterRows) wanted.emplace_back(row.substr(0, row.find(',')));
  for (const std::string& key : wanted) EXPECT_TRUE(keys.count(key)) << "no help text for " << key;

  // In English the help text is translated as a whole, so the table must hold each German text
  // exactly, trailing blank included.
  LanguageTable language;
  language.switchLanguage("ENGLISCH", sourceDir() / "res");
  ASSERT_TRUE(language.english());
  for (const auto& [key, text] : entries) {
    const std::string english = language.translate(text);
    EXPECT_NE(english, text) << "no English text for " << key;
    EXPECT_FALSE(english.empty()) << key;
  }
  EXPECT_TRUE(language.missingTexts().empty());
}

std::uint32_t le32(const std::string& b, std::size_t at) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}
std::uint32_t le16(const std::string& b, std::size_t at) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8;
}

TEST(EventSounds, ShortMonoPcmWaves) {
  for (const char* name : {"scan_completed.wav", "success.wav", "sparcle.wav", "trash.wav", "dibbldibb.wav",
                           "dibbldabb.wav", "w1.wav", "XPRecycl.wav"}) {
    SCOPED_TRACE(name);
    const std::string b = readBytes(resFile(name));
    ASSERT_GE(b.size(), 44u);
    EXPECT_EQ(b.substr(0, 4), "RIFF");
    EXPECT_EQ(b.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(le16(b, 20), 1u);      // PCM
    EXPECT_EQ(le16(b, 22), 1u);      // mono
    EXPECT_EQ(le32(b, 24), 22050u);  // samples per second
    EXPECT_EQ(le16(b, 34), 16u);     // bits per sample
    // Find the data chunk and check the length: short enough never to hold up the user.
    std::size_t at = 12;
    std::uint32_t dataBytes = 0;
    while (at + 8 <= b.size()) {
      const std::uint32_t size = le32(b, at + 4);
      if (b.substr(at, 4) == "data") {
        dataBytes = size;
        break;
      }
      at += 8 + size + (size & 1);
    }
    const double seconds = dataBytes / (22050.0 * 2);
    EXPECT_GE(seconds, 0.1);
    EXPECT_LE(seconds, 0.6);
  }
}

}  // namespace
}  // namespace zorvik
