// The content tests' set-up: the headless renderer with the text globals,
// the shipped stats tables and the clip list, made once per suite. Every
// test starts from loaded stats.
#ifndef TESTS_CONTENT_CONTENT_FIXTURE_H
#define TESTS_CONTENT_CONTENT_FIXTURE_H

#include <gtest/gtest.h>

#include <string>

#include "render/animation.h"
#include "render/backend.h"
#include "render/model.h"
#include "render/text.h"
#include "tests/content/content_list.h"

class ContentTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        RenderSetup setup;
        ASSERT_TRUE(InitRenderer(&setup, nullptr));
        CreateTextGlobals();
        statsLoaded = LoadShippedStats(statsMessage);
        listLoaded = LoadAnimationList();
    }
    static void TearDownTestSuite() {
        ClearAnimationClips();
        AnimationAliasList().clear();
        DestroyTextGlobals();
        ClearModelCache();
        ShutdownRenderer();
    }
    void SetUp() override { ASSERT_TRUE(statsLoaded) << statsMessage; }

    static inline bool statsLoaded = false;
    static inline bool listLoaded = false;
    static inline std::string statsMessage;
};

#endif
