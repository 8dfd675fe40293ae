// A host for the panel in tests: a temporary Wine prefix with drive C, a registry export
// holding the host's setting, agendas written by our Jet writer, a pinned today.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "agenda_db/agenda_backend.h"
#include "control/infotrakon.h"
#include "core/clock.h"
#include "core/locale.h"
#include "core/wine_file_system.h"
#include "mkagenda/jet_writer.h"
#include "settings/registry_file.h"
#include "support/test_support.h"

namespace infotrakon::control::testing {

namespace fs = std::filesystem;

struct Action {
    Variant datum;
    bool car = true;
    bool servis = false;
    Variant stav = 0;
    Variant castka = Currency{0};
    Variant km = 0;
    Variant mh = 0.0;
    Variant text1 = "";
};

struct Vehicle {
    Variant name;
    Variant spz;
    Variant stk;
    Variant emise;
    bool vyrazeno = false;
};

struct Agenda {
    std::vector<Variant> firma = {Variant("Autodoprava Novák s.r.o.")};
    std::vector<Action> carservis;
    std::vector<Vehicle> cars;
    // The column type of castka; a text column lets a test store amounts that are no number.
    jet::ColumnType amountType = jet::ColumnType::kCurrency;
};

inline void WriteTables(mkagenda::TableWriter& writer, const Agenda& agenda) {
    using jet::ColumnType;
    const auto firma = writer.AddTable("firma", {{"nazev", ColumnType::kText, 100}});
    for (const Variant& name : agenda.firma) writer.AppendRow(firma, std::vector<Variant>{name});
    const auto carservis = writer.AddTable(
        "carservis",
        {{"id", ColumnType::kLong},
         {"car", ColumnType::kBoolean},
         {"servis", ColumnType::kBoolean},
         {"stav", ColumnType::kLong},
         {"datum", ColumnType::kDateTime},
         {"castka", agenda.amountType, agenda.amountType == ColumnType::kText ? 50 : 0},
         {"km", ColumnType::kLong},
         {"mh", ColumnType::kDouble},
         {"text1", ColumnType::kMemo}});
    int id = 0;
    for (const Action& action : agenda.carservis)
        writer.AppendRow(carservis, std::vector<Variant>{++id, action.car, action.servis,
                                                         action.stav, action.datum, action.castka,
                                                         action.km, action.mh, action.text1});
    const auto cars = writer.AddTable("cars", {{"id", ColumnType::kLong},
                                               {"name", ColumnType::kText, 50},
                                               {"spz", ColumnType::kText, 20},
                                               {"stk", ColumnType::kDateTime},
                                               {"emise", ColumnType::kDateTime},
                                               {"vyrazeno", ColumnType::kBoolean}});
    id = 0;
    for (const Vehicle& car : agenda.cars)
        writer.AppendRow(
            cars, std::vector<Variant>{++id, car.name, car.spz, car.stk, car.emise, car.vyrazeno});
}

inline void WriteAgenda(const fs::path& path, const Agenda& agenda) {
    mkagenda::JetWriter writer;
    WriteTables(writer, agenda);
    writer.Finish(path.string());
}

// A clock whose day the test moves, as midnight moves the system's.
class MovableClock final : public Clock {
  public:
    explicit MovableClock(Date today) : today_(today) {}
    Date Today() const override { return today_; }
    void MoveTo(Date today) { today_ = today; }

  private:
    Date today_;
};

// What a reader did with one record set, in order: "SetFilter", "RecordCount=N",
// "MoveFirst", "MoveNext", "Close" (reading a field is left out).
struct RecordsetCalls {
    std::string recordSource;
    std::vector<std::string> calls;
};

// A real record set, its calls written down.
class RecordingRecordset final : public panel::Recordset {
  public:
    RecordingRecordset(std::unique_ptr<panel::Recordset> real, RecordsetCalls& log, bool dayHints)
        : real_(std::move(real)), log_(log), dayHints_(dayHints) {}
    void SetFilter(const std::string& filter) override {
        log_.calls.push_back("SetFilter");
        real_->SetFilter(filter);
    }
    void SetFieldsRead(const std::vector<std::string>& fields) override {
        real_->SetFieldsRead(fields);
    }
    void SetDaysRead(const std::string& field, const Date& first, const Date& last) override {
        if (dayHints_) real_->SetDaysRead(field, first, last);
    }
    std::int32_t RecordCount() override {
        const std::int32_t count = real_->RecordCount();
        log_.calls.push_back("RecordCount=" + std::to_string(count));
        return count;
    }
    void MoveFirst() override {
        log_.calls.push_back("MoveFirst");
        real_->MoveFirst();
    }
    void MoveNext() override {
        log_.calls.push_back("MoveNext");
        real_->MoveNext();
    }
    std::int32_t AbsolutePosition() override { return real_->AbsolutePosition(); }
    Variant FieldValue(const std::string& name) override { return real_->FieldValue(name); }
    std::vector<std::string> FieldNames() const override { return real_->FieldNames(); }
    void Close() override {
        log_.calls.push_back("Close");
        real_->Close();
    }

