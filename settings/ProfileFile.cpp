#include "settings/ProfileFile.h"

#include <cctype>

namespace {

constexpr size_t npos = std::string::npos;

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f' ||
           c == '\x1a';
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// Copies a value into a buffer of bufferSize characters, dropping matching quotes around it,
// exactly as the profile reader does (including its handling of a cut quoted value).
std::string copyEntry(std::string_view value, size_t bufferSize) {
    if (bufferSize == 0) return {};
    bool quoted = false;
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        quoted = true;
        value.remove_prefix(1);
    }
    std::string out(value.substr(0, bufferSize - 1));
    if (quoted && bufferSize >= value.size() && !out.empty()) out.pop_back();
    return out;
}

// The first line break of a run of carriage returns and line feeds.
std::string firstBreak(std::string_view eol) {
    if (eol.substr(0, 2) == "\r\n") return "\r\n";
    return std::string(eol.substr(0, 1));
}

}  // namespace

uint32_t parseProfileInteger(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && static_cast<unsigned char>(text[i]) <= ' ') ++i;
    bool minus = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) minus = text[i++] == '-';
    unsigned base = 10;
    if (i + 1 < text.size() && text[i] == '0') {
        if (text[i + 1] == 'x') base = 16;
        else if (text[i + 1] == 'o') base = 8;
        else if (text[i + 1] == 'b') base = 2;
        if (base != 10) i += 2;
    }
    uint32_t total = 0;
    for (; i < text.size(); ++i) {
        char c = text[i];
        unsigned digit;
        if (c >= '0' && c <= '9') digit = static_cast<unsigned>(c - '0');
        else if (c >= 'a' && c <= 'z') digit = static_cast<unsigned>(c - 'a' + 10);
        else if (c >= 'A' && c <= 'Z') digit = static_cast<unsigned>(c - 'A' + 10);
        else break;
        if (digit >= base) break;
        total = total * base + digit;  // wraps modulo 2^32 as the runtime's parser does
    }
    return minus ? 0u - total : total;
}

ProfileFile::Line ProfileFile::classify(std::string raw, std::string eol) {
    Line line;
    line.raw = std::move(raw);
    line.eol = std::move(eol);
    std::string_view s = trim(line.raw);
    if (s.empty()) return line;
    if (s.front() == '[') {
        size_t close = s.rfind(']');
        if (close != npos && close > 0) {
            line.kind = Kind::Section;
            line.name = std::string(trim(s.substr(1, close - 1)));
            return line;
        }
    }
    line.kind = Kind::Key;
    size_t eq = s.find('=');
    if (eq == npos) {
        line.name = std::string(s);
        return line;
    }
    line.name = std::string(trim(s.substr(0, eq)));
    line.hasValue = true;
    line.value = std::string(trim(s.substr(eq + 1)));
    return line;
}

void ProfileFile::parse(std::string_view text) {
    lines_.clear();
    newline_ = "\r\n";
    byteOrderMark_ = text.size() >= 3 && text.substr(0, 3) == "\xEF\xBB\xBF";
    if (byteOrderMark_) text.remove_prefix(3);
    size_t pos = 0;
    while (pos < text.size()) {
        // A line ends at any carriage return or line feed; the whole run of them that follows
        // is its line break (blank lines included), kept so the file is written back as it was.
        size_t end = text.find_first_of("\r\n", pos);
        if (end == npos) end = text.size();
        size_t next = text.find_first_not_of("\r\n", end);
        if (next == npos) next = text.size();
        std::string eol(text.substr(end, next - end));
        if (lines_.empty() && !eol.empty()) newline_ = firstBreak(eol);
        lines_.push_back(classify(std::string(text.substr(pos, end - pos)), std::move(eol)));
        pos = next;
    }
}

platform::ReadResult ProfileFile::load(const std::string& path) {
    std::string contents;
    platform::ReadResult result = platform::readWholeFile(path, contents);
    parse(result == platform::ReadResult::Ok ? contents : std::string());
    return result;
}

