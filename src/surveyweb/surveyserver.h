#pragma once

#include <memory>

#include <QObject>
#include <QString>
#include <QStringList>

class TSurveyCollection;

// Serves the survey page and its JSON interface to the pupils' browsers while a collection runs:
// a thin layer that checks each request's host and size and hands the rest to the survey core.
// It listens on one chosen address and on loopback, and stops listening when destroyed.
class TSurveyServer final : public QObject {
    Q_OBJECT

public:
    explicit TSurveyServer(TSurveyCollection& collection, QObject* parent = nullptr);
    ~TSurveyServer() override;
    TSurveyServer(const TSurveyServer&) = delete;
    TSurveyServer& operator=(const TSurveyServer&) = delete;

    // Listens at the port (0: a free one the system picks) on the IP address and on loopback;
    // false when either cannot be bound, with nothing listening then.
    bool Start(const QString& address, quint16 port);
    void Stop();
    bool IsListening() const { return m_port != 0; }
    quint16 Port() const { return m_port; }
    // The address pupils open, "http://192.168.1.20:8471/".
    QString Url() const;

    // The IP addresses of this computer's running network interfaces, IPv4 first, loopback last.
    static QStringList CandidateAddresses();

Q_SIGNALS:
    // A pupil's answer was kept.
    void Answered(int pupilId);

private:
    class THttp;
    friend class THttp;

    std::unique_ptr<THttp> m_http;
    QString m_host;
    quint16 m_port = 0;
    QStringList m_hosts;
};
