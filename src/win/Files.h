// File-system access over system-code-page paths.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velmo::win {

// Full path of the running executable.
std::string ModulePath();

// True only for a file, never for a folder.
bool FileExists(const std::string& path);

// Replaces the file whole or not at all: writes a temporary file beside it, then moves it over the old one.
// Throws AppError "ﾌｧｲﾙ %s を作成できません" on failure, leaving any old file as it was.
void WriteFileReplacing(const std::string& path, const void* data, size_t size);

// Reads exactly `size` bytes from the file's current position; false on an error or an early end, with the
// last error set (ERROR_HANDLE_EOF for an early end).
bool ReadExactly(void* file, void* buffer, size_t size);

// Reads a whole file; throws AppError "ﾌｧｲﾙ %s は開けません".
std::vector<uint8_t> ReadWholeFile(const std::string& path);

}  // namespace velmo::win
