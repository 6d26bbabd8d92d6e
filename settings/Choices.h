#pragma once
// The values the named settings take, in the order the configuration utility lists them and
// the Linux program's keys step through them, and the record's fields that hold them: the
// text as the file has it (kept as it is, known or not, to be written back) together with
// the value it names, found once when the text changes so that the frames never compare text.

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <ostream>
#include <string>
#include <string_view>

namespace choices {

inline constexpr const char* kOscilloscopeTypes[] = {"Waveform", "No Filter", "Sine Filter",
                                                     "Cosine Filter"};
inline constexpr const char* kRenderingModes[] = {"Plain",     "Striped", "Checked",  "Water",
                                                  "Explosion", "Smoke",   "Wireframe"};
inline constexpr const char* kSamplingRates[] = {"1x1", "2x1", "3x1", "4x1", "1x2", "2x2",
                                                 "3x2", "4x2", "1x3", "2x3", "3x3", "4x3",
                                                 "1x4", "2x4", "3x4", "4x4"};
inline constexpr const char* kVuMeterTypes[] = {"Single Fixed Point", "Double Fixed Point", "Beam"};
inline constexpr const char* kCameraMotions[] = {"Scan Left", "Scan Right",      "Scan Up",
                                                 "Scan Down", "Spin",            "View From Above",
                                                 "View From Beneath"};
inline constexpr const char* kModelEffects[] = {"Enclose", "Ghost", "Motion Blur"};
inline constexpr const char* kColourMaps[] = {"RGB", "RBG", "GRB", "GBR", "BRG", "BGR"};
// When the look changes by itself, and in what order the looks come.
inline constexpr const char* kLookChanges[] = {"Off", "Timer", "Beat"};
inline constexpr const char* kLookOrders[] = {"In Turn", "Shuffle"};
// The stroboscope's slider runs from 0 (off) to this many steps.
inline constexpr unsigned kMaxStroboscope = 10;

// A list of names: where it starts and how many it holds.
struct NameList {
    const char* const* names = nullptr;
    size_t count = 0;

    template <size_t N>
    constexpr NameList(const char* const (&list)[N]) : names(list), count(N) {}
    constexpr NameList() = default;
    constexpr NameList(const char* const* list, size_t n) : names(list), count(n) {}
    const char* const* begin() const { return names; }
    const char* const* end() const { return names + count; }
    // The position of text in the list (compared exactly), or count when it is not there.
    size_t find(std::string_view text) const {
        for (size_t i = 0; i < count; ++i)
            if (text == names[i]) return i;
        return count;
    }
};

// The window sizes in the utility's three groups, one after the other: docked in the player,
// full screen at a display mode, and windowed at a number of the player's units across, down.
inline constexpr const char* kWindowSizes[] = {
    "Docked",                                                                        //
    "640x480", "800x600", "1024x768", "1152x864", "1280x1024", "1600x1200",          //
    "1x1",     "1x2",     "1x3",      "2x1",      "2x2",       "2x3",       "3x1", "3x2", "3x3"};
inline constexpr NameList kDockedSizes{kWindowSizes, 1};
inline constexpr NameList kFullScreenSizes{kWindowSizes + 1, 6};
inline constexpr NameList kWindowedSizes{kWindowSizes + 7, 9};

}  // namespace choices

// Each list's values in its order; Unknown stands for any text not on the list.
enum class OscilloscopeType : uint8_t { Waveform, NoFilter, SineFilter, CosineFilter, Unknown };
enum class RenderingMode : uint8_t {
    Plain, Striped, Checked, Water, Explosion, Smoke, Wireframe, Unknown
};
enum class VuMeterType : uint8_t { SingleFixedPoint, DoubleFixedPoint, Beam, Unknown };
enum class CameraMotion : uint8_t {
    ScanLeft, ScanRight, ScanUp, ScanDown, Spin, ViewFromAbove, ViewFromBeneath, Unknown
};
enum class ModelEffect : uint8_t { Enclose, Ghost, MotionBlur, Unknown };
enum class ColourMap : uint8_t { RGB, RBG, GRB, GBR, BRG, BGR, Unknown };
enum class LookChange : uint8_t { Off, Timer, Beat, Unknown };
enum class LookOrder : uint8_t { InTurn, Shuffle, Unknown };

// The oscilloscope's grid: ten columns and ten rows for each step of "CxR", 1 to 4 each.
struct SamplingRate {
    int columns = 0, rows = 0;  // 0 for a text that names no grid
    bool known() const { return columns > 0; }
    bool operator==(const SamplingRate& o) const { return columns == o.columns && rows == o.rows; }
    bool operator!=(const SamplingRate& o) const { return !(*this == o); }
};

