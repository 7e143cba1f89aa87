// TCores: how many processor cores this process may run on: the cores of
// its CPU affinity mask (as taskset or a container sets it), never more
// than the machine has, and at least one. Read afresh at every call.
// Nothing here throws.
#ifndef QUILLMAP_PLATFORM_TCORES_H
#define QUILLMAP_PLATFORM_TCORES_H

class TCores {
public:
  static unsigned Usable();
};

#endif
