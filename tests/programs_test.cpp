// Runs every program as a process in a fresh directory and checks the exact bytes it leaves.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <ios>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const char kFile[] = "Call with 1 variable argument.\n"
		     "Call with 2 variable arguments.\n";

// Where standard output goes: captured, a full device, or a descriptor that
// refuses writes. The last is opened read-only rather than closed: a preloaded
// library (libfaketime, under reprotest) would take a closed descriptor 1.
enum class Out { Captured, DevFull, ReadOnly };

struct Result {
	std::string out;
	std::string err;
	int status; // the exit status, or 128 + the signal that ended it
};

std::string
Slurp(const fs::path &path)
{
	std::ifstream in(path, std::ios::binary);
	return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

// ELLIPSIS_LAUNCHER, when set, holds a command (valgrind, say) to start each program under.
std::vector<std::string>
Launcher()
{
	std::vector<std::string> words;
	if (const char *launcher = std::getenv("ELLIPSIS_LAUNCHER")) {
		std::istringstream in(launcher);
		for (std::string word; in >> word;)
			words.push_back(word);
	}
	return words;
}

// ELLIPSIS_BIN_DIR, when set, names where the programs are (an unpacked package,
// say) instead of the build tree.
std::string
BinDir()
{
	const char *dir = std::getenv("ELLIPSIS_BIN_DIR");
	return dir != nullptr ? dir : ELLIPSIS_BIN_DIR;
}

class Program : public ::testing::Test {
protected:
	void
	SetUp() override
	{
		std::string dir = ::testing::TempDir() + "ellipsis-XXXXXX";
		ASSERT_NE(mkdtemp(dir.data()), nullptr) << std::strerror(errno);
		root_ = dir;
		work_ = root_ / "work";
		fs::create_directory(work_);
	}

	void
	TearDown() override
	{
		fs::remove_all(root_);
	}

	// Runs the program with no arguments in work_.
	[[nodiscard]] Result
	Run(const std::string &name, Out out = Out::Captured) const
	{
		std::vector<std::string> words = Launcher();
		words.push_back(BinDir() + "/" + name);
		std::vector<char *> argv;
		argv.reserve(words.size() + 1);
		for (std::string &word : words)
			argv.push_back(word.data());
		argv.push_back(nullptr);

		const std::string outPath =
		    out == Out::DevFull ? "/dev/full" : (root_ / "out").string();
		const int outFlags =
		    out == Out::ReadOnly ? O_RDONLY | O_CREAT : O_WRONLY | O_CREAT | O_TRUNC;
		const std::string errPath = (root_ / "err").string();
		const std::string work = work_.string();

		const auto pid = fork();
		if (pid == 0) {
			// Between fork and exec only async-signal-safe calls.
			const int errFd = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
			const int outFd = open(outPath.c_str(), outFlags, 0600);
			if (errFd < 0 || outFd < 0 || dup2(errFd, STDERR_FILENO) < 0 ||
			    dup2(outFd, STDOUT_FILENO) < 0 || chdir(work.c_str()) != 0)
				_exit(126);
			close(errFd);
			close(outFd);
			execvp(argv[0], argv.data());
			_exit(127);
		}
		int status = 0;
		EXPECT_GT(pid, 0) << std::strerror(errno);
		EXPECT_EQ(waitpid(pid, &status, 0), pid) << std::strerror(errno);
		return { out == Out::Captured ? Slurp(root_ / "out") : "", Slurp(root_ / "err"),
			WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status) };
	}

	fs::path root_;
	fs::path work_;
};

TEST_F(Program, EachWritesItsExactOutputAndSucceeds)
{
	const struct {
		const char *name;
		const char *out;
		const char *err;
	} cases[] = {
		{ "maxpick", "The largest value is: 892\n", "" },
		{ "floatrow", "Printing floats: [3.14] [2.72] [1.41]\n", "" },
		{ "linewalk", "First\nSecond\nThird\nFourth\n", "" },
		{ "failnote", "", "Error opening 'myfile.txt': No such file or directory\n" },
	};
	for (const auto &c : cases) {
		SCOPED_TRACE(c.name);
		const Result r = Run(c.name);
		EXPECT_EQ(r.out, c.out);
		EXPECT_EQ(r.err, c.err);
		EXPECT_EQ(r.status, 0);
	}
	EXPECT_TRUE(fs::is_empty(work_));
}

TEST_F(Program, WalkersReportLostOutputAndFail)
{
	const struct {
		Out out;
		const char *reason;
	} sinks[] = {
		{ Out::DevFull, "No space left on device" },
		{ Out::ReadOnly, "Bad file descriptor" },
	};
	for (const char *name : { "maxpick", "floatrow", "linewalk" }) {
		for (const auto &sink : sinks) {
			SCOPED_TRACE(std::string(name) + ", " + sink.reason);
			const Result r = Run(name, sink.out);
			EXPECT_EQ(
			    r.err, std::string(name) + ": write error: " + sink.reason + "\n");
			EXPECT_EQ(r.status, 1);
		}
	}
}

TEST_F(Program, FmtwriteWritesTheFileThatSilencesFailnote)
{
	for (const char *name : { "fmtwrite", "failnote" }) {
		SCOPED_TRACE(name);
		const Result r = Run(name);
		EXPECT_EQ(r.out, "");
		EXPECT_EQ(r.err, "");
		EXPECT_EQ(r.status, 0);
		EXPECT_EQ(Slurp(work_ / "myfile.txt"), kFile);
	}
}

TEST_F(Program, FmtwriteReplacesWhatTheFileHeld)
{
	std::ofstream(work_ / "myfile.txt") << std::string(200, '#') << '\n';
	for (int run = 1; run <= 2; run++) {
		SCOPED_TRACE(run);
		EXPECT_EQ(Run("fmtwrite").status, 0);
		EXPECT_EQ(Slurp(work_ / "myfile.txt"), kFile);
	}
}

TEST_F(Program, FmtwriteReportsAFileItCannotWriteAndFails)
{
	const struct {
		const char *what;
		std::function<void(const fs::path &)> prepare;
		const char *err;
	} cases[] = {
		{ "directory of that name",
		    [](const fs::path &file) { fs::create_directory(file); },
		    "Error opening 'myfile.txt': Is a directory\n" },
		{ "link into a directory that no longer exists",
		    [](const fs::path &file) { fs::create_symlink("gone/myfile.txt", file); },
		    "Error opening 'myfile.txt': No such file or directory\n" },
		{ "full device",
		    [](const fs::path &file) { fs::create_symlink("/dev/full", file); },
		    "Error writing 'myfile.txt': No space left on device\n" },
	};
	for (const auto &c : cases) {
		SCOPED_TRACE(c.what);
		fs::remove_all(work_);
		fs::create_directory(work_);
		c.prepare(work_ / "myfile.txt");
		const Result r = Run("fmtwrite");
		EXPECT_EQ(r.out, "");
		EXPECT_EQ(r.err, c.err);
		EXPECT_EQ(r.status, 1);
	}
}

} // namespace
