#include "platform/linux/keys/KeyRepeatFilter.h"

namespace tidemark::linux_platform {

std::vector<KeyTransition> KeyRepeatFilter::filter(const std::vector<KeyTransition>& batch) {
    std::vector<KeyTransition> kept;
    for (std::size_t i = 0; i < batch.size(); ++i) {
        const auto& event = batch[i];
        if (!event.pressed && i + 1 < batch.size()) {
            const auto& next = batch[i + 1];
            if (next.pressed && next.keyCode == event.keyCode && next.time == event.time) {
                ++i; // a repeat pair: the key stays down
                continue;
            }
        }
        if (event.pressed) {
            if (!down_.insert(event.keyCode).second)
                continue;
        } else if (down_.erase(event.keyCode) == 0) {
            continue;
        }
        kept.push_back(event);
    }
    return kept;
}

} // namespace tidemark::linux_platform
