// The help viewer's topic pane: a text browser that reads its pages from the help file
// ("topic:id") and from the viewer's own instructions ("viewer:how-to-use"), never from disk
// or the network.
#pragma once

#include <QTextBrowser>

class HelpFile;

class HelpBrowser : public QTextBrowser {
    Q_OBJECT

public:
    static constexpr const char* HowToUseUrl = "viewer:how-to-use";

    explicit HelpBrowser(QWidget* parent = nullptr);

    // The file whose topics "topic:" addresses name; not owned, may be null.
    void SetHelpFile(const HelpFile* file) { m_file = file; }

    // Shows the page at `url` (relative addresses resolve against the current page) and
    // records it in the history. False when the address is not one of the help's own.
    bool Open(const QUrl& url);

    QVariant loadResource(int type, const QUrl& name) override;

private:
    const HelpFile* m_file = nullptr;
};
