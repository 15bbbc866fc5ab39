// The control window's "capture": the name prompt, the screen copied with every window of the program out of the
// way into a BMP file in the program folder, and each way out of it that leaves the previous picture.
#include <cstdio>
#include <future>
#include <optional>
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
using Image = std::function<COLORREF(int, int)>;  // a screen-sized picture as a colour at each point

// A capture of the 1024x768 screen: file header, info header, and 3072-byte rows.
constexpr size_t kCaptureFileSize = 14 + 40 + size_t{kScreenWidth} * 3 * kScreenHeight;

// A window of the test's own beneath the program's windows, painted with PositionColor of its screen pixels, so
// that a copy of the screen tells where each pixel came from. Its own thread repaints it whenever it is uncovered.
class PatternWindow {
public:
    explicit PatternWindow(const Box& box) {
        std::promise<HWND> created;
        thread_ = std::thread([&] {
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
        });
        hwnd_ = created.get_future().get();
    }
    ~PatternWindow() {
        PostMessageW(hwnd_, WM_CLOSE, 0, 0);
        thread_.join();
    }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == WM_DESTROY)
            PostQuitMessage(0);
        if (msg != WM_PAINT)
            return DefWindowProcW(hwnd, msg, wp, lp);
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(hwnd, &paint);
        const Box box = WindowBox(hwnd);
        std::vector<uint32_t> pixels;  // top-down rows of 0x00RRGGBB
        for (int y = 0; y < box.height; ++y) {
            for (int x = 0; x < box.width; ++x) {
                const COLORREF c = PositionColor(box.left + x, box.top + y);
                pixels.push_back(GetBValue(c) | GetGValue(c) << 8 | GetRValue(c) << 16);
            }
        }
        BITMAPINFO info{{sizeof(BITMAPINFOHEADER), box.width, -box.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
        SetDIBitsToDevice(dc, 0, 0, box.width, box.height, 0, 0, 0, box.height, pixels.data(), &info, DIB_RGB_COLORS);
        EndPaint(hwnd, &paint);
        return 0;
    }

    std::thread thread_;
    HWND hwnd_ = nullptr;
};

// The pixels where `actual` differs from `expected`, outside `except`: their count and the first few, or "".
std::string Differences(const Image& actual, const Image& expected, const Box& except = {}) {
    int count = 0;
    std::string first;
    for (int y = 0; y < kScreenHeight; ++y) {
        for (int x = 0; x < kScreenWidth; ++x) {
            if (x >= except.left && x < except.left + except.width && y >= except.top && y < except.top + except.height)
                continue;
            const COLORREF a = actual(x, y), e = expected(x, y);
            if (a != e && ++count <= 5)
                first += "(" + std::to_string(x) + "," + std::to_string(y) + ") is " + ColorText(a) + ", expected " +
                         ColorText(e) + "\n";
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
    WaitUntil([&] { return (differences = Differences(Of(ScreenShot()), expected, except)).empty(); }, 10s);
    return differences;
}

// Clicks `button` until `done` holds: a click can be lost under load (see MoveOnto), but once the button is gone
// the click has arrived and is not made again (it can go between the check and the click, which ClickOn then
// leaves out). `clickedAt` gets the time of the last click.
bool ClickUntil(HWND button, const std::function<bool()>& done, Clock::time_point* clickedAt = nullptr) {
    for (int attempt = 0; attempt < 3 && IsWindowVisible(button); ++attempt) {
        if (!ClickOn(button))
            break;
        if (clickedAt)
            *clickedAt = Clock::now();
        if (WaitUntil(done, 3s))
            return true;
    }
    return WaitUntil(done, 10s);
}

bool Gone(HWND window) {
    return !IsWindow(window);
}

// The name prompt and its controls.
struct NamePrompt {
    HWND window = nullptr, edit = nullptr, ok = nullptr, cancel = nullptr;
};

// Clicks "capture" in the control window and waits for the name prompt.
NamePrompt OpenNamePrompt(const VelmoProcess& velmo, HWND control) {
    NamePrompt prompt;
    if (HWND capture = FindChild(control, L"Button", L"capture"))
        ClickUntil(capture, [&] { return (prompt.window = FindTopLevel(velmo.pid(), L"TF_CapInfo")) != nullptr; });
    if (!prompt.window)
        return prompt;
    Settle(prompt.window);
    prompt.edit = FindWindowExW(prompt.window, nullptr, L"Edit", nullptr);
    prompt.ok = FindChild(prompt.window, L"Button", L"OK");
    prompt.cancel = FindChild(prompt.window, L"Button", L"Cancel");
    return prompt;
}

// Waits for the program's message window and answers it with its OK button; returns its text, or a note that
// there was none.
std::wstring AnswerMessage(const VelmoProcess& velmo) {
    HWND message = nullptr;
    if (!WaitUntil([&] { return (message = FindTopLevel(velmo.pid(), L"VelmoMessage")) != nullptr; }))
        return L"<no message>";
    Settle(message);
    const MessageBoxParts parts = PartsOf(message);
    if (parts.ok && !Uncovered(parts.ok))
        return L"<covered> " + parts.text;
    if (!parts.ok || !ClickUntil(parts.ok, [&] { return Gone(message); }))
        return L"<not answered> " + parts.text;
    return parts.text;
}

// Both windows are on the screen again, which the program does last.
bool WindowsBack(const VelmoProcess& velmo, HWND control) {
    return WaitUntil([&] { return IsWindowVisible(velmo.mainWindow()) && IsWindowVisible(control); });
}

// Polls the file's size every millisecond, without opening it, until it is `size`; the moment it was seen, or
// nothing on timeout.
std::optional<Clock::time_point> WaitForFileSize(const std::string& path, size_t size) {
    for (const auto deadline = Clock::now() + 15s; Clock::now() < deadline; Sleep(1)) {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) &&
            !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
            (static_cast<uint64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow) == size)
            return Clock::now();
    }
    return std::nullopt;
}

