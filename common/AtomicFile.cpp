// The one file writer: links followed, read-only targets refused, a temporary file beside the
// target filled, synced and renamed over it; the live temporary files listed for a signal handler.
#include "common/AtomicFile.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <pthread.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mirel {

namespace {

// The temporary files being written, by name, for RemoveTemporaryFiles. A slot is filled before
// its file is created and turns Live once the file is ours; it is freed when the file is renamed
// or removed. A handler unlinks only Live slots, so never a file of someone else's.
enum SlotState : int { Free, Filling, Live };
struct Slot {
    std::atomic<int> State{Free};
    char Path[PATH_MAX];
};
Slot Slots[8];
static_assert(std::atomic<int>::is_always_lock_free, "the signal handler reads the slots");

Slot* Claim(const std::string& path)
{
    if (path.size() >= PATH_MAX)
        return nullptr;
    for (Slot& slot : Slots) {
        int expected = Free;
        if (slot.State.compare_exchange_strong(expected, Filling)) {
            std::memcpy(slot.Path, path.c_str(), path.size() + 1);
            return &slot;
        }
    }
    return nullptr;  // more writers at once than slots: that file is merely not listed
}

// The signals that end the program are held off while a file and its slot change together, so
// that a handler in this thread sees the table as the disk is.
class EndingSignalsHeld {
public:
    EndingSignalsHeld()
    {
        sigset_t ending;
        sigemptyset(&ending);
        for (const int signal : {SIGINT, SIGTERM, SIGHUP})
            sigaddset(&ending, signal);
        ::pthread_sigmask(SIG_BLOCK, &ending, &before_);
    }
    ~EndingSignalsHeld() { ::pthread_sigmask(SIG_SETMASK, &before_, nullptr); }
    EndingSignalsHeld(const EndingSignalsHeld&) = delete;
    EndingSignalsHeld& operator=(const EndingSignalsHeld&) = delete;

private:
    sigset_t before_;
};

// The name a write to `path` ends in: symbolic links followed, a dangling one to the file it names.
int ResolveLinks(std::string& path)
{
    for (int hops = 0; hops < 40; ++hops) {
        struct stat status {};
        if (::lstat(path.c_str(), &status) != 0)
            return errno == ENOENT ? 0 : errno;  // a new file; a missing folder shows up on creating it
        if (!S_ISLNK(status.st_mode))
            return 0;
        char link[PATH_MAX];
        const ssize_t length = ::readlink(path.c_str(), link, sizeof link);
        if (length < 0)
            return errno;
        const std::string target(link, static_cast<std::size_t>(length));
        const std::size_t slash = path.rfind('/');
        path = target.starts_with('/') || slash == std::string::npos ? target : path.substr(0, slash + 1) + target;
    }
    return ELOOP;
}

// Whether `target` may be replaced; `status` gets an existing file's, a zero mode for a new file.
int Inspect(const std::string& target, struct stat& status)
{
    status = {};
    if (::stat(target.c_str(), &status) != 0)
        return errno == ENOENT ? 0 : errno;
    if (S_ISDIR(status.st_mode))
        return EISDIR;
    if (!S_ISREG(status.st_mode))
        return EINVAL;  // a device or a pipe is not replaced by a file
    // access() grants root everything; the write bits say what the file's owner meant.
    if ((status.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0)
        return EACCES;
    return 0;
}

std::uint64_t RandomBits()
{
    static std::atomic<std::uint64_t> counter{0};
    std::uint64_t bits = 0;
    if (::getrandom(&bits, sizeof bits, GRND_NONBLOCK) == static_cast<ssize_t>(sizeof bits))
        return bits;
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<std::uint64_t>(now.tv_nsec) * 0x9E3779B97F4A7C15u ^
           static_cast<std::uint64_t>(::getpid()) << 32 ^ ++counter;
}

// A temporary file beside its target, removed again unless renamed over it.
class Temporary {
public:
    ~Temporary()
    {
        if (fd_ >= 0)
            ::close(fd_);
        if (!name_.empty()) {
            const EndingSignalsHeld held;
            ::unlink(name_.c_str());
            release();
        }
    }

    // Created with 0666 less the umask, as any new file.
    int create(const std::string& target)
    {
        const std::size_t slash = target.rfind('/');
        const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
        const std::string name = target.substr(folder.size());
        const std::size_t dot = name.rfind('.');
        const std::string extension = dot == std::string::npos || dot == 0 ? std::string() : name.substr(dot);
        static constexpr char Letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::uint64_t bits = RandomBits();
            std::string random(6, 'X');
            for (char& c : random) {
                c = Letters[bits % 62];
                bits /= 62;
            }
            name_ = folder + std::string(TemporaryPrefix) + random + extension;
            const EndingSignalsHeld held;
            Slot* slot = Claim(name_);
            fd_ = ::open(name_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd_ >= 0) {
                slot_ = slot;
                if (slot_)
                    slot_->State.store(Live);
                return 0;
            }
            const int error = errno;
            if (slot)
                slot->State.store(Free);
            name_.clear();
            if (error != EEXIST)
                return error;
        }
        return EEXIST;
    }

    int fd() const { return fd_; }
    // Closes the file; 0 or why the last bytes did not reach the disk.
    int close()
    {
        const int result = ::close(fd_);
        fd_ = -1;
        return result != 0 && errno != EINTR ? errno : 0;
    }
    int renameOver(const std::string& target)
    {
        const EndingSignalsHeld held;
        if (::rename(name_.c_str(), target.c_str()) != 0)
            return errno;
        release();
        name_.clear();
        return 0;
    }

private:
    void release()
    {
        if (slot_)
            slot_->State.store(Free);
        slot_ = nullptr;
    }

    std::string name_;  // empty unless the file exists
    Slot* slot_ = nullptr;
    int fd_ = -1;
};

int WriteAll(int fd, std::string_view bytes)
{
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno != EINTR)
            return errno;
        if (n == 0)
            return EIO;
        if (n > 0)
            done += static_cast<std::size_t>(n);
    }
    return 0;
}

