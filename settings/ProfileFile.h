#pragma once
// An INI-style profile file held in memory, read and edited the way the Windows profile
// functions (GetPrivateProfileString, GetPrivateProfileInt, WritePrivateProfileString) treat the
// files this system meets:
//  - a line ends at any '\r' or '\n'; blanks are trimmed from both ends;
//  - "[name]" starts a section (name: the text between '[' and the last ']', trimmed);
//    keys before the first section belong to a section with an empty name;
//  - "key=value" is a key, trimmed on both sides of '='; a line without '=' is a key without
//    a value, which reads as absent but still counts as the key's first occurrence;
//  - section and key names compare case-insensitively; only the first section of a name is
//    searched, and the first occurrence of a key in it wins;
//  - a value wrapped in matching quotes is returned without them.
// Edits keep every other line as it was (other sections, unknown keys, comments, order, line
// endings); an existing key is replaced in place, a missing key is appended to its section and
// a missing section to the file.
// The text is held in one buffer that the lines point into; an object kept and loaded again
// reuses its buffers, so re-reading a file of the same size allocates nothing.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Platform.h"

class ProfileFile {
public:
    // The largest file load reads; a larger one is Failed, as one that cannot be read. Ours hold
    // a few kilobytes; a file of many megabytes read at every frame would stall the frames, and
    // its lines take several times its bytes in memory.
    static constexpr size_t kMaxFileBytes = size_t{16} << 20;

    // Reads the file at a native path; on Missing or Failed (unreadable, larger than
    // kMaxFileBytes, or more than memory holds) the profile is empty.
    platform::ReadResult load(const std::string& path);
    void parse(std::string_view text);

    // The value as GetPrivateProfileString returns it into a buffer of bufferSize characters
    // (at most bufferSize - 1 characters); fallback when the key is absent or has no value.
    std::string getString(std::string_view section, std::string_view key,
                          std::string_view fallback, size_t bufferSize) const;
    // The same text as a view into this profile (or into fallback), valid until the next
    // load, parse or edit.
    std::string_view value(std::string_view section, std::string_view key,
                           std::string_view fallback, size_t bufferSize) const;

    // The value as GetPrivateProfileInt parses it: fallback when the key is absent or its value
    // is empty; otherwise the leading number (optional sign, then decimal digits or a "0x",
    // "0o" or "0b" prefix and digits of that base), 0 when the value starts with no digit.
    uint32_t getInt(std::string_view section, std::string_view key, uint32_t fallback) const;

    // Sets key=value in section. A line break in value ends it, so a value cannot add lines.
    void set(std::string_view section, std::string_view key, std::string_view value);

    std::string text() const;

    // Replaces the file at a native path atomically with text().
    bool save(const std::string& path) const;

private:
    enum class Kind { Other, Section, Key };
    // A piece of text_: offset and length.
    struct Span {
        size_t at = 0, size = 0;
    };
    struct Line {
        Span raw;  // the line as in the file, without its line break
        Span eol;  // the run of '\r' and '\n' after it, empty at the end of the file
        Kind kind = Kind::Other;
        Span name;
        bool hasValue = false;
        Span value;
    };

    std::string_view view(Span span) const { return {text_.data() + span.at, span.size}; }
    // Appends text to the buffer (it must not point into the buffer) and returns its span.
    Span store(std::string_view text);
    // Splits text_ from offset start into lines.
    void index(size_t start);
    Line classify(Span raw, Span eol) const;
    // The first line break of a run of line breaks.
    Span firstBreak(Span eol) const;
    // Index of the header line of the first section called section, or npos.
    size_t findSection(std::string_view section) const;
    // The first line after a section's header (the root section has none).
    size_t firstLineOf(size_t sectionLine) const;
    // Index of the first line of key in the section whose header is at sectionLine, or npos.
    size_t findKey(size_t sectionLine, std::string_view key) const;

    static constexpr size_t kRootSection = static_cast<size_t>(-2);

    std::string text_;  // the file's text, then the text of any edited lines
    std::vector<Line> lines_;
    Span newline_;  // the file's first line break ("\r\n" for a new file)
    bool byteOrderMark_ = false;
};

// Parses the leading integer of text as the Windows runtime does for profile integers.
uint32_t parseProfileInteger(std::string_view text);
