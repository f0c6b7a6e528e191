#include "support/TempWorkdir.h"

#include "db/Connection.h"
#include "db/Script.h"

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

namespace testsupport {

namespace fs = std::filesystem;

TempWorkdir::TempWorkdir() : previous_(fs::current_path()), dir_("zorvex-workdir") {
    fs::current_path(dir_.path());
}

TempWorkdir::~TempWorkdir() {
    // Leave the directory before TempDir removes it.
    std::error_code ignored;
    fs::current_path(previous_, ignored);
}

void TempWorkdir::copyInstallFiles() const {
    fs::copy("/usr/share/mysql/charsets", path() / "charsets", fs::copy_options::recursive);
    fs::copy_file("/usr/share/mysql/english/errmsg.sys", path() / "errmsg.sys");
    fs::copy_file(fs::path(ZORVEX_SOURCE_DIR) / "demo" / "noimage.jpg", path() / "noimage.jpg");
    // The tests' program runs with the working directory as its executable's folder.
    fs::copy_file(fs::path(ZORVEX_SOURCE_DIR) / "demo" / "movie" / "fl8b.swf", path() / "fl8b.swf");
}

void installBookmarkStore() {
    const fs::path scriptPath = fs::path(ZORVEX_SOURCE_DIR) / "demo" / "bookmark.sql";
    const std::string script = db::readScriptFile(scriptPath.string());
    db::ConnectionSettings settings;
    settings.embedded = true;
    settings.user = "root";
    db::Connection connection(settings);
    connection.connect();
    db::runScript(connection, script);
}

} // namespace testsupport
