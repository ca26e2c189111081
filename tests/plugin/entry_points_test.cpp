// The plug-in DLL as the host sees it: loaded by path, entry points found by
// name. Each test runs in its own process, so the DLL's attach runs afresh.
#include <gtest/gtest.h>
#include <string>
#include "plugin_test_files.h"
#include "tests/support/test_support.h"

namespace {
using namespace facetest;

typedef int(WINAPI* DrawFn)(DWORD, HDC, const RECT*, DWORD, DWORD);
typedef int(WINAPI* QueryFn)(DWORD);
typedef int(WINAPI* ReleaseFn)(DWORD, DWORD, DWORD, DWORD);

const COLORREF kBackground = RGB(255, 0, 255);
const COLORREF kWhite = RGB(255, 255, 255), kBlack = RGB(0, 0, 0);
const COLORREF kGrey = RGB(192, 192, 192), kBlue = RGB(0, 0, 255), kRed = RGB(255, 0, 0);

// A 64 x 32 memory canvas filled with the background colour.
class Canvas {
  public:
    Canvas() {
        HDC screen = GetDC(nullptr);
        m_dc = CreateCompatibleDC(screen);
        m_bitmap = CreateCompatibleBitmap(screen, 64, 32);
        ReleaseDC(nullptr, screen);
        m_previous = SelectObject(m_dc, m_bitmap);
        RECT all = {0, 0, 64, 32};
        HBRUSH brush = CreateSolidBrush(kBackground);
        FillRect(m_dc, &all, brush);
        DeleteObject(brush);
    }
    ~Canvas() {
        SelectObject(m_dc, m_previous);
        DeleteObject(m_bitmap);
        DeleteDC(m_dc);
    }
    HDC Dc() const { return m_dc; }
    COLORREF At(int x, int y) const { return GetPixel(m_dc, x, y); }

