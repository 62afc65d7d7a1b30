// Chromium's libraries run inside this process and, on their own, fail two of AddressSanitizer's
// checks: a sized delete of the wrong type, and memory still held at exit. A sanitizer build of
// the helper keeps every other check.
#if defined(__SANITIZE_ADDRESS__)
extern "C" const char* __asan_default_options() {
    return "new_delete_type_mismatch=0:detect_leaks=0";
}
#endif