// A free name (a sky's or a model's folder): its value is a stamp that a new text gets, so that
// a part that loaded one name tells a change of setting by comparing two numbers (LoadedName).
struct TextStamp {
    uint32_t serial = 0;
    bool operator==(const TextStamp& o) const { return serial == o.serial; }
    bool operator!=(const TextStamp& o) const { return serial != o.serial; }
};

// Where and how large the render window is.
struct WindowSize {
    enum class Placement : uint8_t { Docked, FullScreen, Windowed, Unknown };
    Placement placement = Placement::Unknown;
    // Full screen: the display mode's pixels; windowed: the player's units across and down.
    int width = 0, height = 0;
    bool fullScreen() const { return placement == Placement::FullScreen; }
};

// How each field's text turns into its value.
template <typename Value>
struct ChoiceTraits;

#define VZRM_CHOICE_LIST(Enum, list)                                                    \
    template <>                                                                         \
    struct ChoiceTraits<Enum> {                                                         \
        static_assert(static_cast<size_t>(Enum::Unknown) == std::size(choices::list),   \
                      "one value for each name, Unknown last");                         \
        static constexpr choices::NameList names() { return choices::list; }            \
        static Enum parse(std::string_view text) {                                      \
            return static_cast<Enum>(names().find(text));                               \
        }                                                                               \
    };
VZRM_CHOICE_LIST(OscilloscopeType, kOscilloscopeTypes)
VZRM_CHOICE_LIST(RenderingMode, kRenderingModes)
VZRM_CHOICE_LIST(VuMeterType, kVuMeterTypes)
VZRM_CHOICE_LIST(CameraMotion, kCameraMotions)
VZRM_CHOICE_LIST(ModelEffect, kModelEffects)
VZRM_CHOICE_LIST(ColourMap, kColourMaps)
VZRM_CHOICE_LIST(LookChange, kLookChanges)
VZRM_CHOICE_LIST(LookOrder, kLookOrders)
#undef VZRM_CHOICE_LIST

template <>
struct ChoiceTraits<SamplingRate> {
    static constexpr choices::NameList names() { return choices::kSamplingRates; }
    static SamplingRate parse(std::string_view text) {
        const size_t i = names().find(text);
        if (i == names().count) return {};
        return {10 * static_cast<int>(i % 4 + 1), 10 * static_cast<int>(i / 4 + 1)};
    }
};

template <>
struct ChoiceTraits<WindowSize> {
    static constexpr choices::NameList names() { return choices::kWindowSizes; }
    static WindowSize parse(std::string_view text);
};

template <>
struct ChoiceTraits<TextStamp> {
    static constexpr choices::NameList names() { return {}; }
    static TextStamp parse(std::string_view text);  // a new stamp, unique in the process
};

// The value a text names, as a setting holding it would have it.
template <typename Value>
Value choiceValue(std::string_view text) {
    return ChoiceTraits<Value>::parse(text);
}

// A setting's text and the value it names, always in step: the value is found when the text
// is assigned, and only when it differs from the text held (so that a frame reading the same
// file again finds no work).
template <typename Value>
class Choice {
public:
    Choice() : value_(ChoiceTraits<Value>::parse({})) {}
    explicit Choice(std::string_view text) : text_(text), value_(ChoiceTraits<Value>::parse(text)) {}

    Choice& operator=(std::string_view text) {
        if (text != text_) {
            text_.assign(text.data(), text.size());  // keeps the buffer's size between reads
            value_ = ChoiceTraits<Value>::parse(text);
        }
        return *this;
    }

    const std::string& text() const { return text_; }
    const Value& value() const { return value_; }
    // The names this setting offers, in order.
    static constexpr choices::NameList names() { return ChoiceTraits<Value>::names(); }

    bool empty() const { return text_.empty(); }
    friend bool operator==(const Choice& c, std::string_view text) { return c.text_ == text; }
    friend bool operator!=(const Choice& c, std::string_view text) { return c.text_ != text; }
    friend std::ostream& operator<<(std::ostream& out, const Choice& c) { return out << c.text_; }

private:
    std::string text_;
    Value value_;
};

// The name of the folder a part has loaded, and whether a name setting still names it. A frame
// compares stamps; the names are compared only once after the setting's text has changed.
class LoadedName {
public:
    bool differsFrom(const Choice<TextStamp>& setting) const {
        if (setting.value() != seen_) {
            seen_ = setting.value();
            differs_ = setting.text() != name_;
        }
        return differs_;
    }
    void take(const Choice<TextStamp>& setting) {
        name_ = setting.text();
        seen_ = setting.value();
        differs_ = false;
    }
    const std::string& text() const { return name_; }

private:
    std::string name_;
    mutable TextStamp seen_;
    mutable bool differs_ = false;
};