  private:
    HDC m_dc;
    HBITMAP m_bitmap;
    HGDIOBJ m_previous;
};

HMODULE LoadPlugin() {
    return LoadLibraryA((ExeDir() + "Quoril.dll").c_str());
}

std::string Hex(COLORREF c) {
    char text[16];
    wsprintfA(text, "%06X", static_cast<unsigned>(c));
    return text;
}

TEST(EntryPoints, WBDrawStretchesTheWholeBuiltInFace) {
    HMODULE plugin = LoadPlugin();
    ASSERT_NE(nullptr, plugin);
    DrawFn draw = reinterpret_cast<DrawFn>(GetProcAddress(plugin, "WBDraw"));
    ASSERT_NE(nullptr, draw);
    Canvas canvas;
    const RECT rc = {10, 5, 50, 21}; // 40 x 16
    EXPECT_EQ(1, draw(0, canvas.Dc(), &rc, 0, 0));

    // The built-in face: white left edge, black right and bottom edges, grey
    // body, blue squares and one red one. Each point is named in face
    // coordinates and checked at its stretched place (x * 2, y * 0.8).
    struct {
        int x, y; // in the 40 x 16 rectangle
        COLORREF colour;
        const char* what;
    } points[] = {
        {0, 8, kWhite, "left edge (face 0,10)"},
        {39, 8, kBlack, "right edge (face 19,10)"},
        {20, 15, kBlack, "bottom edge (face 10,19)"},
        {39, 15, kBlack, "bottom-right corner"},
        {6, 2, kGrey, "body (face 3,3)"},
        {13, 5, kBlue, "upper left square (face 6,7)"},
        {25, 5, kBlue, "upper right square (face 12,7)"},
        {13, 10, kBlue, "lower left square (face 6,13)"},
        {25, 10, kRed, "lower right square (face 12,13)"},
        {31, 8, kGrey, "body right of the squares (face 15,10)"},
    };
    for (const auto& p : points) {
        EXPECT_EQ(Hex(p.colour), Hex(canvas.At(rc.left + p.x, rc.top + p.y))) << p.what;
    }
    // Nothing outside the rectangle.
    const POINT outside[] = {{9, 12}, {50, 12}, {30, 4}, {30, 21}, {0, 0}, {63, 31}};
    for (const auto& p : outside) {
        EXPECT_EQ(Hex(kBackground), Hex(canvas.At(p.x, p.y))) << p.x << "," << p.y;
    }
}

TEST(EntryPoints, AttachLoadsTheSkinFaceAndDetachDeletesIt) {
    std::string host = ScratchDir() + "Host";
    MakeDir(host);
    WriteFace(host + "\\green.bmp", 8, 8, RGB(0, 200, 0));
    WriteText(host + "\\skin.uis", "[Quoril]\r\nBitmap=green.bmp\r\n");
    SetHostAnswers((host + "\\skin.uis").c_str(), host.c_str());
    ASSERT_NE(nullptr, LoadHostModule());

    // Warm-up: the first bitmap file load and the first canvas create GDI
    // objects of the system's own that live on.
    DeleteObject(
        LoadImageA(nullptr, (host + "\\green.bmp").c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    { Canvas warmUp; }
    // The system libraries the plug-in imports make objects of their own when
    // they attach; load them first so only the plug-in's own are counted.
    for (const char* system : {"comctl32.dll", "comdlg32.dll", "shell32.dll"})
        LoadLibraryA(system);
    int before = qtest::LiveGdiObjects();
    HMODULE plugin = LoadPlugin();
    ASSERT_NE(nullptr, plugin);
    EXPECT_EQ(before + 1, qtest::LiveGdiObjects()) << "the face is the module's one GDI object";
    DrawFn draw = reinterpret_cast<DrawFn>(GetProcAddress(plugin, "WBDraw"));
    ASSERT_NE(nullptr, draw);
    {
        Canvas canvas;
        const RECT rc = {4, 4, 44, 20};
        int drawing = qtest::LiveGdiObjects();
        EXPECT_EQ(1, draw(0, canvas.Dc(), &rc, 0, 0));
        EXPECT_EQ(drawing, qtest::LiveGdiObjects()) << "WBDraw leaked a GDI object";
        EXPECT_EQ(Hex(RGB(0, 200, 0)), Hex(canvas.At(4, 4)));
        EXPECT_EQ(Hex(RGB(0, 200, 0)), Hex(canvas.At(43, 19)));
        EXPECT_EQ(Hex(kBackground), Hex(canvas.At(44, 20)));
    }
    ASSERT_TRUE(FreeLibrary(plugin));
    EXPECT_EQ(before, qtest::LiveGdiObjects()) << "the face outlived the module";
}

TEST(EntryPoints, QueryAnswers0AndRelease1) {
    HMODULE plugin = LoadPlugin();
    ASSERT_NE(nullptr, plugin);
    QueryFn query = reinterpret_cast<QueryFn>(GetProcAddress(plugin, "WBQuery"));
    ReleaseFn release = reinterpret_cast<ReleaseFn>(GetProcAddress(plugin, "WBRelease"));
    ASSERT_NE(nullptr, query);
    ASSERT_NE(nullptr, release);
    EXPECT_EQ(0, query(0));
    EXPECT_EQ(0, query(0xFFFFFFFF));
    EXPECT_EQ(1, release(0, 0, 0, 0));
    EXPECT_EQ(1, release(1, 2, 3, 4));
    EXPECT_NE(nullptr, GetProcAddress(plugin, "WBPress"));
}

TEST(EntryPoints, WBDrawWithoutRectangleOrDcPaintsNothing) {
    HMODULE plugin = LoadPlugin();
    ASSERT_NE(nullptr, plugin);
    DrawFn draw = reinterpret_cast<DrawFn>(GetProcAddress(plugin, "WBDraw"));
    ASSERT_NE(nullptr, draw);
    int before = qtest::LiveGdiObjects();
    EXPECT_EQ(1, draw(0, nullptr, nullptr, 0, 0));
    const RECT rc = {0, 0, 40, 16};
    EXPECT_EQ(1, draw(0, nullptr, &rc, 0, 0));
    EXPECT_EQ(before, qtest::LiveGdiObjects());
}
} // namespace
