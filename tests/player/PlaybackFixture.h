#pragma once
// The program with its window built but not gone online, for the play request
// and the transport bar: the test chooses the item itself, as pointing at a
// thumbnail would, and the movie is a scripted one unless the test gives another.

#include <chrono>
#include <string>
#include <thread>

#include "ScriptedMovie.h"
#include "catalogue/Selection.h"
#include "player/PlaybackState.h"
#include "player/Player.h"
#include "support/ProgramTest.h"
#include "ui/Widgets.h"

namespace playertest {

class PlaybackFixture : public testsupport::ProgramTest {
  protected:
    /// Starts the program with a scripted movie (kept in `scripted`).
    void startScripted() {
        auto owned = std::make_unique<ScriptedMovie>();
        scripted = owned.get();
        movie = std::move(owned);
        start();
    }

    /// Makes `item` the current item, with a picture of its own unless `withPicture`
    /// is false.
    void choose(const catalogue::Item& item, bool withPicture = true) {
        auto& selection = form->selection();
        selection.choose(item);
        if (withPicture) {
            std::vector<std::uint8_t> rgb(64 * 48 * 3, 90);
            selection.setPicture(std::make_shared<ui::Picture>(64, 48, std::move(rgb)));
        } else {
            selection.setPicture(nullptr);
        }
    }
    static catalogue::Item flashItem(std::string link = "http://clips.example/a.flv") {
        catalogue::Item i;
        i.mediaLink = std::move(link);
        i.title = "A short title";
        i.description = "A description";
        i.siteUrl = "http://www.site.example/watch/1";
        i.mediaType = "video/flv";
        i.recnum = "42";
        i.feedTitle = "Some Feed";
        return i;
    }
    std::string caption(const std::string& control) const {
        return app->findControl(control)->caption();
    }
    template <class T> T& get(const std::string& name) { return form->get<T>(name); }
    void advance(int ms) { app->loop().advance(ms); }
    /// Runs the posted work until the media worker has carried out its commands
    /// and its reports are applied (at most a minute).
    bool waitWorker() {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
        while (!form->player().idle()) {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            app->loop().runPosted();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        app->loop().runPosted();
        return true;
    }

    ScriptedMovie* scripted = nullptr;
};

} // namespace playertest
