// The front doors of the history files: the format a file is read in or written as.
#include "market/history_files.hpp"
#include "text/strings.hpp"
#include "text/text_files.hpp"

namespace zorvik {

HistoryRead readHistoryFile(const std::filesystem::path& path, const CsvHistoryOptions& options) {
  if (iequals(path.extension().string(), ".hst")) return readHstFile(path);
  return readCsvHistoryFile(path, options);
}

bool writeHistoryFile(const std::filesystem::path& path, const BarSeries& series, HistoryFormat format,
                      std::string* error) {
  std::optional<std::string> bytes;
  switch (format) {
    case HistoryFormat::Hst400: bytes = hstBytes(series, 400, error); break;
    case HistoryFormat::Hst401: bytes = hstBytes(series, 401, error); break;
    case HistoryFormat::HistoryCenterCsv: bytes = historyCenterCsvText(series, error); break;
    case HistoryFormat::HeaderCsv: bytes = headerCsvText(series, error); break;
  }
  return bytes && writeFileAtomic(path, *bytes, error);
}

}  // namespace zorvik
