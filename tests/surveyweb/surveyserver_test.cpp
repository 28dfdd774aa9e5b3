#include <memory>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpSocket>

#include "surveyweb/surveyserver.h"
#include "platform/surveyslips.h"
#include "support/core/tempdir.h"
#include "survey/surveycode.h"
#include "survey/surveyintake.h"

namespace {

// One HTTP exchange over a raw socket, driven by the event loop the server also runs on.
class TRawClient final {
public:
    TRawClient(quint16 port, const QByteArray& request) : m_request(request)
    {
        QObject::connect(&m_socket, &QTcpSocket::connected, [this] { m_socket.write(m_request); });
        QObject::connect(&m_socket, &QTcpSocket::readyRead, [this] { m_reply += m_socket.readAll(); });
        m_socket.connectToHost(QHostAddress::LocalHost, port);
    }

    // A complete reply: the header and as many body bytes as it announced.
    bool Done() const
    {
        const qsizetype end = m_reply.indexOf("\r\n\r\n");
        if (end < 0)
            return false;
        const qsizetype at = m_reply.toLower().indexOf("content-length:");
        const qsizetype length = at < 0 ? 0 : m_reply.mid(at + 15, m_reply.indexOf("\r\n", at) - at - 15).trimmed().toLongLong();
        return m_reply.size() - end - 4 >= length;
    }
    int Status() const { return m_reply.mid(9, 3).toInt(); }
    QByteArray Header(const QByteArray& name) const
    {
        for (const QByteArray& line : m_reply.left(m_reply.indexOf("\r\n\r\n")).split('\n')) {
            if (line.toLower().startsWith(name.toLower() + ':'))
                return line.mid(name.size() + 1).trimmed();
        }
        return {};
    }
    QByteArray Body() const { return m_reply.mid(m_reply.indexOf("\r\n\r\n") + 4); }
    QTcpSocket& Socket() { return m_socket; }

private:
    QByteArray m_request;
    QByteArray m_reply;
    QTcpSocket m_socket;
};

// Runs the event loop until every client has its reply; bounded so that a lost reply fails
// the test instead of hanging it.
bool RunUntilDone(const std::vector<std::unique_ptr<TRawClient>>& clients)
{
    const QDeadlineTimer bound(20'000);
    while (!bound.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        if (std::ranges::all_of(clients, [](const auto& c) { return c->Done(); }))
            return true;
    }
    return false;
}

QByteArray Get(quint16 port, const QByteArray& path, const QByteArray& host = {})
{
    const QByteArray h = host.isEmpty() ? "127.0.0.1:" + QByteArray::number(port) : host;
    return "GET " + path + " HTTP/1.1\r\nHost: " + h + "\r\n\r\n";
}

QByteArray Post(quint16 port, const QByteArray& body)
{
    return "POST /api/answer HTTP/1.1\r\nHost: localhost:" + QByteArray::number(port) +
           "\r\nContent-Type: application/json\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" +
           body;
}

TSurveySetup ClassOf(int count)
{
    TSurveySetup setup{.InvestId = 1, .InvestName = "Desks", .Question = "With whom?", .Pupils = {}, .Limits = {3, true}};
    for (int i = 1; i <= count; ++i)
        setup.Pupils.push_back({i, "Pupil " + std::to_string(i)});
    return setup;
}

} // namespace

TEST(SurveyServer, FortyPupilsAnsweringAtOnceAreEachTakenExactlyOnce)
{
    TSurveyCollection collection(ClassOf(40));
    TSurveyServer server(collection);
    ASSERT_TRUE(server.Start("127.0.0.1", 0));
    const quint16 port = server.Port();
    int signalled = 0;
    QObject::connect(&server, &TSurveyServer::Answered, [&](int) { ++signalled; });

    std::vector<std::unique_ptr<TRawClient>> clients;
    for (int id = 1; id <= 40; ++id) {
        const std::vector<int> positive = {id % 40 + 1, (id + 1) % 40 + 1};
        const std::vector<int> negative = {(id + 2) % 40 + 1};
        const std::string body =
            nlohmann::json{{"code", collection.CodeOf(id)}, {"positive", positive}, {"negative", negative}}.dump();
        clients.push_back(std::make_unique<TRawClient>(port, Post(port, QByteArray::fromStdString(body))));
    }
    ASSERT_TRUE(RunUntilDone(clients));
    for (const auto& client : clients)
        EXPECT_EQ(client->Status(), 200) << client->Body().toStdString();
    EXPECT_EQ(signalled, 40);
    ASSERT_TRUE(collection.AllAnswered());
    for (const TSurveyAnswer& answer : collection.Answers()) {
        EXPECT_EQ(answer.Positive, (std::vector<int32_t>{answer.PupilId % 40 + 1, (answer.PupilId + 1) % 40 + 1}));
        EXPECT_EQ(answer.Negative, (std::vector<int32_t>{(answer.PupilId + 2) % 40 + 1}));
    }

    // The same forty again: every one refused, nothing doubled.
    std::vector<std::unique_ptr<TRawClient>> again;
    for (int id = 1; id <= 40; ++id) {
        const std::string body = nlohmann::json{{"code", collection.CodeOf(id)}, {"positive", {id % 40 + 1}}}.dump();
        again.push_back(std::make_unique<TRawClient>(port, Post(port, QByteArray::fromStdString(body))));
    }
    ASSERT_TRUE(RunUntilDone(again));
    // Used codes count as wrong ones: after ten from this address it has to wait.
    const auto status = [&](int code) {
        return std::ranges::count_if(again, [code](const auto& c) { return c->Status() == code; });
    };
    EXPECT_EQ(status(409), TWrongCodeLimiter::kMaxWrong);
    EXPECT_EQ(status(429), 40 - TWrongCodeLimiter::kMaxWrong);
    EXPECT_EQ(collection.AnsweredCount(), 40);
    EXPECT_EQ(signalled, 40);
}

TEST(SurveyServer, RequestsAreCheckedBeforeTheyReachTheCollection)
{
    TSurveyCollection collection(ClassOf(3));
    TSurveyServer server(collection);
    ASSERT_TRUE(server.Start("127.0.0.1", 0));
    const quint16 port = server.Port();
    const QByteArray code = QByteArray::fromStdString(collection.CodeOf(1));

    std::vector<std::unique_ptr<TRawClient>> clients;
    clients.push_back(std::make_unique<TRawClient>(port, Get(port, "/")));
    clients.push_back(std::make_unique<TRawClient>(port, Get(port, "/", "attacker.example:" + QByteArray::number(port))));
    clients.push_back(std::make_unique<TRawClient>(port, Get(port, "/api/survey?code=" + code)));
    clients.push_back(std::make_unique<TRawClient>(
        port, "POST /api/answer HTTP/1.1\r\nHost: localhost:" + QByteArray::number(port) +
                  "\r\nContent-Length: 20000\r\n\r\n" + QByteArray(20000, ' ')));
    clients.push_back(std::make_unique<TRawClient>(port, Get(port, "/../../etc/passwd")));
    ASSERT_TRUE(RunUntilDone(clients));

    const TRawClient& page = *clients[0];
    EXPECT_EQ(page.Status(), 200);
    EXPECT_EQ(page.Header("Cache-Control"), "no-store");
    EXPECT_TRUE(page.Header("Content-Security-Policy").startsWith("default-src 'none'"));
    EXPECT_TRUE(page.Header("Set-Cookie").isEmpty());
    EXPECT_TRUE(page.Body().contains("/survey.js"));
    EXPECT_FALSE(page.Body().contains("{{")); // every text place filled
    EXPECT_FALSE(page.Body().contains("http")); // nothing fetched from elsewhere
    EXPECT_EQ(clients[1]->Status(), 421);
    EXPECT_EQ(clients[2]->Status(), 200);
    EXPECT_EQ(nlohmann::json::parse(clients[2]->Body().toStdString())["pupil"], "Pupil 1");
    EXPECT_EQ(clients[3]->Status(), 413);
    EXPECT_EQ(clients[4]->Status(), 404);

    // A browser killed in the middle of sending its answer leaves the code open.
    std::vector<std::unique_ptr<TRawClient>> broken;
    const QByteArray body = R"({"code": ")" + code + R"(", "positive": [2]})";
    broken.push_back(std::make_unique<TRawClient>(
        port, "POST /api/answer HTTP/1.1\r\nHost: localhost:" + QByteArray::number(port) +
                  "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body.left(10)));
    const QDeadlineTimer sent(5'000);
    while (broken[0]->Socket().bytesToWrite() > 0 || broken[0]->Socket().state() != QAbstractSocket::ConnectedState) {
        ASSERT_FALSE(sent.hasExpired());
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    broken[0]->Socket().abort();
    std::vector<std::unique_ptr<TRawClient>> after;
    after.push_back(std::make_unique<TRawClient>(port, Get(port, "/api/survey?code=" + code)));
    ASSERT_TRUE(RunUntilDone(after));
    EXPECT_EQ(after[0]->Status(), 200);
    EXPECT_FALSE(collection.HasAnswered(1));

    // Stopped, nothing answers any more.
    server.Stop();
    QCoreApplication::processEvents();
    QTcpSocket probe;
    probe.connectToHost(QHostAddress::LocalHost, port);
    EXPECT_FALSE(probe.waitForConnected(2000));
}

TEST(SurveySlips, EveryPupilGetsOneSlipWithTheirOwnCodeTenToAPage)
{
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    TSurveyCollection collection(ClassOf(12));
    TTempDir dir;
    const QString pdf = QString::fromStdString(dir.File("slips.pdf"));
    QString reason;
    ASSERT_TRUE(WriteSurveySlips(pdf, collection, "http://10.0.0.7:8471/", &reason)) << reason.toStdString();

    QProcess text;
    text.start("pdftotext", {"-layout", pdf, "-"});
    ASSERT_TRUE(text.waitForFinished(30'000));
    const QString out = QString::fromUtf8(text.readAllStandardOutput());
    EXPECT_EQ(out.count('\f'), 2); // two pages
    EXPECT_EQ(out.count("http://10.0.0.7:8471/"), 12);
    for (const TSurveyPupil& pupil : collection.Setup().Pupils) {
        const QString code = QString::fromStdString(PrintedSurveyCode(collection.CodeOf(pupil.Id)));
        EXPECT_EQ(out.count(code), 1) << code.toStdString();
        EXPECT_TRUE(out.contains(QString::fromStdString(pupil.Name))) << pupil.Name;
    }
}

TEST(SurveyServer, ListensOnTheChosenAddressAndOnLoopbackOnly)
{
    const QStringList addresses = TSurveyServer::CandidateAddresses();
    if (addresses.size() < 2)
        GTEST_SKIP() << "this machine has no network address besides loopback";
    const QHostAddress network(addresses.first());
    TSurveyCollection collection(ClassOf(2));
    TSurveyServer server(collection);
    const auto reachable = [](const QHostAddress& address, quint16 port) {
        QTcpSocket probe;
        probe.connectToHost(address, port);
        return probe.waitForConnected(2000);
    };

    ASSERT_TRUE(server.Start("127.0.0.1", 0));
    EXPECT_TRUE(reachable(QHostAddress::LocalHost, server.Port()));
    EXPECT_FALSE(reachable(network, server.Port()));

    ASSERT_TRUE(server.Start(addresses.first(), 0));
    EXPECT_EQ(server.Url(), "http://" + addresses.first() + ":" + QString::number(server.Port()) + "/");
    EXPECT_TRUE(reachable(network, server.Port()));
    EXPECT_TRUE(reachable(QHostAddress::LocalHost, server.Port()));
}
