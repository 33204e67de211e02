// Fontconfig keeps its patterns through encoded offsets rather than plain
// pointers, so the leak checker cannot see that they are still reachable
// and reports every font the library has read.  Allocations made inside
// the library are therefore not reported for these test programs.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
