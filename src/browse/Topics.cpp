#include "browse/Topics.h"

#include <nlohmann/json.hpp>

#include "catalogue/CatalogueServer.h"
#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/Utf8.h"
#include "ui/Widgets.h"

namespace browse {

namespace {

nlohmann::json entries(const std::array<std::string, TopicList::kCapacity + 1>& a) {
    return nlohmann::json(std::vector<std::string>(a.begin() + 1, a.end()));
}

} // namespace

Topics::Topics(ui::Form& form, catalogue::CatalogueServer& server)
    : form_(form), featureListQuery_(server.connection(), "qzrbackup"),
      specialListQuery_(server.connection(), "qzrbackup") {
    registerState();
}

void Topics::load(db::Query& component, const std::string& table, TopicList& list,
                  const std::string& buttonPrefix) {
    component.close();
    component.setSql("SELECT * FROM " + table + " limit 0,25");
    component.open();
    list.count = 0;
    while (!component.eof()) {
        // The list holds 20 topics; further rows have no place and are skipped.
        if (list.count < TopicList::kCapacity) {
            const auto i = static_cast<std::size_t>(++list.count);
            list.sql[i] = component.field("videoquerysql").text();
            list.caption[i] = component.field("videoquerycaption").text();
            if (i <= 12)
                form_.get<ui::Button>(buttonPrefix + std::to_string(i))
                    .setCaption(ui::utf8::left(list.caption[i], 16));
        }
        component.next();
    }
}

void Topics::LoadFeatureTopics() {
    load(featureListQuery_, "videoqueryfeature", featureTopics_, "querybutton");
}

void Topics::LoadSpecialTopics() {
    load(specialListQuery_, "videospecialfeature", specialTopics_, "Specialbutton");
}

void Topics::registerState() const {
    auto& r = form_.app().state();
    r.add("featureTopicCount", [this] { return featureTopics_.count; });
    r.add("specialTopicCount", [this] { return specialTopics_.count; });
    r.add("featureTopicSql", [this] { return entries(featureTopics_.sql); });
    r.add("featureTopicCaption", [this] { return entries(featureTopics_.caption); });
    r.add("specialTopicSql", [this] { return entries(specialTopics_.sql); });
    r.add("specialTopicCaption", [this] { return entries(specialTopics_.caption); });
    r.add("topicListOpen", [this] { return featureListOpen(); });
}

} // namespace browse
