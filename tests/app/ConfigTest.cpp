#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "app/CommandLine.h"
#include "app/Config.h"
#include "support/TempDir.h"

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
    EXPECT_EQ(errorOf("[catalogue]\n\nhots = x\n"),
              "zorvex.ini:3: unknown key 'hots' in [catalogue]");
    EXPECT_EQ(errorOf("host = x\n"), "zorvex.ini:1: key 'host' stands before any [section]");
    EXPECT_EQ(errorOf("[catalog]\n"), "zorvex.ini:1: unknown section [catalog]");
    EXPECT_EQ(errorOf("[catalogue\n"),
              "zorvex.ini:1: section header '[catalogue' has no closing ]");
    EXPECT_EQ(errorOf("[catalogue]\njust words\n"),
              "zorvex.ini:2: expected key = value, found 'just words'");
    EXPECT_THROW(app::Config::load("/nonexistent/zorvex.ini"), app::ConfigError);
}

TEST(Config, CatalogueTimeOutsDefaultToTenAndThirtyFiveSecondsAndRefuseNonsense) {
    const auto defaults = app::Config().catalogue();
    EXPECT_EQ(defaults.connectTimeout, 10);
    EXPECT_EQ(defaults.readTimeout, 35);
    EXPECT_EQ(defaults.writeTimeout, 35);
    const auto set =
        app::Config::parse(
            "[catalogue]\nconnect_timeout = 3\nread_timeout = 7\nwrite_timeout = 9\n", "zorvex.ini")
            .catalogue();
    EXPECT_EQ(set.connectTimeout, 3);
    EXPECT_EQ(set.readTimeout, 7);
    EXPECT_EQ(set.writeTimeout, 9);
    for (const char* bad : {"0", "-1", "ten", "3601", "5s"})
        EXPECT_THROW(app::Config::parse(std::string("[catalogue]\nconnect_timeout = ") + bad + "\n",
                                        "zorvex.ini"),
                     app::ConfigError)
            << bad;
}

