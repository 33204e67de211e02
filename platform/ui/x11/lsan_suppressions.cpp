// Fontconfig keeps its patterns through encoded offsets rather than plain
// pointers, so the leak checker cannot see that they are still reachable
// and reports every font the library has read; Pango, GLib and Cairo keep
// process-wide caches they never free.  Allocations made inside those
// libraries are not reported for the program and its display tests (link
// the object library tavrik_lsan_suppressions).
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\nleak:libpango\nleak:libglib\nleak:libgobject\nleak:libharfbuzz\n"
           "leak:libcairo\nleak:libpixman\nleak:libfreetype\n";
}
