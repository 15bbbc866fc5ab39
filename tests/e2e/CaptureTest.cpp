// The control window's "capture": the name prompt, the screen copied with every window of the program out of the
// way into a BMP file in the program folder, and each way out of it that leaves the previous picture.
#include <cstdio>
#include <future>
#include <optional>
#include <set>
#include <thread>

#include "E2eTest.h"
#include "core/Bmp.h"

// A second, independent BMP reader to read the captured files back with.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_BMP
#define STBI_NO_STDIO
#include <stb_image.h>

namespace velmo::e2e {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// A capture of the 1024x768 screen: file header, info header, and 3072-byte rows.
constexpr size_t kCaptureFileSize = 14 + 40 + size_t{kScreenWidth} * 3 * kScreenHeight;

// A window of the test's own beneath the program's windows, painted with PositionColor of its screen pixels,
// so that a copy of the screen tells where each of its pixels came from. Its thread keeps handling messages, so
// the window paints again whenever it is uncovered.
class PatternWindow {
public:
    explicit PatternWindow(const Box& box) {
        std::promise<HWND> created;
        std::future<HWND> window = created.get_future();
        thread_ = std::thread([&box, &created] { Run(box, created); });
        hwnd_ = window.get();
    }
    ~PatternWindow() {
        PostMessageW(hwnd_, WM_CLOSE, 0, 0);
        thread_.join();
    }
    PatternWindow(const PatternWindow&) = delete;
    PatternWindow& operator=(const PatternWindow&) = delete;

private:
    static void Run(const Box& box, std::promise<HWND>& created) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"VelmoTestPattern";
        RegisterClassW(&wc);  // fails harmlessly when an earlier test registered it
        HWND hwnd = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, wc.lpszClassName, L"", WS_POPUP, box.left,
                                    box.top, box.width, box.height, nullptr, nullptr, wc.hInstance, nullptr);
        ShowWindow(hwnd, SW_SHOWNOACTIVATE);
        UpdateWindow(hwnd);
        created.set_value(hwnd);
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0)
            DispatchMessageW(&msg);
    }

    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
        switch (msg) {
            case WM_ERASEBKGND:
                return 1;
            case WM_PAINT: {
                PAINTSTRUCT paint;
                HDC dc = BeginPaint(hwnd, &paint);
                const Box box = WindowBox(hwnd);
                std::vector<uint32_t> pixels(static_cast<size_t>(box.width) * box.height);
                for (int y = 0; y < box.height; ++y) {
                    for (int x = 0; x < box.width; ++x) {
                        const COLORREF c = PositionColor(box.left + x, box.top + y);
                        pixels[static_cast<size_t>(y) * box.width + x] =
                            GetBValue(c) | GetGValue(c) << 8 | GetRValue(c) << 16;
                    }
                }
                BITMAPINFO info{};
                info.bmiHeader.biSize = sizeof(info.bmiHeader);
                info.bmiHeader.biWidth = box.width;
                info.bmiHeader.biHeight = -box.height;
                info.bmiHeader.biPlanes = 1;
                info.bmiHeader.biBitCount = 32;
                info.bmiHeader.biCompression = BI_RGB;
                SetDIBitsToDevice(dc, 0, 0, box.width, box.height, 0, 0, 0, box.height, pixels.data(), &info,
                                  DIB_RGB_COLORS);
                EndPaint(hwnd, &paint);
                return 0;
            }
            case WM_DESTROY:
                PostQuitMessage(0);
                return 0;
        }
        return DefWindowProcW(hwnd, msg, wp, lp);
    }

    std::thread thread_;
    HWND hwnd_ = nullptr;
};

// A screen-sized picture as a colour at each point.
using Image = std::function<COLORREF(int, int)>;

bool Inside(const Box& box, int x, int y) {
    return x >= box.left && x < box.left + box.width && y >= box.top && y < box.top + box.height;
}

