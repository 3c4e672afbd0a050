// The HTTP client against a real web server (nginx on 127.0.0.1, started by the test): files of
// every size arrive byte for byte, and the server's own 404, redirections and HEAD answers are
// read as they are meant.
#include "tests/support/LoopbackServer.h"
#include "tests/support/MissingTool.h"
#include "tests/support/NginxServer.h"
#include "update/HttpProt.h"

#include <QCryptographicHash>
#include <QFile>
#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace {
// Redirection chains /chainN/1 -> /chainN/2 -> ... -> /files/1b.bin, N hops long.
QString ChainConfig(const std::initializer_list<int>& lengths)
{
    QString config;
    for (const int n : lengths)
        for (int hop = 1; hop <= n; ++hop)
            config += QString("    location = /chain%1/%2 { return 302 %3; }\n")
                          .arg(n)
                          .arg(hop)
                          .arg(hop == n ? QString("/files/1b.bin")
                                        : QString("/chain%1/%2").arg(n).arg(hop + 1));
    return config;
}

class HttpNginx : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        server = new NginxServer(ChainConfig({1, 20, 21}));
        if (!server->Running())
            return;
        QRandomGenerator random(20261207);
        for (const auto& [name, size] : files) {
            QByteArray bytes(size, Qt::Uninitialized);
            for (qsizetype i = 0; i + 4 <= size; i += 4) {
                const quint32 v = random.generate();
                memcpy(bytes.data() + i, &v, 4);
            }
            for (qsizetype i = size - size % 4; i < size; ++i)
                bytes[i] = static_cast<char>(random.generate());
            server->AddFile("files/" + name, bytes);
            checksums[name] = QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
        }
    }
    static void TearDownTestSuite()
    {
        delete server;
        server = nullptr;
    }
    void SetUp() override
    {
        if (!server->Running())
            MISSING_FOR_TEST() << "no nginx to test against: " << server->Error().toStdString();
    }

    // Runs one request to completion; the body goes to a file as the update download's does.
    struct Result {
        int done = 0;
        std::uint16_t error = 0xFFFF;
        QByteArray checksum;
        qint64 size = -1;
    };
    Result Fetch(THttpCli& cli, const QString& path, bool head = false)
    {
        QFile file(folder.path() + "/download.bin");
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        cli.SetResponseStream(&file);
        struct Done : THttpCliListener {
            Result& r;
            explicit Done(Result& result) : r(result) {}
            void OnRequestDone(THttpCli*, THttpRequest, std::uint16_t e) override
            {
                ++r.done;
                r.error = e;
            }
        };
        Result r;
        Done done(r);
        cli.SetListener(&done);
        cli.SetURL(server->Url(path));
        head ? cli.HeadAsync() : cli.GetAsync();
        EXPECT_TRUE(ProcessMessagesUntil([&] { return r.done > 0; }, 60000)) << path.toStdString();
        ProcessPostedMessages();
        file.close();
        file.open(QIODevice::ReadOnly);
        r.size = file.size();
        r.checksum = QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
        cli.SetListener(nullptr);
        return r;
    }

    static inline NginxServer* server = nullptr;
    static inline const std::pair<QString, qsizetype> files[] = {
        {"0b.bin", 0}, {"1b.bin", 1}, {"1mib.bin", 1 << 20}, {"64mib.bin", 64 << 20}};
    static inline std::map<QString, QByteArray> checksums;
    QTemporaryDir folder;
};
} // namespace

TEST_F(HttpNginx, FilesOfEverySizeArriveWholeAndFinishAtTheirLength)
{
    for (const auto& [name, size] : files) {
        THttpCli cli;
        const Result r = Fetch(cli, "/files/" + name);
        SCOPED_TRACE(name.toStdString());
        EXPECT_EQ(r.done, 1);
        EXPECT_EQ(r.error, 0);
        EXPECT_EQ(cli.StatusCode(), 200);
        EXPECT_EQ(cli.ContentLength(), size);
        EXPECT_EQ(cli.BytesReceived(), size);
        EXPECT_EQ(r.size, size);
        EXPECT_EQ(r.checksum, checksums[name]);
    }
}

TEST_F(HttpNginx, AMissingFileIsTheServersNotFound)
{
    THttpCli cli;
    const Result r = Fetch(cli, "/files/none.bin");
    EXPECT_EQ(r.done, 1);
    EXPECT_EQ(r.error, 0);
    EXPECT_EQ(cli.StatusCode(), 404);
    EXPECT_EQ(cli.ReasonPhrase(), "Not Found");
    EXPECT_EQ(r.size, 0);
}

TEST_F(HttpNginx, RedirectionChainsUpToTwentyAreFollowed)
{
    struct Row {
        int hops;
        std::uint16_t error;
        int status;
    };
    for (const Row& row :
         {Row{1, 0, 200}, Row{20, 0, 200},
          Row{21, static_cast<std::uint16_t>(THttpError::TooManyRedirections), 404}}) {
        THttpCli cli;
        const Result r = Fetch(cli, QString("/chain%1/1").arg(row.hops));
        SCOPED_TRACE(row.hops);
        EXPECT_EQ(r.done, 1);
        EXPECT_EQ(r.error, row.error);
        EXPECT_EQ(cli.StatusCode(), row.status);
        EXPECT_EQ(cli.RedirectionCount(), std::min(row.hops, THttpCli::MaxRedirections + 1));
        if (row.error == 0) {
            EXPECT_EQ(r.checksum, checksums["1b.bin"]);
        }
    }
}

TEST_F(HttpNginx, HeadGivesTheLengthWithoutABody)
{
    THttpCli cli;
    const Result r = Fetch(cli, "/files/1mib.bin", true);
    EXPECT_EQ(r.done, 1);
    EXPECT_EQ(r.error, 0);
    EXPECT_EQ(cli.StatusCode(), 200);
    EXPECT_EQ(cli.ContentLength(), 1 << 20);
    EXPECT_EQ(cli.BytesReceived(), 0);
    EXPECT_EQ(r.size, 0);
}
