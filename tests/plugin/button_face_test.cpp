// Which face the module loads at attach. Every test runs in its own process, so the
// host module names "wblind.dll" and "wbocx.ocx" are free at its start.
#include <gtest/gtest.h>
#include <string>
#include "plugin/module.h"
#include "plugin_test_files.h"

namespace {
using namespace facetest;

// A host directory with two faces told apart by size:
//   <host>\skins\face.bmp 33 x 17, <host>\face.bmp 21 x 9.
class ButtonFace : public ::testing::Test {
  protected:
    void SetUp() override {
        m_plugin.Attach(GetModuleHandleA(nullptr));
        m_host = ScratchDir() + "Host";
        MakeDir(m_host);
        MakeDir(m_host + "\\skins");
        WriteFace(m_host + "\\skins\\face.bmp", 33, 17, RGB(0, 160, 0));
        WriteFace(m_host + "\\face.bmp", 21, 9, RGB(160, 0, 0));
    }
    void TearDown() override {
        m_plugin.Detach();
        SetHostAnswers(nullptr, nullptr);
    }
    std::string Skin(const std::string& text) {
        std::string path = m_host + "\\skin.uis";
        WriteText(path, text);
        return path;
    }
    // Loads the face and returns its size as "WxH" ("none" without a face).
    std::string LoadedFace() {
        m_plugin.LoadButtonFace();
        if (!m_plugin.ButtonFace()) return "none";
        SIZE size = m_plugin.ButtonFaceSize();
        return std::to_string(size.cx) + "x" + std::to_string(size.cy);
    }

    PluginModule m_plugin; // a module of the test's own
    std::string m_host;
};

const char* const kSkinsFace = "[Quoril]\r\nBitmap=skins\\face.bmp\r\n";

TEST_F(ButtonFace, SkinFaceWithAndWithoutTrailingBackslash) {
    ASSERT_NE(nullptr, LoadHostModule());
    std::string skin = Skin(kSkinsFace);
    SetHostAnswers(skin.c_str(), m_host.c_str());
    EXPECT_EQ("33x17", LoadedFace());
    SetHostAnswers(skin.c_str(), (m_host + "\\").c_str());
    EXPECT_EQ("33x17", LoadedFace());
}

TEST_F(ButtonFace, RootedFaceNameStaysInTheHostDirectory) {
    ASSERT_NE(nullptr, LoadHostModule());
    std::string skin = Skin("[Quoril]\r\nBitmap=\\face.bmp\r\n");
    SetHostAnswers(skin.c_str(), m_host.c_str());
    EXPECT_EQ("21x9", LoadedFace());
}

TEST_F(ButtonFace, BuiltInFaceWhenTheSkinNamesNoUsableFile) {
    ASSERT_NE(nullptr, LoadHostModule());
    struct {
        const char* skin;
        const char* why;
    } cases[] = {{"[Skin]\r\nBitmap=skins\\face.bmp\r\n", "no section Quoril"},
                 {"[Quoril]\r\nBitmap=\r\n", "empty Bitmap"},
                 {"[Quoril]\r\nBitmap=skins\\missing.bmp\r\n", "missing file"},
                 {"[Quoril]\r\nBitmap=skin.uis\r\n", "not a bitmap"}};
    for (const auto& c : cases) {
        std::string skin = Skin(c.skin);
        SetHostAnswers(skin.c_str(), m_host.c_str());
        EXPECT_EQ("20x20", LoadedFace()) << c.why;
    }
    SetHostAnswers(nullptr, m_host.c_str());
    EXPECT_EQ("20x20", LoadedFace()) << "GetUIS answering null";
    SetHostAnswers(Skin(kSkinsFace).c_str(), nullptr);
    EXPECT_EQ("20x20", LoadedFace()) << "GetWBDIR answering null";
}

TEST_F(ButtonFace, BuiltInFaceWithoutHostModule) {
    std::string skin = Skin(kSkinsFace);
    SetHostAnswers(skin.c_str(), m_host.c_str());
    EXPECT_EQ("20x20", LoadedFace());
}

TEST_F(ButtonFace, BuiltInFaceWhenTheHostLacksGetWBDIR) {
    HMODULE host = LoadLibraryA((ExeDir() + "uis_only\\wblind.dll").c_str());
    ASSERT_NE(nullptr, host);
    ASSERT_NE(nullptr, GetProcAddress(host, "GetUIS"));
    ASSERT_EQ(nullptr, GetProcAddress(host, "GetWBDIR"));
    std::string skin = Skin(kSkinsFace);
    SetHostAnswers(skin.c_str(), m_host.c_str());
    EXPECT_EQ("20x20", LoadedFace());
}

TEST_F(ButtonFace, EngineModuleIsAskedBeforeTheStandAlone) {
    // Both names loaded: "wbocx.ocx" (here lacking GetWBDIR) wins over a
    // complete "wblind.dll".
    std::string ocx = m_host + "\\wbocx.ocx";
    ASSERT_TRUE(CopyFileA((ExeDir() + "uis_only\\wblind.dll").c_str(), ocx.c_str(), FALSE));
    ASSERT_NE(nullptr, LoadLibraryA(ocx.c_str()));
    ASSERT_NE(nullptr, LoadHostModule());
    std::string skin = Skin(kSkinsFace);
    SetHostAnswers(skin.c_str(), m_host.c_str());
    EXPECT_EQ("20x20", LoadedFace());
}

TEST_F(ButtonFace, BuiltInFaceIsResource102) {
    m_plugin.LoadButtonFace();
    ASSERT_NE(nullptr, m_plugin.ButtonFace());
    BITMAP info = {};
    ASSERT_TRUE(GetObjectA(m_plugin.ButtonFace(), sizeof info, &info));
    EXPECT_EQ(20, info.bmWidth);
    EXPECT_EQ(20, info.bmHeight);
    m_plugin.Detach();
    EXPECT_EQ(nullptr, m_plugin.ButtonFace());
    EXPECT_EQ(0, m_plugin.ButtonFaceSize().cx);
}
} // namespace
