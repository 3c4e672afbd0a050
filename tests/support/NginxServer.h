// A real web server for network tests and benchmarks: nginx started on a free 127.0.0.1 port,
// with its configuration, documents and logs in a temporary folder, and stopped with the
// object. Available() is false (and the test skips) when nginx is not installed.
#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

class NginxServer {
public:
    // The path of the nginx program, or empty when it is not installed.
    static QString Program();

    // `serverConfig` is added inside the server block (locations, returns, ...).
    explicit NginxServer(const QString& serverConfig = {});
    ~NginxServer();
    NginxServer(const NginxServer&) = delete;
    NginxServer& operator=(const NginxServer&) = delete;

    // True once nginx answers on Port(); else Error() says why.
    bool Running() const { return m_running; }
    QString Error() const { return m_error; }
    int Port() const { return m_port; }
    // "http://127.0.0.1:<port>" + path.
    QString Url(const QString& path) const;
    // Writes a document below the server's root ("files/a.bin"); false when it cannot.
    bool AddFile(const QString& path, const QByteArray& bytes) const;
    // The document folder, for documents written piece by piece.
    QString Root() const;

private:
    bool Start(const QString& serverConfig);

    QTemporaryDir m_folder;
    QProcess m_process;
    int m_port = 0;
    bool m_running = false;
    QString m_error;
};
