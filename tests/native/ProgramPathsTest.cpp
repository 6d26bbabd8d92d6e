#include <gtest/gtest.h>

#include "winapp/Paths.h"

TEST(ProgramPaths, TheUsersFilesBelowAppDataOursBesideTheProgram) {
    const ProgramFolders f = programFolders("C:\\Users\\Ann\\AppData\\Roaming", "C:\\Program Files\\Vizorama");
    EXPECT_EQ(f.settingsFile(), "C:\\Users\\Ann\\AppData\\Roaming\\Vizorama\\vis_vzrm_config.ini");
    EXPECT_EQ(f.models, "C:\\Users\\Ann\\AppData\\Roaming\\Vizorama\\Models\\");
    EXPECT_EQ(f.skyboxes, "C:\\Users\\Ann\\AppData\\Roaming\\Vizorama\\Skyboxes\\");
    EXPECT_EQ(f.looks, "C:\\Users\\Ann\\AppData\\Roaming\\Vizorama\\Looks\\");
    EXPECT_EQ(f.own, "C:\\Program Files\\Vizorama\\");
    EXPECT_EQ(f.utility(), "C:\\Program Files\\Vizorama\\Configurations\\vis_vzrm_c.exe");
    // A network home works; no APPDATA, or a relative one, leaves no place to keep anything
    // (rather than the current folder).
    EXPECT_EQ(programFolders("\\\\server\\ann\\", "D:\\V\\").user, "\\\\server\\ann\\Vizorama\\");
    for (const char* unusable : {static_cast<const char*>(nullptr), "", "Roaming", "C:"}) {
        const ProgramFolders none = programFolders(unusable, "D:\\V\\");
        EXPECT_EQ(none.settingsFile(), "");
        EXPECT_EQ(none.windowFile(), "");
        EXPECT_EQ(none.models, "");
    }
}
