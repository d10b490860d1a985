// The table of bench/run: a section per path, each case with ours, the peer
// and the limits (medians), the ratio and whether its goal is met; last, one
// machine-readable line.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "benches.h"
#include "results.h"

namespace zarnbench {
namespace {

using Cells = std::vector<std::string>;

// A ratio of two medians, or NaN when one of them did not run.
double Ratio(const MedianCollector& results, const std::string& over, const std::string& under) {
  if (!results.Has(over) || !results.Has(under)) return NAN;
  return results.Seconds(over) / results.Seconds(under);
}

std::string Number(double value, const char* format = "%.2f") {
  if (std::isnan(value)) return "-";
  char text[32];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

// Median in milliseconds, or in microseconds per entry when `per` is given.
std::string Ms(const MedianCollector& results, const std::string& name) {
  return Number(results.Has(name) ? results.Seconds(name) * 1e3 : NAN);
}
std::string UsPer(const MedianCollector& results, const std::string& name, double per) {
  return Number(results.Has(name) ? results.Seconds(name) * 1e6 / per : NAN, "%.3f");
}

std::string Verdict(double ratio, bool met) { return std::isnan(ratio) ? "-" : met ? "met" : "NOT MET"; }

void Line(const std::string& name, const Cells& cells) {
  std::printf("%-32s", name.c_str());
  for (const std::string& cell : cells) std::printf(" %12s", cell.c_str());
  std::printf("\n");
}

void Section(const std::string& title, const Cells& headings) {
  std::printf("\n");
  Line(title, headings);
  std::puts(std::string(32 + 13 * headings.size(), '-').c_str());
}

}  // namespace

void PrintTable(const MedianCollector& r) {
  std::vector<double> vsCurl;
  Section("UnescapeRFC1738, 64 MiB [ms]", {"ours", "curl", "copy", "memcpy", "memchr", "curl/ours", "goal >=2"});
  for (const char* kind : {"no-escapes", "1%-escapes", "third-escapes"}) {
    const std::string p = std::string("unescape/") + kind + "/";
    const double ratio = Ratio(r, p + "curl", p + "ours");
    vsCurl.push_back(ratio);
    Line(kind, {Ms(r, p + "ours"), Ms(r, p + "curl"), Ms(r, p + "copy"), Ms(r, p + "memcpy"), Ms(r, p + "memchr"),
                Number(ratio), Verdict(ratio, ratio >= 2.0)});
  }

  Section("UnescapeRFC1738 growth [ms]", {"ours small", "ours large", "", "", "", "large/small", "goal"});
  {
    const std::string p = "unescape/third-escapes/";
    const double growth = Ratio(r, p + "8MiB/ours", p + "1MiB/ours");
    Line("third-escapes 1 MiB -> 8 MiB", {Ms(r, p + "1MiB/ours"), Ms(r, p + "8MiB/ours"), "", "", "", Number(growth),
                                          Verdict(growth, growth <= 12.0) + " <=12"});
  }
  Section("Textbook erase-in-a-loop [ms]", {"ours", "textbook", "", "", "", "textbook/ours", ""});
  for (const char* size : {"64KiB", "1024KiB"}) {
    const std::string p = std::string("unescape/1%-escapes/") + size + "/";
    Line(std::string("1%-escapes ") + size, {Ms(r, p + "ours"), Ms(r, p + "textbook"), "", "", "",
                                             Number(Ratio(r, p + "textbook", p + "ours"), "%.1f"), ""});
  }

  double vsGetline = INFINITY;
  Section("ReadTemplate, 64 MiB [ms]",
          {"ours", "getline", "build", "memcpy", "memchr", "read", "getline/ours", "goal >=1.1"});
  for (const char* ends : {"lf", "crlf"}) {
    const std::string p = std::string("template/") + ends + "/";
    const double ratio = Ratio(r, p + "getline", p + "ours");
    vsGetline = std::isnan(ratio) || std::isnan(vsGetline) ? NAN : std::fmin(vsGetline, ratio);
    Line(std::string(ends) + " line ends",
         {Ms(r, p + "ours"), Ms(r, p + "getline"), Ms(r, p + "build"), Ms(r, p + "memcpy"), Ms(r, p + "memchr"),
          Ms(r, p + "read"), Number(ratio), Verdict(ratio, ratio >= 1.1)});
  }

  // The 1 000-entry listing sits in the caches; growth is judged from 10 000 on.
  double walkScaling = 0;
  Section("Listing walk [us per entry]", {"1 000", "10 000", "100 000", "", "", "100k/10k", "goal <=1.5"});
  for (const char* walk : {"HideFiles", "HideDependentFiles"}) {
    const std::string p = std::string("walk/") + walk + "/";
    const double scaling = Ratio(r, p + "100000", p + "10000") / 10.0;  // per entry
    walkScaling = std::isnan(scaling) || std::isnan(walkScaling) ? NAN : std::fmax(walkScaling, scaling);
    Line(walk, {UsPer(r, p + "1000", 1e3), UsPer(r, p + "10000", 1e4), UsPer(r, p + "100000", 1e5), "", "",
                Number(scaling), Verdict(scaling, scaling <= 1.5)});
  }

  std::string localGrowth;
  std::string localCost;
  Section("Local host, a folder of [us per entry]", {"1 000", "10 000", "100 000", "", "", "100k/10k", "goal <=1.3"});
  for (const char* command : {"hide", "lock", "unlock", "refresh", "view"}) {
    const std::string p = std::string("localhost/") + command + "/";
    const double growth = Ratio(r, p + "100000", p + "10000") / 10.0;  // per entry
    const Cells perEntry = {UsPer(r, p + "1000", 1e3), UsPer(r, p + "10000", 1e4), UsPer(r, p + "100000", 1e5)};
    Line(command, {perEntry[0], perEntry[1], perEntry[2], "", "", Number(growth), Verdict(growth, growth <= 1.3)});
    const std::string separator = localGrowth.empty() ? "" : ",";
    localGrowth += separator + command + ":" + Number(growth);
    localCost += separator + command + ":" + perEntry[0] + "/" + perEntry[1] + "/" + perEntry[2];
  }

  std::printf("\nMedians of %d repetitions, CPU time of the benchmark thread (user + system).\n", kRepetitions);
  std::printf(
      "Limits: copy = the input copied into a fresh string (ours starts from it); build = the template's\n"
      "result text appended line by line from memory, no reading (both readers build it so); memcpy into\n"
      "mapped memory; memchr over the whole input; read = one read call of the whole file.\n");
  std::printf("read_vs_getline is the smaller of the two files' ratios, walk_scaling the larger of the two walks'.\n");
  std::printf(
      "Local host: medians of %d runs of each command, a fresh project each; localhost_us gives\n"
      "us per entry at 1k/10k/100k files, localhost_growth the per-entry 100k/10k ratio.\n",
      kLocalHostRepetitions);
  std::printf(
      "bench: unescape_vs_curl=%.2f,%.2f,%.2f read_vs_getline=%.2f walk_scaling=%.2f localhost_growth=%s "
      "localhost_us=%s\n",
      vsCurl[0], vsCurl[1], vsCurl[2], vsGetline, walkScaling, localGrowth.c_str(), localCost.c_str());
}

}  // namespace zarnbench
