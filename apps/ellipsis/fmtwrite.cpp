// fmtwrite: write two formatted lines to myfile.txt through a variadic stream formatter.

#include <cstdarg>
#include <cstdio>

// Formats onto stream; a failed write shows later in ferror(stream) and the close.
[[gnu::format(printf, 2, 3)]] void
WriteFormatted(FILE *stream, const char *format, ...)
{
	va_list args;
	va_start(args, format);
	vfprintf(stream, format, args);
	va_end(args);
}

int
main()
{
	FILE *pFile = fopen("myfile.txt", "w");
	if (pFile == nullptr) {
		perror("Error opening 'myfile.txt'");
		return 1;
	}

	WriteFormatted(pFile, "Call with %d variable argument.\n", 1);
	WriteFormatted(pFile, "Call with %d variable %s.\n", 2, "arguments");

	// Both lines usually reach the file only at the close, so a full disk
	// shows there; a write that failed earlier leaves ferror behind.
	const bool lost = ferror(pFile) != 0;
	if (fclose(pFile) != 0 || lost) {
		perror("Error writing 'myfile.txt'");
		return 1;
	}
	return 0;
}
