#pragma once
// The live picture of tests and off-screen tools, where there is no window to copy: a generated
// test card that moves a little at every capture (counted by headless::windowCaptures()).

#include <vector>

#include "platform/LivePicture.h"

namespace platform::headless {

class TestCard : public LivePicture {
public:
    TestCard();
    void capture() override;
    const uint8_t* pixels() const override { return pixels_.data(); }

private:
    std::vector<uint8_t> pixels_;
    int step_ = 0;
};

}  // namespace platform::headless
