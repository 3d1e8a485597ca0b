#include "ButtonStates.h"

#include <gtest/gtest.h>

namespace {

struct StateCase {
    const char* name;
    int recording;
    bool hasStepList;
    unsigned stepCount;
    bool stop;
    bool clearAndSave;
};

class ButtonStateTable : public testing::TestWithParam<StateCase> {};

TEST_P(ButtonStateTable, EnablesTheButtonsOfTheState) {
    const StateCase& c = GetParam();
    const ButtonStates states = DecideButtonStates(c.recording, 1, c.hasStepList, c.stepCount);
    EXPECT_EQ(states.stopEnabled, c.stop);
    EXPECT_EQ(states.clearEnabled, c.clearAndSave);
    EXPECT_EQ(states.saveEnabled, c.clearAndSave);
}

INSTANTIATE_TEST_SUITE_P(
    States, ButtonStateTable,
    testing::Values(StateCase{"IdleWithoutStepList", 0, false, 0, false, false},
                    StateCase{"IdleWithoutStepListIgnoresCount", 0, false, 7, false, false},
                    StateCase{"IdleNoSteps", 0, true, 0, false, false},
                    StateCase{"IdleWithSteps", 0, true, 3, false, true},
                    StateCase{"RecordingWithoutStepList", 1, false, 0, true, false},
                    StateCase{"RecordingNoSteps", 1, true, 0, true, false},
                    StateCase{"RecordingWithSteps", 1, true, 1, true, true},
                    StateCase{"RecordingManySteps", 1, true, 4000000000u, true, true},
                    // Only 1 means recording.
                    StateCase{"OtherValueIsIdle", 2, true, 1, false, true}),
    [](const testing::TestParamInfo<StateCase>& info) { return std::string(info.param.name); });

TEST(RecordImage, BlanksOnlyInPhaseZeroWhileRecording) {
    for (unsigned phase = 0; phase < kBlinkSteps; ++phase) {
        SCOPED_TRACE(phase);
        EXPECT_EQ(DecideButtonStates(1, phase, true, 0).recordImage,
                  phase == 0 ? ToolbarImage::kBlank : ToolbarImage::kRecord);
        EXPECT_EQ(DecideButtonStates(0, phase, true, 0).recordImage, ToolbarImage::kRecord);
    }
}

TEST(BlinkCycle, RecordingRunsThreeStepsAndIdleHoldsThePhase) {
    // From the Record command (phase 0), the images of successive ticks.
    unsigned phase = 0;
    std::vector<int> images;
    for (int tick = 0; tick < 7; ++tick) {
        phase = NextBlinkPhase(1, phase);
        images.push_back(DecideButtonStates(1, phase, false, 0).recordImage);
    }
    const int lit = ToolbarImage::kRecord;
    const int dark = ToolbarImage::kBlank;
    EXPECT_EQ(images, (std::vector<int>{lit, lit, dark, lit, lit, dark, lit}));

    EXPECT_EQ(NextBlinkPhase(0, 2), 2u);
    EXPECT_EQ(NextBlinkPhase(0, 0), 0u);
}

}  // namespace
