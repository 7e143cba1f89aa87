#include "support/ExpectThrowMsg.h"

std::string Thrown::Describe() const {
  switch (kind) {
  case Nothing:
    return "nothing";
  case Text:
    return "const char* \"" + message + "\"";
  case String:
    return "std::string \"" + message + "\"";
  case Other:
    break;
  }
  return "an exception of another type";
}

testing::AssertionResult ThrewMessage(const char* capture, const char*, const Thrown& thrown,
                                      const std::string& expected) {
  if ((thrown.kind == Thrown::Text || thrown.kind == Thrown::String) && thrown.message == expected)
    return testing::AssertionSuccess();
  return testing::AssertionFailure() << capture << "\n  expected to throw: \"" << expected
                                     << "\"\n  threw: " << thrown.Describe();
}
