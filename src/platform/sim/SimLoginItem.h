#pragma once

#include "preferences/LoginItem.h"

#include <string>
#include <vector>

namespace tidemark::sim {

// A login-item record in memory; `refuse` makes every write fail with that text.
class SimLoginItemService final : public LoginItemService {
public:
    bool registered = false;
    std::optional<std::string> refuse;

    Status status() const override { return registered ? Status::Enabled : Status::NotRegistered; }
    std::optional<std::string> registerItem() override {
        if (!refuse)
            registered = true;
        return refuse;
    }
    std::optional<std::string> unregisterItem() override {
        if (!refuse)
            registered = false;
        return refuse;
    }
};

// Keeps the entries, for tests and the demo.
class SimSystemLog final : public SystemLog {
public:
    std::vector<std::string> entries;
    void error(std::string_view subsystem, std::string_view category,
               std::string_view message) override {
        entries.push_back(std::string(subsystem) + " " + std::string(category) + ": " +
                          std::string(message));
    }
};

} // namespace tidemark::sim
