#pragma once
// The topic lists of the two 8-slot pages: loaded from the catalogue at every
// online load, each entry a stored statement and a caption, the first twelve shown
// on the page's topic buttons. The pages run the topics (FeaturePages).
//
// Thread: user-interface thread only. The online load calls the loaders inside its
// connection bracket; the pages read the lists.

#include <array>
#include <string>

#include "db/Query.h"

namespace ui {
class Form;
}
namespace catalogue {
class CatalogueServer;
}

namespace browse {

/// A topic list: entries 1..20 of SQL texts and captions, as the server returns them.
struct TopicList {
    static constexpr int kCapacity = 20;
    std::array<std::string, kCapacity + 1> sql{};     // index 0 unused
    std::array<std::string, kCapacity + 1> caption{}; // index 0 unused
    int count = 0;
};

class Topics {
  public:
    /// Registers the lists' state variables.
    Topics(ui::Form& form, catalogue::CatalogueServer& server);

    /// Fill the Newest Videos and Special Interest topic lists and the captions of
    /// their topic buttons. The list's query component stays open until the caller
    /// closes the connection. Throws the catalogue error when the statement fails,
    /// leaving the list as it was.
    void LoadFeatureTopics();
    void LoadSpecialTopics();

    const TopicList& featureTopics() const { return featureTopics_; }
    const TopicList& specialTopics() const { return specialTopics_; }

    /// True from the moment a list starts opening until its component is closed;
    /// some paging controls wait for it.
    bool featureListOpen() const { return featureListQuery_.isOpen(); }
    bool specialListOpen() const { return specialListQuery_.isOpen(); }

  private:
    void load(db::Query& component, const std::string& table, TopicList& list,
              const std::string& buttonPrefix);
    void registerState() const;

    ui::Form& form_;
    db::Query featureListQuery_; ///< designed name peloraqueryfeaturesql
    db::Query specialListQuery_; ///< designed name myspecialvideos
    TopicList featureTopics_;
    TopicList specialTopics_;
};

} // namespace browse
