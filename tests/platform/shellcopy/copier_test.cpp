#include "platform/shellcopy/copier.h"
#include "testtree.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <optional>

#include <fcntl.h>
#include <unistd.h>

using namespace shellcopy;

namespace {

// Answers the copy's questions from a script and records them.
struct ScriptedObserver final : CopyObserver {
    bool createFolder = true;
    std::vector<ReplaceAnswer> answers;
    std::optional<std::uint64_t> cancelAt;

    std::vector<std::string> asked;
    std::uint64_t lastDone = 0;
    std::uint64_t lastTotal = 0;

    bool confirmCreateFolder(const std::string& folder) override
    {
        asked.push_back("create " + folder);
        return createFolder;
    }
    ReplaceAnswer askReplace(const std::string& target) override
    {
        asked.push_back("replace " + target);
        if (answers.empty())
            return ReplaceAnswer::Cancel;
        const ReplaceAnswer a = answers.front();
        answers.erase(answers.begin());
        return a;
    }
    void progress(std::uint64_t done, std::uint64_t total) override
    {
        lastDone = done;
        lastTotal = total;
    }
    bool cancelled() override { return cancelAt && lastDone >= *cancelAt; }
};

// File I/O that fails on purpose. Plain functions, so the settings live here.
std::size_t failWriteAfter = 0;
std::size_t writtenSoFar = 0;

int noClone(int, int)
{
    errno = EOPNOTSUPP;
    return -1;
}
ssize_t rangeUnsupported(int, int, std::size_t)
{
    errno = EXDEV;
    return -1;
}
ssize_t rangeReportsNothing(int, int, std::size_t)
{
    return 0;
}
ssize_t rangeNoSpace(int, int, std::size_t)
{
    errno = ENOSPC;
    return -1;
}
ssize_t failingWrite(int fd, const void* buffer, std::size_t length)
{
    if (writtenSoFar >= failWriteAfter) {
        errno = ENOSPC;
        return -1;
    }
    const ssize_t n = ::write(fd, buffer, length);
    if (n > 0)
        writtenSoFar += std::size_t(n);
    return n;
}

const FileIo readWriteOnly{noClone, rangeUnsupported, ::read, ::write};
const FileIo rangeEmpty{noClone, rangeReportsNothing, ::read, ::write};
const FileIo diskFullInRange{noClone, rangeNoSpace, ::read, ::write};
const FileIo diskFullHalfWay{noClone, rangeUnsupported, ::read, failingWrite};

constexpr std::size_t big = 2u << 20;

struct Case {
    const char* name;
    std::vector<std::string> before;
    std::string source;
    std::string destination;
    CopyResult::Outcome outcome;
    std::vector<std::string> after;
    std::vector<std::string> asked = {};
    std::string message = {};
    bool createFolder = true;
    std::vector<ReplaceAnswer> answers = {};
    std::optional<std::uint64_t> cancelAt = {};
    const FileIo* io = &FileIo::system();
};

std::ostream& operator<<(std::ostream& os, const Case& c)
{
    return os << c.name;
}

using R = ReplaceAnswer;
const std::string big_ = "@" + std::to_string(big);

const Case cases[] = {
    {"FileIntoFolder",
     {"Veltrassa=abc", "dest/"},
     "Veltrassa",
     "dest",
     CopyResult::Done,
     {"Veltrassa=abc", "dest/", "dest/Veltrassa=abc"}},
    {"FolderIntoFolder",
     {"Veltrassa/a=1", "Veltrassa/b=2", "dest/"},
     "Veltrassa",
     "dest/",
     CopyResult::Done,
     {"Veltrassa/", "Veltrassa/a=1", "Veltrassa/b=2", "dest/", "dest/Veltrassa/",
      "dest/Veltrassa/a=1", "dest/Veltrassa/b=2"}},
    {"NestedFolders",
     {"Veltrassa/x/y/z=deep", "Veltrassa/x/empty/", "Veltrassa/top=" + big_, "dest/"},
     "Veltrassa",
     "dest",
     CopyResult::Done,
     {"Veltrassa/", "Veltrassa/top=" + big_, "Veltrassa/x/", "Veltrassa/x/empty/", "Veltrassa/x/y/",
      "Veltrassa/x/y/z=deep", "dest/", "dest/Veltrassa/", "dest/Veltrassa/top=" + big_,
      "dest/Veltrassa/x/", "dest/Veltrassa/x/empty/", "dest/Veltrassa/x/y/",
      "dest/Veltrassa/x/y/z=deep"}},
    {"BackslashIsAnOrdinaryCharacter",
     {"Veltrassa=abc"},
     "Veltrassa",
     "C:\\\\Destination\\\\",
     CopyResult::Done,
     {"C:\\\\Destination\\\\/", "C:\\\\Destination\\\\/Veltrassa=abc", "Veltrassa=abc"},
     {"create C:\\\\Destination\\\\"}},
    {"MissingDestinationCreatedWhenConfirmed",
     {"Veltrassa/a=1"},
     "Veltrassa",
     "new/deeper",
     CopyResult::Done,
     {"Veltrassa/", "Veltrassa/a=1", "new/", "new/deeper/", "new/deeper/Veltrassa/",
      "new/deeper/Veltrassa/a=1"},
     {"create new/deeper"}},
    {"MissingDestinationDeclined",
     {"Veltrassa/a=1"},
     "Veltrassa",
     "new",
     CopyResult::Cancelled,
     {"Veltrassa/", "Veltrassa/a=1"},
     {"create new"},
     {},
     false},
    {"ExistingFileReplaced",
     {"Veltrassa/a=new", "dest/Veltrassa/a=old"},
     "Veltrassa",
     "dest",
     CopyResult::Done,
     {"Veltrassa/", "Veltrassa/a=new", "dest/", "dest/Veltrassa/", "dest/Veltrassa/a=new"},
     {"replace dest/Veltrassa/a"},
     {},
     true,
     {R::Replace}},
    {"ExistingFileSkipped",
     {"Veltrassa/a=new", "Veltrassa/b=new", "dest/Veltrassa/a=old"},
     "Veltrassa",
     "dest",
     CopyResult::Done,
     {"Veltrassa/", "Veltrassa/a=new", "Veltrassa/b=new", "dest/", "dest/Veltrassa/",
      "dest/Veltrassa/a=old", "dest/Veltrassa/b=new"},
     {"replace dest/Veltrassa/a"},
     {},
     true,
     {R::Skip}},
    {"ReplaceAllAsksOnce",
     {"Veltrassa/a=new", "Veltrassa/b=new", "dest/Veltrassa/a=old", "dest/Veltrassa/b=old"},
     "Veltrassa",
     "dest",
     CopyResult::Done,
     {"Veltrassa/", "Veltrassa/a=new", "Veltrassa/b=new", "dest/", "dest/Veltrassa/",
      "dest/Veltrassa/a=new", "dest/Veltrassa/b=new"},
     {"replace dest/Veltrassa/a"},
     {},
     true,
     {R::ReplaceAll}},
    {"CancelAtConflictKeepsTheRest",
     {"Veltrassa/a=new", "Veltrassa/b=new", "dest/Veltrassa/a=old"},
     "Veltrassa",
     "dest",
     CopyResult::Cancelled,
     {"Veltrassa/", "Veltrassa/a=new", "Veltrassa/b=new", "dest/", "dest/Veltrassa/",
      "dest/Veltrassa/a=old"},
     {"replace dest/Veltrassa/a"},
     {},
     true,
     {R::Cancel}},
    {"FileOverFileAsks",
     {"Veltrassa=new", "target=old"},
     "Veltrassa",
     "target",
     CopyResult::Done,
     {"Veltrassa=new", "target=new"},
     {"replace target"},
     {},
     true,
     {R::Replace}},
    {"MissingSource",
     {"dest/"},
     "Veltrassa",
     "dest",
     CopyResult::Failed,
     {"dest/"},
     {},
     "\u201EVeltrassa\u201C kann nicht kopiert werden: No such file or directory"},
    {"UnwritableDestination",
     {"Veltrassa=abc", "file=x"},
     "Veltrassa",
     "file/sub",
     CopyResult::Failed,
     {"Veltrassa=abc", "file=x"},
     {},
     "\u201Efile/sub\u201C kann nicht geschrieben werden: Not a directory"},
    {"FolderOntoFile",
     {"Veltrassa/a=1", "file=x"},
     "Veltrassa",
     "file",
     CopyResult::Failed,
     {"Veltrassa/", "Veltrassa/a=1", "file=x"},
     {},
     "\u201EVeltrassa\u201C kann nicht kopiert werden: Not a directory"},
    {"FolderIntoItself",
     {"Veltrassa/sub/a=1"},
     "Veltrassa",
     "Veltrassa/sub",
     CopyResult::Failed,
     {"Veltrassa/", "Veltrassa/sub/", "Veltrassa/sub/a=1"},
     {},
     "\u201EVeltrassa\u201C kann nicht kopiert werden: Der Zielordner ist ein Unterordner des "
     "Quellordners."},
    {"FolderIntoItsOwnMissingSubfolderCreatesNothing",
     {"Veltrassa/a=1"},
     "Veltrassa",
     "Veltrassa/new",
     CopyResult::Failed,
     {"Veltrassa/", "Veltrassa/a=1"},
     {},
     "\u201EVeltrassa\u201C kann nicht kopiert werden: Der Zielordner ist ein Unterordner des "
     "Quellordners."},
    {"FolderOntoItself",
     {"Veltrassa/a=1"},
     "Veltrassa",
     ".",
     CopyResult::Failed,
     {"Veltrassa/", "Veltrassa/a=1"},
     {},
     "\u201EVeltrassa\u201C kann nicht kopiert werden: Der Zielordner ist ein Unterordner des "
     "Quellordners."},
    {"FileOntoItself",
     {"Veltrassa=abc"},
     "Veltrassa",
     "./",
     CopyResult::Failed,
     {"Veltrassa=abc"},
     {},
     "\u201EVeltrassa\u201C kann nicht kopiert werden: Quelle und Ziel sind dieselbe Datei."},
    {"FileOntoItsHardLink",
     {"Veltrassa=abc"},
     "Veltrassa",
     "hard",
     CopyResult::Failed,
     {"Veltrassa=abc", "hard=abc"},
     {},
     "\u201EVeltrassa\u201C kann nicht kopiert werden: Quelle und Ziel sind dieselbe Datei."},
    {"CancelHalfWayLeavesNoPartialFile",
     {"Veltrassa/a=1", "Veltrassa/big=" + big_, "dest/"},
     "Veltrassa",
     "dest",
     CopyResult::Cancelled,
     {"Veltrassa/", "Veltrassa/a=1", "Veltrassa/big=" + big_, "dest/", "dest/Veltrassa/",
      "dest/Veltrassa/a=1"},
     {},
     {},
     true,
     {},
     big / 2,
     &readWriteOnly},
    {"WriteFailureHalfWayLeavesNoPartialFile",
     {"Veltrassa=" + big_, "dest/"},
     "Veltrassa",
     "dest",
     CopyResult::Failed,
     {"Veltrassa=" + big_, "dest/"},
     {},
     "\u201Edest/Veltrassa\u201C kann nicht geschrieben werden: No space left on device",
     true,
     {},
     {},
     &diskFullHalfWay},
    {"WriteFailureWhileReplacingKeepsTheOldFile",
     {"Veltrassa=" + big_, "dest/Veltrassa=old"},
     "Veltrassa",
     "dest",
     CopyResult::Failed,
     {"Veltrassa=" + big_, "dest/", "dest/Veltrassa=old"},
     {"replace dest/Veltrassa"},
     "\u201Edest/Veltrassa\u201C kann nicht geschrieben werden: No space left on device",
     true,
     {R::Replace},
     {},
     &diskFullHalfWay},
    {"CancelWhileReplacingKeepsTheOldFile",
     {"Veltrassa=" + big_, "dest/Veltrassa=old"},
     "Veltrassa",
     "dest",
     CopyResult::Cancelled,
     {"Veltrassa=" + big_, "dest/", "dest/Veltrassa=old"},
     {"replace dest/Veltrassa"},
     {},
     true,
     {R::Replace},
     big / 2,
     &readWriteOnly},
    {"DiskFullInKernelCopyIsFinal",
     {"Veltrassa=" + big_, "dest/"},
     "Veltrassa",
     "dest",
     CopyResult::Failed,
     {"Veltrassa=" + big_, "dest/"},
     {},
     "\u201Edest/Veltrassa\u201C kann nicht geschrieben werden: No space left on device",
     true,
     {},
     {},
     &diskFullInRange},
    {"ReadWriteWhenKernelCopyIsUnsupported",
     {"Veltrassa=" + big_, "dest/"},
     "Veltrassa",
     "dest",
     CopyResult::Done,
     {"Veltrassa=" + big_, "dest/", "dest/Veltrassa=" + big_},
     {},
     {},
     true,
     {},
     {},
     &readWriteOnly},
    {"ReadWriteWhenKernelCopyYieldsNothing",
     {"Veltrassa=" + big_, "dest/"},
     "Veltrassa",
     "dest",
     CopyResult::Done,
     {"Veltrassa=" + big_, "dest/", "dest/Veltrassa=" + big_},
     {},
     {},
     true,
     {},
     {},
     &rangeEmpty},
    {"SymbolicLinksCopiedAsLinks",
     {"Veltrassa/a=1", "Veltrassa/rel->a", "Veltrassa/dangling->../nowhere", "dest/"},
     "Veltrassa",
     "dest",
     CopyResult::Done,
     {"Veltrassa/", "Veltrassa/a=1", "Veltrassa/dangling->../nowhere", "Veltrassa/rel->a", "dest/",
      "dest/Veltrassa/", "dest/Veltrassa/a=1", "dest/Veltrassa/dangling->../nowhere",
      "dest/Veltrassa/rel->a"}},
    {"SourceThatIsALinkIsCopiedAsTheLink",
     {"real/a=1", "Veltrassa->real", "dest/"},
     "Veltrassa",
     "dest",
     CopyResult::Done,
     {"Veltrassa->real", "dest/", "dest/Veltrassa->real", "real/", "real/a=1"}},
};

class CopierCases : public ::testing::TestWithParam<Case> {};

TEST_P(CopierCases, LeavesTheExpectedTree)
{
    const Case& c = GetParam();
    TestTree tree;
    TestTree::make(c.before);
    if (std::string(c.name) == "FileOntoItsHardLink") {
        ASSERT_EQ(::link("Veltrassa", "hard"), 0);
    }
    failWriteAfter = big / 2;
    writtenSoFar = 0;

    ScriptedObserver observer;
    observer.createFolder = c.createFolder;
    observer.answers = c.answers;
    observer.cancelAt = c.cancelAt;
    Copier copier(observer, *c.io);
    const CopyResult result = copier.copy(c.source, c.destination);

    EXPECT_EQ(result.outcome, c.outcome) << result.message;
    EXPECT_EQ(result.message, c.message);
    EXPECT_EQ(observer.asked, c.asked);
    EXPECT_EQ(TestTree::list(), c.after);
}

INSTANTIATE_TEST_SUITE_P(Copier, CopierCases, ::testing::ValuesIn(cases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Copier, KeepsModesAndTimesOfFilesFoldersAndLinks)
{
    TestTree tree;
    TestTree::make({"Veltrassa/run=#!", "Veltrassa/ro/a=1", "Veltrassa/l->run", "dest/"});
    const timespec old[2] = {{1000000000, 0}, {1000000000, 500}};
    ASSERT_EQ(::chmod("Veltrassa/run", 0751), 0);
    ASSERT_EQ(::utimensat(AT_FDCWD, "Veltrassa/run", old, 0), 0);
    ASSERT_EQ(::utimensat(AT_FDCWD, "Veltrassa/l", old, AT_SYMLINK_NOFOLLOW), 0);
    ASSERT_EQ(::utimensat(AT_FDCWD, "Veltrassa/ro", old, 0), 0);
    ASSERT_EQ(::chmod("Veltrassa/ro", 0555), 0);

    ScriptedObserver observer;
    ASSERT_EQ(Copier(observer).copy("Veltrassa", "dest").outcome, CopyResult::Done);

    struct stat st;
    ASSERT_EQ(::stat("dest/Veltrassa/run", &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0751u);
    EXPECT_EQ(st.st_mtim.tv_sec, 1000000000);
    EXPECT_EQ(st.st_mtim.tv_nsec, 500);
    ASSERT_EQ(::lstat("dest/Veltrassa/l", &st), 0);
    EXPECT_EQ(st.st_mtim.tv_sec, 1000000000);
    ASSERT_EQ(::stat("dest/Veltrassa/ro", &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0555u);
    EXPECT_EQ(st.st_mtim.tv_sec, 1000000000);
    EXPECT_EQ(TestTree::read("dest/Veltrassa/ro/a"), "1");
    ::chmod("dest/Veltrassa/ro", 0755);
    ::chmod("Veltrassa/ro", 0755);
}

TEST(Copier, ReportsProgressUpToTheTotal)
{
    TestTree tree;
    TestTree::make({"Veltrassa/a=" + big_, "Veltrassa/b=12345", "dest/"});
    ScriptedObserver observer;
    ASSERT_EQ(Copier(observer, readWriteOnly).copy("Veltrassa", "dest").outcome, CopyResult::Done);
    EXPECT_EQ(observer.lastTotal, big + 5);
    EXPECT_EQ(observer.lastDone, big + 5);
}

} // namespace
