// The working directory on a small file system of its own (a tmpfs mounted in a
// mount namespace of this test process) that runs full, then turns read-only: the
// bookmark commands and the pages that write thumbnails report clear errors, and
// no bookmark stored before is lost.

#include "StoreFill.h"
#include "support/ProgramTest.h"

#include "bookmarks/BookmarkPage.h"
#include "bookmarks/BookmarkStore.h"
#include "ui/Widgets.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using ::testing::HasSubstr;

constexpr const char* kSize = "size=24m";

class SmallDisk : public testsupport::ProgramTest {
  protected:
    using ProgramTest::ProgramTest;
    void prepareEmptyWorkdir() override {
        const char* dir = workdir().c_str();
        if (::geteuid() != 0) {
            whyNot_ = "mounting a file system needs root";
        } else if (::unshare(CLONE_NEWNS) != 0) {
            whyNot_ = std::string("unshare(CLONE_NEWNS): ") + std::strerror(errno);
        } else if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
            whyNot_ = std::string("making / private: ") + std::strerror(errno);
        } else if (::mount("zorvex-small", dir, "tmpfs", 0, kSize) != 0) {
            whyNot_ = std::string("mounting a tmpfs: ") + std::strerror(errno);
        } else {
            mounted_ = true;
            if (::chdir(dir) != 0)
                whyNot_ = std::string("chdir: ") + std::strerror(errno);
        }
    }
    void SetUp() override {
        ProgramTest::SetUp();
        if (HasFatalFailure())
            return;
        if (!whyNot_.empty())
            GTEST_SKIP() << "no small file system for the working directory: " << whyNot_;
        startOnline();
    }
    void TearDown() override {
        ProgramTest::TearDown();
        if (mounted_) {
            ::chdir("/");
            ::umount2(workdir().c_str(), MNT_DETACH);
        }
    }

    bookmarks::BookmarkPage& page() { return form->bookmarks(); }
    long long stored() { return page().store().count(); }
    void fill(int n) { bookmarktest::fillStore(page().store(), n); }
    /// Adds the hovered Newest Videos thumbnail `slot` as the user does, answering OK.
    void addFeature(int slot) {
        ui::EventArgs at;
        at.x = 5;
        at.y = 5;
        event("featurepic" + std::to_string(slot), ui::Event::MouseMove, at);
        event("featurepic" + std::to_string(slot), ui::Event::MouseLeave);
        ui::EventArgs none;
        ui::Control* add = app->findControl("AddtoFavourites1");
        app->dispatch([&] { add->deliver(ui::Event::Click, none); });
        click("Button4");
    }
    /// Writes a file until the file system is full.
    void fillDisk() {
        const int fd = ::open((workdir() / "filler").c_str(), O_CREAT | O_WRONLY, 0644);
        ASSERT_GE(fd, 0);
        const std::vector<char> block(64 * 1024, 'x');
        while (::write(fd, block.data(), block.size()) > 0) {
        }
        ::close(fd);
    }
    void freeDisk() { ::unlink((workdir() / "filler").c_str()); }
    void remount(unsigned long flags) {
        ASSERT_EQ(::mount(nullptr, workdir().c_str(), nullptr, MS_REMOUNT | flags, kSize), 0)
            << std::strerror(errno);
    }
    std::string allErrors() {
        std::string all;
        for (const auto& e : errors())
            all += e + "\n";
        return all;
    }

    std::string whyNot_;
    bool mounted_ = false;
};

TEST_F(SmallDisk, AFullDiskReportsClearErrorsAndKeepsEveryBookmark) {
    fill(3);
    ASSERT_EQ(stored(), 3);
    // The page's thumbnail file goes, so its next write needs new space.
    ::unlink((workdir() / "fea1.jpg").c_str());
    fillDisk();

    // The bookmark's picture is written first, and cannot be.
    addFeature(1);
    ASSERT_EQ(errors().size(), 1u) << allErrors();
    EXPECT_THAT(errors().back(), HasSubstr("No space left on device"));
    EXPECT_EQ(stored(), 3);

    // A page writes its thumbnails into the working directory.
    click("suiImageButton7");
    ASSERT_EQ(errors().size(), 2u) << allErrors();
    EXPECT_THAT(errors().back(), HasSubstr("fea1.jpg"));
    EXPECT_THAT(errors().back(), HasSubstr("No space left on device"));

    freeDisk();
    addFeature(2);
    EXPECT_EQ(errors().size(), 2u) << allErrors();
    EXPECT_EQ(stored(), 4);
}

// A file system that is read-only when the program starts, holding a store with
// bookmarks (a kernel will not turn a file system read-only while the store has its
// files open for writing): the load runs, the first bookmark command names the
// directory and the system's reason, and the bookmarks are all there afterwards.
class ReadOnlySmallDisk : public SmallDisk {
  protected:
    ReadOnlySmallDisk() : SmallDisk(Layout::Empty) {}
    void prepareEmptyWorkdir() override {
        SmallDisk::prepareEmptyWorkdir();
        if (!whyNot_.empty())
            return;
        namespace fs = std::filesystem;
        const fs::path dir = workdir();
        fs::copy("/usr/share/mysql/charsets", dir / "charsets", fs::copy_options::recursive);
        fs::copy_file("/usr/share/mysql/english/errmsg.sys", dir / "errmsg.sys");
        fs::copy_file(fs::path(ZORVEX_SOURCE_DIR) / "demo" / "noimage.jpg", dir / "noimage.jpg");
        fs::copy_file(fs::path(ZORVEX_SOURCE_DIR) / "demo" / "movie" / "fl8b.swf",
                      dir / "fl8b.swf");
        // Other processes (in this process's mount namespace) make the store.
        run("'" ZORVEX_BINARY_DIR "/zorvex-store-install' '" + dir.string() + "' --sql '" +
            ZORVEX_SOURCE_DIR "/demo/bookmark.sql'");
        run("'" ZORVEX_STORE_WRITER "' '" + dir.string() + "' insert 3");
        if (::mount(nullptr, dir.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, kSize) != 0)
            whyNot_ = std::string("read-only remount: ") + std::strerror(errno);
    }
    static std::string run(const std::string& command) {
        std::string output;
        if (FILE* pipe = ::popen((command + " 2>&1").c_str(), "r")) {
            char buffer[4096];
            while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
                output.append(buffer, n);
            ::pclose(pipe);
        }
        return output;
    }
};

TEST_F(ReadOnlySmallDisk, ReportsClearErrorsAndKeepsEveryBookmark) {
    // The online load ran; only its thumbnails could not be written.
    ASSERT_EQ(errors().size(), 1u) << allErrors();
    EXPECT_THAT(errors()[0], HasSubstr("Read-only file system"));
    EXPECT_TRUE(form->visible());

    addFeature(1);
    ASSERT_EQ(errors().size(), 2u) << allErrors();
    EXPECT_THAT(errors().back(), HasSubstr("Read-only file system"));
    app->dispatch([&] { page().ClearBookmarks(); });
    ASSERT_EQ(errors().size(), 3u) << allErrors();
    EXPECT_THAT(errors().back(), HasSubstr("The bookmark store could not start in"));

    remount(0);
    EXPECT_THAT(run("'" ZORVEX_STORE_WRITER "' '" + workdir().string() + "' probe 127.0.0.1 1"),
                HasSubstr("store: 3 bookmarks"));
}

} // namespace
