#include "image_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "interrupt.h"

namespace lorvaxen::tool {
namespace {

std::string failure(const std::string& path, int error)
{
    return "cannot write " + path + ": " +
           (error != 0 ? std::strerror(error) : "the image could not be encoded");
}

// mkstemp makes its file readable by the owner alone; the finished file keeps the permissions
// of the regular file it replaces, or gets those any new file of this user would have. Never the
// set-user-id, set-group-id or sticky bits: a label is no program, and a file planted with them
// would otherwise hand them to a file of whoever runs the tool.
void givePermissions(int fd, const struct stat* earlier)
{
    static const mode_t mask = [] {
        const mode_t current = umask(0);
        umask(current);
        return current;
    }();
    fchmod(fd, earlier != nullptr ? earlier->st_mode & static_cast<mode_t>(0777)
                                  : static_cast<mode_t>(0666) & ~mask);
}

// What stands under a name, for a message.
const char* kindOfFile(mode_t mode)
{
    return S_ISLNK(mode)                    ? "a symbolic link"
           : S_ISFIFO(mode)                 ? "a named pipe (FIFO)"
           : S_ISCHR(mode) || S_ISBLK(mode) ? "a device"
           : S_ISSOCK(mode)                 ? "a socket"
           : S_ISDIR(mode)                  ? "a directory"
                                            : "not a regular file";
}

bool isStandardOutput(const struct stat& named)
{
    static struct stat out
    {
    };
    static const bool known = fstat(STDOUT_FILENO, &out) == 0;
    return known && named.st_dev == out.st_dev && named.st_ino == out.st_ino;
}

// Writes to a file that is already open, such as standard output or a device.
std::string writeOpenFile(const FileWriter& write, std::FILE* file, const std::string& name)
{
    errno = 0;
    return write(file) ? "" : failure(name, errno);
}

// Writes and closes `file`, made durable first when asked; false, with the system's error in
// `error` where it knows one (0 when the image could not be encoded), when it failed.
bool writeAndClose(const FileWriter& write, std::FILE* file, Durability durability, int* error)
{
    errno = 0;
    bool written = write(file);
    *error = errno;
    // On disk before it takes the place of an earlier file, so a crash leaves one or the other.
    if (written && durability == Durability::Now && fsync(fileno(file)) != 0) {
        written = false;
        *error = errno;
    }
    if (std::fclose(file) != 0 && written) {
        written = false;
        *error = errno;
    }
    return written;
}

// A new file, written unnamed in its directory (O_TMPFILE) and given its name by linkat only
// once complete: no temporary name to make, change the mode of, rename or clean up. Empty when
// the file system cannot make unnamed files, for the caller to take the temporary name's way.
std::optional<std::string> writeUnnamed(const FileWriter& write, const std::string& path,
                                        Durability durability)
{
    static const bool procFds = access("/proc/self/fd", X_OK) == 0;
    if (!procFds) {
        return std::nullopt;
    }
    const std::filesystem::path target(path);
    const std::string directory =
        target.has_parent_path() ? target.parent_path().string() : std::string(".");
    const int fd = open(directory.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd < 0) {
        const int error = errno;
        if (error == EOPNOTSUPP || error == EISDIR || error == EINVAL) {
            return std::nullopt;
        }
        holdInterruptions();
        return failure(path, error);
    }
    std::FILE* file = fdopen(fd, "wb");
    if (file == nullptr) {
        const int error = errno;
        close(fd);
        holdInterruptions();
        return failure(path, error);
    }
    // The unnamed file lives while a descriptor of it is open: keep one past fclose.
    const int keep = dup(fd);
    int error = 0;
    const bool written = keep >= 0 ? writeAndClose(write, file, durability, &error)
                                   : (error = errno, std::fclose(file), false);
    holdInterruptions();
    if (!written) {
        if (keep >= 0) {
            close(keep);
        }
        return failure(path, error);
    }
    const std::string self = "/proc/self/fd/" + std::to_string(keep);
    if (linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) != 0) {
        error = errno;
        // A file of that name appeared since it was looked for: it is replaced, as any other.
        for (int attempt = 0; error == EEXIST && attempt < 100; ++attempt) {
            const std::string temporary = (target.has_parent_path() ? directory + "/" : "") +
                                          ".lorvaxen-" + std::to_string(getpid()) + "-" +
                                          std::to_string(attempt);
            if (linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temporary.c_str(), AT_SYMLINK_FOLLOW) ==
                0) {
                error = std::rename(temporary.c_str(), path.c_str()) == 0 ? 0 : errno;
                if (error != 0) {
                    unlink(temporary.c_str());
                }
            } else if (errno != EEXIST) {
                error = errno;
            }
        }
    }
    close(keep);
    return error == 0 ? "" : failure(path, error);
}

