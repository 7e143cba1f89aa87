#include "support/GridBodyGenerator.h"

#include <vector>

namespace {
const char* const kSeparators[] = {" ", "\n", "\r\n", "\t", "   ", " \n "};
const char* const kFaults[] = {"x", "1e", "--1", "0x", ".", "1,5", "nan", "inf"};
} // namespace

int GridBodyGenerator::Pick(int n) {
  return std::uniform_int_distribution<int>(0, n - 1)(MbrRandom);
}

std::string GridBodyGenerator::Value() {
  switch (Pick(Pick(8) == 0 ? 5 : 4)) {
  case 0:
    return std::to_string(Pick(2000) - 1000);
  case 1:
    return std::to_string(Pick(100000) / 7.0);
  case 2:
    return "-9999";
  case 3:
    return std::to_string(Pick(90)) + "." + std::to_string(Pick(1000)) + "e-" +
           std::to_string(Pick(20));
  default:
    // Two values in one word, which a count of the words misplaces.
    return std::to_string(Pick(100)) + "-" + std::to_string(Pick(100));
  }
}

std::string GridBodyGenerator::Separator() {
  return kSeparators[Pick(sizeof kSeparators / sizeof *kSeparators)];
}

std::string GridBodyGenerator::Grid() {
  const long columns = 1 + Pick(30);
  const long rows = 1 + Pick(30);
  std::string text = "ncols " + std::to_string(columns) + "\nnrows " + std::to_string(rows) +
                     "\nxllcorner 100\nyllcorner -20.5\ncellsize 2.5\nNODATA_value -9999\n";
  std::vector<std::string> values;
  for (long i = columns * rows + Pick(3) * Pick(5) - Pick(2) * Pick(4); i > 0; --i)
    values.push_back(Value());
  for (int faults = Pick(4); faults > 0 && !values.empty(); --faults)
    values[Pick(static_cast<int>(values.size()))] = kFaults[Pick(sizeof kFaults / sizeof *kFaults)];
  for (const std::string& value : values)
    text += value + Separator();
  if (Pick(6) == 0)
    text += "trailing text\n";
  if (Pick(8) == 0 && !text.empty())
    text.pop_back();
  return text;
}
