#pragma once

#include <QAbstractHttpServer>
#include <QHostAddress>
#include <QStringList>

#include "survey/surveyapi.h"

class QTcpSocket;

// Serves the survey page and its JSON interface to the pupils' browsers while a collection runs:
// a thin layer that checks the request's host and size and hands the rest to TSurveyApi. It
// listens on one chosen address and on loopback, and stops listening when destroyed.
class TSurveyServer final : public QAbstractHttpServer {
    Q_OBJECT

public:
    explicit TSurveyServer(TSurveyCollection& collection, QObject* parent = nullptr);
    ~TSurveyServer() override;

    // Listens at the port (0: a free one the system picks) on the address and on loopback; false
    // when either cannot be bound, with nothing listening then.
    bool Start(const QHostAddress& address, quint16 port);
    void Stop();
    bool IsListening() const { return m_port != 0; }
    quint16 Port() const { return m_port; }
    // The address pupils open, "http://192.168.1.20:8471/".
    QString Url() const;

    // The addresses of this computer's network interfaces that pupils may reach, IPv4 first,
    // loopback last.
    static QList<QHostAddress> CandidateAddresses();

Q_SIGNALS:
    // A pupil's answer was kept.
    void Answered(int pupilId);

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

private:
    bool HostAllowed(const QByteArray& host) const;

    TSurveyApi m_api;
    QHostAddress m_address;
    quint16 m_port = 0;
    QStringList m_hosts;
};

// The host part of a URL for an address (IPv6 in brackets).
QString UrlHost(const QHostAddress& address);
