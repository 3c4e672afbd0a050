#include "tests/support/NginxServer.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
sockaddr_in Loopback(int port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

int FreePort()
{
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = Loopback(0);
    bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    close(fd);
    return ntohs(address.sin_port);
}

bool Accepts(int port)
{
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_in address = Loopback(port);
    const bool ok = connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    return ok;
}
} // namespace

QString NginxServer::Program()
{
    QString program = QStandardPaths::findExecutable("nginx");
    if (program.isEmpty())
        program = QStandardPaths::findExecutable("nginx", {"/usr/sbin", "/usr/local/sbin"});
    return program;
}

NginxServer::NginxServer(const QString& serverConfig)
{
    if (Program().isEmpty()) {
        m_error = "nginx is not installed (scripts/setup installs it)";
        return;
    }
    if (!m_folder.isValid() || !QDir(m_folder.path()).mkpath("html")) {
        m_error = "cannot create a temporary folder";
        return;
    }
    // A port found free may be taken before nginx binds it: try a few.
    for (int attempt = 0; attempt < 3 && !m_running; ++attempt)
        m_running = Start(serverConfig);
}

NginxServer::~NginxServer()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.terminate();
        if (!m_process.waitForFinished(10000)) {
            m_process.kill();
            m_process.waitForFinished(10000);
        }
    }
}

bool NginxServer::Start(const QString& serverConfig)
{
    m_port = FreePort();
    const QString dir = m_folder.path();
    const QString config = QString("daemon off;\n"
                                   "master_process off;\n"
                                   "worker_processes 1;\n"
                                   "pid %1/nginx.pid;\n"
                                   "error_log %1/error.log warn;\n"
                                   "events { worker_connections 64; }\n"
                                   "http {\n"
                                   "  access_log off;\n"
                                   "  sendfile on;\n"
                                   "  default_type application/octet-stream;\n"
                                   "  client_body_temp_path %1/body;\n"
                                   "  proxy_temp_path %1/proxy;\n"
                                   "  fastcgi_temp_path %1/fastcgi;\n"
                                   "  uwsgi_temp_path %1/uwsgi;\n"
                                   "  scgi_temp_path %1/scgi;\n"
                                   "  server {\n"
                                   "    listen 127.0.0.1:%2;\n"
                                   "    root %1/html;\n"
                                   "%3\n"
                                   "  }\n"
                                   "}\n")
                               .arg(dir)
                               .arg(m_port)
                               .arg(serverConfig);
    QFile file(dir + "/nginx.conf");
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(config.toUtf8()) < 0) {
        m_error = "cannot write the nginx configuration";
        return false;
    }
    file.close();
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(Program(), {"-p", dir, "-c", dir + "/nginx.conf", "-e", dir + "/error.log"});
    if (!m_process.waitForStarted(10000)) {
        m_error = "nginx did not start: " + m_process.errorString();
        return false;
    }
    const QDeadlineTimer deadline(10000);
    while (!Accepts(m_port)) {
        if (m_process.waitForFinished(20) || deadline.hasExpired()) {
            QFile log(dir + "/error.log");
            log.open(QIODevice::ReadOnly);
            m_error = "nginx did not answer: " + QString::fromUtf8(log.readAll());
            if (m_process.state() != QProcess::NotRunning) {
                m_process.kill();
                m_process.waitForFinished(10000);
            }
            return false;
        }
    }
    return true;
}

QString NginxServer::Url(const QString& path) const
{
    return QString("http://127.0.0.1:%1%2").arg(m_port).arg(path);
}

QString NginxServer::Root() const
{
    return m_folder.path() + "/html";
}

bool NginxServer::AddFile(const QString& path, const QByteArray& bytes) const
{
    const QString full = Root() + "/" + path;
    if (!QDir().mkpath(QFileInfo(full).path()))
        return false;
    QFile file(full);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}
