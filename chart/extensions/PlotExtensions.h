#pragma once
// Start-up of the chart extensions: the series types, functions and tools
// beyond the engine's standard ones.
//
// The application calls InitializeChartExtensions once after
// InitializeChartLibrary (the extensions register into the engine's
// registries) and FinalizeChartExtensions before FinalizeChartLibrary.
// Each extension unit registers through its own explicit call made here in
// dependency order and unregisters in reverse order; nothing is set up by
// static initialisers.

namespace lp {

// Counted: only the first call registers, only the last matching
// FinalizeChartExtensions unregisters.
void InitializeChartExtensions();
void FinalizeChartExtensions();

} // namespace lp
