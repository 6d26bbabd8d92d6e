// Our profile reader and writer against the platform's own profile functions, on awkward files.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <set>
#include <thread>

#include "settings/ProfileFile.h"
#include "tests/win32/WineSupport.h"

namespace {

const std::pair<const char*, std::string> kCorpus[] = {
    {"mixed-case", "[ViZoRaMa]\r\nVumType=Beam\r\nOSCTYPE=Sine Filter\r\n[OTHER]\r\nvumType=x\r\n"},
    {"blanks",
     "  [Vizorama]\t\r\n \t vumType \t=\t  Single Fixed Point  \t\r\n  texBits =  32 \r\n"},
    {"quotes",
     "[Vizorama]\r\na=\"quoted\"\r\nb='single'\r\nc=\"unbalanced\r\nd=\"\"\r\n"
     "e='\"mixed'\r\nf=\"\r\ng=\" spaced inside \"\r\nn=\"32\"\r\n"},
    {"duplicates",
     "[Vizorama]\r\nvumType=first\r\nVUMTYPE=second\r\ntexBits=32\r\ntexBits=16\r\n"
     "[Other]\r\nx=1\r\n[vizorama]\r\nvumType=third\r\nmdlName=only in the second\r\n"},
    {"keys-before-section", "vumType=orphan\r\ntexBits=8\r\n[Vizorama]\r\noscType=No Filter\r\n"},
    {"missing-equals",
     "[Vizorama]\r\nvumType\r\nvumType=after\r\njust some words\r\noscType=ok\r\n"},
    {"empty-values", "[Vizorama]\r\nvumType=\r\ntexBits=\r\noscType=   \r\n=novalue\r\n"},
    {"line-ends", "[Vizorama]\nvumType=Beam\rtexBits=32\r\roscType=Sine\n[Other]\r\nx=1"},
    {"long-lines", "[Vizorama]\r\nlong=" + std::string(3000, 'L') + "\r\n" + std::string(300, 'K') +
                       "=long key\r\nafter=still read\r\n"},
    {"odd-headers",
     "[ Vizorama ]\r\na=spaced header\r\n[Vizorama] trailing\r\nb=trailing\r\n"
     "[Viz]orama]\r\nc=bracket\r\n[Vizorama\r\nd=unclosed\r\n[Vizorama]\r\ne=plain\r\n"},
    {"numbers",
     "[Vizorama]\r\nhex=0x1F\r\nneg=-12\r\nplus=+3\r\nlead=  7\r\nbin=0b11\r\noct=0o17\r\n"
     "junk=12abc\r\nword=abc\r\nbig=4294967297\r\nupperx=0X1F\r\nqnum='42'\r\n"
     "digits=0000000000000000000000000000000000000099\r\ncolour=0x003f7fff\r\n"},
    {"comments",
     "; leading comment\r\n[Vizorama]\r\n;vumType=Beam\r\n#texBits=32\r\nvumType=real\r\n"},
    {"utf8-bom", "\xEF\xBB\xBF[Vizorama]\r\nvumType=Beam\r\n"},
    {"empty", ""},
};

// Every key name the file mentions, as written and trimmed, plus some it does not.
std::set<std::string> keysOf(const std::string& text) {
    std::set<std::string> keys = {"vumType", "texBits", "absent", "", "oscType", "mdlName"};
    for (size_t pos = 0, end; pos < text.size(); pos = end + 1) {
        end = std::min(text.find_first_of("\r\n", pos), text.size());
        std::string name = text.substr(pos, std::min(text.find('=', pos), end) - pos);
        keys.insert(name);
        keys.insert(name.substr(0, name.find_last_not_of(" \t") + 1));
    }
    return keys;
}

std::string scratchFolder() {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string folder =
        std::string(temp) + "vzrm-profile-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder + "\\";
}

TEST(ProfileDifferential, ReadsWhatThePlatformReadsAndWritesWhatItReadsBack) {
    const std::string folder = scratchFolder();
    const char* sections[] = {"Vizorama", "vizorama", " Vizorama ", "Other",
                              "",         "Missing",  "Viz",        "[Vizorama]"};
    const std::pair<std::string, std::string> writes[] = {
        {"vumType", "Double Fixed Point"}, {"texBits", "32"},  {"mdlName", ""},
        {"lhtAmbient", "0x003f7fff"},      {"dimLeft", "-40"}, {"newKey", "appended"},
        {"long", std::string(200, 'w')}};
    int compared = 0;
    for (const auto& [name, text] : kCorpus) {
        std::string path = folder + name + ".ini";
        writeFileText(path, text);
        ProfileFile ours;
        ASSERT_EQ(ours.load(path), platform::ReadResult::Ok);
        for (const char* section : sections) {
            for (const std::string& key : keysOf(text)) {
                SCOPED_TRACE(std::string(name) + " [" + section + "] " + key);
                for (size_t buffer : {260u, 5u}) {
                    std::vector<char> theirs(buffer, '\0');
                    GetPrivateProfileStringA(section, key.c_str(), "DEF", theirs.data(),
                                             static_cast<DWORD>(buffer), path.c_str());
                    EXPECT_EQ(ours.getString(section, key, "DEF", buffer), theirs.data()) << buffer;
                }
                EXPECT_EQ(ours.getInt(section, key, 16),
                          GetPrivateProfileIntA(section, key.c_str(), 16, path.c_str()));
                ++compared;
            }
        }
        for (const auto& [key, value] : writes) {
            ours.set("Vizorama", key, value);
            ours.set("Extra Section", key, value);
        }
        ASSERT_TRUE(ours.save(path)) << name;
        for (const char* section : {"Vizorama", "Extra Section"}) {
            for (const auto& [key, value] : writes) {
                char theirs[260];
                GetPrivateProfileStringA(section, key.c_str(), "DEF", theirs, sizeof theirs,
                                         path.c_str());
                EXPECT_EQ(value, theirs) << name << " [" << section << "] " << key;
            }
        }
        DeleteFileA(path.c_str());
    }
    RemoveDirectoryA(folder.c_str());
    EXPECT_GT(compared, 500);
}

// The utility and the plug-in read and write the same file from two processes: a reader must
// see the old or the new file whole, and a reader holding the file open must not make a write
// fail.
TEST(ProfileDifferential, AReaderNeverSeesHalfAWrittenFile) {
    const std::string folder = scratchFolder();
    const std::string path = folder + "shared.ini";
    ProfileFile file;
    for (int i = 0; i < 200; ++i) file.set("Vizorama", "key" + std::to_string(i), "value");
    ASSERT_TRUE(file.save(path));

    std::atomic<bool> done{false};
    int torn = 0, reads = 0;
    std::thread reader([&] {
        while (!done) {
            char last[16];
            GetPrivateProfileStringA("Vizorama", "key199", "", last, sizeof last, path.c_str());
            std::string text;
            platform::readWholeFile(path, text);
            torn += std::string(last) != "value" || text.find("key199=value") == std::string::npos;
            ++reads;
            Sleep(1);  // readers come back often, but not without pause
        }
    });
    int failedWrites = 0;
    for (int i = 0; i < 300; ++i) {
        file.set("Vizorama", "counter", std::to_string(i));
        failedWrites += !file.save(path);
    }
    done = true;
    reader.join();
    EXPECT_EQ(failedWrites, 0);
    EXPECT_EQ(torn, 0) << "of " << reads << " reads";
    EXPECT_GT(reads, 10);
    DeleteFileA(path.c_str());
    RemoveDirectoryA(folder.c_str());
}

}  // namespace
