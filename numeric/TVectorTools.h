// TVectorTools: stateless operations over vectors of numbers and strings:
// sums and means, an element-wise product, membership tests, conversions
// between element types, an arithmetic series and the least-squares slope.
//
// Every sum starts at 0 and adds the elements in index order; a count that
// divides a sum is the number of elements as a double. Vectors are taken by
// value and never changed; results are new values or vectors.
//
// Throws (as const char*): "Length of value and weight vectors do not match in
// TVectorTools::WeightedMean", "Length of vectors does not match in
// TVectorTools::VectorProduct" (also from Gradient), "Step must be greater
// than 0.0 in TVectorTools::VectorSeries", "Step is too small to advance the
// series in TVectorTools::VectorSeries". Numeric edge cases (division by
// zero, not-a-number inputs) are floating-point results, not failures.
#ifndef QUILLMAP_NUMERIC_TVECTORTOOLS_H
#define QUILLMAP_NUMERIC_TVECTORTOOLS_H

#include <cstddef>
#include <string>
#include <vector>

class TVectorTools {
public:
  // 0 for an empty vector.
  static double SumVector(std::vector<double> values);
  // Not a number for an empty vector (0 / 0).
  static double VectorMean(std::vector<double> values);
  // Sum of value x weight divided by the number of values (not by the sum of
  // the weights); the two vectors must have the same length.
  static double VectorWeightedMean(std::vector<double> values, std::vector<double> weights);
  // Element i is a[i] x b[i]; the two vectors must have the same length.
  static std::vector<double> VectorProduct(std::vector<double> a, std::vector<double> b);

  // Exact equality: a not-a-number value never matches, 0 matches -0.
  static bool HasValue(std::vector<double> values, double value);
  static bool HasValue(std::vector<int> values, int value);

  // Decimal integer prefix after leading white space, as atoi reads it; no
  // prefix gives 0, a value beyond the range of int gives the nearest end of
  // that range.
  static std::vector<int> StringToInt(std::vector<std::string> texts);
  // Plain decimal prefix (see TDecimalText): inf, nan and hexadecimal give 0.
  static std::vector<double> StringToDouble(std::vector<std::string> texts);
  static std::vector<double> IntToDouble(std::vector<int> values);

  // start, start + step, ... while the term is not greater than end, each
  // term the previous one plus step. Empty when start > end (or either is
  // not a number), whatever the step; otherwise a step that is not greater
  // than 0, or one too small to move a term before it passes end (an infinite
  // end included), fails with its message.
  static std::vector<double> VectorSeries(double start, double end, double step);

  // Least-squares slope of y against x:
  // (n Sxy - Sx Sy) / (n Sxx - Sx Sx) with n the number of pairs. Not a number
  // when all x are equal or the vectors are empty (0 / 0).
  static double Gradient(std::vector<double> x, std::vector<double> y);
  // The same slope over `count` pairs stored in two arrays, computed with the
  // same sums in the same order, for loops that reuse their buffers. Out of
  // line, so that a consumer's compiler flags cannot change its rounding.
  static double Gradient(const double* x, const double* y, std::size_t count);
};

#endif
