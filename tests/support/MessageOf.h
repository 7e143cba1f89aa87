// The message text an operation throws, or "" when it does not fail.
#ifndef QUILLMAP_TESTS_SUPPORT_MESSAGEOF_H
#define QUILLMAP_TESTS_SUPPORT_MESSAGEOF_H

#include <string>

template <typename Operation> std::string MessageOf(Operation operation) {
  try {
    operation();
  } catch (const char* message) {
    return message;
  }
  return "";
}

#endif
