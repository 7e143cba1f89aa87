// GridBodyGenerator: random small grid files for differential tests of the
// readers: up to 30 x 30 cells of assorted decimals, separated by assorted
// white space, with 0 to 3 faults in or after the body (a token that is not
// a number, too few or too many values, text after the body, no white space
// after the last value). Deterministic for a seed.
#ifndef QUILLMAP_TESTS_SUPPORT_GRIDBODYGENERATOR_H
#define QUILLMAP_TESTS_SUPPORT_GRIDBODYGENERATOR_H

#include <random>
#include <string>

class GridBodyGenerator {
public:
  explicit GridBodyGenerator(unsigned seed) : MbrRandom(seed) {}

  // 0 to n - 1.
  int Pick(int n);
  std::string Value();
  std::string Separator();
  // The text of one grid file.
  std::string Grid();

private:
  std::mt19937 MbrRandom;
};

#endif
