// TPendingFiles: the files that a process is writing and would leave behind
// half-written if it ended now (the replacements of TOutputFile), so that
// a signal that ends the process can still remove them. Registering and
// removing a name is thread-safe; up to kSlots names are held at once (a
// name beyond that is not cleaned up on a signal).
//
// InstallSignalCleanup (called once by a program, not by the library) makes
// SIGINT, SIGTERM, SIGHUP and SIGXFSZ (a file larger than the process may
// write) remove every registered file before the signal ends the process as
// it would have; a signal the process ignores stays ignored. SIGKILL cannot
// be caught: its files stay. Nothing here throws.
#ifndef QUILLMAP_PLATFORM_TPENDINGFILES_H
#define QUILLMAP_PLATFORM_TPENDINGFILES_H

#include <string>

class TPendingFiles {
public:
  static constexpr int kSlots = 16;

  // A slot for the name, or -1 when every slot is taken or the name is too
  // long.
  static int Add(const std::string& path);
  static void Remove(int slot);
  static void InstallSignalCleanup();
};

#endif
