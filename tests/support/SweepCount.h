// SweepCount: how many generated cases a long differential test runs. The
// named environment variable, when set, gives the count (a longer sweep on
// demand); otherwise the test's own count in a plain build, and a
// twentieth of it under the sanitizers, whose checks slow every case.
#ifndef QUILLMAP_TESTS_SUPPORT_SWEEPCOUNT_H
#define QUILLMAP_TESTS_SUPPORT_SWEEPCOUNT_H

long SweepCount(const char* variable, long plainCount);

#endif
