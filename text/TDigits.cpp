#include "text/TDigits.h"

#include "text/TDigitsFormat.h"
#include "text/TNumberFormat.h"

bool TDigits::IsCount(int count) {
  return count >= TDigitsFormat::kFewestDigits && count <= TDigitsFormat::kMostDigits;
}

int TDigits::OnDefaultStream() const {
  return IsOwnRule() ? TNumberFormat::kDefaultDigits : MbrIntSetting;
}
