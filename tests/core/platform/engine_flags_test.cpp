#include "platform/engine_flags.h"

#include <gtest/gtest.h>

using namespace pluvik;

TEST(EngineFlagsTest, WithoutFlagsOfTheUsersTheProgramsOwnAreAllThere) {
    EXPECT_EQ(engineFlags(nullptr),
              "--renderer-process-limit=4 --lang=zh-CN "
              "--enable-features=FreezePurgeMemoryAllPagesFrozen:delay-in-minutes/10");
    // Set but empty is the user's choice of no limit.
    EXPECT_EQ(engineFlags(""), "--lang=zh-CN --enable-features=FreezePurgeMemoryAllPagesFrozen:delay-in-minutes/10");
}

TEST(EngineFlagsTest, TheUsersLanguageAndFeaturesStandAndTheirListIsJoinedNotReplaced) {
    EXPECT_EQ(engineFlags("--lang=en-US --enable-features=A,B --renderer-process-limit=8"),
              "--lang=en-US --enable-features=A,B,FreezePurgeMemoryAllPagesFrozen:delay-in-minutes/10 "
              "--renderer-process-limit=8");
    EXPECT_EQ(engineFlags("--enable-features="),
              "--enable-features=FreezePurgeMemoryAllPagesFrozen:delay-in-minutes/10 --lang=zh-CN");
    // Named by the user, switched off or on with a delay of their own: left as it is.
    EXPECT_EQ(engineFlags("--lang=de --disable-features=FreezePurgeMemoryAllPagesFrozen"),
              "--lang=de --disable-features=FreezePurgeMemoryAllPagesFrozen");
}
