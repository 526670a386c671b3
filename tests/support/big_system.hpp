#pragma once
// A large trading system for the benchmarks that measure generating and checking an Expert
// Advisor: four groups of fifty indicators, every indicator type of the generator in turn,
// with thresholds, stops, other symbols and reversed actions, so that every part of the
// generated source is exercised. The workspace reads the program's data files straight from
// the repository's res/ without a start-up, so that building it costs no settings or library.
#include <filesystem>

#include "workspace/workspace.hpp"
#include "platform/recording_host.hpp"
#include "test_support.hpp"

namespace zorvik::testing {

struct BigSystem {
  BigSystem();
  TempDir dir;
  fs::path folder;
  RecordingHost host;
  Workspace ws;  // its system() is the big system
};

}  // namespace zorvik::testing
