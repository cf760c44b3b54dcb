// Leaks of system libraries that the tests cannot free, compiled into every
// test program so that LeakSanitizer knows them however the test is started.
// fontconfig keeps its configuration cache for the life of the process.
extern "C" const char* __lsan_default_suppressions();
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
