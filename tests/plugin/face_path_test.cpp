#include <gtest/gtest.h>
#include <string.h>
#include <string>
#include "plugin/module.h"
#include "plugin_test_files.h"

namespace {
using namespace facetest;

// A skin file with the given text, in a fresh scratch folder.
std::string SkinFile(const std::string& text) {
    std::string path = ScratchDir() + "skin.uis";
    WriteText(path, text);
    return path;
}

std::string FacePath(const std::string& uis, const char* wbdir, bool* built = nullptr) {
    char path[260 + 32];
    memset(path, 'G', sizeof path);
    bool ok = BuildSkinFacePath(uis.c_str(), wbdir, path);
    if (built) *built = ok;
    EXPECT_EQ(std::string(32, 'G'), std::string(path + 260, 32)) << "path buffer overrun";
    return ok ? std::string(path) : "<none>";
}

TEST(BuildSkinFacePath, FaceIsTakenRelativeToTheHostDirectory) {
    std::string skins = SkinFile("[Quoril]\r\nBitmap=skins\\face.bmp\r\n");
    EXPECT_EQ("C:\\Host\\skins\\face.bmp", FacePath(skins, "C:\\Host"));
    EXPECT_EQ("C:\\Host\\skins\\face.bmp", FacePath(skins, "C:\\Host\\"));
    std::string rooted = SkinFile("[Other]\r\nX=1\r\n[Quoril]\r\nBitmap=\\face.bmp\r\n");
    EXPECT_EQ("C:\\Host\\face.bmp", FacePath(rooted, "C:\\Host"));
    std::string absolute = SkinFile("[Quoril]\r\nBitmap=D:\\faces\\f.bmp\r\n");
    EXPECT_EQ("C:\\Host\\D:\\faces\\f.bmp", FacePath(absolute, "C:\\Host"));
}

TEST(BuildSkinFacePath, NoFaceWithoutSectionKeyValueOrDirectory) {
    EXPECT_EQ("<none>", FacePath(SkinFile("[Skin]\r\nBitmap=face.bmp\r\n"), "C:\\Host"));
    EXPECT_EQ("<none>", FacePath(SkinFile("[Quoril]\r\nOther=face.bmp\r\n"), "C:\\Host"));
    EXPECT_EQ("<none>", FacePath(SkinFile("[Quoril]\r\nBitmap=\r\n"), "C:\\Host"));
    EXPECT_EQ("<none>", FacePath(ScratchDir() + "missing.uis", "C:\\Host"));
    std::string skin = SkinFile("[Quoril]\r\nBitmap=face.bmp\r\n");
    EXPECT_EQ("<none>", FacePath(skin, nullptr));
    char path[260];
    EXPECT_FALSE(BuildSkinFacePath(nullptr, "C:\\Host", path));
}

TEST(BuildSkinFacePath, LongNamesAreCutAt255Characters) {
    std::string face(250, 'f');
    std::string skin = SkinFile("[Quoril]\r\nBitmap=" + face + "\r\n");
    std::string dir = "C:\\" + std::string(400, 'd');
    std::string path = FacePath(skin, dir.c_str());
    ASSERT_EQ(255u, path.size());
    EXPECT_EQ(dir.substr(0, 253) + "\\f", path);

    // A short directory keeps the whole (long) face name.
    EXPECT_EQ("C:\\H\\" + face, FacePath(skin, "C:\\H"));

    // An overlong skin file path is cut, not overrun, and names no file.
    bool built = true;
    FacePath("C:\\" + std::string(300, 'u'), "C:\\Host", &built);
    EXPECT_FALSE(built);
}
} // namespace
