#include "VelmoRun.h"

#include <atomic>
#include <stdexcept>

namespace velmo::e2e {

std::string BuiltVelmoPath() {
    // The build gives the Unix path; Wine shows the Unix root as drive Z:.
    std::string path = VELMO_EXE;
    if (!path.empty() && path[0] == '/')
        path = "Z:" + path;
    for (char& c : path) {
        if (c == '/')
            c = '\\';
    }
    return path;
}

TempFolder::TempFolder(const std::string& suffix) {
    static std::atomic<int> counter{0};
    char temp[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, temp);
    std::string base = temp;
    if (!base.empty() && base.back() == '\\')
        base.pop_back();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string candidate = base + "\\velmo-e2e-" + std::to_string(GetCurrentProcessId()) + "-" +
                                      std::to_string(counter++) + "-" + std::to_string(GetTickCount() % 100000) + suffix;
        if (CreateDirectoryA(candidate.c_str(), nullptr)) {
            path_ = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder under " + base);
}

TempFolder::~TempFolder() {
    RemoveTree(path_);
}

bool RemoveTree(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return true;
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        return DeleteFileA(path.c_str()) != FALSE;
    }
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name != "." && name != "..")
                RemoveTree(path + "\\" + name);
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    return RemoveDirectoryA(path.c_str()) != FALSE;
}

namespace {

void ReadTree(const std::string& folder, const std::string& prefix, Files& files) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + prefix + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::string own = found.cFileName, name = prefix + own;
        if (own == "." || own == "..")
            continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            files[name + "\\"];
            ReadTree(folder, name + "\\", files);
        } else {
            files[name] = ReadFileBytes(folder + name);
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

}  // namespace

Files ReadTree(const std::string& folder) {
    Files files;
    ReadTree(folder.empty() || folder.back() == '\\' ? folder : folder + "\\", "", files);
    return files;
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        throw std::runtime_error("cannot create " + path + " (error " + std::to_string(GetLastError()) + ")");
    DWORD written = 0;
    const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    if (!ok || written != bytes.size())
        throw std::runtime_error("cannot write " + path);
}

std::string ReadFileBytes(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return {};
    std::string bytes;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0)
        bytes.append(buffer, read);
    CloseHandle(file);
    return bytes;
}

namespace {

void PutLe(std::string& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

}  // namespace

void WriteBmp(const std::string& path, int width, int height, const std::function<COLORREF(int, int)>& color) {
    const uint32_t stride = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
    const uint32_t imageSize = stride * static_cast<uint32_t>(height);
    std::string out;
    out.reserve(54 + imageSize);
    out += "BM";
    PutLe(out, 54 + imageSize, 4);
    PutLe(out, 0, 4);
    PutLe(out, 54, 4);
    PutLe(out, 40, 4);  // BITMAPINFOHEADER
    PutLe(out, static_cast<uint32_t>(width), 4);
    PutLe(out, static_cast<uint32_t>(height), 4);  // positive: bottom-up rows
    PutLe(out, 1, 2);
    PutLe(out, 24, 2);
    PutLe(out, BI_RGB, 4);
    PutLe(out, imageSize, 4);
    PutLe(out, 2835, 4);
    PutLe(out, 2835, 4);
    PutLe(out, 0, 4);
    PutLe(out, 0, 4);
    for (int row = height - 1; row >= 0; --row) {
        const size_t start = out.size();
        for (int x = 0; x < width; ++x) {
            const COLORREF c = color(x, row);
            out.push_back(static_cast<char>(GetBValue(c)));
            out.push_back(static_cast<char>(GetGValue(c)));
            out.push_back(static_cast<char>(GetRValue(c)));
        }
        out.resize(start + stride, '\0');
    }
    WriteFileBytes(path, out);
}

COLORREF PositionColor(int x, int y, bool tag) {
    return RGB(x & 0xFF, y & 0xFF, ((x >> 8) << 4 | (y >> 8)) | (tag ? 0x80 : 0));
}

ProgramFolder::ProgramFolder(const std::string& suffix) : folder_(suffix), exe_(folder_.File("Velmo.exe")) {
    const std::string built = BuiltVelmoPath();
    if (!CopyFileA(built.c_str(), exe_.c_str(), FALSE))
        throw std::runtime_error("cannot copy " + built + " (error " + std::to_string(GetLastError()) + ")");
}

void ProgramFolder::WriteSettings(const std::vector<std::string>& lines) const {
    std::string text = "[Velmo]\r\n";
    for (const std::string& line : lines)
        text += line + "\r\n";
    WriteFileBytes(ini(), text);
}

std::string ProgramFolder::Setting(const std::string& key) const {
    char value[2048] = "";
    GetPrivateProfileStringA("Velmo", key.c_str(), "<missing>", value, sizeof(value), ini().c_str());
    return value;
}

VelmoProcess::VelmoProcess(const ProgramFolder& folder) {
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    std::string commandLine = "\"" + folder.exe() + "\"";
    startTime_ = std::chrono::steady_clock::now();
    if (!CreateProcessA(folder.exe().c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.folder().path().c_str(), &startup, &info))
        return;
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    pid_ = info.dwProcessId;
}

VelmoProcess::~VelmoProcess() {
    if (!process_)
        return;
    if (running()) {
        TerminateProcess(process_, 99);
        WaitForSingleObject(process_, 5000);
    }
    CloseHandle(process_);
}

HWND VelmoProcess::WaitForMainWindow(std::chrono::milliseconds timeout) {
    if (!process_)
        return nullptr;
    WaitUntil(
        [&] {
            main_ = FindTopLevel(pid_, L"TForm1");
            return main_ != nullptr || !running();
        },
        timeout);
    return main_;
}

bool VelmoProcess::running() const {
    return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

void VelmoProcess::RequestClose() const {
    HWND main = main_ ? main_ : FindTopLevel(pid_, L"TForm1", false);
    if (main)
        PostMessageW(main, WM_CLOSE, 0, 0);
}

long VelmoProcess::WaitForExit(std::chrono::milliseconds timeout) {
    if (!process_ || WaitForSingleObject(process_, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0)
        return -1;
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    return static_cast<long>(code);
}

long VelmoProcess::Close() {
    RequestClose();
    return WaitForExit();
}

}  // namespace velmo::e2e
