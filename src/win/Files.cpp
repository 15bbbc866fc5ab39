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

void WriteFileReplacing(const std::string& path, const void* data, size_t size) {
    const std::string temporary = path + ".~new";
    {
        UniqueFile file(CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file)
            throw CannotCreateFile(path, "CreateFileA", GetLastError());
        const auto* bytes = static_cast<const uint8_t*>(data);
        size_t left = size;
        while (left > 0) {
            DWORD chunk = left > (1u << 30) ? (1u << 30) : static_cast<DWORD>(left);
            DWORD written = 0;
            if (!WriteFile(file.get(), bytes, chunk, &written, nullptr) || written != chunk) {
                DWORD code = GetLastError();
                file.reset();
                DeleteFileA(temporary.c_str());
                throw CannotCreateFile(path, "WriteFile", code);
            }
            bytes += chunk;
            left -= chunk;
        }
        if (!FlushFileBuffers(file.get())) {
            DWORD code = GetLastError();
            file.reset();
            DeleteFileA(temporary.c_str());
            throw CannotCreateFile(path, "FlushFileBuffers", code);
        }
    }
    if (!MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DWORD code = GetLastError();
        DeleteFileA(temporary.c_str());
        throw CannotCreateFile(path, "MoveFileExA", code);
    }
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
    DWORD read = 0;
    if (!data.empty() && (!ReadFile(file.get(), data.data(), static_cast<DWORD>(data.size()), &read, nullptr) ||
                          read != data.size()))
        throw CannotOpenFile(path, "ReadFile", GetLastError());
    return data;
}

}  // namespace velmo::win
