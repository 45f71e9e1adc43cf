// What va_start writes in the va_list: each function below has a walker's
// prototype and begins its cursor as the walker does, then calls Seen, where
// gdb stops and reads it through begun, by its type (this file is built with
// debug information). main calls each as maxpick and linewalk call theirs.

#include <cstdarg>

// NOLINTNEXTLINE(cppcoreguidelines-avoid-non-const-global-variables): where gdb finds it
va_list *volatile begun;

[[gnu::noinline]] void
Seen()
{
	asm volatile(""); // gdb stops here: the cursor is begun
}

// FindMax's and PrintFloats' prototype.
void
CountBegun(int n, ...)
{
	va_list vl;
	va_start(vl, n);
	begun = &vl;
	Seen();
	va_end(vl);
}

// PrintLines'.
[[gnu::sentinel]] void
SentinelBegun(const char *first, ...)
{
	va_list vl;
	va_start(vl, first);
	begun = &vl;
	Seen();
	va_end(vl);
}

int
main()
{
	CountBegun(7, 702, 422, 631, 834, 892, 104, 772);
	SentinelBegun("First", "Second", "Third", "Fourth", static_cast<const char *>(nullptr));
	return 0;
}
