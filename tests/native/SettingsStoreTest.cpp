#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "frontend/SettingsStore.h"
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
        store.wait();
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
        EXPECT_EQ(store.save(s), "");  // written on the saver's thread: told once it failed
        store.wait();
        EXPECT_NE(store.takeProblem().find("cannot write"), std::string::npos);
        EXPECT_EQ(store.takeProblem(), "");
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
    // While the save is on its way and when it has landed, the record stays as it is.
    EXPECT_FALSE(store.takeUpEdit(s));
    store.wait();
    EXPECT_FALSE(store.takeUpEdit(s));
    EXPECT_EQ(s.oscType, "No Filter");

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

// A settings file kept as a link (into a repository of dotfiles, say) stays a link, and the file
// it leads to takes the change: a new file in that file's own folder renamed over it. Links
// that lead nowhere or round in a circle lose nothing.
TEST(SettingsStore, WritesThroughALinkToTheFileItLeadsTo) {
    ScratchFolder folder;
    const std::string config = folder.path() + "config/vizorama/";
    const std::string dotfiles = folder.path() + "dotfiles/";
    fs::create_directories(config);
    fs::create_directories(dotfiles);
    // Two relative links: the settings file, and a "current" file in the repository.
    const std::string link = config + "vis_vzrm_config.ini", current = dotfiles + "current.ini",
                      target = dotfiles + "vizorama.ini";
    writeTextFile(target, "[Vizorama]\r\noscType=Sine Filter\r\n");
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink("../../dotfiles/current.ini", link);
    fs::create_symlink("vizorama.ini", current);
    {
        SettingsStore store;
        Settings s;
        EXPECT_EQ(store.open(s, link), "");
        EXPECT_EQ(s.oscType, "Sine Filter");
        s.camPosition = "Spin";
        EXPECT_EQ(store.save(s), "");
        store.wait();
        EXPECT_FALSE(store.takeUpEdit(s));  // its own write
    }
    EXPECT_TRUE(fs::is_symlink(link) && fs::is_symlink(current));
    EXPECT_NE(readTextFile(target).find("camPosition=Spin"), std::string::npos);
    EXPECT_EQ(fs::status(target).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    // Nothing left beside the link or the file (no temporary file).
    auto count = [](const std::string& f) {
        return std::distance(fs::directory_iterator(f), fs::directory_iterator{});
    };
    EXPECT_EQ(count(config), 1);
    EXPECT_EQ(count(dotfiles), 2);

    // A rename cannot cross file systems: a file on another one (/dev/shm is a tmpfs) can only
    // be replaced by a new file in its own folder.
    char shm[] = "/dev/shm/vzrm-test-XXXXXX";
    struct stat here {}, there {};
    if (stat("/dev/shm", &there) == 0 && stat(folder.path().c_str(), &here) == 0 &&
        here.st_dev != there.st_dev && mkdtemp(shm)) {
        const std::string elsewhere = std::string(shm) + "/vizorama.ini";
        writeTextFile(elsewhere, "[Vizorama]\r\n");
        fs::remove(link);
        fs::create_symlink(elsewhere, link);
        SettingsStore store;
        Settings s;
        EXPECT_EQ(store.open(s, link), "");
        s.vumType = "Beam";
        EXPECT_EQ(store.save(s), "");
        store.wait();
        EXPECT_TRUE(fs::is_symlink(link));
        EXPECT_NE(readTextFile(elsewhere).find("vumType=Beam"), std::string::npos);
        EXPECT_EQ(count(shm), 1);
        fs::remove_all(shm);
    }

    // A link to a file not made yet: the file is made, the link leads to it. One into a folder
    // that does not exist: said, and the link left as it was.
    fs::remove(link);
    fs::create_symlink(dotfiles + "new.ini", link);
    {
        SettingsStore store;
        Settings s;
        EXPECT_EQ(store.open(s, link), "");
        EXPECT_TRUE(fs::is_symlink(link));
        EXPECT_NE(readTextFile(dotfiles + "new.ini").find("oscType=Waveform"), std::string::npos);
    }
    fs::remove(link);
    fs::create_symlink(dotfiles + "gone/new.ini", link);
    {
        SettingsStore store;
        Settings s;
        EXPECT_NE(store.open(s, link).find("cannot write"), std::string::npos);
        EXPECT_EQ(fs::read_symlink(link), dotfiles + "gone/new.ini");
    }
    // Two links leading to each other: said, both left as they were.
    fs::remove(link);
    fs::create_symlink("loop.ini", link);
    fs::create_symlink("vis_vzrm_config.ini", config + "loop.ini");
    {
        SettingsStore store;
        Settings s;
        EXPECT_NE(store.open(s, link).find("cannot read"), std::string::npos);
        s.tofOnOff = 1;
        EXPECT_EQ(store.save(s), "");
    }
    EXPECT_TRUE(fs::is_symlink(link) && fs::is_symlink(config + "loop.ini"));
    EXPECT_EQ(count(config), 2);
    EXPECT_EQ(fs::read_symlink(link), "loop.ini");
}

}  // namespace
