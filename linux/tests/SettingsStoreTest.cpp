#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "linux/SettingsStore.h"
#include "tests/native/TestFiles.h"

namespace {

namespace fs = std::filesystem;

TEST(SettingsStore, ReadsAndWritesTheUsersFileAndNeverWritesOverOneItCannotKeep) {
    ScratchFolder folder;

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

    // A settings file that cannot be read (here a folder) is never written over, and nothing
    // else is written anywhere: the record in memory lasts until the program ends.
    const std::string unreadable = folder.path() + "unreadable/vis_vzrm_config.ini";
    fs::create_directories(unreadable);
    {
        SettingsStore store;
        Settings s;
        std::string message = store.open(s, unreadable);
        EXPECT_NE(message.find("cannot read"), std::string::npos) << message;
        EXPECT_NE(message.find("until the program ends"), std::string::npos) << message;
        EXPECT_FALSE(store.keepsChanges());
        s.vumType = "Beam";
        EXPECT_EQ(store.save(s), "");  // said once, at the start
        EXPECT_FALSE(store.takeUpEdit(s));
        EXPECT_EQ(s.vumType, "Beam");
    }
    EXPECT_TRUE(fs::is_directory(unreadable) && fs::is_empty(unreadable));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path() + "unreadable"),
                            fs::directory_iterator{}), 1);

    // A config folder that cannot be made (a file stands in its way), and no home at all.
    writeTextFile(folder.path() + "file", "x");
    for (const std::string& bad : {folder.path() + "file/vizorama/vis_vzrm_config.ini",
                                   std::string()}) {
        SettingsStore store;
        Settings s;
        EXPECT_NE(store.open(s, bad).find("until the program ends"), std::string::npos);
        EXPECT_EQ(store.save(s), "");
    }
    EXPECT_EQ(readTextFile(folder.path() + "file"), "x");

    // A file that becomes unwritable later: the next save says so once.
    const std::string later = folder.path() + "later/vis_vzrm_config.ini";
    {
        SettingsStore store;
        Settings s;
        EXPECT_EQ(store.open(s, later), "");
        fs::remove(later);
        fs::create_directory(later);  // now a folder: neither readable nor replaceable
        s.tofOnOff = 1;
        EXPECT_NE(store.save(s).find("cannot write"), std::string::npos);
        EXPECT_FALSE(store.keepsChanges());
        EXPECT_EQ(store.save(s), "");
        EXPECT_EQ(s.tofOnOff, 1u);
    }
}

// The frames show the record in memory; the file is read again only when it changed on disk,
// by hand (in place) or by another program (replaced), never after the store's own writes.
TEST(SettingsStore, TakesUpAHandEditOnceAndNotItsOwnWrites) {
    ScratchFolder folder;
    const std::string path = folder.path() + "vis_vzrm_config.ini";
    SettingsStore store;
    Settings s;
    ASSERT_EQ(store.open(s, path), "");
    EXPECT_FALSE(store.takeUpEdit(s));
    s.oscType = "No Filter";
    ASSERT_EQ(store.save(s), "");
    EXPECT_FALSE(store.takeUpEdit(s));

    // An edit in place that keeps the file's size: its times tell (set a second on, as a clock
    // with a coarse tick may not have moved since the save).
    std::string text = readTextFile(path);
    const size_t at = text.find("oscType=No Filter");
    ASSERT_NE(at, std::string::npos);
    text.replace(at, 17, "oscType=Waveform ");
    {
        std::ofstream edit(path, std::ios::binary | std::ios::in | std::ios::out);
        edit << text;
    }
    fs::last_write_time(path, fs::last_write_time(path) + std::chrono::seconds(1));
    EXPECT_TRUE(store.takeUpEdit(s));
    EXPECT_EQ(s.oscType, "Waveform");
    EXPECT_FALSE(store.takeUpEdit(s));

    // Replaced by another writer, and taken away: both are taken up.
    writeTextFile(folder.path() + "new.ini", "[Vizorama]\r\nvumType=Beam\r\n");
    fs::rename(folder.path() + "new.ini", path);
    EXPECT_TRUE(store.takeUpEdit(s));
    EXPECT_EQ(s.vumType, "Beam");
    fs::remove(path);
    EXPECT_TRUE(store.takeUpEdit(s));
    EXPECT_FALSE(store.takeUpEdit(s));
}

}  // namespace
