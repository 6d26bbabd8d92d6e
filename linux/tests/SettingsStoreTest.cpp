#include <gtest/gtest.h>

#include <filesystem>

#include "linux/SettingsStore.h"
#include "tests/native/TestFiles.h"

namespace {

namespace fs = std::filesystem;

TEST(SettingsStore, ReadsAndWritesTheUsersFileAndFallsBackToASessionFileWithoutTouchingIt) {
    ScratchFolder folder;
    setenv("XDG_RUNTIME_DIR", folder.path().c_str(), 1);

    // A missing folder is made; the complete record is written at once.
    const std::string path = folder.path() + "config/vizorama/vis_vzrm_config.ini";
    {
        SettingsStore store;
        Settings s;
        EXPECT_EQ(store.open(s, path), "");
        EXPECT_EQ(store.path(), path);
        EXPECT_NE(readTextFile(path).find("oscType=Waveform"), std::string::npos);
        s.camPosition = "Scan Up";
        EXPECT_EQ(store.save(s), "");
        EXPECT_NE(readTextFile(path).find("camPosition=Scan Up"), std::string::npos);
    }
    // What the user wrote by hand is read and kept, keys the program does not know too.
    writeTextFile(path, "[Vizorama]\r\noscType=Sine Filter\r\n[Other]\r\nmine=1\r\n");
    {
        SettingsStore store;
        Settings s;
        EXPECT_EQ(store.open(s, path), "");
        EXPECT_EQ(s.oscType, "Sine Filter");
        EXPECT_NE(readTextFile(path).find("mine=1"), std::string::npos);
    }

    // A settings file that cannot be read (here a folder) is never written over: the session
    // keeps its settings in a file of its own, removed at the end.
    const std::string unreadable = folder.path() + "unreadable/vis_vzrm_config.ini";
    fs::create_directories(unreadable);
    std::string session;
    {
        SettingsStore store;
        Settings s;
        std::string message = store.open(s, unreadable);
        EXPECT_NE(message.find("cannot read"), std::string::npos) << message;
        EXPECT_NE(message.find("until the program ends"), std::string::npos) << message;
        EXPECT_TRUE(store.inSession());
        session = store.path();
        EXPECT_EQ(session.rfind(folder.path(), 0), 0u) << session;  // in XDG_RUNTIME_DIR
        s.vumType = "Beam";
        EXPECT_EQ(store.save(s), "");
        EXPECT_NE(readTextFile(session).find("vumType=Beam"), std::string::npos);
        EXPECT_TRUE(fs::is_directory(unreadable));
    }
    EXPECT_FALSE(fs::exists(session));
    EXPECT_TRUE(fs::is_directory(unreadable) && fs::is_empty(unreadable));

    // A config folder that cannot be made (a file stands in its way), and no home at all.
    writeTextFile(folder.path() + "file", "x");
    for (const std::string& bad : {folder.path() + "file/vizorama/vis_vzrm_config.ini",
                                   std::string()}) {
        SettingsStore store;
        Settings s;
        EXPECT_NE(store.open(s, bad).find("until the program ends"), std::string::npos);
        EXPECT_TRUE(store.inSession());
        EXPECT_EQ(store.save(s), "");
    }
    EXPECT_EQ(readTextFile(folder.path() + "file"), "x");

    // A file that becomes unwritable later: the next save moves to the session.
    const std::string later = folder.path() + "later/vis_vzrm_config.ini";
    {
        SettingsStore store;
        Settings s;
        EXPECT_EQ(store.open(s, later), "");
        fs::remove(later);
        fs::create_directory(later);  // now a folder: neither readable nor replaceable
        s.tofOnOff = 1;
        EXPECT_NE(store.save(s).find("cannot write"), std::string::npos);
        EXPECT_TRUE(store.inSession());
        EXPECT_NE(readTextFile(store.path()).find("tofOnOff=1"), std::string::npos);
    }
    unsetenv("XDG_RUNTIME_DIR");
}

}  // namespace
