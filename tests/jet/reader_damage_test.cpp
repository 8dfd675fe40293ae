// Damaged files, as a crash of the host or a cut-short copy leaves them: the reader gives an
// Error naming the file and what was wrong, and never crashes, hangs or writes anything.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "core/error.h"
#include "jet/format.h"
#include "jet/reader.h"
#include "support/test_support.h"

namespace infotrakon::jet {
namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

fs::path SharedMdb(const std::string& name) { return testing::SharedPath("mdb/" + name); }

// Opens the file and decodes every value of every table; the number of values read.
std::size_t ReadEverything(const fs::path& path) {
    const Database database(OpenLocalFile(path.string()));
    std::size_t values = 0;
    for (const std::string& name : database.TableNames()) {
        const std::optional<TableInfo> table = database.OpenTable(name);
        if (!table) continue;
        TableCursor cursor(database, *table);
        while (cursor.Next())
            for (std::size_t column = 0; column < table->columns.size(); ++column) {
                cursor.Value(column);
                ++values;
            }
    }
    return values;
}

// The message of the Error that reading the file raises; "" when it reads cleanly.
std::string DamageReported(const fs::path& path) {
    try {
        ReadEverything(path);
        return "";
    } catch (const Error& error) {
        return std::to_string(error.number()) + ": " + error.what();
    }
}

class DamagedFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        directory_ = fs::temp_directory_path() /
                     ("infotrakon-damage-" + std::to_string(::getpid()) + "-" +
                      ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(directory_);
        fs::create_directories(directory_);
    }
    void TearDown() override { fs::remove_all(directory_); }

    fs::path Damaged(const std::string& source,
                     const std::function<void(std::vector<std::uint8_t>&)>& damage) {
        std::vector<std::uint8_t> bytes = ReadBytes(SharedMdb(source));
        damage(bytes);
        const fs::path path = directory_ / source;
        WriteBytes(path, bytes);
        return path;
    }

    fs::path directory_;
};

std::uint32_t PageSizeOf(const std::vector<std::uint8_t>& bytes) {
    return bytes.at(0x14) == 0 ? 2048 : 4096;
}

// Page numbers of the pages of one kind (the first byte of a page).
std::vector<std::uint32_t> PagesOfKind(const std::vector<std::uint8_t>& bytes, std::uint8_t kind) {
    std::vector<std::uint32_t> pages;
    const std::uint32_t size = PageSizeOf(bytes);
    for (std::uint32_t page = 1; page < bytes.size() / size; ++page)
        if (bytes[page * size] == kind) pages.push_back(page);
    return pages;
}

void PutLong(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes.at(at + i) = static_cast<std::uint8_t>(value >> (8 * i));
}

struct Damage {
    const char* name;
    const char* file;
    std::function<void(std::vector<std::uint8_t>&)> apply;
    const char* reported;  // a part of the message
};

TEST_F(DamagedFileTest, EachKindOfDamageIsNamed) {
    INFOTRAKON_SKIP_WITHOUT_SHARED("mdb");
    const std::vector<Damage> damages = {
        {"cut in half", "jackcess_testV2000.mdb",
         [](auto& bytes) { bytes.resize(bytes.size() / 2); }, "beyond the end of the file"},
        {"cut inside its last data page", "jackcess_test2V2000.mdb",
         [](auto& bytes) {
             const std::uint32_t size = PageSizeOf(bytes);
             bytes.resize(PagesOfKind(bytes, 0x01).back() * size + size / 2);
         },
         "damaged"},
        {"only the header", "jackcess_testV2000.mdb", [](auto& bytes) { bytes.resize(4096); },
         "ends before its catalog"},
        {"table definition chained to itself", "jackcess_testV2000.mdb",
         [](auto& bytes) {
             for (const std::uint32_t page : PagesOfKind(bytes, 0x02))
                 PutLong(bytes, page * PageSizeOf(bytes) + 4, page);
         },
         "runs in a circle"},
        {"table definition chained past the end", "jackcess_testV1997.mdb",
         [](auto& bytes) {
             for (const std::uint32_t page : PagesOfKind(bytes, 0x02))
                 PutLong(bytes, page * PageSizeOf(bytes) + 4, 0x00FFFFFF);
         },
         "beyond the end of the file"},
        {"data pages wiped", "jackcess_test2V2000.mdb",
         [](auto& bytes) {
             for (const std::uint32_t page : PagesOfKind(bytes, 0x01))
                 std::memset(&bytes[page * PageSizeOf(bytes) + 8], 0xFF, 64);
         },
         "damaged"},
        {"not a database", "jackcess_testV2000.mdb",
         [](auto& bytes) { std::fill(bytes.begin(), bytes.begin() + 32, 0x41); }, "3343"},
    };
    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.name);
        const fs::path path = Damaged(damage.file, damage.apply);
        const std::string reported = DamageReported(path);
        EXPECT_NE(reported.find(damage.reported), std::string::npos) << reported;
        EXPECT_NE(reported.find(path.string()), std::string::npos) << reported;
    }
}

