#pragma once
// Small builders for the analysis tests: indicators with their type's defaults, systems with a
// name, and broker symbol list files.
#include <initializer_list>
#include <string>
#include <utility>

#include "model/trading_system.hpp"
#include "test_support.hpp"
#include "text/text_files.hpp"
#include "workspace/workspace.hpp"

namespace zorvik::testing {

// An indicator of a type with the catalogue defaults of its row, then the given values as they
// stand (no "#n" conversion).
inline Indicator makeIndicator(const Workspace& ws, const std::string& type,
                                  std::initializer_list<std::pair<const char*, const char*>> values = {}) {
  Indicator ind(type);
  for (const auto& key : ws.catalogue.parameterKeysOf(type))
    if (const ParameterCoding* p = ws.catalogue.parameter(key)) ind.setParameter(ws.definitions, ws.language, key, p->defaultValue);
  ind.setRaw("lastedittime", "46000");
  for (const auto& [k, v] : values) ind.setRaw(k, v);
  return ind;
}

// Writes a broker list file into res/ (UTF-8 lines, stored as the program stores them).
inline void writeBrokerList(const Workspace& ws, const std::string& file, const std::vector<std::string>& lines) {
  writeTextLines(ws.resFile(file), lines);
}

}  // namespace zorvik::testing