size_t ProfileFile::findSection(std::string_view section) const {
    section = trim(section);
    // Keys before the first header belong to a section with an empty name.
    if (section.empty() && (lines_.empty() || lines_[0].kind != Kind::Section)) return kRootSection;
    for (size_t i = 0; i < lines_.size(); ++i)
        if (lines_[i].kind == Kind::Section && sameName(lines_[i].name, section)) return i;
    return npos;
}

size_t ProfileFile::findKey(size_t sectionLine, std::string_view key) const {
    key = trim(key);
    for (size_t i = firstLineOf(sectionLine); i < lines_.size() && lines_[i].kind != Kind::Section; ++i)
        if (lines_[i].kind == Kind::Key && sameName(lines_[i].name, key)) return i;
    return npos;
}

std::string ProfileFile::getString(std::string_view section, std::string_view key,
                                   std::string_view fallback, size_t bufferSize) const {
    // The platform drops trailing spaces of the fallback text.
    while (fallback.size() > 1 && fallback.back() == ' ') fallback.remove_suffix(1);
    size_t sectionLine = findSection(section);
    size_t keyLine = sectionLine == npos ? npos : findKey(sectionLine, key);
    if (keyLine != npos && lines_[keyLine].hasValue)
        return copyEntry(lines_[keyLine].value, bufferSize);
    return copyEntry(fallback, bufferSize);
}

uint32_t ProfileFile::getInt(std::string_view section, std::string_view key,
                             uint32_t fallback) const {
    // The platform reads the value through a 30-character buffer before parsing it.
    std::string text = getString(section, key, "", 30);
    return text.empty() ? fallback : parseProfileInteger(text);
}

void ProfileFile::set(std::string_view section, std::string_view key, std::string_view value) {
    size_t cut = value.find_first_of("\r\n");
    if (cut != npos) value = value.substr(0, cut);
    section = trim(section);
    key = trim(key);

    size_t sectionLine = findSection(section);
    if (sectionLine == npos) {
        if (!lines_.empty()) {
            std::string& eol = lines_.back().eol;
            if (eol.empty()) eol = newline_;
            if (eol == firstBreak(eol)) eol += newline_;  // a blank line before the new section
        }
        sectionLine = lines_.size();
        lines_.push_back(classify("[" + std::string(section) + "]", newline_));
    }
    size_t keyLine = findKey(sectionLine, key);
    if (keyLine != npos) {
        Line& line = lines_[keyLine];
        line = classify(line.name + "=" + std::string(value), line.eol);
        return;
    }
    // Append after the section's last line, before the blank lines that separate it from the
    // next section (they are part of that line's line break).
    size_t insertAt = firstLineOf(sectionLine);
    for (size_t i = insertAt; i < lines_.size() && lines_[i].kind != Kind::Section; ++i)
        if (lines_[i].kind != Kind::Other) insertAt = i + 1;
    std::string eol = newline_;
    if (insertAt > 0) {
        Line& previous = lines_[insertAt - 1];
        std::string first = previous.eol.empty() ? newline_ : firstBreak(previous.eol);
        eol = newline_ + previous.eol.substr(std::min(first.size(), previous.eol.size()));
        previous.eol = first;
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt),
                  classify(std::string(key) + "=" + std::string(value), eol));
}

size_t ProfileFile::firstLineOf(size_t sectionLine) const {
    return sectionLine == kRootSection ? 0 : sectionLine + 1;
}

std::string ProfileFile::text() const {
    std::string out = byteOrderMark_ ? "\xEF\xBB\xBF" : "";
    for (const Line& line : lines_) {
        out += line.raw;
        out += line.eol;
    }
    return out;
}

bool ProfileFile::save(const std::string& path) const {
    return platform::writeFileAtomically(path, text());
}
