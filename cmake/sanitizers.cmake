# AddressSanitizer and UndefinedBehaviorSanitizer, defined once for the whole project: the flags
# that every target is compiled and linked with, and the run-time options of every test and fuzz
# target built with them.
set(DESKMEMO_SANITIZER_FLAGS
    -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)

# Qt's own libraries have no frame pointers: the slow unwinder finds the real origin of a leak,
# so that the few allocations Qt never frees at exit can be named in tests/lsan.supp.
set(DESKMEMO_SANITIZER_ENV
    "ASAN_OPTIONS=fast_unwind_on_malloc=0:detect_stack_use_after_return=1"
    "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0"
    "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
