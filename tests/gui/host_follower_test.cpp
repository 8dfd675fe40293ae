// The host window following the host: real files, the real file watcher, real clicks.
#include "gui/host_follower.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QTest>

#include "qt_host_fixture.h"

namespace infotrakon::gui {
namespace {

using control::testing::Agenda;

class HostFollowerTest : public testing::QtHostTest {
  protected:
    static constexpr int kSettleMilliseconds = 100;

    void SetUp() override {
        QtHostTest::SetUp();
        Write(Named("Autodoprava Novák s.r.o."));
        Show();
        follower_ = new HostFollower(*control_, window_->view(),
                                     (prefix_ / "settings.reg").string(), kSettleMilliseconds);
    }

    static Agenda Named(const std::string& company) {
        Agenda agenda;
        agenda.firma = {Variant(company)};
        return agenda;
    }

    // Writes the agenda beside and renames it over the old one, as a program saving safely.
    void Replace(const Agenda& agenda, const std::string& name) {
        Write(agenda, name + ".new");
        const auto folder = prefix_ / "drive_c" / "Agenda";
        std::filesystem::rename(folder / (name + ".new"), folder / name);
    }

    bool Shows(const std::string& company) {
        return QTest::qWaitFor([&] { return Panel().Label16.caption() == company; }, 5000);
    }

    HostFollower* follower_ = nullptr;
};

TEST_F(HostFollowerTest, FollowsTheHostToAnotherAgendaAndItsChanges) {
    ASSERT_EQ(Panel().Label16.caption(), "Autodoprava Novák s.r.o.");
    // The host opens another agenda: its setting changes, in place.
    Write(Named("Druhá firma"), "druha.mdb");
    SetHostSetting("\"C:\\\\Agenda\\\\druha.mdb\"");
    ASSERT_TRUE(Shows("Druhá firma"));
    EXPECT_EQ(Shown<QLabel>("Label16")->text(), "Druhá firma");
    // The new agenda is the one followed now, replaced by a rename and then rewritten.
    Replace(Named("Třetí firma"), "druha.mdb");
    ASSERT_TRUE(Shows("Třetí firma"));
    Write(Named("Čtvrtá firma"), "druha.mdb");
    ASSERT_TRUE(Shows("Čtvrtá firma"));
    // The agenda left behind no longer counts.
    const int refreshes = follower_->refreshes();
    Write(Named("Stará firma"));
    QTest::qWait(4 * kSettleMilliseconds);
    EXPECT_EQ(follower_->refreshes(), refreshes);
    EXPECT_EQ(Panel().Label16.caption(), "Čtvrtá firma");
}

// A burst of writes is one refresh, once it has settled; other files of the same folders
// start none.
TEST_F(HostFollowerTest, RefreshesOnceAChangeHasSettled) {
    const auto opened = backend_->opened.size();
    for (const char* company : {"A", "B", "C"}) {
        Write(Named(company));
        QTest::qWait(kSettleMilliseconds / 4);
    }
    ASSERT_TRUE(Shows("C"));
    QTest::qWait(4 * kSettleMilliseconds);
    EXPECT_EQ(follower_->refreshes(), 1);
    EXPECT_EQ(backend_->opened.size(), opened + 6);  // one refresh reads six record sets
    std::ofstream(prefix_ / "user.reg") << "WINE REGISTRY Version 2\n";
    Write(Named("jiná"), "jina.mdb");
    QTest::qWait(4 * kSettleMilliseconds);
    EXPECT_EQ(follower_->refreshes(), 1);
}

// A host without settings yet: the panel follows once the host writes them.
TEST_F(HostFollowerTest, FollowsSettingsThatAppearLater) {
    std::filesystem::remove(prefix_ / "settings.reg");
    QTest::qWait(4 * kSettleMilliseconds);
    const int refreshes = follower_->refreshes();
    Write(Named("Nová firma"), "nova.mdb");
    SetHostSetting("\"C:\\\\Agenda\\\\nova.mdb\"");
    ASSERT_TRUE(Shows("Nová firma"));
    EXPECT_GT(follower_->refreshes(), refreshes);
}

}  // namespace
}  // namespace infotrakon::gui
