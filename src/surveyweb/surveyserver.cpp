#include "surveyweb/surveyserver.h"

#include <QAbstractHttpServer>
#include <QFile>
#include <QHostAddress>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QNetworkInterface>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrlQuery>

#include "survey/surveyapi.h"

// The page's files live in a resource of this static library, which the linker keeps only when
// something names it.
static void InitSurveyResources()
{
    Q_INIT_RESOURCE(survey);
}

namespace {

using TStatus = QHttpServerResponder::StatusCode;

// The page may load only what this server serves and may send nowhere else.
constexpr const char* kContentPolicy =
    "default-src 'none'; script-src 'self'; style-src 'self'; img-src 'self'; connect-src 'self'; "
    "form-action 'self'; base-uri 'none'; frame-ancestors 'none'";

QByteArray HeaderValue(const QHttpServerRequest& request, const QByteArray& name)
{
    for (const auto& [key, value] : request.headers()) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

void Write(QHttpServerResponder responder, int status, const QByteArray& type, const QByteArray& body)
{
    responder.writeStatusLine(static_cast<TStatus>(status));
    responder.writeHeader("Content-Type", type);
    responder.writeHeader("Content-Length", QByteArray::number(body.size()));
    responder.writeHeader("Cache-Control", "no-store");
    responder.writeHeader("Content-Security-Policy", kContentPolicy);
    responder.writeHeader("X-Content-Type-Options", "nosniff");
    responder.writeHeader("Referrer-Policy", "no-referrer");
    responder.writeHeader("X-Frame-Options", "DENY");
    responder.writeBody(body);
}

QByteArray Resource(const char* name)
{
    QFile file(QStringLiteral(":/survey/") + QLatin1String(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The host part of a URL for an address (IPv6 in brackets).
QString UrlHost(const QHostAddress& address)
{
    return address.protocol() == QAbstractSocket::IPv6Protocol ? QStringLiteral("[") + address.toString() + QStringLiteral("]")
                                                                : address.toString();
}

} // namespace

// The HTTP side: Qt's server, answering every request itself.
class TSurveyServer::THttp final : public QAbstractHttpServer {
public:
    THttp(TSurveyServer& owner, TSurveyCollection& collection) : m_owner(owner), m_api(collection) {}

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

private:
    void Send(const QHttpServerRequest& request, QTcpSocket* socket, int status, const QByteArray& type,
              const QByteArray& body)
    {
        Write(makeResponder(request, socket), status, type, body);
    }
    void SendReply(const QHttpServerRequest& request, QTcpSocket* socket, const TSurveyReply& reply)
    {
        Send(request, socket, reply.Status, "application/json; charset=utf-8", QByteArray::fromStdString(reply.Body));
    }

    TSurveyServer& m_owner;
    TSurveyApi m_api;
};

TSurveyServer::TSurveyServer(TSurveyCollection& collection, QObject* parent)
    : QObject(parent), m_http(std::make_unique<THttp>(*this, collection))
{
    InitSurveyResources();
}

TSurveyServer::~TSurveyServer()
{
    Stop();
}

bool TSurveyServer::Start(const QString& address, quint16 port)
{
    Stop();
    const QHostAddress ip(address);
    if (ip.isNull())
        return false;
    const quint16 bound = m_http->listen(ip, port);
    if (bound == 0)
        return false;
    if (!ip.isLoopback()) {
        const QHostAddress loopback = ip.protocol() == QAbstractSocket::IPv6Protocol
                                          ? QHostAddress(QHostAddress::LocalHostIPv6)
                                          : QHostAddress(QHostAddress::LocalHost);
        if (m_http->listen(loopback, bound) == 0) {
            Stop();
            return false;
        }
    }
    m_host = UrlHost(ip);
    m_port = bound;
    const QString at = QStringLiteral(":") + QString::number(bound);
    m_hosts = {m_host + at, QStringLiteral("localhost") + at, QStringLiteral("127.0.0.1") + at,
               QStringLiteral("[::1]") + at};
    return true;
}

void TSurveyServer::Stop()
{
    for (QTcpServer* server : m_http->servers()) {
        server->close();
        server->deleteLater();
    }
    m_port = 0;
    m_hosts.clear();
}

QString TSurveyServer::Url() const
{
    return QStringLiteral("http://%1:%2/").arg(m_host).arg(m_port);
}

QStringList TSurveyServer::CandidateAddresses()
{
    QStringList v4;
    QStringList v6;
    for (const QNetworkInterface& face : QNetworkInterface::allInterfaces()) {
        const auto flags = face.flags();
        if (!flags.testFlag(QNetworkInterface::IsUp) || !flags.testFlag(QNetworkInterface::IsRunning) ||
            flags.testFlag(QNetworkInterface::IsLoopBack))
            continue;
        for (const QNetworkAddressEntry& entry : face.addressEntries()) {
            const QHostAddress ip = entry.ip();
            if (ip.protocol() == QAbstractSocket::IPv4Protocol)
                v4.append(ip.toString());
            else if (ip.protocol() == QAbstractSocket::IPv6Protocol && !ip.isLinkLocal())
                v6.append(ip.toString());
        }
    }
    return v4 + v6 + QStringList{QHostAddress(QHostAddress::LocalHost).toString()};
}

bool TSurveyServer::THttp::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket)
{
    // A page of another site that a pupil's browser was led to cannot talk to us under its own
    // name (DNS rebinding): only our own addresses are accepted as the host.
    if (!m_owner.m_hosts.contains(QString::fromLatin1(HeaderValue(request, "Host")), Qt::CaseInsensitive)) {
        Send(request, socket, 421, "text/plain; charset=utf-8", "Misdirected request\n");
        return true;
    }
    bool lengthOk = true;
    const qlonglong length = HeaderValue(request, "Content-Length").toLongLong(&lengthOk);
    if ((lengthOk && length > static_cast<qlonglong>(kSurveyMaxBody)) ||
        static_cast<std::size_t>(request.body().size()) > kSurveyMaxBody) {
        SendReply(request, socket, TSurveyApi::TooLarge());
        return true;
    }
    const QString path = request.url().path();
    const auto method = request.method();
    const std::string address = request.remoteAddress().toString().toStdString();
    const auto now = TWrongCodeLimiter::TClock::now();
    if (method == QHttpServerRequest::Method::Get && (path == "/" || path == "/index.html")) {
        const std::string page = FillSurveyPage(Resource("index.html").toStdString());
        Send(request, socket, 200, "text/html; charset=utf-8", QByteArray::fromStdString(page));
    } else if (method == QHttpServerRequest::Method::Get && path == "/survey.css") {
        Send(request, socket, 200, "text/css; charset=utf-8", Resource("survey.css"));
    } else if (method == QHttpServerRequest::Method::Get && path == "/survey.js") {
        Send(request, socket, 200, "text/javascript; charset=utf-8", Resource("survey.js"));
    } else if (method == QHttpServerRequest::Method::Get && path == "/api/survey") {
        const QString code = request.query().queryItemValue("code", QUrl::FullyDecoded);
        SendReply(request, socket, m_api.Survey(code.toStdString(), address, now));
    } else if (method == QHttpServerRequest::Method::Post && path == "/api/answer") {
        const QByteArray body = request.body();
        const TSurveyReply reply = m_api.Answer(std::string_view(body.constData(), static_cast<std::size_t>(body.size())),
                                                address, now);
        SendReply(request, socket, reply);
        if (reply.Status == 200)
            Q_EMIT m_owner.Answered(reply.PupilId);
    } else {
        missingHandler(request, socket);
    }
    return true;
}

void TSurveyServer::THttp::missingHandler(const QHttpServerRequest& request, QTcpSocket* socket)
{
    Send(request, socket, 404, "text/plain; charset=utf-8", "Not found\n");
}
