// A PostgreSQL server for tests: a cluster in a temporary folder, reached only through a
// Unix socket in that folder (it listens on no network address). A test's own server is
// stopped and removed with the object, even when the test fails.
#pragma once

#include <glob.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>

namespace infotrakon::testing {

class TemporaryPostgres {
  public:
    static constexpr const char* kUser = "agenda";
    static constexpr const char* kPassword = "tajné heslo";
    static constexpr int kPort = 5433;

    enum class Lifetime {
        kOwn,     // made and started now; stopped and removed with the object
        kKept,    // made and started now; left running for other processes
        kJoined,  // already running, made by another process; left as it is
    };

    // A cluster of its own, in a fresh temporary folder.
    TemporaryPostgres() : TemporaryPostgres(FreshFolder(), Lifetime::kOwn) {}

    TemporaryPostgres(std::filesystem::path folder, Lifetime lifetime)
        : binaries_(FindBinaries()), folder_(std::move(folder)), lifetime_(lifetime) {
        // The server refuses to run as root; it runs as the postgres user then.
        if (::geteuid() == 0) {
            if (::getpwnam("postgres") == nullptr)
                throw std::runtime_error("no postgres user to run the server as");
            runAs_ = "runuser -u postgres -- ";
        }
        if (lifetime_ == Lifetime::kJoined) {
            running_ = true;
            return;
        }
        Remove();
        std::filesystem::create_directories(folder_);
        std::ofstream(folder_ / "password") << kPassword << "\n";
        if (!runAs_.empty()) {
            const passwd* postgres = ::getpwnam("postgres");
            for (const auto& path : {folder_, folder_ / "password"})
                if (::chown(path.c_str(), postgres->pw_uid, postgres->pw_gid) != 0)
                    throw std::runtime_error("cannot hand " + path.string() + " to postgres");
        }
        // The driver as Debian registers it, but without its communication log, which would
        // leave a file in /tmp for every test process.
        std::ofstream(folder_ / "odbcinst.ini")
            << "[PostgreSQL Unicode]\nDriver = psqlodbcw.so\nDebug = 0\nCommLog = 0\n";
        Run(binaries_ + "/initdb -D '" + (folder_ / "data").string() + "' -U " + kUser +
            " --pwfile='" + (folder_ / "password").string() +
            "' -A scram-sha-256 -E UTF8 --locale=C.UTF-8 >'" + (folder_ / "initdb.log").string() +
            "' 2>&1");
        Start();
    }
    ~TemporaryPostgres() {
        if (lifetime_ == Lifetime::kOwn) Remove();
    }
    TemporaryPostgres(const TemporaryPostgres&) = delete;
    TemporaryPostgres& operator=(const TemporaryPostgres&) = delete;

    // The server that the tests of one program share: the one that ctest started for them and
    // named in INFOTRAKON_TEST_POSTGRES, else one of this process, made when first asked for.
    // A test that stops its server makes one of its own. The process then finds the ODBC
    // driver registered in the server's folder.
    static const TemporaryPostgres& Shared() {
        static const std::unique_ptr<TemporaryPostgres> shared = [] {
            const char* folder = std::getenv("INFOTRAKON_TEST_POSTGRES");
            auto server = folder != nullptr && *folder != '\0'
                              ? std::make_unique<TemporaryPostgres>(folder, Lifetime::kJoined)
                              : std::make_unique<TemporaryPostgres>();
            ::setenv("ODBCSYSINI", server->socketFolder().c_str(), 0);
            return server;
        }();
        return *shared;
    }

