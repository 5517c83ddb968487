#pragma once

#include <benchmark/benchmark.h>

#include <QtGlobal>

namespace zorvane {

// The benchmarks' main for programs that need a Qt application: App is constructed
// before the benchmarks run and lives until they end. Drawing runs offscreen unless a
// platform is chosen.
template <class App>
int run_benchmarks_in(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  App app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

}  // namespace zorvane
