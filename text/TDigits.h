// TDigits: the significant digits the real numbers of a grid are written
// with: the writer's own rule (the stream's precision, 6 on a fresh stream,
// as the plain tool writes) or a count from TDigitsFormat::kFewestDigits to
// TDigitsFormat::kMostDigits ("%.<N>g"). Where a setting travels as an int
// (the library's options, the writers' arguments), kOwnRule stands for the
// writer's own rule.
//
// The range of a count is checked here and only here (IsCount); each caller
// that takes a count from outside refuses it with its own message. A TDigits
// always holds a valid setting. Nothing here throws.
#ifndef QUILLMAP_TEXT_TDIGITS_H
#define QUILLMAP_TEXT_TDIGITS_H

class TDigits {
public:
  static constexpr int kOwnRule = 0;

  // Whether the count is one the formatters write.
  static bool IsCount(int count);
  // Whether the setting is kOwnRule or a count.
  static bool IsSetting(int setting) { return setting == kOwnRule || IsCount(setting); }

  // The writer's own rule.
  TDigits() = default;
  // setting must satisfy IsSetting; any other value gives the own rule.
  explicit TDigits(int setting) : MbrIntSetting(IsSetting(setting) ? setting : kOwnRule) {}

  bool IsOwnRule() const { return MbrIntSetting == kOwnRule; }
  // kOwnRule or the count.
  int Setting() const { return MbrIntSetting; }
  // The count written on a stream in its default state.
  int OnDefaultStream() const;

private:
  int MbrIntSetting = kOwnRule;
};

#endif
