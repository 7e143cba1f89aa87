#include "GridOutcome.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <sstream>

#include "gridio/TARCGISFileTools.h"

namespace {
const long kHeaderLines = 6;

void RequireGridShape(const TMap& map, const std::string& text) {
  const long lines = static_cast<long>(std::count(text.begin(), text.end(), '\n'));
  if (lines != kHeaderLines + map.MbrLngYDim || text.empty() || text.back() != '\n')
    std::abort();
}
} // namespace

std::string GridOutcome(const std::function<TMap*()>& make) {
  try {
    std::unique_ptr<TMap> map(make());
    std::ostringstream out;
    TARCGISFileTools::WriteARCGISFile(map.get(), out);
    const std::string text = out.str();
    RequireGridShape(*map, text);
    return text;
  } catch (const char* message) {
    return std::string("failure: ") + (message != nullptr ? message : "(null)");
  } catch (const std::string& message) {
    return "failure: " + message;
  }
}
