#include "win/Files.h"

#include <windows.h>

#include <climits>

#include "win/Error.h"
#include "win/Handles.h"

namespace velmo::win {

std::string ModulePath() {
    std::string path(MAX_PATH, '\0');
    for (;;) {
        DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        // A full buffer means the path may have been cut: try again with a larger one.
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

bool FileExists(const std::string& path) {
    if (path.empty())
        return false;
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

namespace {

// ReadFile and WriteFile take a 32-bit count: larger transfers go in chunks.
constexpr size_t kChunk = size_t{1} << 30;

bool WriteExactly(HANDLE file, const void* buffer, size_t size) {
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    while (size > 0) {
        DWORD chunk = static_cast<DWORD>(size < kChunk ? size : kChunk);
        DWORD written = 0;
        if (!WriteFile(file, bytes, chunk, &written, nullptr))
            return false;
        // A short write that reports success (a full disk on some file systems) leaves no error of its own.
        if (written != chunk) {
            SetLastError(ERROR_DISK_FULL);
            return false;
        }
        bytes += chunk;
        size -= chunk;
    }
    return true;
}

}  // namespace

bool ReadExactly(HANDLE file, void* buffer, size_t size) {
    auto* bytes = static_cast<uint8_t*>(buffer);
    while (size > 0) {
        DWORD chunk = static_cast<DWORD>(size < kChunk ? size : kChunk);
        DWORD read = 0;
        if (!ReadFile(file, bytes, chunk, &read, nullptr))
            return false;
        // ReadFile succeeds at the end of the file and leaves the last error as it was: name the early end, so
        // the caller's GetLastError is this read's and not a stale one.
        if (read != chunk) {
            SetLastError(ERROR_HANDLE_EOF);
            return false;
        }
        bytes += chunk;
        size -= chunk;
    }
    return true;
}

void WriteFileReplacing(const std::string& path, const void* data, size_t size) {
    const std::string temporary = path + ".~new";
    UniqueFile file(
        CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        throw CannotCreateFile(path, "CreateFileA", GetLastError());
    // Any failure from here on leaves the old file as it was and removes the temporary one.
    auto fail = [&](const char* api) {
        DWORD code = GetLastError();
        file.reset();
        DeleteFileA(temporary.c_str());
        return CannotCreateFile(path, api, code);
    };
    if (!WriteExactly(file.get(), data, size))
        throw fail("WriteFile");
    if (!FlushFileBuffers(file.get()))
        throw fail("FlushFileBuffers");
    file.reset();
    if (!MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        throw fail("MoveFileExA");
}

std::vector<uint8_t> ReadWholeFile(const std::string& path) {
    UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        throw CannotOpenFile(path, "CreateFileA", GetLastError());
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > INT_MAX)
        throw CannotOpenFile(path, "GetFileSizeEx", GetLastError());
    std::vector<uint8_t> data(static_cast<size_t>(size.QuadPart));
    if (!ReadExactly(file.get(), data.data(), data.size()))
        throw CannotOpenFile(path, "ReadFile", GetLastError());
    return data;
}

}  // namespace velmo::win
