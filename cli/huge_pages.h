// Huge pages for the command's heap, where the system gives them on request.
#pragma once

namespace cli {

// Starts the command over, once, with the C library told to ask for transparent huge pages for
// its heap, when the files it is given add up to a megabyte or more; returns when it does not
// (smaller files, not Linux with the GNU C library, huge pages not given on request, asked for
// already, or the new start failed). Call it first thing in main.
//
// Why: reading a large document touches much new memory, and every new 4 KiB page costs a
// fault, which on virtual machines is dear (a third of the time on drawings of some megabytes).
// A huge page costs one fault for 2 MiB. The C library reads this setting only when a program
// starts, hence the new start, which costs about as much as the start itself: small documents
// are not worth it. GLIBC_TUNABLES=glibc.malloc.hugetlb=0 (or =1) in the environment keeps the
// command from starting over, for a profiler that follows one process, say.
void RestartWithHugePages(int argc, char** argv);

}  // namespace cli
