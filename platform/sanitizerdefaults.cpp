// Linked into the program in the sanitizer build. GLib allocates a block in
// its library constructor and never frees it: every run of the player would
// otherwise end in a leak report and exit code 1. GLib is built without
// frame pointers, so only the slow unwinder sees that the block came from
// the loader's constructor call. The program's stderr stays its own: no
// report of the suppression at exit.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:_dl_init\n";
}
extern "C" const char* __lsan_default_options() {
    return "print_suppressions=0";
}
extern "C" const char* __asan_default_options() {
    return "fast_unwind_on_malloc=0";
}
