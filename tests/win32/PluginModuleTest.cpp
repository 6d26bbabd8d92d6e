// The records the player sees, read from the real DLL loaded into this process.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>

#include "plugin/VisModule.h"
#include "tests/win32/WineSupport.h"

namespace {

TEST(PluginModule, ExportsItsHeaderAndOneModule) {
    HMODULE dll = LoadLibraryA((gStageFolder + "\\Plugins\\vis_vzrm.dll").c_str());
    ASSERT_NE(dll, nullptr) << GetLastError();
    GetHeaderFunction getHeader = findGetHeader(dll);
    ASSERT_NE(getHeader, nullptr);
    VisHeader* header = getHeader();
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->version, 0x101);
    EXPECT_STREQ(header->description, "Vizorama v1.51");

    VisModule* module = header->getModule(0);
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(header->getModule(0), module);
    EXPECT_EQ(header->getModule(1), nullptr);
    EXPECT_EQ(header->getModule(-1), nullptr);

    EXPECT_STREQ(module->description, "Vizorama");
    EXPECT_EQ(module->latencyMs, 25);
    EXPECT_EQ(module->delayMs, 25);
    EXPECT_EQ(module->spectrumChannels, 2);
    EXPECT_EQ(module->waveformChannels, 2);
    EXPECT_EQ(module->userData, nullptr);
    EXPECT_NE(module->Config, nullptr);
    EXPECT_NE(module->Init, nullptr);
    EXPECT_NE(module->Render, nullptr);
    EXPECT_NE(module->Quit, nullptr);
    FreeLibrary(dll);
}

}  // namespace
