// The transaction's four operations on the real list control of the step list window.
#include "TransactionListDialog.h"
#include "UiTest.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

class Transaction : public testing::Test {
protected:
    void SetUp() override {
        dialog = std::make_shared<TransactionListDialog>();
        ASSERT_TRUE(dialog->Create(nullptr));
        ASSERT_TRUE(dialog->IsListReady());
    }
    void TearDown() override {
        if (dialog && dialog->Handle()) DestroyWindow(dialog->Handle());
    }

    struct Step {
        std::string url;
        std::string posted;
    };
    std::vector<Step> Steps() const {
        std::vector<Step> steps;
        for (unsigned i = 0; i < dialog->GetStepCount(); ++i) {
            Step step;
            dialog->GetStep(i, step.url, step.posted);
            steps.push_back(step);
        }
        return steps;
    }

    std::shared_ptr<TransactionListDialog> dialog;
};

TEST(TransactionBeforeListReady, IsEmptyAndCannotChange) {
    // The object exists, its window does not.
    auto dialog = std::make_shared<TransactionListDialog>();
    EXPECT_FALSE(dialog->IsListReady());
    dialog->AddStep("http://example.com/", "a=1");
    EXPECT_EQ(dialog->GetStepCount(), 0u);
    std::string url = "kept", posted = "kept too";
    dialog->GetStep(0, url, posted);
    EXPECT_EQ(url, "kept");
    EXPECT_EQ(posted, "kept too");
    dialog->ClearSteps();
    EXPECT_EQ(dialog->GetStepCount(), 0u);
}

struct StoredCase {
    const char* name;
    std::string url;
    std::string posted;
    std::string storedUrl;
    std::string storedPosted;
};

class StoredStep : public Transaction, public testing::WithParamInterface<StoredCase> {};

TEST_P(StoredStep, ReadsBackWhatTheStepKeeps) {
    const StoredCase& c = GetParam();
    dialog->AddStep(c.url, c.posted);
    ASSERT_EQ(dialog->GetStepCount(), 1u);
    std::string url, posted;
    dialog->GetStep(0, url, posted);
    EXPECT_EQ(url.size(), c.storedUrl.size());
    EXPECT_EQ(url, c.storedUrl);
    EXPECT_EQ(posted.size(), c.storedPosted.size());
    EXPECT_EQ(posted, c.storedPosted);
}

const std::string kLongBody = std::string(39000, 'a') + std::string(1000, 'b');
const std::string kLongUrl = "http://example.com/?q=" + std::string(70000, 'u');

INSTANTIATE_TEST_SUITE_P(
    Texts, StoredStep,
    testing::Values(
        StoredCase{"Link", "http://example.com/a", "", "http://example.com/a", ""},
        StoredCase{"FormPost", "https://example.com/login", "user=a%20b&pw=x%26y", "https://example.com/login",
                   "user=a%20b&pw=x%26y"},
        StoredCase{"BodyOver32K", "http://example.com/", kLongBody, "http://example.com/", kLongBody.substr(0, 32768)},
        StoredCase{"BodyOfExactly32K", "http://example.com/", std::string(32768, 'z'), "http://example.com/",
                   std::string(32768, 'z')},
        StoredCase{"NulAtOffsetTen", "http://example.com/", std::string("0123456789\0tail", 15), "http://example.com/",
                   "0123456789"},
        // A URL has no limit; reading it back needs the buffer to grow several times.
        StoredCase{"LongUrl", kLongUrl, "x=1", kLongUrl, "x=1"},
        StoredCase{"AnsiBytes", "http://example.com/caf\xE9", "n=\xFC", "http://example.com/caf\xE9", "n=\xFC"}),
    [](const testing::TestParamInfo<StoredCase>& info) { return std::string(info.param.name); });

