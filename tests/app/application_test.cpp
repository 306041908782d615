// The application's three phases, the instance list and the frame timer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/application.h"
#include "app/frame_timer.h"
#include "app/tracked_object.h"

namespace {
struct PhaseRecorder : Application {
    int initResult = 0;
    std::vector<std::string> calls;
    int init() override {
        calls.push_back("init");
        return initResult;
    }
    int run() override {
        calls.push_back("run");
        return 7;
    }
    int term() override {
        calls.push_back("term");
        return 0;
    }
};
}  // namespace

TEST(Application, RunsOnlyAfterASuccessfulInit) {
    PhaseRecorder ok;
    EXPECT_EQ(ok.main(), 7);
    EXPECT_EQ(ok.calls, (std::vector<std::string>{"init", "run", "term"}));
    EXPECT_TRUE(ok.initialised);

    PhaseRecorder failing;
    failing.initResult = 1;
    EXPECT_EQ(failing.main(), 0);
    EXPECT_EQ(failing.calls, (std::vector<std::string>{"init", "term"}));
    EXPECT_FALSE(failing.initialised);
}

TEST(Application, TitleCarriesTheBuildDate) {
    const std::string title = mainWindowTitle();
    EXPECT_EQ(title.rfind(" Tavrel 2 [", 0), 0u);
    EXPECT_EQ(title.back(), ']');
    EXPECT_EQ(title.size(), std::string(" Tavrel 2 [Jul 31 2008]").size());
}

TEST(InstanceList, TracksLiveObjectsInConstructionOrder) {
    const int before = instanceList().count;
    auto* a = new TrackedObject();
    auto* b = new TrackedObject();
    EXPECT_EQ(instanceList().count, before + 2);
    EXPECT_EQ(instanceList().last->object, b);
    EXPECT_EQ(instanceList().last->previous->object, a);
    delete a;
    EXPECT_EQ(instanceList().count, before + 1);
    instanceList().remove(a);  // a second removal does nothing
    EXPECT_EQ(instanceList().count, before + 1);
    delete b;
    EXPECT_EQ(instanceList().count, before);
}

TEST(FrameTimer, MeasuresFromTheLastResetAndFallsBackToSixteenMilliseconds) {
    FrameTimer timer;
    timer.setUp();
    ASSERT_TRUE(timer.available);
    timer.current -= timer.frequency;  // pretend a second has passed since the last tick
    timer.reset();
    timer.tick();
    EXPECT_LT(timer.lastDuration, 0.5f);
    EXPECT_GE(timer.lastDuration, 0.0f);

    FrameTimer none;
    none.available = false;
    none.tick();
    EXPECT_EQ(none.step(), 0.016f);
}
