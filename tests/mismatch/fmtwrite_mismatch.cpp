// Must not compile: the arguments do not match the format that WriteFormatted checks.
#include "fmtwrite.cpp"

void
Mismatched(FILE *stream)
{
	WriteFormatted(stream, "Call with %d variable %s.\n", "two", 2); // rejected
}
