// Calls each program's variadic function directly, linked from the program's own object.

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <utility>

int FindMax(int n, ...);
void PrintFloats(int n, ...);
[[gnu::sentinel]] void PrintLines(const char *first, ...);
[[gnu::format(printf, 2, 3)]] void WriteFormatted(FILE *stream, const char *format, ...);
[[gnu::format(printf, 1, 2)]] void PrintFError(const char *format, ...);

namespace {

// Runs f with stream's descriptor sent to a temporary file; returns what f wrote there.
template <typename F>
std::string
Capture(FILE *stream, F f)
{
	fflush(stream);
	const int fd = fileno(stream);
	const int saved = dup(fd);
	FILE *tmp = tmpfile();
	if (saved < 0 || tmp == nullptr || dup2(fileno(tmp), fd) < 0)
		ADD_FAILURE() << "cannot redirect descriptor " << fd;
	f();
	fflush(stream);
	dup2(saved, fd);
	close(saved);

	std::string text;
	if (fseek(tmp, 0, SEEK_SET) != 0)
		ADD_FAILURE() << "cannot read back what descriptor " << fd << " received";
	for (int c = fgetc(tmp); c != EOF; c = fgetc(tmp))
		text += static_cast<char>(c);
	fclose(tmp);
	return text;
}

// Runs f with errno set to err, as a failing caller leaves it; returns what f wrote on stderr.
template <typename F>
std::string
Reported(int err, F f)
{
	return Capture(stderr, [&] {
		errno = err;
		f();
	});
}

TEST(FindMax, ComparesAsSignedInts)
{
	EXPECT_EQ(FindMax(3, -5, -2, -9), -2);
	EXPECT_EQ(FindMax(2, -1, 0), 0);
	EXPECT_EQ(FindMax(3, INT_MIN, INT_MAX, -1), INT_MAX);
}

TEST(FindMax, FindsTheLargestWhereverItStands)
{
	EXPECT_EQ(FindMax(1, 42), 42);
	EXPECT_EQ(FindMax(3, 9, 1, 2), 9);
	EXPECT_EQ(FindMax(3, 1, 2, 9), 9);
	EXPECT_EQ(FindMax(3, 7, 7, 7), 7);
	EXPECT_EQ(FindMax(7, 702, 422, 631, 834, 892, 104, 772), 892);
	// Past the sixth argument x86-64 passes ints on the stack, past the eighth arm64.
	EXPECT_EQ(FindMax(9, 1, 2, 3, 4, 5, 6, 7, 99, 8), 99);
}

TEST(FindMax, ReadsOnlyTheCountedValues)
{
	EXPECT_EQ(FindMax(2, 1, 2, 99), 2);
	// Below 1 nothing is read, not even a value that was passed.
	EXPECT_EQ(FindMax(0, 5), INT_MIN);
	EXPECT_EQ(FindMax(-1, 5), INT_MIN);
	EXPECT_EQ(FindMax(INT_MIN), INT_MIN);
}

// The sweeps below call each walker with every count from 0 to past the
// argument registers of every ABI (eight ints or doubles at most, then the stack).

// The value at index i of a sweep of n: a different sign and size each, the largest last.
constexpr int
Swept(std::size_t i, std::size_t n)
{
	return i + 1 == n ? 1000 : static_cast<int>(i * 37 % 101) - 50;
}

// Calls expect with an index sequence of each length below N.
template <typename Expect, std::size_t... N>
void
Sweep(Expect expect, std::index_sequence<N...> /*lengths*/)
{
	(expect(std::make_index_sequence<N>()), ...);
}

template <std::size_t... I>
void
ExpectFindMaxOf(std::index_sequence<I...> /*indices*/)
{
	constexpr std::size_t n = sizeof...(I);
	EXPECT_EQ(FindMax(static_cast<int>(n), Swept(I, n)...), n == 0 ? INT_MIN : 1000)
	    << n << " values";
}

TEST(FindMax, SweepsCountsAcrossTheArgumentRegisters)
{
	Sweep([](auto values) { ExpectFindMaxOf(values); }, std::make_index_sequence<25>());
}

TEST(PrintFloats, PrintsEachValueWithTwoDecimals)
{
	EXPECT_EQ(Capture(stdout, [] { PrintFloats(3, 3.14159, 2.71828, 1.41421); }),
	    "Printing floats: [3.14] [2.72] [1.41]\n");
	EXPECT_EQ(Capture(stdout, [] { PrintFloats(2, -0.125, 1e6); }),
	    "Printing floats: [-0.12] [1000000.00]\n");
	// A float arrives promoted to double.
	EXPECT_EQ(Capture(stdout, [] { PrintFloats(1, 2.5F); }), "Printing floats: [2.50]\n");
	// Past the eighth, x86-64 and arm64 pass doubles on the stack.
	EXPECT_EQ(Capture(stdout,
		      [] { PrintFloats(10, 0.5, 1.5, 2.5, 3.5, 4.5, 5.5, 6.5, 7.5, 8.5, 9.5); }),
	    "Printing floats: [0.50] [1.50] [2.50] [3.50] [4.50] [5.50] [6.50] [7.50] [8.50] "
	    "[9.50]\n");
}

TEST(PrintFloats, CountBelowOneWritesTheHeadingOnly)
{
	EXPECT_EQ(Capture(stdout, [] { PrintFloats(0); }), "Printing floats:\n");
	EXPECT_EQ(Capture(stdout, [] { PrintFloats(-2, 1.0); }), "Printing floats:\n");
}

template <std::size_t... I>
void
ExpectPrintFloatsOf(std::index_sequence<I...> /*indices*/)
{
	constexpr std::size_t n = sizeof...(I);
	std::string expected = "Printing floats:";
	for (const double value : std::initializer_list<double>{ (Swept(I, n) + 0.25)... }) {
		char field[32];
		snprintf(field, sizeof field, " [%.2f]", value);
		expected += field;
	}
	EXPECT_EQ(
	    Capture(stdout, [] { PrintFloats(static_cast<int>(n), (Swept(I, n) + 0.25)...); }),
	    expected + "\n");
}

TEST(PrintFloats, SweepsCountsAcrossTheArgumentRegisters)
{
	Sweep([](auto values) { ExpectPrintFloatsOf(values); }, std::make_index_sequence<21>());
}

// Calls PrintLines with strs and the null pointer constant that the sentinel check asks for.
template <typename... Strings>
std::string
PrintedLines(Strings... strs)
{
	return Capture(stdout, [=] { PrintLines(strs..., static_cast<const char *>(nullptr)); });
}

// The strings "0" to "24", each its own line.
constexpr const char *kDigits[] = { "0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11",
	"12", "13", "14", "15", "16", "17", "18", "19", "20", "21", "22", "23", "24" };

template <std::size_t... I>
void
ExpectPrintLinesOf(std::index_sequence<I...> /*indices*/)
{
	std::string expected;
	for (const char *str : std::initializer_list<const char *>{ "first", kDigits[I]... })
		(expected += str) += '\n';
	EXPECT_EQ(PrintedLines("first", kDigits[I]...), expected);
}

TEST(PrintLines, SweepsCountsAcrossTheArgumentRegisters)
{
	Sweep([](auto strs) { ExpectPrintLinesOf(strs); }, std::make_index_sequence<21>());
}

TEST(PrintLines, PrintsEveryStringUpToTheNullPointer)
{
	EXPECT_EQ(PrintedLines("only"), "only\n");
	EXPECT_EQ(PrintedLines("a", "", "b"), "a\n\nb\n");
	EXPECT_EQ(
	    PrintedLines("First", "Second", "Third", "Fourth"), "First\nSecond\nThird\nFourth\n");
	EXPECT_EQ(PrintedLines(static_cast<const char *>(nullptr)), "");
	// Ten pointers: more than either x86-64 or arm64 passes in registers.
	EXPECT_EQ(PrintedLines("1", "2", "3", "4", "5", "6", "7", "8", "9"),
	    "1\n2\n3\n4\n5\n6\n7\n8\n9\n");
}

TEST(PrintFError, FormatsTheMessageBeforeTheCallersError)
{
	EXPECT_EQ(Reported(ENOENT, [] { PrintFError("Error opening '%s'", "myfile.txt"); }),
	    "Error opening 'myfile.txt': No such file or directory\n");
	EXPECT_EQ(
	    Reported(EACCES, [] { PrintFError("%s=%d %c%x %.1f%%", "n", -3, 'z', 255U, 2.5); }),
	    "n=-3 zff 2.5%: Permission denied\n");
}

TEST(PrintFError, CutsMessagesLongerThan255Characters)
{
	for (const std::size_t length : { 255U, 256U, 1000U }) {
		const std::string message(length, 'x');
		EXPECT_EQ(Reported(EIO, [&] { PrintFError("%s", message.c_str()); }),
		    std::string(std::min<std::size_t>(length, 255), 'x') + ": Input/output error\n")
		    << "message of " << length;
	}
}

TEST(PrintFError, ReportsTheCallersErrnoWhenFormattingFails)
{
	// In the C locale a wide character past ASCII fails to convert: the
	// formatter gives up with EILSEQ, which must not replace ENOENT.
	EXPECT_EQ(Reported(ENOENT, [] { PrintFError("lost %ls", L"\u0100"); }),
	    "No such file or directory\n");
}

TEST(WriteFormatted, ForwardsEachFormatWithItsArguments)
{
	char *text = nullptr;
	std::size_t size = 0;
	FILE *stream = open_memstream(&text, &size);
	ASSERT_NE(stream, nullptr);
	WriteFormatted(stream, "Call with %d variable argument.\n", 1);
	WriteFormatted(stream, "Call with %d variable %s.\n", 2, "arguments");
	WriteFormatted(stream, "%s|%5d|%-3s|%c|%.2e|%lld\n", "a", 42, "b", 'q', 1234.5, LLONG_MIN);
	ASSERT_EQ(fclose(stream), 0);
	EXPECT_EQ(std::string(text, size),
	    "Call with 1 variable argument.\n"
	    "Call with 2 variable arguments.\n"
	    "a|   42|b  |q|1.23e+03|-9223372036854775808\n");
	free(text); // NOLINT(cppcoreguidelines-no-malloc): open_memstream allocates with malloc
}

} // namespace
