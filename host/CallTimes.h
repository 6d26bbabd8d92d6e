#pragma once
// What a user waits for when choosing the plug-in or a model, timed around the plug-in's calls:
// from the call of Init to the first frame on screen, from a change of the settings file (a
// model or a sky switched on, off or to another) to the first frame drawn with it, and Quit.
//
// Render only asks for a frame; the plug-in draws it when its window's thread (the caller's)
// handles the repaint. A frame is therefore on screen when, after its Render, the caller's
// message queue has run empty: the repaint has been dispatched and the picture swapped.

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

// One change of the settings file: a name to print and the keys it writes.
struct SettingsSwitch {
    std::string name;
    std::vector<std::pair<std::string, std::string>> keys;
};

// Reads "NAME:KEY=VALUE[,KEY=VALUE...]"; false when it is not of that form.
bool parseSettingsSwitch(const std::string& text, SettingsSwitch& out);

// Milliseconds since an arbitrary moment, to the performance counter's resolution.
double nowMs();

class CallTimes {
public:
    // switches are applied in order, each once the frames after the start or the previous switch
    // reach framesBetween; settingsPath is the file the plug-in reads at every frame.
    CallTimes(std::vector<SettingsSwitch> switches, long framesBetween, std::string settingsPath,
              HMODULE library);

    // The frames a run needs for every switch to be shown and timed.
    long framesNeeded() const;

    void beforeInit();
    void afterInit();
    // Just before Render of frame number `frame` (from 0 in this start): writes the switch that
    // is due, if one is, and starts the frame's clock.
    void beforeRender(long frame);
    // The caller's queue ran empty after a Render: the frame asked for is on screen.
    void framePainted();
    void beforeQuit();
    void afterQuit();

private:
    void applySwitch(const SettingsSwitch& change);
    // What the test build of the plug-in tells about the model and sky it shows; empty for the
    // shipped plug-in.
    std::string shown() const;
    // The test build's count of look changes; -1 for the shipped plug-in.
    int lookChanges() const;
    void printFrameTimes() const;

    std::vector<SettingsSwitch> switches_;
    long framesBetween_;
    std::string settingsPath_;
    HMODULE library_;
    size_t nextSwitch_ = 0;
    double initStart_ = 0;
    double renderStart_ = 0;
    double quitStart_ = 0;
    bool framePending_ = false;
    bool firstFrame_ = false;
    const SettingsSwitch* pendingSwitch_ = nullptr;
    std::vector<double> plainFrames_;  // Render to screen of frames that loaded nothing new
    // Every frame's Render to screen after the first, and of those the frames that changed the
    // look (as the test build of the plug-in counts the changes) with the frame after them.
    std::vector<double> frames_, changeFrames_;
    std::vector<size_t> changeAt_;  // where in frames_ each change frame is
    int lookChanges_ = 0;
    bool afterChange_ = false;
};
