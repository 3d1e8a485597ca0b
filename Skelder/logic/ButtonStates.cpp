#include "ButtonStates.h"

ButtonStates DecideButtonStates(int recording, unsigned blinkPhase, bool hasStepList, unsigned stepCount) {
    const bool isRecording = recording == 1;
    const bool hasSteps = hasStepList && stepCount > 0;
    ButtonStates states{};
    states.stopEnabled = isRecording;
    states.clearEnabled = hasSteps;
    states.saveEnabled = hasSteps;
    states.recordImage = (isRecording && blinkPhase == 0) ? ToolbarImage::kBlank : ToolbarImage::kRecord;
    return states;
}

unsigned NextBlinkPhase(int recording, unsigned blinkPhase) {
    if (recording != 1) return blinkPhase;
    return (blinkPhase + 1) % kBlinkSteps;
}
