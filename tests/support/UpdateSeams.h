// Test helpers for the update check: a loopback web site with scripted documents, and the
// message boxes, an update component's save dialog and its shell answered and recorded.
#pragma once

#include "platform/FileDialog.h"
#include "platform/MessageBox.h"
#include "platform/Shell.h"
#include "tests/support/LoopbackServer.h"
#include "tests/support/MessageBoxAnswerer.h"
#include "update/WebFileInfo.h"

#include <QList>
#include <QWidget>
#include <functional>
#include <map>
#include <mutex>
#include <string>

// Serves documents by request path; an unknown path gets 404 Not Found. Routes may be set
// while the site runs.
class ScriptedSite {
public:
    ScriptedSite();
    void Set(const std::string& path, LoopbackServer::Script script);
    // A document sent whole, with or without a Content-Length field.
    void SetDocument(const std::string& path, const std::string& body, bool contentLength = true,
                     const std::string& type = "text/html");
    QString Url(const std::string& path) const;
    // Request lines received so far ("GET /x HTTP/1.0").
    std::vector<std::string> RequestLines() const;
    LoopbackServer& Server() { return m_server; }

    static std::string Ok(const std::string& body, bool contentLength = true,
                          const std::string& type = "text/html");

private:
    mutable std::mutex m_mutex;
    std::map<std::string, LoopbackServer::Script> m_routes;
    LoopbackServer m_server;
};

// An information page in the maker's format: one META HTTP-EQUIV line per tag.
std::string InfoPageHtml(const std::vector<std::pair<std::string, std::string>>& tags);

// Answers the program's message boxes (through the process-wide message-box hook, put back to
// the tests' default on destruction) and, once attached to a component, its save dialog and
// shell. Yes/No boxes are answered Yes unless `answer` says otherwise. A component attached
// must not outlive the seams.
struct UpdateSeams {
    UpdateSeams();
    ~UpdateSeams();
    UpdateSeams(const UpdateSeams&) = delete;
    UpdateSeams& operator=(const UpdateSeams&) = delete;

    // `component`'s save dialog answers `saveAnswer` and its shell `shellResult`; both record
    // the requests.
    void Attach(TWebFileInfo& component);

    QList<MessageBoxRecord> boxes;
    std::function<ModalResult(const MessageBoxRecord&)> answer;
    QList<SaveFileRequest> saveRequests;
    SaveFileAnswer saveAnswer;
    QList<ShellOpenRequest> opened;
    int shellResult = 42;

    // "caption: text" of every box, in order.
    QStringList BoxTexts() const;
};

// Runs `action` on the first visible top-level widget of type T as soon as there is one (it
// looks again every few milliseconds, from whatever modal loop runs); gives up after
// `timeout` ms.
void WhenWidgetShown(const std::function<bool(QWidget*)>& match,
                     const std::function<void(QWidget*)>& action, int timeout = 10000);
template <typename T>
void WhenWindowShown(const std::function<void(T*)>& action, int timeout = 10000)
{
    WhenWidgetShown([](QWidget* w) { return qobject_cast<T*>(w) != nullptr; },
                    [action](QWidget* w) { action(qobject_cast<T*>(w)); }, timeout);
}

// Hex SHA-256 of a file.
QString Sha256OfFile(const QString& path);
QString Sha256OfBytes(const std::string& bytes);
