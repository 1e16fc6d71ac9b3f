#include "venue_fixture.h"

#include <QCoreApplication>

namespace {
PrivateServer *server = nullptr;

// One cluster for the whole run; each test takes a database of its own.
class ServerEnvironment : public ::testing::Environment
{
public:
    void SetUp() override { server = new PrivateServer; }
    void TearDown() override
    {
        delete server;
        server = nullptr;
    }
};
} // namespace

PrivateServer &testServer()
{
    return *server;
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new ServerEnvironment);
    return RUN_ALL_TESTS();
}
