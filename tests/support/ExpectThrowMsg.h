// EXPECT_THROW_MSG(statement, expected_message): the statement throws a
// const char* or a std::string whose text is exactly expected_message. Any
// other outcome fails and says what happened: nothing thrown, another text
// (with the type it was thrown as), or an exception of another type. As in
// any macro, a comma outside parentheses needs parentheses around the
// statement.
//
// CaptureThrow runs an action and records what it threw, for the tests that
// need the message as a value (comparing two implementations' outcomes).
#ifndef QUILLMAP_TESTS_SUPPORT_EXPECTTHROWMSG_H
#define QUILLMAP_TESTS_SUPPORT_EXPECTTHROWMSG_H

#include <string>

#include <gtest/gtest.h>

struct Thrown {
  enum Kind { Nothing, Text, String, Other };
  Kind kind = Nothing;
  std::string message; // the text of a Text or String throw, else ""

  // "nothing", "const char* \"...\"", "std::string \"...\"" or "an exception
  // of another type".
  std::string Describe() const;
};

template <typename Action> Thrown CaptureThrow(Action&& action) {
  Thrown thrown;
  try {
    action();
  } catch (const char* message) {
    thrown = {Thrown::Text, message};
  } catch (const std::string& message) {
    thrown = {Thrown::String, message};
  } catch (...) {
    thrown.kind = Thrown::Other;
  }
  return thrown;
}

// The predicate behind EXPECT_THROW_MSG, in the form EXPECT_PRED_FORMAT2 takes.
testing::AssertionResult ThrewMessage(const char* capture, const char* expectedText,
                                      const Thrown& thrown, const std::string& expected);

#define EXPECT_THROW_MSG(statement, expected_message)                                              \
  EXPECT_PRED_FORMAT2(::ThrewMessage, ::CaptureThrow([&] { statement; }), expected_message)

#endif
