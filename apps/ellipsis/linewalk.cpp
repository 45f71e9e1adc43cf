// linewalk: print a list of strings, one per line, walking the arguments up to a null pointer.

#include <cstdarg>
#include <cstdio>

// Prints first and each string after it on a line of its own; a null pointer ends the list.
// The sentinel attribute makes a call that forgets the null pointer, or ends
// the list with an int 0 of the wrong width, a compile-time warning.
[[gnu::sentinel]] void
PrintLines(const char *first, ...)
{
	// A null first is an empty list; puts would dereference it.
	if (first == nullptr)
		return;

	const char *str = first;
	va_list vl;
	va_start(vl, first);
	// Only the null pointer ends the walk: an empty string is an empty line.
	do {
		puts(str);
		str = va_arg(vl, const char *);
	} while (str != nullptr);
	va_end(vl);
}

int
main()
{
	PrintLines("First", "Second", "Third", "Fourth", static_cast<const char *>(nullptr));

	// The lines sit in the buffer until the close: only there does a full
	// device or a closed descriptor show, and an earlier failure leaves ferror.
	const bool lost = ferror(stdout) != 0;
	if (fclose(stdout) != 0 || lost) {
		perror("linewalk: write error");
		return 1;
	}
	return 0;
}
