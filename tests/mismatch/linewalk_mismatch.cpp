// Must not compile: neither list ends with the null pointer that PrintLines requires.
#include "linewalk.cpp"

void
Unterminated()
{
	PrintLines("First", "Second"); // rejected
	PrintLines("First", 0);        // rejected
}
