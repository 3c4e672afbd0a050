// The main of every test program: the real application object on the offscreen platform,
// the United States regional settings, and message boxes answered instead of shown.
#include "platform/Application.h"
#include "platform/Regional.h"
#include "tests/support/MessageBoxAnswerer.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    qputenv("TALLYHORN_TEST", "1"); // the shell opens nothing in a test run
    ::testing::InitGoogleTest(&argc, argv);
    Application app(argc, argv);
    app.SetTitle("Tallyhorn");
    Regional::Current() = Regional::UnitedStates();
    MessageBoxAnswerer::InstallDefault();
    return RUN_ALL_TESTS();
}
