#pragma once

#include "phone/phone_config.h"

#include <QObject>
#include <QString>
#include <QThread>

class PhoneDesk;
class PhoneServer;
class QueueWriter;
struct SharedState;

// Phone ordering as the jukebox runs it: the server on a thread of its own, a worker as
// core/worker_thread.h says for one that serves the network (the keypad never
// waits on the network), the desk on the window thread, and the queue's copy on disk, which
// says when a change may be answered "ok". Off with "PhoneOrdering = 0" in Setting.ini.
class PhoneOrdering : public QObject
{
    Q_OBJECT

public:
    // writer keeps the queue on disk; without one, answers go out at once.
    PhoneOrdering(SharedState &state, PhoneConfig config, QueueWriter *writer, QObject *parent = nullptr);
    ~PhoneOrdering() override;

    PhoneDesk &desk() { return *m_desk; }
    const PhoneConfig &config() const { return m_config; }
    // The address phones open; empty while unknown, or when the server does not run.
    QString url() const { return m_url; }
    // Why the server does not run; empty while it runs or is off.
    QString problem() const { return m_problem; }

signals:
    void urlChanged(const QString &url);
    void failed(const QString &problem);

private:
    void startServer(QueueWriter *writer);
    void publishView();
    void fail(const QString &problem);

    PhoneConfig m_config;
    PhoneDesk *m_desk;
    PhoneServer *m_server = nullptr;
    QThread m_thread;
    QString m_url;
    QString m_problem;
};