// The example configuration in the README's Configuration section, as it stands.
std::string readmeExample() {
    std::ifstream in(ZORVEX_SOURCE_DIR "/README.md", std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto section = text.find("\n## Configuration\n");
    const auto open = text.find("```ini\n", section);
    const auto close = text.find("\n```\n", open);
    if (section == std::string::npos || open == std::string::npos || close == std::string::npos)
        return "";
    return text.substr(open + 7, close + 1 - (open + 7));
}

TEST(Config, TheReadmeExampleLoadsAndHoldsTheDefaults) {
    const std::string block = readmeExample();
    ASSERT_NE(block.find("[catalogue]"), std::string::npos) << "no ```ini block in README.md";
    testsupport::TempDir tmp("zorvex-config");
    const auto c = app::Config::load(tmp.write("zorvex.ini", block));
    for (const auto& k : app::Config::keys()) {
        EXPECT_NE(block.find("\n" + std::string(k.name) + " ="), std::string::npos)
            << "the README's example leaves out " << k.name;
        // Its comments are not part of the values.
        EXPECT_EQ(c.get(k.section, k.name), k.fallback) << k.section << "." << k.name;
    }
}

TEST(Config, CommentsFollowSectionsAndValuesAfterABlank) {
    const auto c = app::Config::parse("[catalogue]   ; the server\n"
                                      "host = db.example\t; a comment\n"
                                      "user = me # another\n"
                                      "password = #!%@qwmv*&r*\n"
                                      "[sites]# right after the bracket\n"
                                      "product = a;b#c ;comment\n"
                                      "google = ;starts with a semicolon\n",
                                      "test.ini");
    EXPECT_EQ(c.get("catalogue", "host"), "db.example");
    EXPECT_EQ(c.get("catalogue", "user"), "me");
    EXPECT_EQ(c.get("catalogue", "password"), "#!%@qwmv*&r*"); // the value starts with '#'
    EXPECT_EQ(c.get("sites", "product"), "a;b#c");             // no blank before ';' or '#'
    EXPECT_EQ(c.get("sites", "google"), ";starts with a semicolon");
}

TEST(Config, DoubleQuotesKeepBlanksAndCommentCharactersOfAValue) {
    const auto c = app::Config::parse("[catalogue]\n"
                                      "password = \" a ;b #c \"   ; the quotes go\n"
                                      "user = \"\"\n"
                                      "port = \"3310\"\n"
                                      "[search]\n"
                                      "excluded_host = \"you ;tube.com\" ; the quotes stay\n"
                                      "excluded_player_url = 'it''s \\' here' # single quotes\n",
                                      "test.ini");
    EXPECT_EQ(c.catalogue().password, " a ;b #c ");
    EXPECT_EQ(c.catalogue().user, "");
    EXPECT_EQ(c.catalogue().port, 3310);
    // The search values are SQL literals and go into the statements as written.
    EXPECT_EQ(c.get("search", "excluded_host"), "\"you ;tube.com\"");
    EXPECT_EQ(c.get("search", "excluded_player_url"), "'it''s \\' here'");
}

TEST(Config, ADuplicateKeyOrAStrayTextIsRefusedWithFileAndLine) {
    EXPECT_EQ(errorOf("[catalogue]\nhost = a\n\n[sites]\n[catalogue]\nhost = b\n"),
              "zorvex.ini:6: key 'host' in [catalogue] is given a second time (first on line 2)");
    EXPECT_EQ(errorOf("[catalogue] x\n"),
              "zorvex.ini:1: text after section header '[catalogue]': 'x'");
    EXPECT_EQ(errorOf("[catalogue]\nhost = \"a\" b\n"),
              "zorvex.ini:2: text after the quoted value of key 'host': 'b'");
    EXPECT_EQ(errorOf("[catalogue]\nhost = \"a\n"),
              "zorvex.ini:2: the quoted value of key 'host' has no closing \"");
    EXPECT_EQ(errorOf("[catalogue]\nport = 3306 3307 ; two\n"),
              "zorvex.ini:2: key 'port' must be a port number from 1 to 65535, not '3306 3307'");
    EXPECT_EQ(
        errorOf("[search]\nexcluded_host = youtube.com\n"),
        "zorvex.ini:2: key 'excluded_host' must be one SQL string literal in double or single "
        "quotes, not 'youtube.com'");
    EXPECT_EQ(
        errorOf("[search]\nexcluded_host = \"a\" OR 1\n").find("zorvex.ini:2: key 'excluded_host'"),
        0u);
    EXPECT_EQ(
        errorOf("[search]\nexcluded_host = \"a\\\"\n").find("zorvex.ini:2: key 'excluded_host'"),
        0u); // the backslash escapes the closing quote
}

TEST(Config, ASecondTextMayChangeWhatTheFirstSet) {
    const auto first = app::Config::parse("[catalogue]\nport = 3310\nuser = a\n", "a.ini");
    const auto both = app::Config::parse("[catalogue]\nport = 1\n", "b.ini", first);
    EXPECT_EQ(both.catalogue().port, 1);
    EXPECT_EQ(both.catalogue().user, "a");
}

TEST(Config, ADirectoryIsRefusedLikeAMissingFile) {
    testsupport::TempDir tmp("zorvex-config");
    try {
        (void)app::Config::load(tmp.path().string());
        ADD_FAILURE() << "a directory was read as settings";
    } catch (const app::ConfigError& e) {
        EXPECT_EQ(std::string(e.what()),
                  tmp.path().string() + ": is a directory, not a settings file");
    }
    EXPECT_THROW(app::Config::load((tmp.path() / "missing.ini").string()), app::ConfigError);
    // An empty file is a file: it holds no settings, so the defaults stay.
    EXPECT_EQ(app::Config::load(tmp.write("empty.ini", "")).catalogue().port, 3306);
}

TEST(CommandLine, AcceptsEveryOptionInBothForms) {
    const auto cl = app::CommandLine::parse(
        {"--headless", "--automation=unix:/tmp/z.sock", "--config", "a.ini", "--workdir=/w"});
    EXPECT_TRUE(cl.headless);
    EXPECT_EQ(cl.automation, "unix:/tmp/z.sock");
    EXPECT_EQ(cl.config, "a.ini");
    EXPECT_EQ(cl.workdir, "/w");
    EXPECT_EQ(app::CommandLine::parse({"--screenshot", "s.png"}).screenshot, "s.png");
    EXPECT_TRUE(app::CommandLine::parse({"--version"}).version);
    EXPECT_TRUE(app::CommandLine::parse({"--help"}).help);
}

TEST(CommandLine, RefusesWhatItDoesNotKnow) {
    for (const std::vector<std::string>& args : {std::vector<std::string>{"--fullscreen"},
                                                 {"file.wmv"},
                                                 {"--config"},
                                                 {"--automation=tcp:1"},
                                                 {"--automation=unix:"},
                                                 {"--headless=yes"},
                                                 {"--headless", "--screenshot", "x.png"}})
        EXPECT_THROW(app::CommandLine::parse(args), app::UsageError) << args[0];
}

} // namespace
