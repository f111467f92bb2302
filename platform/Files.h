// Files as the game uses them: the asset pack read in place, "Config.cfg"
// read whole and replaced whole. The only place outside platform/sdl that
// talks to the file system; tests may install their own IFiles.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// A file open for reading at any offset. Size is the size when it was opened
// (0 for anything that is not a plain file, such as a pipe).
struct IReadFile {
    virtual ~IReadFile() = default;
    virtual int64_t Size() const = 0;
    // Exactly count bytes from offset at; false on an error or an early end.
    virtual bool ReadAt(void* to, size_t count, int64_t at) = 0;
};

struct IFiles {
    virtual ~IFiles() = default;
    // Null with the system's reason in error ("No such file or directory",
    // "Is a directory"...). Opening never blocks, not even on a pipe.
    virtual std::unique_ptr<IReadFile> OpenRead(const std::string& path, std::string& error) = 0;
    // False when the file cannot be read in full.
    virtual bool ReadWhole(const std::string& path, std::vector<uint8_t>& data) = 0;
    // True only when the system says there is no such file; a file we merely
    // cannot look at counts as present.
    virtual bool Missing(const std::string& path) = 0;
    // Writes the new contents to a temporary file next to path, flushes it to
    // the disk and renames it over path (keeping an existing file's
    // permissions), so a crash at any moment leaves the old file or the new
    // one. beforeReplace, when given, sees the temporary file before the
    // rename; returning false abandons the write. False on any failure, and
    // the old file is left as it was.
    virtual bool WriteAtomically(const std::string& path, const std::vector<uint8_t>& data,
                                 bool (*beforeReplace)(const std::string& tempPath) = nullptr) = 0;
};

// The files in use: the system's own unless a test installs others.
IFiles& Files();
void SetFiles(IFiles* files); // nullptr: back to the system's
