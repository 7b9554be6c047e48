#include "framework/core/MetricsExposition.h"

#include <cmath>
#include <cstdio>

namespace fw {

namespace {

std::string EscapeHelp(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\\') {
      out += "\\\\";
    } else if (c == '\n') {
      out += "\\n";
    } else {
      out += c;
    }
  }
  return out;
}

std::string EscapeLabel(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '"') {
      out += "\\\"";
    } else if (c == '\\' || c == '\n') {
      out += c == '\\' ? "\\\\" : "\\n";
    } else {
      out += c;
    }
  }
  return out;
}

std::string FormatValue(double value) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value > 0 ? "+Inf" : "-Inf";
  char text[64];
  // Counters and byte counts are whole: no fraction, no exponent up to 2^53.
  if (value == std::floor(value) && std::fabs(value) < 9007199254740992.0) {
    std::snprintf(text, sizeof text, "%.0f", value);
  } else {
    std::snprintf(text, sizeof text, "%.17g", value);
  }
  return text;
}

}  // namespace

std::string FormatExposition(const std::vector<TMetricFamily>& families) {
  std::string out;
  for (const TMetricFamily& family : families) {
    out.append("# HELP ").append(family.Name).append(" ").append(EscapeHelp(family.Help));
    out.append("\n# TYPE ").append(family.Name).append(" ");
    out.append(family.Type == TMetricType::Counter ? "counter\n" : "gauge\n");
    for (const TMetricSample& sample : family.Samples) {
      out.append(family.Name);
      if (!sample.Labels.empty()) {
        out.append("{");
        for (std::size_t i = 0; i < sample.Labels.size(); ++i) {
          if (i) out.append(",");
          out.append(sample.Labels[i].first).append("=\"");
          out.append(EscapeLabel(sample.Labels[i].second)).append("\"");
        }
        out.append("}");
      }
      out.append(" ").append(FormatValue(sample.Value)).append("\n");
    }
  }
  return out;
}

}  // namespace fw