// The file's bytes once it can be read whole. The rename that completes it can still hold the file open for a
// moment with delete access, which ReadFileBytes does not share, so the first attempts to open it can fail.
std::string ReadCapture(const std::string& path) {
    std::string bytes;
    WaitUntil([&] { return (bytes = ReadFileBytes(path)).size() == kCaptureFileSize; }, 5s);
    return bytes;
}

// The header fields that say how a BMP file's pixels are stored: magic, file size, pixel offset, info header
// size, width, height (positive: bottom-up), planes, bits per pixel, compression.
std::vector<uint32_t> HeaderFields(const std::string& bytes) {
    std::vector<uint32_t> fields;
    for (const auto& [at, count] : std::vector<std::pair<size_t, int>>{
             {0, 2}, {2, 4}, {10, 4}, {14, 4}, {18, 4}, {22, 4}, {26, 2}, {28, 2}, {30, 4}}) {
        uint32_t value = 0;
        for (int i = count - 1; i >= 0 && at + count <= bytes.size(); --i)
            value = value << 8 | static_cast<uint8_t>(bytes[at + i]);
        fields.push_back(value);
    }
    return fields;
}

// The file's pixels against the expected screen, read by our own reader and by stb_image; "" when both agree
// with it everywhere.
std::string DiffersFrom(const std::string& bytes, const ScreenShot& expected) {
    std::string result;
    const auto compare = [&](const std::string& reader, int width, int height, const uint8_t* pixels, int channels) {
        std::string d = std::to_string(width) + "x" + std::to_string(height) + "\n";
        if (width == kScreenWidth && height == kScreenHeight) {
            d = Differences(
                [&](int x, int y) {
                    const uint8_t* p = pixels + (static_cast<size_t>(y) * kScreenWidth + x) * channels;
                    return RGB(p[0], p[1], p[2]);
                },
                Of(expected));
        }
        if (!d.empty())
            result += reader + ": " + d;
    };
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
    if (const bmp::Result<bmp::Picture> ours = bmp::Decode(data, bytes.size()))
        compare("our reader", ours->layout.width, ours->layout.height, bmp::ToRgba(*ours).data(), 4);
    else
        result += std::string("our reader: ") + bmp::Describe(ours.error()) + "\n";
    int width = 0, height = 0, channels = 0;
    stbi_uc* theirs = stbi_load_from_memory(data, static_cast<int>(bytes.size()), &width, &height, &channels, 3);
    if (theirs)
        compare("stb_image", width, height, theirs, 3);
    else
        result += std::string("stb_image: ") + stbi_failure_reason() + "\n";
    stbi_image_free(theirs);
    return result;
}

// The screen with a window of the test's own is taken before the program starts. "capture", then OK under the
// proposed Capture0.bmp: the file holds exactly that screen, read back by two readers, so no window of the
// program is in it; it becomes the picture ("add" lists it), the caption and Photo_1. The prompt's close box takes
// the next proposal, Capture1.bmp, the same way, with the picture now in the strip, which must be out of the way
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

    for (const std::string name : {"Capture0.bmp", "Capture1.bmp"}) {
        const bool ok = name == "Capture0.bmp";
        SCOPED_TRACE(ok ? "OK" : "the close box");
        const std::wstring wide(name.begin(), name.end());
        const NamePrompt prompt = OpenNamePrompt(velmo, control);
        ASSERT_NE(prompt.ok, nullptr) << "no name prompt";
        EXPECT_EQ(WindowText(prompt.edit), wide);
        Clock::time_point closed = Clock::now();
        if (ok)
            ASSERT_TRUE(ClickUntil(
                prompt.ok, [&] { return Gone(prompt.window); }, &closed))
                << "OK did not close it";
        else
            PostMessageW(prompt.window, WM_SYSCOMMAND, SC_CLOSE, 0);
        const std::string path = folder.File(name);
        const std::optional<Clock::time_point> written = WaitForFileSize(path, kCaptureFileSize);
        ASSERT_TRUE(written) << "no complete " << path;
        std::printf("[ timing   ] prompt closed to capture on disk: %lld ms (the program waits 500 ms of it)\n",
                    static_cast<long long>((*written - closed) / 1ms));

        const std::string bytes = ReadCapture(path);
        EXPECT_EQ(HeaderFields(bytes), (std::vector<uint32_t>{0x4D42, kCaptureFileSize, 54, 40, 1024, 768, 1, 24, 0}));
        EXPECT_EQ(DiffersFrom(bytes, expected), "");
        EXPECT_TRUE(WindowsBack(velmo, control)) << "the program's windows did not come back";
        EXPECT_EQ(WindowText(control), L" Velmo - " + wide);
        EXPECT_TRUE(WaitUntil([&] { return IniKey(folder, "Velmo", "Photo_1") == path; }))
            << IniKey(folder, "Velmo", "Photo_1");
        if (ok) {
            ASSERT_TRUE(ClickButton(control, L"add"));
            EXPECT_TRUE(WaitUntil([&] { return ReadFileBytes(folder.File("P_List1.dat")) == path + "\r\n"; }))
                << ReadFileBytes(folder.File("P_List1.dat"));
        }
    }
    EXPECT_EQ(velmo.Close(), 0);
}

