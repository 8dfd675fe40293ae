// Starts and stops the PostgreSQL cluster that the tests of one program share, for ctest:
//   postgres_cluster start FOLDER   makes a fresh cluster there and leaves it running
//   postgres_cluster stop FOLDER    stops it and removes the folder
#include <exception>
#include <iostream>
#include <string>

#include "support/postgres_server.h"

int main(int argc, char** argv) {
    using infotrakon::testing::TemporaryPostgres;
    const std::string command = argc == 3 ? argv[1] : "";
    if (command != "start" && command != "stop") {
        std::cerr << "usage: postgres_cluster start|stop FOLDER\n";
        return 2;
    }
    try {
        if (command == "start") {
            const TemporaryPostgres kept(argv[2], TemporaryPostgres::Lifetime::kKept);
        } else {
            TemporaryPostgres(argv[2], TemporaryPostgres::Lifetime::kJoined).Remove();
        }
    } catch (const std::exception& error) {
        std::cerr << "postgres_cluster: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
