#pragma once
// Test fixtures for code that uses the databases.
//
// WorkdirTest gives each test a fresh temporary working directory, prepared like
// the program's (charsets, errmsg.sys, noimage.jpg and the bookmark store in Data/)
// unless the test asks for less, and starts the database library in it with the
// bookmark store's options. The library starts once per process, so each test must
// run in its own process, as ctest runs them.
//
// CatalogueTest adds the test catalogue server: its address comes from
// ZORVEX_TEST_CATALOGUE_HOST and ZORVEX_TEST_CATALOGUE_PORT (default 127.0.0.1 and
// 3307), and the test fails with a clear message when the server does not answer.
//
// Threads: test main thread only.

#include "support/TempWorkdir.h"

#include "db/Connection.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace testsupport {

class WorkdirTest : public ::testing::Test {
  protected:
    /// What the working directory holds before the library starts.
    enum class Layout {
        Installed,    // everything the install step makes
        WithoutStore, // the files, but no Data/ directory
        Empty,        // nothing at all
    };

    explicit WorkdirTest(Layout layout = Layout::Installed) : layout_(layout) {}

    void SetUp() override;
    void TearDown() override;

    const std::filesystem::path& workdir() const { return workdir_->path(); }

    /// Runs in the fresh, empty working directory before anything is put into it or
    /// the library starts (no other thread runs yet): a test may mount a file system
    /// of its own there.
    virtual void prepareEmptyWorkdir() {}

    /// Settings of the bookmark store's embedded connection (user root, database Data).
    static db::ConnectionSettings storeSettings();

  private:
    Layout layout_;
    std::optional<TempWorkdir> workdir_;
};

class CatalogueTest : public WorkdirTest {
  protected:
    using WorkdirTest::WorkdirTest;
    void SetUp() override;

    static std::string catalogueHost();
    static unsigned cataloguePort();
    /// The program's account on the test catalogue, default database qzrbackup.
    static db::ConnectionSettings catalogueSettings();
};

} // namespace testsupport