// A screen-sized picture is shown, and a folder named Capture0.bmp does not count as taken. Cancel (Enter and
// Escape do nothing before it), a name that does not end in .bmp, and a save that fails (the close box takes
// Capture0.bmp, which is the folder) each bring both windows back with the previous picture, its name in the
// caption and Photo_1, and leave the program folder as it was.
TEST_F(VelmoE2eTest, AbandonedCaptureKeepsThePreviousPicture) {
    ProgramFolder folder;
    const std::string previous = folder.File("previous.bmp");
    const Image picture = [](int x, int y) { return PositionColor(x, y, true); };
    WriteBmp(previous, kScreenWidth, kScreenHeight, picture);
    folder.WriteSettings({"Photo_1=" + previous});
    ASSERT_TRUE(CreateDirectoryA(folder.File("Capture0.bmp").c_str(), nullptr));
    // The files but the settings file, which the control window writes its place to.
    const auto files = [&] {
        Files files = ReadTree(folder.folder().path());
        files.erase("Velmo.ini");
        return files;
    };
    const Files before = files();

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
        EXPECT_EQ(files(), before);
    };

    {
        SCOPED_TRACE("Cancel, from the strip");
        const NamePrompt prompt = OpenNamePrompt(velmo, control);
        ASSERT_NE(prompt.cancel, nullptr) << "no name prompt";
        EXPECT_EQ(WindowText(prompt.window), L"Caputure");
        EXPECT_NE(FindChild(prompt.window, L"Static", L"キャプチャリングしますか ？"), nullptr);
        EXPECT_EQ(WindowText(prompt.edit), L"Capture0.bmp");
        EXPECT_FALSE(IsWindowVisible(main) || IsWindowVisible(control)) << "a window of the program is still shown";
        ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == prompt.window; })) << "the prompt is not active";
        // Keys go to the window that has the focus when they are sent.
        ASSERT_TRUE(WaitUntil([&] { return FocusOf(prompt.window) == prompt.edit; })) << "the name has no focus";
        PressKey(VK_RETURN);
        PressKey(VK_ESCAPE);
        // A digit typed after them is handled after them: once the name shows it, Enter and Escape have been
        // handled, and a prompt they closed would be gone.
        PressKey('7');
        EXPECT_TRUE(WaitUntil([&] { return WindowText(prompt.edit).find(L'7') != std::wstring::npos; }))
            << "the name did not take the digit typed after Enter and Escape";
        EXPECT_FALSE(Gone(prompt.window)) << "Enter or Escape closed the prompt";
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
    // pic.jpg with OK, then the close box onto the folder; both from the revealed picture.
    for (const wchar_t* typed : {L"pic.jpg", L""}) {
        SCOPED_TRACE(*typed ? "pic.jpg" : "the close box");
        const NamePrompt prompt = OpenNamePrompt(velmo, control);
        ASSERT_NE(prompt.ok, nullptr) << "no name prompt";
        EXPECT_EQ(WindowText(prompt.edit), L"Capture0.bmp");
        if (*typed) {
            SendMessageW(prompt.edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typed));
            ASSERT_EQ(WindowText(prompt.edit), typed);
            ASSERT_TRUE(ClickUntil(prompt.ok, [&] { return Gone(prompt.window); })) << "OK did not close the prompt";
        } else {
            PostMessageW(prompt.window, WM_SYSCOMMAND, SC_CLOSE, 0);
        }
        EXPECT_EQ(AnswerMessage(velmo), *typed ? L"拡張子は、.bmp にして下さい。" : L"ファイル保存に失敗しました。");
        expectKept();
        EXPECT_EQ(WaitForScreen(picture, WindowBox(control)), "");
    }
    EXPECT_EQ(velmo.Close(), 0);
}

}  // namespace
}  // namespace velmo::e2e
