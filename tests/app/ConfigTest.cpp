#include <gtest/gtest.h>

#include "app/CommandLine.h"
#include "app/Config.h"

namespace {

std::string errorOf(std::string_view text) {
    try {
        (void)app::Config::parse(text, "zorvex.ini");
    } catch (const app::ConfigError& e) {
        return e.what();
    }
    return "";
}

TEST(Config, DefaultsPointAtTheDemoCatalogue) {
    const app::Config c;
    const auto cat = c.catalogue();
    EXPECT_EQ(cat.host, "127.0.0.1");
    EXPECT_EQ(cat.port, 3306);
    EXPECT_EQ(cat.user, "mediauser");
    EXPECT_EQ(cat.password, "#!%@qwmv*&r*");
    for (const auto& k : app::Config::keys())
        EXPECT_NO_THROW(c.get(k.section, k.name));
}

TEST(Config, FileValuesOverrideDefaultsAndKeepInnerCharacters) {
    const auto c = app::Config::parse("# demo\n[catalogue]\r\nhost = db.example \nport=3307\n"
                                      "password = a=b;#c\n\n; comment\n[live]\nstream=mms://x/y\n",
                                      "test.ini");
    EXPECT_EQ(c.catalogue().host, "db.example");
    EXPECT_EQ(c.catalogue().port, 3307);
    EXPECT_EQ(c.catalogue().password, "a=b;#c");
    EXPECT_EQ(c.get("live", "stream"), "mms://x/y");
    EXPECT_EQ(c.catalogue().user, "mediauser");
}

TEST(Config, MalformedFilesNameFileLineAndKey) {
    EXPECT_EQ(errorOf("[catalogue]\nport = 70000\n"),
              "zorvex.ini:2: key 'port' must be a port number from 1 to 65535, not '70000'");
    EXPECT_EQ(errorOf("[catalogue]\nport = 33o6\n").find("zorvex.ini:2: key 'port'"), 0u);
    EXPECT_EQ(errorOf("[catalogue]\n\nhots = x\n"), "zorvex.ini:3: unknown key 'hots' in [catalogue]");
    EXPECT_EQ(errorOf("host = x\n"), "zorvex.ini:1: key 'host' stands before any [section]");
    EXPECT_EQ(errorOf("[catalog]\n"), "zorvex.ini:1: unknown section [catalog]");
    EXPECT_EQ(errorOf("[catalogue\n"), "zorvex.ini:1: section header '[catalogue' has no closing ]");
    EXPECT_EQ(errorOf("[catalogue]\njust words\n"),
              "zorvex.ini:2: expected key = value, found 'just words'");
    EXPECT_THROW(app::Config::load("/nonexistent/zorvex.ini"), app::ConfigError);
}

TEST(Config, CatalogueTimeOutsDefaultToTenAndThirtyFiveSecondsAndRefuseNonsense) {
    const auto defaults = app::Config().catalogue();
    EXPECT_EQ(defaults.connectTimeout, 10);
    EXPECT_EQ(defaults.readTimeout, 35);
    EXPECT_EQ(defaults.writeTimeout, 35);
    const auto set = app::Config::parse("[catalogue]\nconnect_timeout = 3\nread_timeout = 7\nwrite_timeout = 9\n",
                                        "zorvex.ini")
                         .catalogue();
    EXPECT_EQ(set.connectTimeout, 3);
    EXPECT_EQ(set.readTimeout, 7);
    EXPECT_EQ(set.writeTimeout, 9);
    for (const char* bad : {"0", "-1", "ten", "3601", "5s"})
        EXPECT_THROW(app::Config::parse(std::string("[catalogue]\nconnect_timeout = ") + bad + "\n", "zorvex.ini"),
                     app::ConfigError)
            << bad;
}

TEST(CommandLine, AcceptsEveryOptionInBothForms) {
    const auto cl = app::CommandLine::parse({"--headless", "--automation=unix:/tmp/z.sock", "--config",
                                             "a.ini", "--workdir=/w"});
    EXPECT_TRUE(cl.headless);
    EXPECT_EQ(cl.automation, "unix:/tmp/z.sock");
    EXPECT_EQ(cl.config, "a.ini");
    EXPECT_EQ(cl.workdir, "/w");
    EXPECT_EQ(app::CommandLine::parse({"--screenshot", "s.png"}).screenshot, "s.png");
    EXPECT_TRUE(app::CommandLine::parse({"--version"}).version);
    EXPECT_TRUE(app::CommandLine::parse({"--help"}).help);
}

TEST(CommandLine, RefusesWhatItDoesNotKnow) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--fullscreen"}, {"file.wmv"}, {"--config"}, {"--automation=tcp:1"},
          {"--automation=unix:"}, {"--headless=yes"}, {"--headless", "--screenshot", "x.png"}})
        EXPECT_THROW(app::CommandLine::parse(args), app::UsageError) << args[0];
}

} // namespace