TEST_F(Transaction, SameUrlTwiceGivesTwoConsecutiveSteps) {
    dialog->AddStep("http://example.com/first", "");
    dialog->AddStep("http://example.com/same", "q=1");
    dialog->AddStep("http://example.com/same", "q=1");
    const auto steps = Steps();
    ASSERT_EQ(steps.size(), 3u);
    EXPECT_EQ(steps[1].url, "http://example.com/same");
    EXPECT_EQ(steps[2].url, "http://example.com/same");
    EXPECT_EQ(steps[1].posted, steps[2].posted);
    // Rows are in capture order: row i is step i + 1.
    EXPECT_EQ(steps[0].url, "http://example.com/first");
}

TEST_F(Transaction, GetStepOutOfRangeLeavesTheOutputs) {
    dialog->AddStep("http://example.com/", "a=1");
    dialog->AddStep("http://example.com/2", "a=2");
    for (const unsigned position : {2u, 3u, 0xFFFFFFFFu, 0x80000000u}) {
        SCOPED_TRACE(position);
        std::string url = "previous url", posted = "previous data";
        dialog->GetStep(position, url, posted);
        EXPECT_EQ(url, "previous url");
        EXPECT_EQ(posted, "previous data");
    }
}

TEST_F(Transaction, ClearThenOneStepIsStepOne) {
    for (int i = 0; i < 5; ++i) dialog->AddStep("http://example.com/" + std::to_string(i), "");
    dialog->ClearSteps();
    EXPECT_EQ(dialog->GetStepCount(), 0u);
    dialog->AddStep("https://example.com/after", "k=v");
    const auto steps = Steps();
    ASSERT_EQ(steps.size(), 1u);
    EXPECT_EQ(steps[0].url, "https://example.com/after");
    EXPECT_EQ(steps[0].posted, "k=v");
}

TEST_F(Transaction, ShownRowsAreTheSteps) {
    dialog->AddStep("http://example.com/shown", "p=1");
    char text[64] = "";
    LVITEMA cell{};
    cell.iSubItem = 1;
    cell.pszText = text;
    cell.cchTextMax = sizeof(text);
    SendMessageA(dialog->List(), LVM_GETITEMTEXTA, 0, reinterpret_cast<LPARAM>(&cell));
    EXPECT_STREQ(text, "p=1");
}

TEST_F(Transaction, CloseHidesTheWindowAndKeepsTheSteps) {
    dialog->AddStep("http://example.com/kept", "");
    HWND window = dialog->Handle();
    PumpPending();
    for (const UINT command : {IDCANCEL, IDOK}) {
        ShowWindow(window, SW_SHOWNORMAL);
        SendMessageA(window, WM_COMMAND, command, 0);
        EXPECT_FALSE(IsWindowVisible(window));
        EXPECT_TRUE(IsWindow(window));
    }
    // The close box.
    ShowWindow(window, SW_SHOWNORMAL);
    SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(PumpUntil([&] { return !IsWindowVisible(window); }));
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(dialog->GetStepCount(), 1u);
}

TEST_F(Transaction, WindowGoneMeansEmptyAndTheObjectIsReleased) {
    dialog->AddStep("http://example.com/", "");
    std::weak_ptr<TransactionListDialog> watch = dialog;
    DestroyWindow(dialog->Handle());
    EXPECT_EQ(dialog->GetStepCount(), 0u);
    dialog->AddStep("http://example.com/", "");
    EXPECT_EQ(dialog->GetStepCount(), 0u);
    dialog.reset();
    EXPECT_TRUE(watch.expired());
}

TEST(TransactionLifetime, WindowKeepsItsObjectAfterTheCreatorLetsGo) {
    auto dialog = std::make_shared<TransactionListDialog>();
    ASSERT_TRUE(dialog->Create(nullptr));
    dialog->AddStep("http://example.com/", "");
    std::weak_ptr<TransactionListDialog> watch = dialog;
    HWND window = dialog->Handle();
    dialog.reset();
    ASSERT_FALSE(watch.expired());
    EXPECT_EQ(watch.lock()->GetStepCount(), 1u);
    DestroyWindow(window);
    EXPECT_TRUE(watch.expired());
}

}  // namespace
