#pragma once

// Hands memory the program no longer uses back to the system: the working-set trim on
// Windows, the heap trim of glibc on Linux, nothing elsewhere. Failures are ignored because
// this is only a courtesy to the rest of the machine.
void ReleaseFreedMemory();
