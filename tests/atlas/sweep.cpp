// The atlas's long calls: each walker given more arguments than any ABI passes
// in registers, so that the atlas shows where each ABI goes on to the stack.
// What each prints or returns shows which argument it read.

int FindMax(int n, ...);
void PrintFloats(int n, ...);
[[gnu::sentinel]] void PrintLines(const char *first, ...);

int
main()
{
#if defined(SWEEP_FindMax)
	return FindMax(24, 301, 302, 303, 304, 305, 306, 307, 308, 309, 310, 311, 312, 313, 314,
		   315, 316, 317, 318, 319, 320, 321, 322, 323, 324) == 324
	    ? 0
	    : 1;
#elif defined(SWEEP_PrintFloats)
	PrintFloats(20, 0.5, 1.5, 2.5, 3.5, 4.5, 5.5, 6.5, 7.5, 8.5, 9.5, 10.5, 11.5, 12.5, 13.5,
	    14.5, 15.5, 16.5, 17.5, 18.5, 19.5);
#else
	PrintLines("s1", "s2", "s3", "s4", "s5", "s6", "s7", "s8", "s9", "s10", "s11", "s12", "s13",
	    "s14", "s15", "s16", "s17", "s18", "s19", "s20", static_cast<const char *>(nullptr));
#endif
	return 0;
}