// The pixels where `actual` differs from `expected`, outside `except`: their count and the first few, or "".
std::string Differences(const Image& actual, const Image& expected, const Box& except = {}) {
    int count = 0;
    std::string first;
    for (int y = 0; y < kScreenHeight; ++y) {
        for (int x = 0; x < kScreenWidth; ++x) {
            if (Inside(except, x, y))
                continue;
            const COLORREF a = actual(x, y), e = expected(x, y);
            if (a == e)
                continue;
            if (++count <= 5) {
                char line[120];
                std::snprintf(line, sizeof(line), "(%d,%d) is %s, expected %s\n", x, y, ColorText(a).c_str(),
                              ColorText(e).c_str());
                first += line;
            }
        }
    }
    return count ? std::to_string(count) + " pixels differ, first:\n" + first : "";
}

Image Of(const ScreenShot& shot) {
    return [&shot](int x, int y) { return shot.At(x, y); };
}

// Takes screenshots until the screen outside `except` shows `expected`; the differences of the last one, or "".
std::string WaitForScreen(const Image& expected, const Box& except = {}) {
    std::string differences;
    WaitUntil(
        [&] {
            const ScreenShot shot;
            differences = Differences(Of(shot), expected, except);
            return differences.empty();
        },
        10s);
    return differences;
}

// Clicks `button` until `done` holds: a click can be lost under load (see MoveOnto), but once the button is gone
// the click has arrived and is not made again. `clickedAt` gets the time of the last click.
bool ClickUntil(HWND button, const std::function<bool()>& done, Clock::time_point* clickedAt = nullptr) {
    for (int attempt = 0; attempt < 3 && IsWindowVisible(button); ++attempt) {
        ClickOn(button);
        if (clickedAt)
            *clickedAt = Clock::now();
        if (WaitUntil(done, 3s))
            return true;
    }
    return WaitUntil(done, 10s);
}

// The name prompt and its controls.
struct NamePrompt {
    HWND window = nullptr;
    HWND edit = nullptr;
    HWND ok = nullptr;
    HWND cancel = nullptr;
};

// Clicks "capture" in the control window and waits for the name prompt.
NamePrompt OpenNamePrompt(const VelmoProcess& velmo, HWND control) {
    NamePrompt prompt;
    HWND capture = FindChild(control, L"Button", L"capture");
    if (!capture)
        return prompt;
    ClickUntil(capture, [&] { return (prompt.window = FindTopLevel(velmo.pid(), L"TF_CapInfo")) != nullptr; });
    if (!prompt.window)
        return prompt;
    Settle(prompt.window);
    for (HWND child : ChildWindows(prompt.window)) {
        if (ClassName(child) == L"Edit")
            prompt.edit = child;
    }
    prompt.ok = FindChild(prompt.window, L"Button", L"OK");
    prompt.cancel = FindChild(prompt.window, L"Button", L"Cancel");
    return prompt;
}

bool Gone(HWND window) {
    return !IsWindow(window);
}

// Waits for the program's message window and answers it with its OK button; returns its text, or a note that
// there was none.
std::wstring AnswerMessage(const VelmoProcess& velmo) {
    HWND message = nullptr;
    if (!WaitUntil([&] { return (message = FindTopLevel(velmo.pid(), L"VelmoMessage")) != nullptr; }))
        return L"<no message>";
    Settle(message);
    const MessageBoxParts parts = PartsOf(message);
    if (!parts.ok || !ClickUntil(parts.ok, [&] { return Gone(message); }))
        return L"<not answered> " + parts.text;
    return parts.text;
}

// Both windows are on the screen again, which the program does last.
bool WindowsBack(const VelmoProcess& velmo, HWND control) {
    return WaitUntil([&] { return IsWindowVisible(velmo.mainWindow()) && IsWindowVisible(control); });
}

// Polls the file's size every millisecond until it is `size`; the moment it was seen, or nothing on timeout.
std::optional<Clock::time_point> WaitForFileSize(const std::string& path, size_t size) {
    const auto deadline = Clock::now() + 15s;
    while (Clock::now() < deadline) {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) &&
            !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
            (static_cast<uint64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow) == size)
            return Clock::now();
        Sleep(1);
    }
    return std::nullopt;
}

uint32_t Le(const std::string& bytes, size_t at, int count) {
    uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = value << 8 | static_cast<uint8_t>(bytes[at + i]);
    return value;
}

