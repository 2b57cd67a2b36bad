#include "foundation/ObservationToken.h"

#include <utility>

namespace tidemark {

ObservationToken& ObservationToken::operator=(ObservationToken&& other) noexcept {
    if (this != &other) {
        reset();
        registry_ = std::move(other.registry_);
        id_ = std::exchange(other.id_, 0);
    }
    return *this;
}

void ObservationToken::reset() {
    if (auto registry = registry_.lock())
        registry->remove(id_);
    registry_.reset();
    id_ = 0;
}

} // namespace tidemark
