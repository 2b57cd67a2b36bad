#include "foundation/PropertyList.h"
#include "foundation/Text.h"
#include "foundation/ValueJson.h"
#include "main/Commands.h"
#include "platform/linux/settings/FileSettingsStore.h"
#include "preferences/SettingsKeys.h"

#include <iostream>

namespace tidemark::cli {
namespace {

int usageError(const std::string& message) {
    std::cerr << "tidemark defaults: " << text::printable(message) << "\n";
    return kExitUsage;
}

int readSettings(SettingsStore& store, const std::vector<std::string>& words) {
    if (words.size() == 2) {
        const auto value = store.object(words[1]);
        if (!value) {
            std::cerr << "tidemark defaults: no value for " << text::printable(words[1]) << "\n";
            return kExitFailure;
        }
        std::cout << jsonFromValue(*value).dump(2) << "\n";
        return kExitOk;
    }
    // What the app would read: registered defaults with the stored values on top.
    ValueDictionary effective = store.registeredDefaults();
    for (const auto& [key, value] : store.storedValues())
        effective.insert_or_assign(key, value);
    std::cout << jsonFromValue(Value(std::move(effective))).dump(2) << "\n";
    return kExitOk;
}

int writeSetting(SettingsStore& store, const std::vector<std::string>& words) {
    const auto where = [](const std::string& member) {
        return member == "(document)" ? std::string("VALUE") : "VALUE member '" + member + "'";
    };
    Value value;
    try {
        value = valueFromJson(parseJson(words[2]));
    } catch (const JsonError& e) {
        return usageError(where(e.member()) + " is not valid JSON: " + e.reason());
    } catch (const std::invalid_argument& e) {
        return usageError("VALUE: " + std::string(e.what()));
    }
    if (value.isNull())
        return usageError("null cannot be stored; use 'tidemark defaults delete " + words[1] + "'");
    if (const auto why = plist::unencodablePart(value))
        return usageError("VALUE cannot be stored: it holds " + *why);
    store.set(words[1], std::move(value));
    return kExitOk;
}

} // namespace

int runDefaults(Invocation call) {
    const auto& words = call.words;
    const std::string& verb = words.front();

    linux_platform::FileSettingsStore store(
        linux_platform::FileSettingsStore::defaultLocation(), [](const std::string& line) {
            std::cerr << "tidemark: " << text::printable(line) << "\n";
        });
    if (store.openError())
        return kExitFailure; // reported; the file is left as it is
    store.registerDefaults(settings::registeredDefaults());
    if (verb == "read")
        return readSettings(store, words);
    if (verb == "write") {
        const int status = writeSetting(store, words);
        if (status == kExitOk && !store.lastWriteSucceeded())
            return kExitFailure;
        return status;
    }
    store.remove(words[1]);
    return store.lastWriteSucceeded() ? kExitOk : kExitFailure;
}

} // namespace tidemark::cli
