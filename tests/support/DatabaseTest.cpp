#include "support/DatabaseTest.h"

#include "db/Error.h"
#include "db/Library.h"

#include <cstdlib>
#include <string>

namespace testsupport {

void WorkdirTest::SetUp() {
    if (db::libraryStarted())
        GTEST_FAIL() << "the database library is already running in this process";
    workdir_.emplace();
    prepareEmptyWorkdir();
    if (layout_ != Layout::Empty)
        workdir_->copyInstallFiles();
    try {
        db::startLibrary(db::bookmarkStoreOptions());
        db::waitLibrary();
        if (layout_ == Layout::Installed)
            installBookmarkStore();
    } catch (const db::Error& error) {
        GTEST_FAIL() << "the database library did not start: " << error.what()
                     << " (each test must run in its own process; run the tests through ctest "
                        "or pick one with --gtest_filter)";
    }
}

void WorkdirTest::TearDown() {
    db::endLibrary();
    workdir_.reset();
}

db::ConnectionSettings WorkdirTest::storeSettings() {
    db::ConnectionSettings settings;
    settings.embedded = true;
    settings.host = "localhost";
    settings.user = "root";
    settings.database = "Data";
    return settings;
}

std::string CatalogueTest::catalogueHost() {
    const char* host = std::getenv("ZORVEX_TEST_CATALOGUE_HOST");
    return host && *host ? host : "127.0.0.1";
}

unsigned CatalogueTest::cataloguePort() {
    const char* port = std::getenv("ZORVEX_TEST_CATALOGUE_PORT");
    return port && *port ? static_cast<unsigned>(std::stoul(port)) : 3307u;
}

db::ConnectionSettings CatalogueTest::catalogueSettings() {
    db::ConnectionSettings settings;
    settings.host = catalogueHost();
    settings.port = cataloguePort();
    settings.user = "mediauser";
    settings.password = "#!%@qwmv*&r*";
    settings.database = "qzrbackup";
    settings.connectTimeout = std::chrono::seconds(10);
    return settings;
}

void CatalogueTest::SetUp() {
    WorkdirTest::SetUp();
    if (HasFatalFailure())
        return;
    db::Connection probe(catalogueSettings());
    try {
        probe.connect();
    } catch (const db::Error& error) {
        GTEST_FAIL() << "the test catalogue on " << catalogueHost() << ":" << cataloguePort()
                     << " does not answer (" << error.what() << ", error " << error.number()
                     << "). Start it with: scripts/catalogue-server start --port "
                     << cataloguePort() << " --datadir var/test-catalogue";
    }
}

} // namespace testsupport
