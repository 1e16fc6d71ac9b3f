#include "phone/phone_ordering.h"

#include "core/queue_writer.h"
#include "phone/phone_desk.h"
#include "phone/phone_server.h"

PhoneOrdering::PhoneOrdering(SharedState &state, PhoneConfig config, QueueWriter *writer, QObject *parent)
    : QObject(parent)
    , m_config(std::move(config))
    , m_desk(new PhoneDesk(state, m_config.ownerActions, this))
{
    m_thread.setObjectName(QStringLiteral("phone server"));
    if (!m_config.enabled)
        return;
    if (!m_config.problem.isEmpty()) {
        fail(m_config.problem);
        return;
    }
    startServer(writer);
}

PhoneOrdering::~PhoneOrdering()
{
    // The server goes with its thread; what the desk was still to answer is dropped with it.
    m_desk->disconnect(this);
    m_thread.quit();
    m_thread.wait();
}

void PhoneOrdering::startServer(QueueWriter *writer)
{
    m_config.waitForDisk = writer != nullptr;
    PhoneDesk *desk = m_desk;
    auto toDesk = [desk, this](quint64 ticket, const PhoneRequest &request) {
        QMetaObject::invokeMethod(
            desk,
            [desk, server = m_server, ticket, request] {
                const PhoneAnswer answer = desk->answer(request);
                QMetaObject::invokeMethod(server, [server, ticket, answer] { server->answered(ticket, answer); });
            },
            Qt::QueuedConnection);
    };
    m_server = new PhoneServer(m_config, toDesk);
    m_server->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_server, &QObject::deleteLater);
    connect(m_server, &PhoneServer::failed, this, &PhoneOrdering::fail);
    connect(m_server, &PhoneServer::addressChanged, this, [this](const QString &url) {
        m_url = url;
        emit urlChanged(url);
    });
    connect(m_desk, &PhoneDesk::viewChanged, this, &PhoneOrdering::publishView);
    if (writer) {
        PhoneServer *server = m_server;
        connect(writer, &QueueWriter::written, m_server, [server](quint64 revision) { server->queueWritten(revision); });
        connect(writer, &QueueWriter::failed, m_server, [server] { server->queueFailed(); });
        const quint64 written = writer->writtenRevision();
        QMetaObject::invokeMethod(m_server, [server, written] { server->queueWritten(written); });
    }
    m_thread.start();
    QMetaObject::invokeMethod(m_server, &PhoneServer::start);
    publishView();
}

void PhoneOrdering::publishView()
{
    QMetaObject::invokeMethod(m_server, [server = m_server, view = m_desk->view()] { server->setView(view); });
}

void PhoneOrdering::fail(const QString &problem)
{
    qWarning("%s", qPrintable(problem));
    m_problem = problem;
    emit failed(problem);
}
