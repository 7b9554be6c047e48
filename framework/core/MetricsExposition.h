#pragma once

#include <string>
#include <utility>
#include <vector>

namespace fw {

// One metric family as the Prometheus text format writes it: a name, its help line, its type
// and its samples, each with its labels in the order given.
struct TMetricSample {
  std::vector<std::pair<std::string, std::string>> Labels;
  double Value = 0;
};

enum class TMetricType { Counter, Gauge };

struct TMetricFamily {
  std::string Name;
  std::string Help;
  TMetricType Type = TMetricType::Gauge;
  std::vector<TMetricSample> Samples;
};

// The families in the order given, each with its # HELP and # TYPE lines; label values and
// help text escaped as the format asks. Whole numbers print without a fraction.
std::string FormatExposition(const std::vector<TMetricFamily>& families);

}  // namespace fw
