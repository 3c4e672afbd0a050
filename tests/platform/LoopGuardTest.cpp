// The guards for code that runs other code: alive, current, and no re-entry.
#include "platform/LoopGuard.h"

#include <gtest/gtest.h>
#include <memory>

TEST(LoopGuard, TellsWhetherTheOwnerLivesAndTheRunIsStillCurrent)
{
    auto owner = std::make_unique<QObject>();
    TGeneration runs;
    TLoopGuard first(owner.get(), runs);
    EXPECT_TRUE(first.Current());
    TLoopGuard second(owner.get(), runs); // a newer run
    EXPECT_TRUE(first.Alive());
    EXPECT_FALSE(first.Current());
    EXPECT_TRUE(second.Current());
    TLoopGuard plain(owner.get());
    EXPECT_TRUE(plain.Current());
    owner.reset();
    EXPECT_FALSE(second.Alive());
    EXPECT_FALSE(second.Current());
    EXPECT_FALSE(plain.Current());
}

TEST(ReentryGuard, RefusesASecondEntryAndClearsOnlyForALivingOwner)
{
    struct Owner : QObject {
        bool busy = false;
    };
    auto owner = std::make_unique<Owner>();
    {
        TReentryGuard outer(owner.get(), owner->busy);
        EXPECT_TRUE(outer.Entered());
        {
            TReentryGuard inner(owner.get(), owner->busy);
            EXPECT_FALSE(inner.Entered());
        }
        EXPECT_TRUE(owner->busy) << "the refused entry leaves the flag alone";
    }
    EXPECT_FALSE(owner->busy);

    // The owner deleted while a guard holds it: nothing is written on leaving.
    auto* guard = new TReentryGuard(owner.get(), owner->busy);
    owner.reset();
    delete guard;
}
