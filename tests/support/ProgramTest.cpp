#include "support/ProgramTest.h"

#include <cstdlib>

#include "app/Config.h"
#include "app/Services.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "db/Query.h"

namespace testsupport {

platform::EchoResult FakeEcho::reply(long ms) {
    platform::EchoResult r;
    r.sent = true;
    r.replied = true;
    r.replyBytes = 6;
    r.roundTripMs = ms;
    return r;
}

platform::EchoResult FakeEcho::silent() {
    platform::EchoResult r;
    r.sent = true;
    return r;
}

platform::EchoResult FakeEcho::unsent() {
    platform::EchoResult r;
    r.error = "the name does not resolve";
    return r;
}

platform::EchoResult FakeEcho::echo(std::string_view host, std::string_view,
                                    std::chrono::milliseconds) {
    calls.emplace_back(host);
    auto it = byHost.find(host);
    return it == byHost.end() ? reply(1) : it->second;
}

bool FakeShell::openUrl(std::string_view url, platform::WindowShow show) {
    opened.emplace_back(url);
    shows.push_back(show);
    return found;
}

void ProgramTest::SetUp() {
    CatalogueTest::SetUp();
    echoOwner_ = std::make_unique<FakeEcho>();
    echo = echoOwner_.get();
}

void ProgramTest::start(const std::string& extraConfig) {
    const std::string text = "[catalogue]\nhost = " + catalogueHost() +
                             "\nport = " + std::to_string(cataloguePort()) + "\n";
    // The test's own settings come second and may change these.
    const app::Config config =
        app::Config::parse(extraConfig, "extra.ini", app::Config::parse(text, "test.ini"));
    app = std::make_unique<ui::Application>(ui::EventLoop::ClockKind::Virtual);
    app::Services services;
    services.echo = std::move(echoOwner_);
    auto fakeShell = std::make_unique<FakeShell>();
    shell = fakeShell.get();
    services.shell = std::move(fakeShell);
    services.movie = std::move(movie);
    program = std::make_unique<app::Program>(*app, config, ".", std::move(services));
    form = &program->mainform();
}

void ProgramTest::TearDown() {
    program.reset();
    app.reset();
    if (!saved_.empty() || !undo_.empty()) {
        try {
            for (const auto& [table, where] : saved_) {
                root().execute("DELETE FROM " + table + " WHERE " + where);
                root().execute("INSERT INTO " + table + " SELECT * FROM " + table + "_saved");
                root().execute("DROP TABLE " + table + "_saved");
            }
            for (const auto& sql : undo_)
                root().execute(sql);
        } catch (const db::Error& e) {
            ADD_FAILURE() << "could not put the catalogue rows back: " << e.what();
        }
    }
    root_.reset();
    CatalogueTest::TearDown();
}

void ProgramTest::event(const std::string& control, ui::Event e, ui::EventArgs args) {
    ui::Control* c = app->findControl(control);
    ASSERT_NE(c, nullptr) << control;
    app->dispatch([&] { c->deliver(e, args); });
}

void ProgramTest::click(const std::string& control) {
    event(control, ui::Event::Click);
}

void ProgramTest::startOnline() {
    start();
    runChecks();
    click("suiImageButton1");
}

std::vector<std::string> ProgramTest::errors() const {
    std::vector<std::string> out;
    for (const auto& d : app->dialogs().log())
        if (d.type == ui::DialogRecord::Type::Error)
            out.push_back(d.text);
    return out;
}

db::Connection& ProgramTest::root() {
    if (!root_) {
        const char* datadir = std::getenv("ZORVEX_TEST_CATALOGUE_DATADIR");
        db::ConnectionSettings s;
        s.host = "localhost";
        s.socket =
            std::string(datadir && *datadir ? datadir : ZORVEX_SOURCE_DIR "/var/test-catalogue") +
            "/mysqld.sock";
        s.user = "root";
        s.database = "halden";
        root_ = std::make_unique<db::Connection>(s);
        root_->connect();
    }
    return *root_;
}

std::string ProgramTest::scalar(const std::string& sql) {
    db::Query q(root(), "halden");
    q.setSql(sql);
    q.open();
    return q.eof() ? std::string() : q.field(0).text();
}

void ProgramTest::saveRows(const std::string& table, const std::string& where) {
    root().execute("CREATE OR REPLACE TABLE " + table + "_saved AS SELECT * FROM " + table +
                   " WHERE " + where);
    saved_.emplace_back(table, where);
}

} // namespace testsupport
