#include "support/GridFileSamples.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

std::unique_ptr<TMap> MakeGrid(long columns, long rows, double xll, double yll, double cellsize,
                               const std::vector<double>& values) {
  auto map = std::make_unique<TMap>(cellsize, columns, rows);
  auto yEdges = std::make_unique<TAxis>(cellsize);
  std::vector<double> ys(rows + 1, yll);
  for (long i = rows - 1; i >= 0; --i)
    ys[i] = ys[i + 1] + cellsize;
  for (double y : ys)
    yEdges->AddPoint(new TPoint(xll, y));
  auto xEdges = std::make_unique<TAxis>(cellsize);
  double x = xll;
  for (long i = 0; i <= columns; ++i, x = x + cellsize)
    xEdges->AddPoint(new TPoint(x, ys[0]));
  map->SetXAxisInterval(xEdges.get());
  map->SetYAxisInterval(yEdges.get());
  for (long k = 0; k < columns * rows && k < static_cast<long>(values.size()); ++k)
    map->SetPoint(k % columns, k / columns, values[k]);
  return map;
}

std::string FailureOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const char* message) {
    return std::string("text: ") + message;
  } catch (const std::string& message) {
    return "string: " + message;
  }
  return "no failure";
}

std::string TemporaryPath(const std::string& name) {
  return (std::filesystem::temp_directory_path() /
          ("quillmap_" + std::to_string(getpid()) + "_" + name))
      .string();
}

std::string ReadWholeFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}
