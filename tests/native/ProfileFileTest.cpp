// The reader is compared with the platform's own profile functions under Wine; here it meets
// awkward input under the sanitizers, and edits must keep the rest of the file.
#include <gtest/gtest.h>

#include "settings/ProfileFile.h"

namespace {

TEST(ProfileFile, ReadsAwkwardFilesLikeThePlatformProfileReader) {
    ProfileFile f;
    f.parse(
        "orphan=before any section\r\n[ other ]\r\nkey=in other\r\n  [ViZoRaMa]  \r\n"
        "  Spaced Key   =   spaced value   \r\nnoequals\r\nnoEquals=later\r\nempty=\r\n"
        "quoted=\"in quotes\"\r\nhalfquoted=\"open\r\ndup=first\r\nDUP=second\rhex=0x003f7fff\n"
        "junk=12abc\r\n[vizorama]\r\ninsecond=never seen\r\n[last]\r\ntail=no newline");
    const struct {
        const char *section, *key, *value;
        size_t buffer;
    } reads[] = {
        {"Vizorama", "spaced key", "spaced value", 260},
        {"", "orphan", "before any section", 260},
        {"Vizorama", "noequals", "DEFAULT", 260},  // the first occurrence has no value
        {"Vizorama", "quoted", "in quotes", 260},
        {"Vizorama", "quoted", "in q", 5},
        {"Vizorama", "halfquoted", "\"open", 260},
        {"Vizorama", "dup", "first", 260},
        {"Vizorama", "insecond", "DEFAULT", 260},  // only the first section of a name counts
        {"last", "tail", "no newline", 260},
    };
    for (const auto& r : reads)
        EXPECT_EQ(f.getString(r.section, r.key, "DEFAULT", r.buffer), r.value)
            << "[" << r.section << "] " << r.key;
    EXPECT_EQ(f.getInt("Vizorama", "hex", 16), 0x3f7fffu);
    EXPECT_EQ(f.getInt("Vizorama", "junk", 16), 12u);
    EXPECT_EQ(f.getInt("Vizorama", "empty", 16), 16u);
    EXPECT_EQ(parseProfileInteger("4294967296"), 0u);  // wraps at 32 bits
}

TEST(ProfileFile, EditsKeepEverythingElse) {
    ProfileFile f;
    f.parse(
        "; a comment\r\n[Other]\r\nkeep=me\r\n\r\n[Vizorama]\r\nUnknown=stays\r\n"
        "VUMTYPE = Beam\r\n\r\n[Third]\r\nx=1");
    f.set("Vizorama", "vumType", "Double Fixed Point");
    f.set("Vizorama", "added", "new");
    f.set("Third", "y", "2");
    f.set("Fresh", "k", "v\r\ninjected=1");
    EXPECT_EQ(f.text(),
              "; a comment\r\n[Other]\r\nkeep=me\r\n\r\n[Vizorama]\r\nUnknown=stays\r\n"
              "VUMTYPE=Double Fixed Point\r\nadded=new\r\n\r\n[Third]\r\nx=1\r\ny=2\r\n\r\n"
              "[Fresh]\r\nk=v\r\n");

    ProfileFile unix;
    unix.parse("[s]\nnovalue\n");
    unix.set("s", "novalue", "now");
    unix.set("s", "b", "2");
    EXPECT_EQ(unix.text(), "[s]\nnovalue=now\nb=2\n");

    ProfileFile fresh;  // never loaded: Windows line breaks
    fresh.set("s", "a", "1");
    fresh.set("s", "b", "2");
    EXPECT_EQ(fresh.text(), "[s]\r\na=1\r\nb=2\r\n");
}

}  // namespace
