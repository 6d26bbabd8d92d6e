#include "settings/ProfileFile.h"

#include <algorithm>
#include <cctype>
#include <new>

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

// The value a buffer of bufferSize characters receives, dropping matching quotes around it,
// exactly as the profile reader does (including its handling of a cut quoted value).
std::string_view copyEntry(std::string_view value, size_t bufferSize) {
    if (bufferSize == 0) return {};
    bool quoted = false;
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        quoted = true;
        value.remove_prefix(1);
    }
    std::string_view out = value.substr(0, bufferSize - 1);
    if (quoted && bufferSize >= value.size() && !out.empty()) out.remove_suffix(1);
    return out;
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

ProfileFile::Span ProfileFile::store(std::string_view text) {
    Span span{text_.size(), text.size()};
    text_.append(text);
    return span;
}

ProfileFile::Span ProfileFile::firstBreak(Span eol) const {
    std::string_view v = view(eol);
    return {eol.at, v.substr(0, 2) == "\r\n" ? 2u : std::min<size_t>(1, v.size())};
}

ProfileFile::Line ProfileFile::classify(Span raw, Span eol) const {
    Line line;
    line.raw = raw;
    line.eol = eol;
    const std::string_view whole = view(raw);
    auto spanOf = [&](std::string_view part) { return Span{raw.at + (part.data() - whole.data()), part.size()}; };
    std::string_view s = trim(whole);
    if (s.empty()) return line;
    if (s.front() == '[') {
        size_t close = s.rfind(']');
        if (close != npos && close > 0) {
            line.kind = Kind::Section;
            line.name = spanOf(trim(s.substr(1, close - 1)));
            return line;
        }
    }
    line.kind = Kind::Key;
    size_t eq = s.find('=');
    if (eq == npos) {
        line.name = spanOf(s);
        return line;
    }
    line.name = spanOf(trim(s.substr(0, eq)));
    line.hasValue = true;
    line.value = spanOf(trim(s.substr(eq + 1)));
    return line;
}

void ProfileFile::index(size_t start) {
    lines_.clear();
    newline_ = {};
    byteOrderMark_ = std::string_view(text_).substr(start, 3) == "\xEF\xBB\xBF";
    if (byteOrderMark_) start += 3;
    const std::string_view text(text_);
    size_t pos = start;
    while (pos < text.size()) {
        // A line ends at any carriage return or line feed; the whole run of them that follows
        // is its line break (blank lines included), kept so the file is written back as it was.
        size_t end = text.find_first_of("\r\n", pos);
        if (end == npos) end = text.size();
        size_t next = text.find_first_not_of("\r\n", end);
        if (next == npos) next = text.size();
        Span eol{end, next - end};
        if (newline_.size == 0 && eol.size != 0) newline_ = firstBreak(eol);
        lines_.push_back(classify({pos, end - pos}, eol));
        pos = next;
    }
    if (newline_.size == 0) newline_ = store("\r\n");
}

void ProfileFile::parse(std::string_view text) {
    text_.assign(text.data(), text.size());
    index(0);
}

platform::ReadResult ProfileFile::load(const std::string& path) {
    platform::ReadResult result = platform::readWholeFile(path, text_, kMaxFileBytes);
    if (result != platform::ReadResult::Ok) text_.clear();
    try {
        index(0);
    } catch (const std::bad_alloc&) {
        // Millions of short lines take many times their bytes in the line list, more than a
        // 32-bit process may have to spare: such a file is one that cannot be read.
        text_.clear();
        lines_.clear();
        lines_.shrink_to_fit();
        index(0);
        result = platform::ReadResult::Failed;
    }
    return result;
}

size_t ProfileFile::findSection(std::string_view section) const {
    section = trim(section);
    // Keys before the first header belong to a section with an empty name.
    if (section.empty() && (lines_.empty() || lines_[0].kind != Kind::Section)) return kRootSection;
    for (size_t i = 0; i < lines_.size(); ++i)
        if (lines_[i].kind == Kind::Section && sameName(view(lines_[i].name), section)) return i;
    return npos;
}