std::string writeThroughTemporary(const FileWriter& write, const std::string& path,
                                  Durability durability, const struct stat* earlier)
{
    const std::filesystem::path target(path);
    if (!target.has_filename()) {
        return failure(path, EISDIR);
    }
    const std::filesystem::path directory =
        target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
    // A short name of its own, so that any name the file system takes can be written.
    std::string temporary = (directory / ".lorvaxen-XXXXXX").string();
    holdInterruptions();
    const int fd = mkstemp(temporary.data());
    const int mkstempError = errno;
    if (fd >= 0) {
        registerTemporary(temporary);
    }
    releaseInterruptions();
    if (fd < 0) {
        holdInterruptions();
        return failure(path, mkstempError);
    }
    givePermissions(fd, earlier);
    std::FILE* file = fdopen(fd, "wb");
    if (file == nullptr) {
        const int error = errno;
        close(fd);
        holdInterruptions();
        unlink(temporary.c_str());
        forgetTemporary();
        return failure(path, error);
    }
    int error = 0;
    bool written = writeAndClose(write, file, durability, &error);
    holdInterruptions();
    if (written && std::rename(temporary.c_str(), path.c_str()) != 0) {
        written = false;
        error = errno;
    }
    if (!written) {
        unlink(temporary.c_str());
    }
    forgetTemporary();
    return written ? "" : failure(path, error);
}

// A name the user gave: standard output by any of its names, a device or a pipe written as it
// is (a FIFO blocks until it is read, as the user asked), anything else written whole and
// renamed into place.
std::string writeGivenName(const FileWriter& write, const std::string& path, Durability durability)
{
    struct stat existing
    {
    };
    const bool exists = path != "-" && stat(path.c_str(), &existing) == 0;
    if (path == "-" || (exists && isStandardOutput(existing))) {
        std::string problem = writeOpenFile(write, stdout, "to standard output");
        holdInterruptions();
        return problem;
    }
    if (exists && !S_ISREG(existing.st_mode) && !S_ISDIR(existing.st_mode)) {
        // A device or a pipe cannot be replaced by a rename: it is written as it is.
        std::FILE* file = std::fopen(path.c_str(), "wb");
        std::string problem =
            file == nullptr ? failure(path, errno) : writeOpenFile(write, file, path);
        if (file != nullptr && std::fclose(file) != 0 && problem.empty()) {
            problem = failure(path, errno);
        }
        holdInterruptions();
        return problem;
    }
    if (!exists) {
        if (auto written = writeUnnamed(write, path, durability)) {
            return *written;
        }
    }
    // The permissions are the replaced file's own: of a symbolic link, which the rename
    // replaces, not those of the file it points to.
    struct stat own
    {
    };
    const bool regular = lstat(path.c_str(), &own) == 0 && S_ISREG(own.st_mode);
    return writeThroughTemporary(write, path, durability, regular ? &own : nullptr);
}

// A name the tool made: created, or replacing a regular file, and never opened, so that a link
// or a FIFO planted under it is neither written through nor waited on.
std::string writeMadeName(const FileWriter& write, const std::string& path, Durability durability)
{
    struct stat existing
    {
    };
    if (lstat(path.c_str(), &existing) != 0) {
        if (errno != ENOENT) {
            const int error = errno;
            holdInterruptions();
            return failure(path, error);
        }
        if (auto written = writeUnnamed(write, path, durability)) {
            return *written;
        }
        return writeThroughTemporary(write, path, durability, nullptr);
    }
    if (!S_ISREG(existing.st_mode)) {
        holdInterruptions();
        return "cannot write " + path + ": it is " + kindOfFile(existing.st_mode) +
               "; a name the tool makes (each of a batch's, or one without -o) only ever "
               "replaces a regular file, so nothing was written to it: remove it, or choose "
               "another name with -o";
    }
    return writeThroughTemporary(write, path, durability, &existing);
}

} // namespace

bool isStandardOutput(const std::string& path)
{
    struct stat named
    {
    };
    return path == "-" || (stat(path.c_str(), &named) == 0 && isStandardOutput(named));
}

std::string writeFile(const FileWriter& write, const std::string& path, Durability durability,
                      Naming naming)
{
    return naming == Naming::Made ? writeMadeName(write, path, durability)
                                  : writeGivenName(write, path, durability);
}

std::string writeImageFile(const Label& label, ImageFormat format, const std::string& path,
                           Durability durability, Naming naming)
{
    return writeFile([&](std::FILE* file) { return writeImage(label, format, file); }, path,
                     durability, naming);
}

std::string makeDurable(const std::string& directory)
{
    const std::filesystem::path where =
        directory.empty() ? std::filesystem::path(".") : std::filesystem::path(directory);
    const int fd = open(where.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0 || syncfs(fd) != 0) {
        const int error = errno;
        if (fd >= 0) {
            close(fd);
        }
        return "cannot make the files in " + where.string() + " durable: " + std::strerror(error);
    }
    close(fd);
    return "";
}

} // namespace lorvaxen::tool
