#include "platform/Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

class TPosixReadFile final : public IReadFile {
public:
    TPosixReadFile(int fd, int64_t size) : Fd(fd), FileSize(size) {}
    ~TPosixReadFile() override { close(Fd); }
    TPosixReadFile(const TPosixReadFile&) = delete;
    TPosixReadFile& operator=(const TPosixReadFile&) = delete;

    int64_t Size() const override { return FileSize; }

    bool ReadAt(void* to, size_t count, int64_t at) override
    {
        auto* p = static_cast<uint8_t*>(to);
        while (count > 0) {
            const ssize_t got = pread(Fd, p, count, off_t(at));
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                return false;
            p += got;
            count -= size_t(got);
            at += got;
        }
        return true;
    }

private:
    int Fd;
    int64_t FileSize;
};

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

// A temporary file of this process next to the target. A stale one with the
// same name can only be left by a dead process that had our id.
int CreateTempFile(const std::string& temp, mode_t mode)
{
    int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0 && errno == EEXIST) {
        unlink(temp.c_str());
        fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    }
    return fd;
}

bool WriteAll(int fd, const uint8_t* data, size_t size)
{
    while (size > 0) {
        const ssize_t put = write(fd, data, size);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        data += put;
        size -= size_t(put);
    }
    return true;
}

class TPosixFiles final : public IFiles {
public:
    std::unique_ptr<IReadFile> OpenRead(const std::string& path, std::string& error) override
    {
        const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0) {
            error = std::strerror(errno);
            return nullptr;
        }
        struct stat st {};
        if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
            error = std::strerror(S_ISDIR(st.st_mode) ? EISDIR : errno);
            close(fd);
            return nullptr;
        }
        return std::make_unique<TPosixReadFile>(fd, S_ISREG(st.st_mode) ? int64_t(st.st_size) : 0);
    }

    bool ReadWhole(const std::string& path, std::vector<uint8_t>& data) override
    {
        std::FILE* file = std::fopen(path.c_str(), "rb");
        if (!file)
            return false;
        data.clear();
        uint8_t chunk[4096];
        size_t got;
        while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
            data.insert(data.end(), chunk, chunk + got);
        const bool ok = !std::ferror(file);
        std::fclose(file);
        return ok;
    }

    bool Missing(const std::string& path) override
    {
        struct stat st;
        if (stat(path.c_str(), &st) == 0)
            return false;
        return errno == ENOENT || errno == ENOTDIR;
    }

    bool WriteAtomically(const std::string& path, const std::vector<uint8_t>& data,
                         bool (*beforeReplace)(const std::string&)) override
    {
        const mode_t mode = 0666; // narrowed by the umask, as for any new file
        struct stat st;
        const bool keepMode = stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
        const std::string temp = path + ".tmp-" + std::to_string(getpid());
        const int fd = CreateTempFile(temp, mode);
        if (fd < 0)
            return false;
        if (keepMode)
            fchmod(fd, st.st_mode & 07777);
        bool ok = WriteAll(fd, data.data(), data.size()) && fsync(fd) == 0;
        ok = close(fd) == 0 && ok;
        if (ok && beforeReplace)
            ok = beforeReplace(temp);
        if (ok)
            ok = std::rename(temp.c_str(), path.c_str()) == 0;
        if (!ok) {
            unlink(temp.c_str());
            return false;
        }
        // The rename itself must survive a power cut too.
        const int dir = open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dir >= 0) {
            fsync(dir);
            close(dir);
        }
        return true;
    }
};

TPosixFiles SystemFiles;
IFiles* CurrentFiles = &SystemFiles;

} // namespace

IFiles& Files() { return *CurrentFiles; }
void SetFiles(IFiles* files) { CurrentFiles = files ? files : &SystemFiles; }
