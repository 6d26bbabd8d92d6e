#pragma once
// Changes the look on screen: by hand (the next, the previous) and by itself, every lookSeconds
// ("Timer") or at the first strong beat after them ("Beat"), in the library's order ("In Turn")
// or shuffled ("Shuffle": each look once a round, in a new order each round). The look timer
// counts wall-clock seconds, from the last change or from when the mode or look was last set.
//
// What is on screen is what the settings file says: a change copies the look's keys into the
// record and writes them with lookName through the host in one replacement of the file. Before
// the first change away from settings that match no look, those settings are saved as the
// user's look ("My look", "My look 2", ...), so nothing the user made is lost.
// At each change (never at a start) the look's name shows for two seconds in the picture's
// bottom left corner. A timer's change blends (LookBlend): the frame it falls due copies its
// picture, and the next frame brings the new look under it; a change on the beat or by hand is
// a hard cut.

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "readers/LookLibrary.h"
#include "scene/LookBlend.h"
#include "scene/Overlay.h"
#include "scene/StrongBeat.h"

class SceneHost;
struct FrameState;

// Seconds on a clock that never goes back; tests hand the changer a clock of their own.
using LookClock = double (*)();
double steadySeconds();

// The keys every front end gives the looks, a line each for a help overlay: Right, Left, A.
const std::vector<std::string>& lookKeyHelp();
// The look on screen and how it changes, in a line: "Look: Deep Water, Timer 30 s, Shuffle"
// ("your own" when the settings name no look).
std::string lookStatus(const Settings& settings);

// The lines of a front end's help overlay: the title, the keys of the choices, the front end's
// own keys, the looks' keys, then the look on screen and the current choices.
std::vector<std::string> helpLines(const std::string& title, const std::vector<std::string>& ownKeys,
                                   const Settings& settings);

class LookChanger {
public:
    explicit LookChanger(LookClock clock = steadySeconds) : clock_(clock) {}
    void setClock(LookClock clock) { clock_ = clock; }
    // The shuffle's random numbers start from this seed (tests make them repeat).
    void seed(uint32_t value) { round_.random.seed(value); }

    // Once a frame, after the frame's audio values: an automatic change when it is due.
    // Whether the look changed.
    bool frame(Settings& settings, const FrameState& frame, SceneHost& host);

    // By hand: the next look (step 1) or the previous (step -1). Whether the look changed.
    bool step(int direction, Settings& settings, SceneHost& host);
    // By hand: lookChange steps Off, Timer, Beat, Off, ... and is written to the file.
    void stepMode(Settings& settings, SceneHost& host);

    // The look an automatic change would bring next, empty when there is none. Known in advance,
    // so that its model and sky can be prepared while the current look plays.
    std::string upcoming(const Settings& settings, SceneHost& host);

    // The looks as last listed.
    const LookLibrary& library() const { return library_; }
    // How many changes this changer made, and when the last one was (on its clock).
    int changes() const { return changes_; }
    double lastChangeAt() const { return lastChangeAt_; }
    bool lastChangeOnBeat() const { return lastOnBeat_; }

    // Once a frame, after the scene is drawn: the old look's picture fading out over the new
    // one, the copy of the picture for a blend that is due, and the name of the look just
    // changed to, while it shows (over the viewport; the OpenGL state is left as found).
    void endFrame();
    // Whether the old look's picture is fading out now.
    bool blending() const { return blend_.active(clock_()); }
    // Deletes what lives in the rendering context (which must be current).
    void release() { blend_.release(); }

private:
    // The shuffle's round: looks by name, the position of the one on screen in it, and the
    // random numbers the next rounds' orders come from.
    struct Round {
        std::vector<std::string> names;
        size_t at = 0;
        std::mt19937 random{0x5eed};
    };

    bool changeBy(int direction, Settings& settings, SceneHost& host, bool onBeat);
    void refreshLibrary(SceneHost& host);
    // The position in the library of the look on screen; saves the user's own settings first
    // when they match no look. npos when there is none, or when they could not be saved
    // (saveFailed, and the user is told).
    size_t currentLook(Settings& settings, SceneHost& host, bool& saveFailed);
    // The look that follows current (npos: none on screen) in direction, in the library's
    // order or the shuffle's round (which it moves on); npos when there is none.
    size_t following(size_t current, int direction, bool shuffled, Round& round) const;
    bool apply(size_t index, Settings& settings, SceneHost& host, bool onBeat);
    void restartTimer(const Settings& settings, double now);

    LookClock clock_;
    LookLibrary library_;
    StrongBeat beats_;
    Overlay caption_;
    LookBlend blend_;
    bool captureDue_ = false;  // the timer's change falls due: copy this frame's picture
    bool captured_ = false;    // and change at the next
    Round round_;
    // What the timer counts from, and the settings it was started for.
    double since_ = 0;
    bool timing_ = false;
    LookChange mode_ = LookChange::Off;
    TextStamp nameSeen_;
    uint32_t secondsSeen_ = 0;
    bool held_ = false;  // automatic changes wait: the user's settings could not be saved
    int changes_ = 0;
    double lastChangeAt_ = 0;
    bool lastOnBeat_ = false;
};
