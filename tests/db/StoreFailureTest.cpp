// A bookmark store that cannot work: the catalogue goes on regardless, and the
// first use of the store says what is wrong and where.

#include "ReadOnlyWorkdir.h"
#include "support/DatabaseTest.h"
#include "support/TempWorkdir.h"

#include "db/Connection.h"
#include "db/Error.h"
#include "db/Library.h"
#include "db/Query.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

namespace {

namespace fs = std::filesystem;
using ::testing::StartsWith;

// The fixtures' settings, without their set-up: these tests start the library in a
// working directory of their own making.
struct Settings : testsupport::CatalogueTest {
    using CatalogueTest::catalogueSettings;
    using WorkdirTest::storeSettings;
};

// The number of topics on the test catalogue, through a connection of its own.
long long catalogueTopics() {
    db::Connection catalogue(Settings::catalogueSettings());
    db::Query query(catalogue, "qzrbackup");
    query.setSql("SELECT COUNT(*) AS topics FROM qzrbackup.videoqueryfeature");
    try {
        query.open();
    } catch (const db::Error& error) {
        ADD_FAILURE() << "the test catalogue did not answer: " << error.what() << " (error "
                      << error.number() << ")";
        return -1;
    }
    return query.field("topics").toInt();
}

// What a query says when its connection cannot be made, before the cause.
const std::string couldNotConnect = "Dataset server could not connect: ";

// The program's first bookmark action: counting the bookmarks. Returns its error.
std::string firstStoreUse() {
    db::Connection store(Settings::storeSettings());
    db::Query count(store, "Data");
    count.setSql("SELECT count(*) as total_records FROM Bookmark");
    try {
        count.open();
    } catch (const db::Error& error) {
        EXPECT_FALSE(store.connected());
        return error.what();
    }
    ADD_FAILURE() << "the store counted its bookmarks";
    return {};
}

// An installed working directory (without the Bookmark table, which only the
// embedded server could make) that the process may not write to.
class ReadOnlyWorkdirStore : public ::testing::Test {
  protected:
    void SetUp() override {
        workdir_.emplace();
        workdir_->copyInstallFiles();
        fs::create_directory("Data");
        readOnly_.emplace(workdir_->path());
        if (!readOnly_->whyNot().empty())
            GTEST_SKIP() << "cannot make a read-only working directory here: "
                         << readOnly_->whyNot();
        db::startLibrary(db::bookmarkStoreOptions());
        db::waitLibrary(); // the library itself starts
    }

    void TearDown() override {
        db::endLibrary();
        readOnly_.reset();
        workdir_.reset();
    }

    std::optional<testsupport::TempWorkdir> workdir_;
    std::optional<testsupport::ReadOnlyWorkdir> readOnly_;
};

TEST_F(ReadOnlyWorkdirStore, TheCatalogueAnswersWhileTheStoreCannotStart) {
    EXPECT_THROW(db::waitEmbeddedServer(), db::Error);
    EXPECT_GT(catalogueTopics(), 0);
    EXPECT_GT(catalogueTopics(), 0); // and again: each action has its own connection
}

TEST_F(ReadOnlyWorkdirStore, TheFirstStoreUseReportsTheCauseNamingTheDirectory) {
    const std::string cause = couldNotConnect + "The bookmark store could not start in " +
                              fs::current_path().string() + " (" + readOnly_->writeError() + "): ";
    const std::string first = firstStoreUse();
    EXPECT_THAT(first, StartsWith(cause));
    EXPECT_GT(first.size(), cause.size()) << "no complaint of the server's: " << first;
    EXPECT_EQ(firstStoreUse(), first); // every later use says the same

    // The store's failure leaves the catalogue alone.
    EXPECT_GT(catalogueTopics(), 0);
}

// A store whose Aria control file is cut short: the server refuses to start in a
// working directory that is otherwise fine.
class DamagedStore : public ::testing::Test {
  protected:
    void SetUp() override {
        workdir_.emplace();
        workdir_->copyInstallFiles();
        fs::create_directory("Data");
        std::ofstream("aria_log_control") << "cut short";
        db::startLibrary(db::bookmarkStoreOptions());
        db::waitLibrary();
    }

    void TearDown() override {
        db::endLibrary();
        workdir_.reset();
    }

    std::optional<testsupport::TempWorkdir> workdir_;
};

TEST_F(DamagedStore, TheCatalogueAnswersAndTheFirstStoreUseReportsTheCause) {
    EXPECT_GT(catalogueTopics(), 0);
    const std::string cause = couldNotConnect + "The bookmark store could not start in " +
                              fs::current_path().string() + ": ";
    const std::string first = firstStoreUse();
    EXPECT_THAT(first, StartsWith(cause));
    EXPECT_GT(first.size(), cause.size()) << "no complaint of the server's: " << first;
    EXPECT_GT(catalogueTopics(), 0);
}

// A working directory whose Data is a file: the embedded server starts (it reads no
// database at start-up) and would take the file for a database without tables.
class DataIsAFileStore : public ::testing::Test {
  protected:
    void SetUp() override {
        workdir_.emplace();
        workdir_->copyInstallFiles();
        std::ofstream("Data") << "not a directory\n";
        db::startLibrary(db::bookmarkStoreOptions());
        db::waitLibrary();
    }

    void TearDown() override {
        db::endLibrary();
        workdir_.reset();
    }

    std::optional<testsupport::TempWorkdir> workdir_;
};

TEST_F(DataIsAFileStore, TheCatalogueAnswersAndTheFirstStoreUseNamesTheFile) {
    EXPECT_GT(catalogueTopics(), 0);
    EXPECT_EQ(firstStoreUse(), couldNotConnect + "The bookmark store could not open its database " +
                                   (fs::current_path() / "Data").string() + ": Not a directory");
    EXPECT_TRUE(fs::is_regular_file("Data")); // left as it was
    EXPECT_GT(catalogueTopics(), 0);
}

} // namespace