// Random damage to real files, of the kinds a failing disk or a torn write causes: runs of
// garbage, zeroed runs and big page numbers in the pages. Reading must end, quickly, in data
// or in an Error.
TEST_F(DamagedFileTest, RandomDamageEndsInDataOrAnError) {
    INFOTRAKON_SKIP_WITHOUT_SHARED("mdb");
    std::mt19937 random(20261206);
    int errors = 0;
    int clean = 0;
    const auto started = std::chrono::steady_clock::now();
    for (const char* source :
         {"jackcess_testV2000.mdb", "jackcess_test2V1997.mdb", "jackcess_overflowTestV1997.mdb",
          "jackcess_delColTestV2000.mdb", "jackcess_fixedNumericTestV2000.mdb"}) {
        const std::vector<std::uint8_t> original = ReadBytes(SharedMdb(source));
        for (int round = 0; round < 400; ++round) {
            std::vector<std::uint8_t> bytes = original;
            const int hits = 1 + static_cast<int>(random() % 8);
            for (int hit = 0; hit < hits; ++hit) {
                // Past the header, whose damage every reader refuses at once.
                const std::size_t at = 0x800 + random() % (bytes.size() - 0x800 - 8);
                switch (random() % 3) {
                    case 0:
                        for (int i = 0; i < 4; ++i)
                            bytes[at + i] = static_cast<std::uint8_t>(random());
                        break;
                    case 1:
                        std::memset(&bytes[at], 0, 8);
                        break;
                    default:
                        PutLong(bytes, at,
                                0xFFFF0000u | static_cast<std::uint32_t>(random() % 65536));
                }
            }
            const fs::path path = directory_ / "damaged.mdb";
            WriteBytes(path, bytes);
            try {
                ReadEverything(path);
                ++clean;
            } catch (const Error& error) {
                ++errors;
                EXPECT_NE(std::string(error.what()).find(path.string()), std::string::npos)
                    << error.what();
            } catch (const std::exception& other) {
                ADD_FAILURE() << source << " round " << round << ": " << other.what();
            }
        }
    }
    EXPECT_GT(errors, 0);
    EXPECT_GT(clean, 0);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(60));
}

TEST_F(DamagedFileTest, ReadingLeavesTheFileAndItsFolderAsTheyWere) {
    INFOTRAKON_SKIP_WITHOUT_SHARED("mdb");
    const fs::path path = directory_ / "agenda.mdb";
    fs::copy_file(SharedMdb("jackcess_test2V2000.mdb"), path);
    fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    struct stat before {};
    ASSERT_EQ(::stat(path.c_str(), &before), 0);
    const std::vector<std::uint8_t> bytesBefore = ReadBytes(path);

    EXPECT_GT(ReadEverything(path), 0u);

    struct stat after {};
    ASSERT_EQ(::stat(path.c_str(), &after), 0);
    EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
    EXPECT_EQ(ReadBytes(path), bytesBefore);
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(directory_))
        names.push_back(entry.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{"agenda.mdb"});  // no agenda.ldb
}

TEST_F(DamagedFileTest, MissingFilesAndFoldersAreNamed) {
    const struct {
        fs::path path;
        int number;
    } cases[] = {{directory_ / "none.mdb", error_number::kCouldNotFindFile},
                 {directory_, error_number::kCannotOpenDatabase}};
    for (const auto& [path, number] : cases) {
        try {
            Database database(OpenLocalFile(path.string()));
            ADD_FAILURE() << path << " opened";
        } catch (const Error& error) {
            EXPECT_EQ(error.number(), number) << error.what();
            EXPECT_NE(std::string(error.what()).find(path.string()), std::string::npos);
        }
    }
}

}  // namespace
}  // namespace infotrakon::jet