// The file a write of `path` lands in (links followed), and what stands there now; 0 or why it
// cannot be written.
int Locate(const std::string& path, std::string& target, struct stat& old)
{
    target = path;
    if (const int error = ResolveLinks(target); error != 0)
        return error;
    return Inspect(target, old);
}

}  // namespace

int WriteFileAtomically(const std::string& path, std::string_view bytes)
{
    std::string target;
    struct stat old {};
    if (const int error = Locate(path, target, old); error != 0)
        return error;
    Temporary temporary;
    if (const int error = temporary.create(target); error != 0)
        return error;
    if (old.st_mode != 0) {
        // A replaced file keeps its owner where the caller may give it (root may), else at least
        // its group, and its mode; a file system that keeps none of them still takes the bytes.
        if (::fchown(temporary.fd(), old.st_uid, old.st_gid) != 0 &&
            ::fchown(temporary.fd(), static_cast<uid_t>(-1), old.st_gid) != 0) {
            // the file is ours, as a new one
        }
        if (::fchmod(temporary.fd(), old.st_mode & 07777) != 0) {
            // the mode of a new file
        }
    }
    if (const int error = WriteAll(temporary.fd(), bytes); error != 0)
        return error;
    // The bytes reach the disk only on syncing and closing: a full disk may show up only here.
    if (::fsync(temporary.fd()) != 0)
        return errno;
    if (const int error = temporary.close(); error != 0)
        return error;
    return temporary.renameOver(target);
}

int CheckWritable(const std::string& path)
{
    std::string target;
    struct stat old {};
    if (const int error = Locate(path, target, old); error != 0)
        return error;
    return Temporary().create(target);
}

std::string FileErrorText(int error)
{
    switch (error) {
    case EACCES:
    case EPERM: return "нет прав на запись";
    case EROFS: return "диск только для чтения";
    case ENOENT: return "папка не найдена";
    case ENOTDIR: return "путь к файлу проходит через файл, а не папку";
    case EISDIR: return "под этим именем уже есть папка";
    case EINVAL: return "под этим именем не обычный файл";
    case ENOSPC:
    case EDQUOT: return "на диске нет места";
    case EFBIG: return "файл больше, чем разрешено записать";
    case EIO: return "ошибка записи на диск";
    case ELOOP: return "слишком много символических ссылок";
    case ENAMETOOLONG: return "слишком длинное имя файла";
    default: return std::strerror(error);
    }
}

void RemoveTemporaryFiles() noexcept
{
    for (Slot& slot : Slots)
        if (slot.State.load() == Live)
            ::unlink(slot.Path);
}

}  // namespace mirel
