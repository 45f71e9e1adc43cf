// failnote: report through perror, with a formatted message, when myfile.txt cannot be opened.

#include <cerrno>
#include <cstdarg>
#include <cstdio>

// Formats a message and passes it to perror, which adds the text of the caller's errno.
[[gnu::format(printf, 1, 2)]] void
PrintFError(const char *format, ...)
{
	// The caller's error is the one to report, and formatting may change errno.
	const int saved = errno;
	char buffer[256];

	va_list args;
	va_start(args, format);
	// Bounded: a longer message is cut at 255 characters, never written past buffer.
	if (vsnprintf(buffer, sizeof buffer, format, args) < 0)
		buffer[0] = '\0';
	va_end(args);

	errno = saved;
	perror(buffer);
}

int
main()
{
	const char szFileName[] = "myfile.txt";

	FILE *pFile = fopen(szFileName, "r");
	if (pFile == nullptr) {
		PrintFError("Error opening '%s'", szFileName);
	} else {
		fclose(pFile);
	}
	// Reporting the failure is this program's whole job, so it succeeds either way.
	return 0;
}