// The header fields of a BMP file that say how its pixels are stored.
std::string HeaderFields(const std::string& bytes) {
    if (bytes.size() < 54)
        return "only " + std::to_string(bytes.size()) + " bytes";
    char text[200];
    std::snprintf(text, sizeof(text), "%c%c size=%u offset=%u header=%u %dx%d planes=%u bits=%u compression=%u",
                  bytes[0], bytes[1], Le(bytes, 2, 4), Le(bytes, 10, 4), Le(bytes, 14, 4),
                  static_cast<int32_t>(Le(bytes, 18, 4)), static_cast<int32_t>(Le(bytes, 22, 4)), Le(bytes, 26, 2),
                  Le(bytes, 28, 2), Le(bytes, 30, 4));
    return text;
}

// An uncompressed 24-bit bottom-up picture of the whole screen.
const std::string kCaptureHeader =
    "BM size=" + std::to_string(kCaptureFileSize) + " offset=54 header=40 1024x768 planes=1 bits=24 compression=0";

// The file's bytes once it can be read whole. The rename that completes it can still hold the file open for a
// moment with delete access, which ReadFileBytes does not share, so the first attempts to open it can fail.
std::string ReadCapture(const std::string& path) {
    std::string bytes;
    WaitUntil([&] { return (bytes = ReadFileBytes(path)).size() == kCaptureFileSize; }, 5s);
    return bytes;
}

// The file's pixels against the expected screen, read by our own reader and by stb_image; "" when both agree
// with it everywhere.
std::string DiffersFrom(const std::string& bytes, const ScreenShot& expected) {
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
    std::string result;

    const bmp::Result<bmp::Picture> ours = bmp::Decode(data, bytes.size());
    if (!ours) {
        result += std::string("our reader: ") + bmp::Describe(ours.error()) + "\n";
    } else if (ours->layout.width != kScreenWidth || ours->layout.height != kScreenHeight) {
        result +=
            "our reader: " + std::to_string(ours->layout.width) + "x" + std::to_string(ours->layout.height) + "\n";
    } else {
        const std::vector<uint8_t> rgba = bmp::ToRgba(*ours);
        const std::string d = Differences(
            [&](int x, int y) {
                const uint8_t* p = &rgba[(static_cast<size_t>(y) * kScreenWidth + x) * 4];
                return RGB(p[0], p[1], p[2]);
            },
            Of(expected));
        if (!d.empty())
            result += "our reader: " + d;
    }

    int width = 0, height = 0, channels = 0;
    stbi_uc* theirs = stbi_load_from_memory(data, static_cast<int>(bytes.size()), &width, &height, &channels, 3);
    if (!theirs) {
        result += std::string("stb_image: ") + stbi_failure_reason() + "\n";
    } else if (width != kScreenWidth || height != kScreenHeight) {
        result += "stb_image: " + std::to_string(width) + "x" + std::to_string(height) + "\n";
    } else {
        const std::string d = Differences(
            [&](int x, int y) {
                const stbi_uc* p = theirs + (static_cast<size_t>(y) * kScreenWidth + x) * 3;
                return RGB(p[0], p[1], p[2]);
            },
            Of(expected));
        if (!d.empty())
            result += "stb_image: " + d;
    }
    stbi_image_free(theirs);
    return result;
}