size_t ProfileFile::findKey(size_t sectionLine, std::string_view key) const {
    key = trim(key);
    for (size_t i = firstLineOf(sectionLine); i < lines_.size() && lines_[i].kind != Kind::Section; ++i)
        if (lines_[i].kind == Kind::Key && sameName(view(lines_[i].name), key)) return i;
    return npos;
}

std::string_view ProfileFile::value(std::string_view section, std::string_view key,
                                    std::string_view fallback, size_t bufferSize) const {
    // The platform drops trailing spaces of the fallback text.
    while (fallback.size() > 1 && fallback.back() == ' ') fallback.remove_suffix(1);
    size_t sectionLine = findSection(section);
    size_t keyLine = sectionLine == npos ? npos : findKey(sectionLine, key);
    if (keyLine != npos && lines_[keyLine].hasValue)
        return copyEntry(view(lines_[keyLine].value), bufferSize);
    return copyEntry(fallback, bufferSize);
}

std::string ProfileFile::getString(std::string_view section, std::string_view key,
                                   std::string_view fallback, size_t bufferSize) const {
    return std::string(value(section, key, fallback, bufferSize));
}

uint32_t ProfileFile::getInt(std::string_view section, std::string_view key,
                             uint32_t fallback) const {
    // The platform reads the value through a 30-character buffer before parsing it.
    std::string_view text = value(section, key, "", 30);
    return text.empty() ? fallback : parseProfileInteger(text);
}

void ProfileFile::set(std::string_view section, std::string_view key, std::string_view value) {
    size_t cut = value.find_first_of("\r\n");
    if (cut != npos) value = value.substr(0, cut);
    section = trim(section);
    key = trim(key);
    // The arguments may point into the buffer, which grows below: work on copies.
    const std::string sectionName(section), keyName(key), text(value);
    if (newline_.size == 0) newline_ = store("\r\n");  // a profile never loaded nor parsed

    size_t sectionLine = findSection(sectionName);
    if (sectionLine == npos) {
        if (!lines_.empty()) {
            Line& last = lines_.back();
            if (last.eol.size == 0) last.eol = newline_;
            // A blank line before the new section.
            if (last.eol.size == firstBreak(last.eol).size)
                last.eol = store(std::string(view(last.eol)) + std::string(view(newline_)));
        }
        sectionLine = lines_.size();
        Span header = store("[" + sectionName + "]");
        lines_.push_back(classify(header, newline_));
    }
    size_t keyLine = findKey(sectionLine, keyName);
    if (keyLine != npos) {
        Line& line = lines_[keyLine];
        Span raw = store(std::string(view(line.name)) + "=" + text);
        line = classify(raw, line.eol);
        return;
    }
    // Append after the section's last line, before the blank lines that separate it from the
    // next section (they are part of that line's line break).
    size_t insertAt = firstLineOf(sectionLine);
    for (size_t i = insertAt; i < lines_.size() && lines_[i].kind != Kind::Section; ++i)
        if (lines_[i].kind != Kind::Other) insertAt = i + 1;
    Span eol = newline_;
    if (insertAt > 0) {
        Line& previous = lines_[insertAt - 1];
        Span first = previous.eol.size == 0 ? newline_ : firstBreak(previous.eol);
        std::string_view rest = view(previous.eol).substr(std::min(first.size, previous.eol.size));
        eol = store(std::string(view(newline_)) + std::string(rest));
        previous.eol = first;
    }
    Span raw = store(keyName + "=" + text);
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), classify(raw, eol));
}

size_t ProfileFile::firstLineOf(size_t sectionLine) const {
    return sectionLine == kRootSection ? 0 : sectionLine + 1;
}

std::string ProfileFile::text() const {
    std::string out = byteOrderMark_ ? "\xEF\xBB\xBF" : "";
    for (const Line& line : lines_) {
        out += view(line.raw);
        out += view(line.eol);
    }
    return out;
}

bool ProfileFile::save(const std::string& path) const {
    return platform::writeFileAtomically(path, text());
}
