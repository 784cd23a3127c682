// The writer over a file system that keeps no owner or no mode (some network and FUSE ones): this
// program's fchown and fchmod fail as such a file system makes them fail.
#include "common/AtomicFile.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

int ownerRefused = 0;  // errno of an fchown that gives an owner; 0 lets it through
int groupRefused = 0;  // errno of an fchown that gives only a group
int modeRefused = 0;   // errno of fchmod

}  // namespace

extern "C" int fchown(int fd, uid_t owner, gid_t group) noexcept
{
    if (const int refused = owner == static_cast<uid_t>(-1) ? groupRefused : ownerRefused; refused != 0) {
        errno = refused;
        return -1;
    }
    return ::fchownat(fd, "", owner, group, AT_EMPTY_PATH);
}

extern "C" int fchmod(int fd, mode_t mode) noexcept
{
    if (modeRefused != 0) {
        errno = modeRefused;
        return -1;
    }
    return static_cast<int>(::syscall(SYS_fchmod, fd, mode));
}

namespace mirel {
namespace {

struct Refusals {
    int Owner, Group, Mode;
};

class KeptAsFarAsPossible : public testing::TestWithParam<Refusals> {};

// The bytes are saved whatever is refused; the group stays where only the owner is refused, the
// mode where fchmod works.
TEST_P(KeptAsFarAsPossible, AReplacedFileKeepsWhatTheFileSystemKeeps)
{
    const auto folder = std::filesystem::temp_directory_path() / ("mirel-kept-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::string path = (folder / "r.txt").string();
    std::ofstream(path) << "old";
    constexpr uid_t OtherOwner = 54321;
    constexpr gid_t OtherGroup = 12345;
    if (::chown(path.c_str(), OtherOwner, OtherGroup) != 0 || ::chmod(path.c_str(), 0604) != 0) {
        std::filesystem::remove_all(folder);
        GTEST_SKIP() << "giving a file away takes root";
    }
    const auto [owner, group, mode] = GetParam();
    ownerRefused = owner;
    groupRefused = group;
    modeRefused = mode;
    const int error = WriteFileAtomically(path, "new");
    ownerRefused = groupRefused = modeRefused = 0;
    EXPECT_EQ(error, 0);

    struct stat saved {};
    ASSERT_EQ(::stat(path.c_str(), &saved), 0);
    std::ifstream file(path);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}), "new");
    EXPECT_EQ(saved.st_uid, owner == 0 ? OtherOwner : ::geteuid());
    EXPECT_EQ(saved.st_gid, owner == 0 || group == 0 ? OtherGroup : ::getegid());
    const mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(saved.st_mode & 07777, mode == 0 ? 0604u : 0666u & ~mask);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1) << "a temporary file is left";
    std::filesystem::remove_all(folder);
}

INSTANTIATE_TEST_SUITE_P(Refused, KeptAsFarAsPossible,
                         testing::Values(Refusals{0, 0, 0}, Refusals{EPERM, 0, 0}, Refusals{EOPNOTSUPP, ENOSYS, 0},
                                         Refusals{EOPNOTSUPP, EOPNOTSUPP, EOPNOTSUPP}));

}  // namespace
}  // namespace mirel
