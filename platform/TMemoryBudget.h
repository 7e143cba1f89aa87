// TMemoryBudget: how much memory this process can hope to hold, for refusing
// work that could never fit before anything is allocated.
//
// The budget is the smaller of the machine's physical memory and the limits
// set on the process: its address space (ulimit -v) and its data segment
// (ulimit -d), where they are set. A quantity the system does not report, or
// a limit that is not set, counts as infinite. The values are read afresh at
// every call, so a limit changed while the process runs is seen. Nothing here
// throws or allocates.
#ifndef QUILLMAP_PLATFORM_TMEMORYBUDGET_H
#define QUILLMAP_PLATFORM_TMEMORYBUDGET_H

class TMemoryBudget {
public:
  // Bytes of physical memory of the machine.
  static double PhysicalBytes();
  // Bytes the process's limits allow.
  static double AllowedBytes();
  // Whether that many bytes fit in both.
  static bool Holds(double bytes);
};

#endif
