// Helpers shared by the Win32-layer tests.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>

// Files' bytes are read and written with the end-to-end support library's ReadFileBytes and WriteFileBytes.
#include "VelmoRun.h"

namespace velmo::test {

// A fresh folder under the temporary directory, removed with everything in it at the end.
class TempFolder {
public:
    TempFolder() {
        char base[MAX_PATH];
        GetTempPathA(MAX_PATH, base);
        root_ = std::string(base) + "velmo-test-" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(counter_++);
        CreateDirectoryA(root_.c_str(), nullptr);
    }
    ~TempFolder() { RemoveTree(root_); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder with its trailing "\".
    std::string path() const { return root_ + "\\"; }

    // Creates a sub-folder (its name may hold system-code-page bytes) and returns it with a trailing "\".
    std::string Sub(const std::string& name) const {
        std::string sub = root_ + "\\" + name;
        CreateDirectoryA(sub.c_str(), nullptr);
        return sub + "\\";
    }

    static void RemoveTree(const std::string& folder) {
        WIN32_FIND_DATAA data;
        HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                std::string name = data.cFileName;
                if (name == "." || name == "..")
                    continue;
                std::string full = folder + "\\" + name;
                if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    RemoveTree(full);
                else
                    DeleteFileA(full.c_str());
            } while (FindNextFileA(find, &data));
            FindClose(find);
        }
        RemoveDirectoryA(folder.c_str());
    }

private:
    std::string root_;
    static inline int counter_ = 0;
};

// Polls until `done` holds or the deadline passes.
inline bool WaitFor(const std::function<bool()>& done, int milliseconds = 10000) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (std::chrono::steady_clock::now() < deadline) {
        if (done())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return done();
}

}  // namespace velmo::test
