// maxpick: print the largest of seven integers, found by a count-driven variadic walk.

#include <climits>
#include <cstdarg>
#include <cstdio>

// Returns the largest of the n ints that follow n.
int
FindMax(int n, ...)
{
	// Below 1 there is no value to read: INT_MIN is the largest of nothing,
	// and touching the cursor would read an argument that was never passed.
	if (n < 1)
		return INT_MIN;

	va_list vl;
	va_start(vl, n);
	int largest = va_arg(vl, int);
	for (int i = 1; i < n; i++) {
		const int val = va_arg(vl, int);
		if (val > largest)
			largest = val;
	}
	va_end(vl);
	return largest;
}

int
main()
{
	const int m = FindMax(7, 702, 422, 631, 834, 892, 104, 772);
	printf("The largest value is: %d\n", m);

	// The line sits in the buffer until the close: only there does a full
	// device or a closed descriptor show, and an earlier failure leaves ferror.
	const bool lost = ferror(stdout) != 0;
	if (fclose(stdout) != 0 || lost) {
		perror("maxpick: write error");
		return 1;
	}
	return 0;
}
