#include "tests/support/UpdateSeams.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <memory>

ScriptedSite::ScriptedSite()
    : m_server([this](LoopbackServer::Connection& c) {
          const std::string request = c.ReadRequest();
          const std::size_t start = request.find(' ') + 1;
          const std::string path = request.substr(start, request.find(' ', start) - start);
          LoopbackServer::Script script;
          {
              std::lock_guard lock(m_mutex);
              const auto it = m_routes.find(path);
              if (it != m_routes.end())
                  script = it->second;
          }
          if (script)
              script(c);
          else
              c.Send("HTTP/1.0 404 Not Found\r\nContent-Type: text/html\r\n\r\n");
      })
{
}

void ScriptedSite::Set(const std::string& path, LoopbackServer::Script script)
{
    std::lock_guard lock(m_mutex);
    m_routes[path] = std::move(script);
}

std::string ScriptedSite::Ok(const std::string& body, bool contentLength, const std::string& type)
{
    std::string head = "HTTP/1.0 200 OK\r\nContent-Type: " + type + "\r\n";
    if (contentLength)
        head += "Content-Length: " + std::to_string(body.size()) + "\r\n";
    return head + "\r\n" + body;
}

void ScriptedSite::SetDocument(const std::string& path, const std::string& body, bool contentLength,
                               const std::string& type)
{
    const std::string response = Ok(body, contentLength, type);
    Set(path, [response](LoopbackServer::Connection& c) { c.Send(response); });
}

QString ScriptedSite::Url(const std::string& path) const
{
    return m_server.Url(QString::fromStdString(path));
}

std::vector<std::string> ScriptedSite::RequestLines() const
{
    std::vector<std::string> lines;
    for (const std::string& request : m_server.Requests())
        lines.push_back(request.substr(0, request.find("\r\n")));
    return lines;
}

std::string InfoPageHtml(const std::vector<std::pair<std::string, std::string>>& tags)
{
    std::string page = "<HTML>\n<HEAD>\n<TITLE>Tallyhorn</TITLE>\n";
    for (const auto& [name, value] : tags)
        page += "<META HTTP-EQUIV=\"" + name + "\" CONTENT=\"" + value + "\">\n";
    return page + "</HEAD>\n<BODY>Tallyhorn releases</BODY>\n</HTML>\n";
}

UpdateSeams::UpdateSeams()
{
    SetMessageBoxHook([this](const MessageBoxRecord& box) {
        boxes.append(box);
        if (answer)
            return answer(box);
        return box.buttons == MessageButtons::YesNo ? ModalResult::mrYes : ModalResult::mrOk;
    });
}

UpdateSeams::~UpdateSeams()
{
    MessageBoxAnswerer::InstallDefault();
}

void UpdateSeams::Attach(TWebFileInfo& component)
{
    component.SetSaveFileChooser([this](const SaveFileRequest& request) {
        saveRequests.append(request);
        return saveAnswer;
    });
    component.SetShellOpener([this](const ShellOpenRequest& request) {
        opened.append(request);
        return shellResult;
    });
}

QStringList UpdateSeams::BoxTexts() const
{
    QStringList texts;
    for (const MessageBoxRecord& box : boxes)
        texts << box.caption + ": " + box.text;
    return texts;
}

void WhenWidgetShown(const std::function<bool(QWidget*)>& match,
                     const std::function<void(QWidget*)>& action, int timeout)
{
    struct State {
        QElapsedTimer clock;
        std::function<bool(QWidget*)> match;
        std::function<void(QWidget*)> action;
        int timeout;
    };
    auto state = std::make_shared<State>(State{{}, match, action, timeout});
    state->clock.start();
    auto look = std::make_shared<std::function<void(std::shared_ptr<State>)>>();
    std::weak_ptr<std::function<void(std::shared_ptr<State>)>> weakLook = look;
    *look = [weakLook](std::shared_ptr<State> s) {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && s->match(w)) {
                s->action(w);
                return;
            }
        if (s->clock.elapsed() < s->timeout)
            if (auto next = weakLook.lock())
                QTimer::singleShot(5, qApp, [next, s] { (*next)(s); });
    };
    QTimer::singleShot(0, qApp, [look, state] { (*look)(state); });
}

QString Sha256OfFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(&file);
    return hash.result().toHex();
}

QString Sha256OfBytes(const std::string& bytes)
{
    return QCryptographicHash::hash(QByteArrayView(bytes.data(), qsizetype(bytes.size())),
                                    QCryptographicHash::Sha256)
        .toHex();
}