    void Start() {
        if (running_) return;
        Run(binaries_ + "/pg_ctl -D '" + (folder_ / "data").string() + "' -w -t 60 -l '" +
            (folder_ / "server.log").string() + "' -o \"-k '" + folder_.string() +
            "' -c listen_addresses='' -p " + std::to_string(kPort) +
            " -c fsync=off -c shared_preload_libraries=pg_stat_statements\" start >/dev/null");
        running_ = true;
    }
    void Stop() {
        if (!running_) return;
        running_ = false;
        StopServer();
    }
    // Stops a server of the folder, even one that an earlier run left behind, and removes
    // the folder.
    void Remove() {
        running_ = false;
        if (std::filesystem::exists(folder_ / "data" / "postmaster.pid")) StopServer();
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    // Runs a SQL script (or a command with -c) through psql on the given database.
    void Psql(const std::string& database, const std::string& arguments) const {
        Run(PsqlCommand(database, arguments) + " >/dev/null");
    }
    // Psql for another client of the server, which goes on beside the test; the test ends
    // its session.
    void PsqlBeside(const std::string& database, const std::string& arguments) const {
        Run(PsqlCommand(database, arguments) + " >/dev/null 2>&1 &");
    }
    // What one query prints, unaligned and without headers.
    std::string Query(const std::string& database, const std::string& sql) const {
        const std::string command = "PGPASSWORD='" + std::string(kPassword) +
                                    "' psql -X -q -A -t -h '" + folder_.string() + "' -p " +
                                    std::to_string(kPort) + " -U " + kUser + " -d " + database +
                                    " -c \"" + sql + "\"";
        FILE* pipe = ::popen(command.c_str(), "r");
        if (pipe == nullptr) throw std::runtime_error("failed: " + command);
        std::string output;
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            output.append(buffer, n);
        if (::pclose(pipe) != 0) throw std::runtime_error("failed: " + command);
        while (!output.empty() && output.back() == '\n') output.pop_back();
        return output;
    }
    // A new database, in place of one of that name that a test run before left.
    void CreateDatabase(const std::string& name) const {
        Psql("postgres", "-c 'DROP DATABASE IF EXISTS " + name +
                             " WITH (FORCE)' -c 'CREATE DATABASE " + name + "'");
    }

    const std::filesystem::path& socketFolder() const { return folder_; }

    // The Extended Properties of a data link to a database of this server.
    std::string OdbcProperties(const std::string& database,
                               const std::string& password = kPassword) const {
        return "DRIVER={PostgreSQL Unicode};SERVER=" + folder_.string() +
               ";PORT=" + std::to_string(kPort) + ";DATABASE=" + database + ";UID=" + kUser +
               ";PWD=" + password;
    }

  private:
    static std::filesystem::path FreshFolder() {
        static std::atomic<int> made = 0;
        return std::filesystem::temp_directory_path() /
               ("infotrakon-pg-" + std::to_string(::getpid()) + "-" + std::to_string(++made));
    }

    void StopServer() const {
        std::system((runAs_ + binaries_ + "/pg_ctl -D '" + (folder_ / "data").string() +
                     "' -w -m fast stop >/dev/null 2>&1")
                        .c_str());
    }

    std::string PsqlCommand(const std::string& database, const std::string& arguments) const {
        return "PGOPTIONS='-c client_min_messages=warning' PGPASSWORD='" + std::string(kPassword) +
               "' psql -X -q -v ON_ERROR_STOP=1 -h '" + folder_.string() + "' -p " +
               std::to_string(kPort) + " -U " + kUser + " -d " + database + " " + arguments;
    }

    static std::string FindBinaries() {
        glob_t found{};
        std::string directory;
        if (::glob("/usr/lib/postgresql/*/bin/initdb", 0, nullptr, &found) == 0 &&
            found.gl_pathc > 0)
            directory =
                std::filesystem::path(found.gl_pathv[found.gl_pathc - 1]).parent_path().string();
        ::globfree(&found);
        if (directory.empty()) throw std::runtime_error("PostgreSQL's initdb is not installed");
        return directory;
    }

    void Run(const std::string& command) const {
        const bool asServer = command.rfind(binaries_, 0) == 0;
        if (std::system(((asServer ? runAs_ : std::string()) + command).c_str()) != 0)
            throw std::runtime_error("failed: " + command);
    }

    std::string binaries_;
    std::filesystem::path folder_;
    Lifetime lifetime_;
    std::string runAs_;
    bool running_ = false;
};

}  // namespace infotrakon::testing
