// The whole program started in a working directory whose bookmark store cannot
// start: the splash dialog's checks and the online load run as usual, and the store
// reports its own fault, naming the directory, when it is first used.

#include "../db/ReadOnlyWorkdir.h"
#include "support/DatabaseTest.h"
#include "support/ProgramTest.h"
#include "support/TempWorkdir.h"

#include "app/Config.h"
#include "app/MainWindow.h"
#include "app/OnlineMode.h"
#include "app/Program.h"
#include "app/Services.h"
#include "app/SplashDialog.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "db/Library.h"
#include "db/Query.h"
#include "ui/Application.h"
#include "ui/Image.h"
#include "ui/TreeView.h"
#include "ui/Widgets.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using testsupport::FakeEcho;
using testsupport::FakeShell;

// The fixtures' settings, without their set-up: the library has to start in a
// working directory that is read-only before the start.
struct Settings : testsupport::CatalogueTest {
    using CatalogueTest::catalogueHost;
    using CatalogueTest::cataloguePort;
    using WorkdirTest::storeSettings;
};

// The program as ProgramTest makes it, in an installed working directory (without
// the Bookmark table, which only the embedded server could make) spoilt so that the
// store cannot start.
class StoreDownStartup : public ::testing::Test {
  protected:
    enum class Fault {
        ReadOnlyWorkdir, // nothing in the working directory can be written
        DamagedStore,    // the store's Aria control file is cut short
    };

    explicit StoreDownStartup(Fault fault) : fault_(fault) {}

    void SetUp() override {
        workdir_.emplace();
        workdir_->copyInstallFiles();
        fs::create_directory("Data");
        if (fault_ == Fault::DamagedStore) {
            std::ofstream("aria_log_control") << "cut short";
        } else {
            readOnly_.emplace(workdir_->path());
            if (!readOnly_->whyNot().empty())
                GTEST_SKIP() << "cannot make a read-only working directory here: "
                             << readOnly_->whyNot();
        }
        db::startLibrary(db::bookmarkStoreOptions());

        const std::string config = "[catalogue]\nhost = " + Settings::catalogueHost() +
                                   "\nport = " + std::to_string(Settings::cataloguePort()) + "\n";
        app = std::make_unique<ui::Application>(ui::EventLoop::ClockKind::Virtual);
        app::Services services;
        services.echo = std::make_unique<FakeEcho>();
        services.shell = std::make_unique<FakeShell>();
        program = std::make_unique<app::Program>(*app, app::Config::parse(config, "test.ini"), ".",
                                                 std::move(services));
        form = &program->mainform();
    }

    void TearDown() override {
        program.reset();
        app.reset();
        db::endLibrary();
        readOnly_.reset();
        workdir_.reset();
    }

    template <class T> T& get(const std::string& name) {
        return *dynamic_cast<T*>(app->findControl(name));
    }
    const std::string& caption(const std::string& name) {
        return app->findControl(name)->caption();
    }
    void click(const std::string& name) {
        ui::Control* control = app->findControl(name);
        ASSERT_NE(control, nullptr) << name;
        ui::EventArgs args;
        app->dispatch([&] { control->deliver(ui::Event::Click, args); });
    }
    std::vector<std::string> errors() const {
        std::vector<std::string> out;
        for (const auto& dialog : app->dialogs().log())
            if (dialog.type == ui::DialogRecord::Type::Error)
                out.push_back(dialog.text);
        return out;
    }

    // The splash dialog's checks passed and the online load ran to its end.
    void expectChecksAndOnlineLoadDone() {
        EXPECT_FALSE(form->splash().checksFailed());
        EXPECT_EQ(caption("port80"), "Checking Internet on Port 80....OK");
        EXPECT_EQ(caption("port3306"), "Checking Internet on Port 3306...OK");
        EXPECT_TRUE(form->online().onlineMode());
        EXPECT_EQ(get<ui::ProgressBar>("startProgress").position(), 100);
        EXPECT_TRUE(get<ui::Button>("suiImageButton1").enabled());
        EXPECT_EQ(caption("OnlineModeCaption"), "Online");
        EXPECT_FALSE(caption("featurepic1caption").empty());
        EXPECT_GT(get<ui::TreeView>("CatList").count(), 0);
    }

    // The first bookmark action, counting the bookmarks; returns its error.
    static std::string firstStoreUse() {
        db::Connection store(Settings::storeSettings());
        db::Query count(store, "Data");
        count.setSql("SELECT count(*) as total_records FROM Bookmark");
        try {
            count.open();
        } catch (const db::Error& error) {
            return error.what();
        }
        ADD_FAILURE() << "the store counted its bookmarks";
        return {};
    }

    std::unique_ptr<ui::Application> app;
    std::unique_ptr<app::Program> program;
    app::MainWindow* form = nullptr;
    Fault fault_;
    std::optional<testsupport::TempWorkdir> workdir_;
    std::optional<testsupport::ReadOnlyWorkdir> readOnly_;
};

class DamagedStoreStartup : public StoreDownStartup {
  protected:
    DamagedStoreStartup() : StoreDownStartup(Fault::DamagedStore) {}
};

TEST_F(DamagedStoreStartup, ChecksAndTheOnlineLoadRunAsUsualAndTheStoreNamesItsFaultWhenUsed) {
    app->loop().advance(200); // the splash dialog's checks, then the online load
    EXPECT_TRUE(errors().empty()) << errors().front();
    expectChecksAndOnlineLoadDone();
    EXPECT_FALSE(get<ui::Image>("featurepic8").picture()->empty());
    EXPECT_FALSE(get<ui::Image>("specialpic1").picture()->empty());

    click("suiImageButton1");
    EXPECT_TRUE(form->visible());
    EXPECT_FALSE(get<ui::Form>("AboutBox").visible());
    EXPECT_TRUE(app->dialogs().log().empty());

    const std::string cause = "Dataset server could not connect: The bookmark store could not "
                              "start in " +
                              fs::current_path().string() + ": ";
    const std::string error = firstStoreUse();
    EXPECT_THAT(error, ::testing::StartsWith(cause));
    EXPECT_GT(error.size(), cause.size()) << "no complaint of the server's: " << error;
    EXPECT_TRUE(form->online().onlineMode());
}

class ReadOnlyWorkdirStartup : public StoreDownStartup {
  protected:
    ReadOnlyWorkdirStartup() : StoreDownStartup(Fault::ReadOnlyWorkdir) {}
};

// The load connects and runs; only the thumbnails, which are files in the working
// directory, cannot be written, and say so once.
TEST_F(ReadOnlyWorkdirStartup, ChecksAndTheOnlineLoadRunAndTheStoreNamesTheDirectoryWhenUsed) {
    app->loop().advance(200);
    expectChecksAndOnlineLoadDone();
    ASSERT_EQ(errors().size(), 1u);
    EXPECT_THAT(errors()[0],
                ::testing::StartsWith("Some catalogue entries could not be shown and were "
                                      "skipped:\nCannot write file "));
    EXPECT_THAT(errors()[0], ::testing::Not(::testing::HasSubstr("could not connect")));

    click("suiImageButton1");
    EXPECT_TRUE(form->visible());

    EXPECT_THAT(firstStoreUse(),
                ::testing::StartsWith("Dataset server could not connect: The bookmark store "
                                      "could not start in " +
                                      fs::current_path().string() + " (" + readOnly_->writeError() +
                                      "): "));
    EXPECT_TRUE(form->online().onlineMode());
}

} // namespace
