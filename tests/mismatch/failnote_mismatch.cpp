// Must not compile: the arguments do not match the format that PrintFError checks.
#include "failnote.cpp"

void
Mismatched()
{
	PrintFError("Error opening '%s'", 404); // rejected
}
