// floatrow: print a row of doubles, read one by one from a counted variadic list.

#include <cstdarg>
#include <cstdio>

// Prints a heading and the n doubles that follow n, two decimals each, on one line.
void
PrintFloats(int n, ...)
{
	printf("Printing floats:");

	va_list vl;
	va_start(vl, n);
	// A float passed through the ellipsis arrives promoted, so every value is read as a double.
	for (int i = 0; i < n; i++) {
		const double val = va_arg(vl, double);
		printf(" [%.2f]", val);
	}
	va_end(vl);
	putchar('\n');
}

int
main()
{
	PrintFloats(3, 3.14159, 2.71828, 1.41421);

	// The line sits in the buffer until the close: only there does a full
	// device or a closed descriptor show, and an earlier failure leaves ferror.
	const bool lost = ferror(stdout) != 0;
	if (fclose(stdout) != 0 || lost) {
		perror("floatrow: write error");
		return 1;
	}
	return 0;
}