// The entries of the program folder, folders with a trailing backslash.
std::set<std::string> FolderEntries(const ProgramFolder& folder) {
    std::set<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(folder.File("*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..")
            names.insert(name + ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? "\\" : ""));
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

// The screen with a window of the test's own is taken before the program starts. "capture", then OK under the
// proposed Capture0.bmp: the file holds exactly that screen, so no window of the program is in it, read back by
// two readers; it becomes the picture ("add" lists it), the caption and Photo_1. A second capture proposes
// Capture1.bmp and the prompt's close box takes it; the strip now shows the picture and must be out of the way
// as well.
TEST_F(VelmoE2eTest, CaptureWritesTheScreenWithoutTheProgramsWindows) {
    PatternWindow pattern({660, 480, 340, 260});
    ASSERT_EQ(WaitForPixels({{660, 480, PositionColor(660, 480)}, {999, 739, PositionColor(999, 739)}}), "")
        << "the test's window is not painted";
    const ScreenShot expected;

    ProgramFolder folder;
    VelmoProcess velmo(folder);
    ASSERT_TRUE(Started(velmo));
    HWND control = OpenControlWindow(velmo, kOnDefaultStrip);
    ASSERT_NE(control, nullptr) << "the control window did not open";

    NamePrompt prompt = OpenNamePrompt(velmo, control);
    ASSERT_NE(prompt.window, nullptr) << "no name prompt";
    ASSERT_NE(prompt.ok, nullptr);
    EXPECT_EQ(WindowText(prompt.edit), L"Capture0.bmp");
    Clock::time_point clicked;
    const auto promptGone = [&] { return Gone(prompt.window); };
    ASSERT_TRUE(ClickUntil(prompt.ok, promptGone, &clicked)) << "OK did not close the prompt";
    const std::string first = folder.File("Capture0.bmp");
    const std::optional<Clock::time_point> written = WaitForFileSize(first, kCaptureFileSize);
    ASSERT_TRUE(written) << "no complete " << first;
    const long long ms = std::chrono::duration_cast<std::chrono::milliseconds>(*written - clicked).count();
    std::printf("[ timing   ] OK clicked to %zu-byte capture on disk: %lld ms (the program waits 500 ms of it)\n",
                kCaptureFileSize, ms);

    const std::string firstBytes = ReadCapture(first);
    EXPECT_EQ(HeaderFields(firstBytes), kCaptureHeader);
    EXPECT_EQ(DiffersFrom(firstBytes, expected), "");
    EXPECT_TRUE(WindowsBack(velmo, control)) << "the program's windows did not come back";
    EXPECT_EQ(WindowText(control), L" Velmo - Capture0.bmp");
    EXPECT_TRUE(WaitUntil([&] { return IniKey(folder, "Velmo", "Photo_1") == first; }))
        << IniKey(folder, "Velmo", "Photo_1");
    // "add" lists CurrentPicture.
    ASSERT_TRUE(ClickButton(control, L"add"));
    EXPECT_TRUE(WaitUntil([&] { return ReadFileBytes(folder.File("P_List1.dat")) == first + "\r\n"; }))
        << ReadFileBytes(folder.File("P_List1.dat"));

    prompt = OpenNamePrompt(velmo, control);
    ASSERT_NE(prompt.window, nullptr) << "no name prompt the second time";
    EXPECT_EQ(WindowText(prompt.edit), L"Capture1.bmp");
    PostMessageW(prompt.window, WM_SYSCOMMAND, SC_CLOSE, 0);
    const std::string second = folder.File("Capture1.bmp");
    ASSERT_TRUE(WaitForFileSize(second, kCaptureFileSize)) << "the close box wrote no complete " << second;
    EXPECT_EQ(DiffersFrom(ReadCapture(second), expected), "");
    EXPECT_TRUE(WindowsBack(velmo, control)) << "the program's windows did not come back";
    EXPECT_EQ(WindowText(control), L" Velmo - Capture1.bmp");
    EXPECT_TRUE(WaitUntil([&] { return IniKey(folder, "Velmo", "Photo_1") == second; }))
        << IniKey(folder, "Velmo", "Photo_1");
    EXPECT_EQ(velmo.Close(), 0);
}

// A screen-sized picture is shown, and a folder named Capture0.bmp does not count as taken. Cancel (Enter and
// Escape do nothing before it), a name that does not end in .bmp, and a save that fails (the close box takes
// Capture0.bmp, which is the folder) each bring both windows back with the previous picture, its name in the
// caption and Photo_1, and leave no file behind.
TEST_F(VelmoE2eTest, AbandonedCaptureKeepsThePreviousPicture) {
    ProgramFolder folder;
    const std::string previous = folder.File("previous.bmp");
    const Image picture = [](int x, int y) { return PositionColor(x, y, true); };
    WriteBmp(previous, kScreenWidth, kScreenHeight, picture);
    folder.WriteSettings({"Photo_1=" + previous});
    ASSERT_TRUE(CreateDirectoryA(folder.File("Capture0.bmp").c_str(), nullptr));
    const std::set<std::string> entries = FolderEntries(folder);

    VelmoProcess velmo(folder);
    ASSERT_TRUE(Started(velmo));
    HWND main = velmo.mainWindow();
    HWND control = OpenControlWindow(velmo, kOnDefaultStrip);
    ASSERT_NE(control, nullptr) << "the control window did not open";
    const std::wstring caption = L" Velmo - previous.bmp";
    EXPECT_EQ(WindowText(control), caption);
    const auto expectKept = [&] {
        EXPECT_TRUE(WindowsBack(velmo, control)) << "the program's windows did not come back";
        EXPECT_EQ(WindowText(control), caption);
        EXPECT_EQ(IniKey(folder, "Velmo", "Photo_1"), previous);
        EXPECT_EQ(FolderEntries(folder), entries);
    };

    {
        SCOPED_TRACE("Cancel, from the strip");
        NamePrompt prompt = OpenNamePrompt(velmo, control);
        ASSERT_NE(prompt.window, nullptr) << "no name prompt";
        EXPECT_EQ(WindowText(prompt.window), L"Caputure");
        EXPECT_NE(FindChild(prompt.window, L"Static", L"キャプチャリングしますか ？"), nullptr);
        EXPECT_EQ(WindowText(prompt.edit), L"Capture0.bmp");
        ASSERT_NE(prompt.cancel, nullptr);
        EXPECT_FALSE(IsWindowVisible(main) || IsWindowVisible(control)) << "a window of the program is still shown";
        ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == prompt.window; })) << "the prompt is not active";
        PressKey(VK_RETURN);
        PressKey(VK_ESCAPE);
        Settle(prompt.window);
        EXPECT_FALSE(WaitUntil([&] { return Gone(prompt.window); }, 500ms)) << "Enter or Escape closed the prompt";
        ASSERT_TRUE(ClickUntil(prompt.cancel, [&] { return Gone(prompt.window); })) << "Cancel did not close it";
        expectKept();
        // The picture control stays shown in the strip, so "待機" comes before the reveal. The pointer comes from
        // Cancel, over the list of the control window: a late motion event taking it back there would open the
        // list's menu instead, so it is made to stay on the strip first.
        MoveOnto(main, kOnDefaultStrip.x, kOnDefaultStrip.y);
        ASSERT_TRUE(ChooseMenuItem(main, kOnDefaultStrip.x, kOnDefaultStrip.y, kStandby));
        ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(control); })) << "待機 did not close the control window";
        ASSERT_TRUE(Revealed(velmo));
        EXPECT_EQ(WaitForScreen(picture), "");
    }

    control = OpenControlWindow(velmo, kOnRevealedWindow);
    ASSERT_NE(control, nullptr) << "the control window did not open again";
    {
        SCOPED_TRACE("pic.jpg, from the revealed picture");
        NamePrompt prompt = OpenNamePrompt(velmo, control);
        ASSERT_NE(prompt.ok, nullptr) << "no name prompt";
        SendMessageW(prompt.edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"pic.jpg"));
        ASSERT_EQ(WindowText(prompt.edit), L"pic.jpg");
        ASSERT_TRUE(ClickUntil(prompt.ok, [&] { return Gone(prompt.window); })) << "OK did not close the prompt";
        EXPECT_EQ(AnswerMessage(velmo), L"拡張子は、.bmp にして下さい。");
        expectKept();
        EXPECT_EQ(WaitForScreen(picture, WindowBox(control)), "");
    }
    {
        SCOPED_TRACE("the close box, onto the folder");
        NamePrompt prompt = OpenNamePrompt(velmo, control);
        ASSERT_NE(prompt.window, nullptr) << "no name prompt";
        EXPECT_EQ(WindowText(prompt.edit), L"Capture0.bmp");
        PostMessageW(prompt.window, WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_EQ(AnswerMessage(velmo), L"ファイル保存に失敗しました。");
        expectKept();
        EXPECT_EQ(WaitForScreen(picture, WindowBox(control)), "");
    }
    EXPECT_EQ(velmo.Close(), 0);
}

}  // namespace
}  // namespace velmo::e2e
