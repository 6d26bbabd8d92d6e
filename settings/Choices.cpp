#include "settings/Choices.h"

#include <atomic>

WindowSize ChoiceTraits<WindowSize>::parse(std::string_view text) {
    using Placement = WindowSize::Placement;
    static constexpr int kModes[][2] = {{640, 480},   {800, 600},   {1024, 768},
                                        {1152, 864},  {1280, 1024}, {1600, 1200}};
    const size_t i = names().find(text);
    if (i < choices::kDockedSizes.count) return {Placement::Docked, 0, 0};
    size_t mode = i - choices::kDockedSizes.count;
    if (mode < choices::kFullScreenSizes.count)
        return {Placement::FullScreen, kModes[mode][0], kModes[mode][1]};
    if (i < names().count) return {Placement::Windowed, text[0] - '0', text[2] - '0'};
    return {};
}

TextStamp ChoiceTraits<TextStamp>::parse(std::string_view) {
    static std::atomic<uint32_t> last{0};
    return {last.fetch_add(1, std::memory_order_relaxed) + 1};
}
