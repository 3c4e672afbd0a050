// For a test that cannot run because something the set-up installs is missing (a tool, a
// locale, the test print queue): on a developer's machine the test is skipped with the reason;
// in CI (CI=true), where scripts/setup test installs everything, it fails with the reason, so
// that a missing package never turns into a silent skip.
#pragma once

#include <QString>
#include <gtest/gtest.h>

namespace TestSupport {
inline bool InCi()
{
    return qEnvironmentVariable("CI") == QLatin1String("true");
}
} // namespace TestSupport

// Used like GTEST_SKIP(): MISSING_FOR_TEST() << "why";
#define MISSING_FOR_TEST()                                                                         \
    return ::testing::internal::AssertHelper(                                                      \
               ::TestSupport::InCi() ? ::testing::TestPartResult::kFatalFailure                    \
                                     : ::testing::TestPartResult::kSkip,                           \
               __FILE__, __LINE__,                                                                 \
               ::TestSupport::InCi() ? "Missing in CI, where scripts/setup test installs it"       \
                                     : "Skipped") = ::testing::Message()
