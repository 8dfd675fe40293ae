// Connections to a server: the data control's time-outs (a server that never answers the
// login, a statement that runs longer than the command may), a connection lost mid-walk,
// and kept connections closed when they have idled too long. Nothing may wait for ever.
#include "agenda_db/odbc/odbc_connection.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "agenda_db/connection_string.h"
#include "agenda_db/odbc/odbc_connection_string.h"
#include "agenda_db/odbc/odbc_recordset.h"
#include "core/error.h"
#include "core/text_encoding.h"
#include "support/postgres_server.h"
#include "support/test_support.h"

namespace infotrakon::agenda_db {
namespace {

namespace fs = std::filesystem;
using infotrakon::testing::ErrorNumberOf;
using infotrakon::testing::TemporaryPostgres;
using Clock = std::chrono::steady_clock;

// A socket where a PostgreSQL server would listen, which takes connections into its queue
// and never says a word.
class SilentServer {
  public:
    static constexpr int kPort = 5499;
    SilentServer() {
        folder_ = fs::temp_directory_path() / ("infotrakon-silent-" + std::to_string(::getpid()));
        fs::create_directories(folder_);
        socket_ = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const std::string path = (folder_ / (".s.PGSQL." + std::to_string(kPort))).string();
        path.copy(address.sun_path, sizeof address.sun_path - 1);
        if (socket_ < 0 ||
            ::bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            ::listen(socket_, 16) != 0)
            throw std::runtime_error("cannot listen on " + path);
    }
    ~SilentServer() {
        ::close(socket_);
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    const fs::path& folder() const { return folder_; }

  private:
    fs::path folder_;
    int socket_ = -1;
};

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::vector<ConnectionProperty> LinkTo(const std::string& extendedProperties) {
    return ParseConnectionString("Provider=MSDASQL.1;Extended Properties=\"" + extendedProperties +
                                 "\"");
}

TEST(OdbcConnectionTest, ALoginThatIsNeverAnsweredEndsAfterTheConnectTimeout) {
    const SilentServer server;
    panel::DataControlSettings settings;
    settings.connectionTimeoutSeconds = 2;
    const auto start = Clock::now();
    std::string message;
    const int number = ErrorNumberOf(
        [&] {
            OpenOdbcRecordset(
                LinkTo("DRIVER={PostgreSQL Unicode};SERVER=" + server.folder().string() +
                       ";PORT=" + std::to_string(SilentServer::kPort) +
                       ";DATABASE=agenda;UID=agenda;PWD=tajné heslo"),
                "The test's data link", "SELECT * FROM carservis", settings,
                std::make_shared<OdbcConnectionPool>());
        },
        &message);
    const double seconds = SecondsSince(start);
    EXPECT_EQ(number, error_number::kTimeout) << message;
    EXPECT_NE(message.find("Cannot connect within 2 s to the server"), std::string::npos)
        << message;
    EXPECT_EQ(message.find("tajné"), std::string::npos) << message;
    EXPECT_GE(seconds, 1.5);
    EXPECT_LT(seconds, 6.0);
}

TEST(OdbcConnectionTest, AStatementLongerThanTheCommandTimeoutIsCancelled) {
    const TemporaryPostgres& server = TemporaryPostgres::Shared();
    server.CreateDatabase("slow");
    server.Psql("slow", "-c 'CREATE VIEW slow AS SELECT 1 AS id FROM pg_sleep(20)'");
    panel::DataControlSettings settings;
    settings.commandTimeoutSeconds = 1;
    const auto start = Clock::now();
    std::string message;
    // Opening asks for the columns only; the rows are asked for by the first read.
    const int number = ErrorNumberOf(
        [&] {
            OpenOdbcRecordset(LinkTo(server.OdbcProperties("slow")), "The test's data link",
                              "SELECT * FROM slow", settings,
                              std::make_shared<OdbcConnectionPool>())
                ->RecordCount();
        },
        &message);
    const double seconds = SecondsSince(start);
    EXPECT_EQ(number, error_number::kTimeout) << message;
    EXPECT_NE(message.find("database slow"), std::string::npos) << message;
    EXPECT_LT(seconds, 6.0);
}

TEST(OdbcConnectionTest, AConnectionLostWhileTheRowsAreReadIsAClearError) {
    const TemporaryPostgres& server = TemporaryPostgres::Shared();
    server.CreateDatabase("lost");
    // Rows that take half a minute to come, a thousand at a time through the cursor: the
    // connection is cut long before the last.
    server.Psql("lost",
                "-c 'CREATE FUNCTION slow_id(g int) RETURNS int VOLATILE LANGUAGE sql "
                "AS $$ SELECT pg_sleep(0.01); SELECT g $$' "
                "-c 'CREATE VIEW slow AS SELECT slow_id(g) AS id FROM generate_series(1, 3000) g'");
    const auto records = OpenOdbcRecordset(
        LinkTo(server.OdbcProperties("lost")), "The test's data link", "SELECT * FROM slow",
        panel::DataControlSettings{}, std::make_shared<OdbcConnectionPool>());
    std::thread killer([&] {
        // Once the server is at work on the rows, not before.
        const auto asked = Clock::now();
        const std::string running =
            "SELECT count(*) FROM pg_stat_activity WHERE datname = 'lost' AND state = 'active'";
        while (server.Query("postgres", running) != "1" && SecondsSince(asked) < 60) {
        }
        server.Psql("postgres",
                    "-c \"SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE datname = "
                    "'lost'\"");
    });
    const auto start = Clock::now();
    std::string message;
    const int number = ErrorNumberOf([&] { records->RecordCount(); }, &message);
    killer.join();
    EXPECT_EQ(number, error_number::kProviderError) << message;
    EXPECT_NE(message.find("Cannot read table slow on the server"), std::string::npos) << message;
    EXPECT_LT(SecondsSince(start), 10.0);
}

// The panel has no thread of its own: a connection idled too long stays until the pool is
// next used, which closes it, and every kept connection goes with the pool.
TEST(OdbcConnectionTest, AKeptConnectionIdledTooLongIsClosedWhenThePoolIsNextUsed) {
    const TemporaryPostgres& server = TemporaryPostgres::Shared();
    server.CreateDatabase("idle");
    server.Psql("idle", "-c 'CREATE TABLE t (id integer)' -c 'INSERT INTO t VALUES (1)'");
    auto pool = std::make_shared<OdbcConnectionPool>(std::chrono::milliseconds(1000));
    const auto read = [&] {
        OpenOdbcRecordset(LinkTo(server.OdbcProperties("idle")), "The test's data link",
                          "SELECT * FROM t", {}, pool)
            ->RecordCount();
    };
    const std::string sessions =
        "SELECT count(*) FROM pg_stat_activity WHERE datname = 'idle' AND pid <> pg_backend_pid()";
    // A backend that has been logged off leaves pg_stat_activity a moment later.
    const auto settledSessions = [&](const std::string& expected) {
        const auto start = Clock::now();
        std::string count;
        while ((count = server.Query("idle", sessions)) != expected && SecondsSince(start) < 30) {
        }
        return count;
    };
    read();
    EXPECT_EQ(server.Query("idle", sessions), "1");
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    EXPECT_EQ(server.Query("idle", sessions), "1") << "closed in the background";
    EXPECT_EQ(pool->Take("DSN=another source"), nullptr);
    EXPECT_EQ(settledSessions("0"), "0");

    read();
    EXPECT_EQ(server.Query("idle", sessions), "1");
    pool.reset();
    EXPECT_EQ(settledSessions("0"), "0");
}

// The panel writes nothing: its session refuses a write even when asked for one, so a
// record source that slipped through could change nothing on the server.
TEST(OdbcConnectionTest, TheSessionIsReadOnly) {
    const TemporaryPostgres& server = TemporaryPostgres::Shared();
    server.CreateDatabase("readonly");
    server.Psql("readonly", "-c 'CREATE TABLE t (id integer)' -c 'INSERT INTO t VALUES (1)'");
    const auto properties = LinkTo(server.OdbcProperties("readonly"));
    const auto connection = odbc::Connect(OdbcConnectionString(OdbcProperties(properties)),
                                          odbc::NameOf(OdbcProperties(properties)), {});
    for (const char* write : {"INSERT INTO t VALUES (2)", "UPDATE t SET id = 3", "DELETE FROM t",
                              "CREATE TABLE u (id integer)"}) {
        SCOPED_TRACE(write);
        odbc::Handle statement(SQL_HANDLE_STMT, connection->dbc->get());
        std::u16string text = Utf8ToUtf16(write);
        EXPECT_FALSE(SQL_SUCCEEDED(SQLExecDirectW(statement.get(), odbc::WideArgument(text),
                                                  static_cast<SQLINTEGER>(text.size()))));
        const std::string state = odbc::Diagnose(SQL_HANDLE_STMT, statement.get(), {}).state;
        EXPECT_EQ(state, "25006");  // a read-only transaction
    }
    EXPECT_EQ(server.Query("readonly", "SELECT string_agg(id::text, ',') FROM t"), "1");
    EXPECT_EQ(server.Query("readonly", "SELECT count(*) FROM pg_tables WHERE tablename = 'u'"),
              "0");
}

}  // namespace
}  // namespace infotrakon::agenda_db
