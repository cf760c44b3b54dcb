// Leaks of system libraries that the tests cannot free, compiled into every
// test program (and the sanitized torvik6-cli) so that LeakSanitizer knows
// them however the program is started.
// fontconfig keeps its configuration cache for the life of the process.
extern "C" const char* __lsan_default_suppressions();
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
