#pragma once
// The viewer's single open document: its store and paths, its topics in
// contents order, the topic on screen, the topics shown so far and those
// Back has left.

#include <memory>
#include <vector>

#include "document/document_location.h"
#include "document/topic_index.h"
#include "viewer/topic_history.h"
#include "runtime/counted_string.h"
#include "store/keyed_store.h"

namespace vtome {

constexpr std::size_t kStartTopicCapacity = 1024;

struct HelpDocument {
    std::unique_ptr<KeyedStore> store;  // none while no document is open
    CountedString documentPath{kPathCapacity};
    CountedString documentFileName{kPathCapacity};  // empty: no document open
    CountedString startTopic{kStartTopicCapacity};
    std::unique_ptr<TopicIndex> index = std::make_unique<TopicIndex>();
    TopicEntry* currentTopic = nullptr;  // the topic on screen, or none
    TopicHistory history;
    // The topics Back has left, the one Forward returns to last; emptied
    // whenever a topic is shown any other way.
    std::vector<TopicEntry*> forward;

    bool isOpen() const { return store != nullptr && !documentFileName.empty(); }
};

}  // namespace vtome
