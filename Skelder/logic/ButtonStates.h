#pragma once

// What the recorder toolbar shows for a given recording state: which buttons
// are enabled and which image the Record button wears. The toolbar window
// applies these; they are kept here so they can be checked without one.

// Indices into the toolbar's image strip.
namespace ToolbarImage {
constexpr int kMenu = 0;
constexpr int kClear = 1;
constexpr int kRecord = 2;
constexpr int kStop = 3;
constexpr int kSave = 4;
constexpr int kBlank = 11;  // background only: the Record circle "off" while blinking
}  // namespace ToolbarImage

// The Record button blinks in three steps: dark for one tick, lit for two.
constexpr unsigned kBlinkSteps = 3;

struct ButtonStates {
    bool stopEnabled;
    bool clearEnabled;
    bool saveEnabled;
    int recordImage;
};

// recording is 1 while recording, anything else means idle. stepCount is only
// looked at when the step list window exists.
ButtonStates DecideButtonStates(int recording, unsigned blinkPhase, bool hasStepList, unsigned stepCount);

// The phase after one timer tick; it only moves while recording.
unsigned NextBlinkPhase(int recording, unsigned blinkPhase);
