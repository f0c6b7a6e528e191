#pragma once
// The link resolver on a form of its own with a downloader that serves the pages
// the fuzzing target gives it, written to the file as a real download would.
// Shared by the page and playlist targets.

#include "catalogue/Selection.h"
#include "platform/Downloader.h"
#include "player/LinkResolver.h"
#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/Widgets.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <unistd.h>

namespace fuzz {

class ServedPages : public platform::Downloader {
  public:
    /// Answers the page for each address asked for.
    std::function<std::string(std::string_view url)> page;

    platform::DownloadResult download(std::string_view url, const std::string& file) override {
        const std::string body = page(url);
        std::ofstream(file, std::ios::binary | std::ios::trunc)
            .write(body.data(), static_cast<std::streamsize>(body.size()));
        platform::DownloadResult r;
        r.status = platform::DownloadStatus::Ok;
        r.httpStatus = 200;
        r.bytes = body.size();
        return r;
    }
};

struct ResolverBench {
    ResolverBench() {
        form.add<ui::Label>("Label16");
        form.add<ui::Memo>("Memo1");
        form.add<ui::Memo>("videolocationmemo");
    }
    /// Resolves `link` for the item titled `title`; returns the link to play.
    std::string resolve(const std::string& link, const std::string& title) {
        catalogue::Item item;
        item.title = title;
        selection.choose(item);
        selection.setSelectionTitle(title);
        selection.setPlayLink(link);
        resolver.ResolveMediaLink();
        return selection.playLink();
    }

    ui::Application app{ui::EventLoop::ClockKind::Virtual};
    ui::Form form{app, "mainform"};
    catalogue::Selection selection;
    ServedPages pages;
    player::LinkResolver resolver{form, selection, pages, player::ResolverSettings{},
                                  [] { return std::string("key"); }};
};

/// The resolver writes its work file into the current folder: a fresh one.
inline void enterScratchFolder() {
    char pattern[] = "/tmp/zorvex-fuzz-XXXXXX";
    if (const char* dir = ::mkdtemp(pattern))
        std::filesystem::current_path(dir);
}

} // namespace fuzz
