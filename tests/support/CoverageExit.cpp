// Coverage builds only, linked with -Wl,--wrap=_Exit: the program ends a failed
// start with _Exit, which leaves out the writing of gcov's counters that a
// normal exit does; the wrapper writes them first.
extern "C" {

void __gcov_dump();
[[noreturn]] void __real__Exit(int status);

[[noreturn]] void __wrap__Exit(int status)
{
    __gcov_dump();
    __real__Exit(status);
}
}
