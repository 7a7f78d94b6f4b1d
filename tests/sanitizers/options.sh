# Sourced before building and testing a SANITIZE=address,undefined build: every report stops the
# process that made it with a failure, leaks included, so no test can pass over one. The build
# needs these too, because it runs instrumented generators and lists the tests of instrumented
# binaries.
sanitizers_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:check_initialization_order=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export LSAN_OPTIONS=suppressions=$sanitizers_dir/lsan.supp:print_suppressions=0
