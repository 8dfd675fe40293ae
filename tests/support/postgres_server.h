// A PostgreSQL server of the test's own: a cluster in a temporary folder, reached only
// through a Unix socket in that folder (it listens on no network address), stopped and
// removed with the object, even when the test fails.
#pragma once

#include <glob.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

namespace infotrakon::testing {

class TemporaryPostgres {
  public:
    static constexpr const char* kUser = "agenda";
    static constexpr const char* kPassword = "tajné heslo";
    static constexpr int kPort = 5433;

    TemporaryPostgres() {
        binaries_ = FindBinaries();
        folder_ = std::filesystem::temp_directory_path() /
                  ("infotrakon-pg-" + std::to_string(::getpid()));
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
        std::ofstream(folder_ / "password") << kPassword << "\n";
        // The server refuses to run as root; it runs as the postgres user then.
        if (::geteuid() == 0) {
            const passwd* postgres = ::getpwnam("postgres");
            if (postgres == nullptr)
                throw std::runtime_error("no postgres user to run the server as");
            runAs_ = "runuser -u postgres -- ";
            for (const auto& path : {folder_, folder_ / "password"})
                if (::chown(path.c_str(), postgres->pw_uid, postgres->pw_gid) != 0)
                    throw std::runtime_error("cannot hand " + path.string() + " to postgres");
        }
        Run(binaries_ + "/initdb -D '" + (folder_ / "data").string() + "' -U " + kUser +
            " --pwfile='" + (folder_ / "password").string() +
            "' -A scram-sha-256 -E UTF8 --locale=C.UTF-8 >'" + (folder_ / "initdb.log").string() +
            "' 2>&1");
        Start();
    }
    ~TemporaryPostgres() {
        Stop();
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    TemporaryPostgres(const TemporaryPostgres&) = delete;
    TemporaryPostgres& operator=(const TemporaryPostgres&) = delete;

    void Start() {
        if (running_) return;
        Run(binaries_ + "/pg_ctl -D '" + (folder_ / "data").string() + "' -w -t 60 -l '" +
            (folder_ / "server.log").string() + "' -o \"-k '" + folder_.string() +
            "' -c listen_addresses='' -p " + std::to_string(kPort) +
            " -c fsync=off\" start >/dev/null");
        running_ = true;
    }
    void Stop() {
        if (!running_) return;
        running_ = false;
        std::system((runAs_ + binaries_ + "/pg_ctl -D '" + (folder_ / "data").string() +
                     "' -w -m fast stop >/dev/null 2>&1")
                        .c_str());
    }

    // Runs a SQL script (or a command with -c) through psql on the given database.
    void Psql(const std::string& database, const std::string& arguments) const {
        Run("PGOPTIONS='-c client_min_messages=warning' PGPASSWORD='" + std::string(kPassword) +
            "' psql -X -q -v ON_ERROR_STOP=1 -h '" + folder_.string() + "' -p " +
            std::to_string(kPort) + " -U " + kUser + " -d " + database + " " + arguments +
            " >/dev/null");
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
    void CreateDatabase(const std::string& name) const {
        Psql("postgres", "-c 'CREATE DATABASE " + name + "'");
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
    std::string runAs_;
    bool running_ = false;
};

}  // namespace infotrakon::testing