  private:
    std::unique_ptr<panel::Recordset> real_;
    RecordsetCalls& log_;
    bool dayHints_;
};

// The real Jet provider, with a record of what each Refresh asked for and what the readers
// did with each record set.
class RecordingBackend final : public panel::DataControlBackend {
  public:
    explicit RecordingBackend(std::shared_ptr<panel::DataControlBackend> real)
        : real_(std::move(real)) {}
    std::unique_ptr<panel::Recordset> Open(const std::string& connectionString,
                                           const std::string& recordSource,
                                           const panel::DataControlSettings& settings) override {
        opened.push_back(recordSource);
        std::unique_ptr<panel::Recordset> real =
            real_->Open(connectionString, recordSource, settings);
        recordsets.push_back({recordSource, {}});
        return std::make_unique<RecordingRecordset>(std::move(real), recordsets.back(), dayHints);
    }
    std::vector<std::string> opened;
    // False: the readers' day hints are not passed on, and every record is read.
    bool dayHints = true;
    std::deque<RecordsetCalls> recordsets;  // a deque keeps each log where it is

  private:
    std::shared_ptr<panel::DataControlBackend> real_;
};

class HostTest : public ::testing::Test {
  protected:
    static Date Today() { return Date::FromCivil(2026, 12, 9); }  // a Wednesday

    void SetUp() override { SetHostSetting("\"C:\\\\Agenda\\\\agenda.mdb\""); }
    void TearDown() override { control_.reset(); }

    // The host's value "LastFullFileNameOpen" as a regedit export writes it; "" leaves the
    // settings key out.
    void SetHostSetting(const std::string& valueData) {
        std::ofstream out(prefix_ / "settings.reg", std::ios::binary | std::ios::trunc);
        out << "Windows Registry Editor Version 5.00\r\n\r\n";
        if (valueData.empty()) return;
        out << "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Velmora\\Trakon\\ProgramSeting]\r\n"
            << "\"LastFullFileNameOpen\"=" << valueData << "\r\n";
    }

    void Write(const Agenda& agenda, const std::string& name = "agenda.mdb") {
        WriteAgenda(prefix_ / "drive_c" / "Agenda" / name, agenda);
    }

    // The host's platform, the data control's provider recording what it opens.
    HostEnvironment Environment(Date today = Today()) {
        HostEnvironment environment;
        auto files = std::make_shared<WineFileSystem>(prefix_.string());
        environment.registry = std::make_shared<settings::RegistryFileStore>(
            files, (prefix_ / "settings.reg").string());
        environment.files = files;
        clock_ = std::make_shared<MovableClock>(today);
        environment.clock = clock_;
        environment.locale = std::make_shared<Locale>(Locale::Czech());
        backend_ =
            std::make_shared<RecordingBackend>(std::make_shared<agenda_db::AgendaBackend>(files));
        backend_->dayHints = dayHints_;
        environment.backend = backend_;
        return environment;
    }

    // Creates the panel as a host does and delivers its start-up.
    InfoTrakon& Start(Date today = Today()) {
        control_ = std::make_unique<InfoTrakon>(Environment(today));
        control_->Initialize();
        return *control_;
    }

    panel::Panel& Panel() { return control_->panel(); }

    std::vector<std::string> Figures() {
        panel::Panel& panel = Panel();
        return {panel.Label5.caption(), panel.Label8.caption(), panel.Label11.caption(),
                panel.Label14.caption()};
    }

    // The list as rows of five texts.
    std::vector<std::vector<std::string>> Rows() {
        std::vector<std::vector<std::string>> rows;
        for (const panel::ListItem& item : Panel().ListView1.items())
            rows.push_back({item.text, item.subItems[0], item.subItems[1], item.subItems[2],
                            item.subItems[3]});
        return rows;
    }

    int ErrorOf(const std::function<void()>& action, std::string* message = nullptr) {
        return infotrakon::testing::ErrorNumberOf(action, message);
    }

    infotrakon::testing::TemporaryWinePrefix wine_{"host"};
    const fs::path& prefix_ = wine_.path();
    std::shared_ptr<RecordingBackend> backend_;
    bool dayHints_ = true;  // for the backends that Environment makes
    std::shared_ptr<MovableClock> clock_;
    std::unique_ptr<InfoTrakon> control_;
};

}  // namespace infotrakon::control::testing
