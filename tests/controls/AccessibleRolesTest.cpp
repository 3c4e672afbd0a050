// What a screen reader is told the windows' parts are: the roles, states and texts of the
// accessible interfaces the program gives its own kinds of widgets.
#include "controls/AccessibleControls.h"
#include "controls/StatusLine.h"
#include "controls/StringGrid.h"
#include "platform/HelpBrowser.h"

#include <QAccessible>
#include <QFrame>
#include <QWidget>
#include <gtest/gtest.h>

namespace {
QAccessibleInterface* Reader(QObject* object)
{
    return QAccessible::queryAccessibleInterface(object);
}
} // namespace

TEST(AccessibleRoles, WindowsPanelsTopicStatusLineAndTable)
{
    InstallAccessibleControls();
    QWidget window;
    auto* panel = new QFrame(&window);
    auto* topic = new HelpBrowser(&window);
    topic->setHtml("<p>First line of the topic</p><p>Second paragraph</p>");
    auto* status = new TStatusLine(" Welcome to the program", &window);
    auto* grid = new TStringGrid(&window);
    grid->setEnabled(false);

    const struct {
        QObject* object;
        QAccessible::Role role;
    } roles[] = {{&window, QAccessible::Window},
                 {panel, QAccessible::Grouping},
                 {topic, QAccessible::Document},
                 {status, QAccessible::StatusBar}};
    for (const auto& r : roles)
        EXPECT_EQ(Reader(r.object)->role(), r.role) << r.object->metaObject()->className();

    // The topic is read as text, line by line.
    QAccessibleTextInterface* text = Reader(topic)->textInterface();
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->text(0, text->characterCount()), "First line of the topic\nSecond paragraph");
    int start = 0, end = 0;
    EXPECT_EQ(text->textAtOffset(3, QAccessible::LineBoundary, &start, &end).trimmed(),
              "First line of the topic");
    EXPECT_TRUE(Reader(topic)->state().readOnly);

    // The status line is named by its text without the blank that spaces it, and follows it.
    EXPECT_EQ(Reader(status)->text(QAccessible::Name), "Welcome to the program");
    status->setText(" APR table calculated");
    EXPECT_EQ(Reader(status)->text(QAccessible::Name), "APR table calculated");

    // The disabled grid is an enabled, read-only table to a reader.
    const QAccessible::State table = Reader(grid)->state();
    EXPECT_FALSE(table.disabled);
    EXPECT_TRUE(table.readOnly);
}
