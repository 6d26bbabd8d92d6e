#include <gtest/gtest.h>

#include "settings/ProfileFile.h"

namespace {

std::string get(const ProfileFile& f, const char* section, const char* key,
                size_t buffer = 260) {
    return f.getString(section, key, "DEFAULT", buffer);
}

TEST(ProfileFile, ReadsLikeThePlatformProfileReader) {
    ProfileFile f;
    f.parse(
        "orphan=before any section\r\n"
        "[ other ]\r\n"
        "key=in other\r\n"
        "  [ViZoRaMa]  \r\n"
        "  Spaced Key   =   spaced value   \r\n"
        "UPPER=upper\r\n"
        "noequals\r\n"
        "noEquals=later\r\n"
        "empty=\r\n"
        "quoted=\"in quotes\"\r\n"
        "single='x'\r\n"
        "halfquoted=\"open\r\n"
        "dup=first\r\n"
        "DUP=second\r\n"
        "[vizorama]\r\n"
        "insecond=never seen\r\n"
        "[last]\r\n"
        "tail=no newline at the end");
    EXPECT_EQ(get(f, "Vizorama", "spaced key"), "spaced value");
    EXPECT_EQ(get(f, "  VIZORAMA ", " upper "), "upper");
    EXPECT_EQ(get(f, "Vizorama", "key"), "DEFAULT");  // belongs to [other]
    EXPECT_EQ(get(f, "other", "key"), "in other");
    EXPECT_EQ(get(f, "Vizorama", "orphan"), "DEFAULT");
    EXPECT_EQ(get(f, "", "orphan"), "before any section");
    // A line without '=' is the first occurrence of its key and has no value.
    EXPECT_EQ(get(f, "Vizorama", "noequals"), "DEFAULT");
    EXPECT_EQ(get(f, "Vizorama", "empty"), "");
    EXPECT_EQ(get(f, "Vizorama", "quoted"), "in quotes");
    EXPECT_EQ(get(f, "Vizorama", "single"), "x");
    EXPECT_EQ(get(f, "Vizorama", "halfquoted"), "\"open");
    EXPECT_EQ(get(f, "Vizorama", "dup"), "first");
    // Only the first section of a name is searched.
    EXPECT_EQ(get(f, "Vizorama", "insecond"), "DEFAULT");
    EXPECT_EQ(get(f, "last", "tail"), "no newline at the end");
    EXPECT_EQ(get(f, "missing", "tail"), "DEFAULT");
    EXPECT_EQ(get(f, "Vizorama", "quoted", 5), "in q");
}

TEST(ProfileFile, SplitsLinesAtLineFeedsAndLoneCarriageReturns) {
    ProfileFile lf, cr, mixed;
    lf.parse("[s]\na=1\nb=2\n");
    cr.parse("[s]\ra=1\rb=2");
    mixed.parse("[s]\r\n\r\na=1\r\rb=2\n");
    for (const ProfileFile* f : {&lf, &cr, &mixed}) {
        EXPECT_EQ(get(*f, "s", "a"), "1");
        EXPECT_EQ(get(*f, "s", "b"), "2");
    }
}

TEST(ProfileFile, ParsesIntegersAsTheProfileReaderDoes) {
    EXPECT_EQ(parseProfileInteger("151"), 151u);
    EXPECT_EQ(parseProfileInteger("-5"), 0u - 5u);
    EXPECT_EQ(parseProfileInteger("+7"), 7u);
    EXPECT_EQ(parseProfileInteger("0x003f7fff"), 0x3f7fffu);
    EXPECT_EQ(parseProfileInteger("0xFFffFFff"), 0xffffffffu);
    EXPECT_EQ(parseProfileInteger("0X10"), 0u);  // the prefix is lower-case only
    EXPECT_EQ(parseProfileInteger("12abc"), 12u);
    EXPECT_EQ(parseProfileInteger("abc"), 0u);
    EXPECT_EQ(parseProfileInteger("  42"), 42u);
    EXPECT_EQ(parseProfileInteger("0b101"), 5u);
    EXPECT_EQ(parseProfileInteger("4294967296"), 0u);  // wraps at 32 bits

    ProfileFile f;
    f.parse("[s]\nempty=\nword=yes\nquoted=\"12\"\nlong=000000000000000000000000000012\n");
    EXPECT_EQ(f.getInt("s", "empty", 16), 16u);
    EXPECT_EQ(f.getInt("s", "absent", 16), 16u);
    EXPECT_EQ(f.getInt("s", "word", 16), 0u);
    EXPECT_EQ(f.getInt("s", "quoted", 16), 12u);
    // Read through a 30-character buffer: the 30th digit is cut off.
    EXPECT_EQ(f.getInt("s", "long", 16), 1u);
}

TEST(ProfileFile, EditsKeepEverythingElse) {
    ProfileFile f;
    f.parse(
        "; a comment\r\n"
        "[Other]\r\n"
        "keep=me\r\n"
        "\r\n"
        "[Vizorama]\r\n"
        "Unknown=stays\r\n"
        "VUMTYPE = Beam\r\n"
        "\r\n"
        "[Third]\r\n"
        "x=1");
    f.set("Vizorama", "vumType", "Double Fixed Point");
    f.set("Vizorama", "added", "new");
    f.set("Third", "y", "2");
    f.set("Fresh", "k", "v\r\ninjected=1");
    EXPECT_EQ(f.text(),
              "; a comment\r\n"
              "[Other]\r\n"
              "keep=me\r\n"
              "\r\n"
              "[Vizorama]\r\n"
              "Unknown=stays\r\n"
              "VUMTYPE=Double Fixed Point\r\n"
              "added=new\r\n"
              "\r\n"
              "[Third]\r\n"
              "x=1\r\n"
              "y=2\r\n"
              "\r\n"
              "[Fresh]\r\n"
              "k=v\r\n");

    ProfileFile unix;
    unix.parse("[s]\nnovalue\n");
    unix.set("s", "novalue", "now");
    unix.set("s", "b", "2");
    EXPECT_EQ(unix.text(), "[s]\nnovalue=now\nb=2\n");

    ProfileFile empty;
    empty.set("Vizorama", "a", "1");
    EXPECT_EQ(empty.text(), "[Vizorama]\r\na=1\r\n");
}

}  // namespace
