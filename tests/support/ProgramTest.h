#pragma once
// The whole program in one test: the main window and the splash dialog on the
// virtual clock, against the test catalogue, with fakes for the echo checks and
// the shell (the only parts that cannot run deterministically here).

#include <map>

#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "app/MainWindow.h"
#include "app/Program.h"
#include "platform/EchoClient.h"
#include "platform/Shell.h"
#include "player/Movie.h"
#include "support/DatabaseTest.h"
#include "ui/Application.h"

namespace db {
class Connection;
}

namespace testsupport {

/// Answers every echo with a reply unless told otherwise per host.
class FakeEcho : public platform::EchoClient {
  public:
    platform::EchoResult echo(std::string_view host, std::string_view data,
                              std::chrono::milliseconds timeout) override;
    std::map<std::string, platform::EchoResult, std::less<>> byHost;
    std::vector<std::string> calls;
    static platform::EchoResult reply(long ms);
    static platform::EchoResult silent(); ///< sent, no reply
    static platform::EchoResult unsent(); ///< could not be sent
};

class FakeShell : public platform::Shell {
  public:
    bool openUrl(std::string_view url, platform::WindowShow show) override;
    std::vector<std::string> opened;
    std::vector<platform::WindowShow> shows;
    /// What openUrl answers: false stands for a machine without a browser command.
    bool found = true;
};

class ProgramTest : public CatalogueTest {
  protected:
    using CatalogueTest::CatalogueTest;
    void SetUp() override;
    void TearDown() override;

    /// Makes the program; tests may adjust the fakes and configuration first.
    void start(const std::string& extraConfig = "");
    /// Runs the splash dialog's checks (200 ms after it shows).
    void runChecks() { deliverAdvance(200); }
    void deliverAdvance(int ms) { app->loop().advance(ms); }
    /// A click as the user makes it, through the error boundary.
    void click(const std::string& control);
    void event(const std::string& control, ui::Event e, ui::EventArgs args = {});
    /// The splash checks and the online load, then continue to the main window.
    void startOnline();

    std::vector<std::string> errors() const;
    /// A state variable of the automation registry, as the channel reads it.
    template <class T> T state(const std::string& name) const {
        return app->state().get(name).template get<T>();
    }

    /// Root connection to the test catalogue, for tests that change its rows.
    db::Connection& root();
    /// Copies the rows of `table` that match `where` aside; TearDown puts them back.
    void saveRows(const std::string& table, const std::string& where = "1");
    /// Runs after the saved rows are back (to undo a column change, say).
    void atTearDown(std::string sql) { undo_.push_back(std::move(sql)); }
    /// The first column of the first row of `sql`, run as root.
    std::string scalar(const std::string& sql);

    std::unique_ptr<ui::Application> app;
    std::unique_ptr<app::Program> program;
    app::MainWindow* form = nullptr;
    FakeEcho* echo = nullptr;
    FakeShell* shell = nullptr;
    /// When set before start(), the program's player movie instead of the real one.
    std::unique_ptr<player::Movie> movie;

  private:
    std::unique_ptr<FakeEcho> echoOwner_;
    std::unique_ptr<db::Connection> root_;
    std::vector<std::pair<std::string, std::string>> saved_; // table, condition
    std::vector<std::string> undo_;
};

} // namespace testsupport
