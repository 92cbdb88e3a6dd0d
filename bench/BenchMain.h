#pragma once
// Figures printed by bench/run: a figure is either the ratio of two
// benchmarks' real times measured in the same run, or a value a benchmark
// measured itself.
#include <string>

/// Prints "<figure> <time of numerator / time of denominator>" at the end.
void registerRatio(const std::string& figure, const std::string& numerator,
                   const std::string& denominator);
/// Prints "<figure> <value>" at the end.
void reportValue(const std::string& figure, double value);
/// A libpq conninfo for the server benchmarks, or empty (they are skipped).
std::string benchPgConninfo();
/// Creates the one headless QApplication that widget and PDF benchmarks need
/// (never destroyed: Qt cannot be torn down after main returns).
void ensureApplication();
