#include "main/ArgumentCheck.h"

#include "foundation/Text.h"

#include <algorithm>
#include <optional>

namespace tidemark::cli {
namespace {

// One way to give a command's words: "set NAME COMBO" is the literal "set" and two words.
struct Form {
    std::string_view text = {};
    std::string_view verb = {};
    std::size_t required = 0;
    std::size_t optional = 0;
};

std::vector<std::string_view> split(std::string_view text, std::string_view separator) {
    std::vector<std::string_view> parts;
    while (!text.empty()) {
        const auto end = text.find(separator);
        parts.push_back(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view()
                                             : text.substr(end + separator.size());
    }
    return parts;
}

bool isLiteral(std::string_view word) {
    return std::all_of(word.begin(), word.end(), [](char c) { return c >= 'a' && c <= 'z'; });
}

// The forms of "read [KEY] | write KEY JSON | delete KEY"; none for a command without words.
std::vector<Form> formsOf(std::string_view words) {
    std::vector<Form> forms;
    for (const auto text : split(words, " | ")) {
        Form form{.text = text};
        const auto parts = split(text, " ");
        for (std::size_t i = 0; i < parts.size(); ++i) {
            if (i == 0 && isLiteral(parts[i]))
                form.verb = parts[i];
            else if (parts[i].starts_with('['))
                ++form.optional;
            else
                ++form.required;
        }
        forms.push_back(form);
    }
    return forms;
}

// The command's options, --scenario first when it reads one.
std::vector<Option> optionsOf(const Command& command) {
    std::vector<Option> options;
    if (command.desktop == Desktop::Scenario)
        options.push_back({.name = "--scenario",
                           .value = "FILE",
                           .required = command.defaultScenario.empty(),
                           .help = "the scenario file to run on"});
    if (command.desktop == Desktop::ScenarioOrLive)
        options.push_back({.name = "--scenario",
                           .value = "FILE",
                           .help = "a scenario file to run on instead of this desktop"});
    options.insert(options.end(), command.options.begin(), command.options.end());
    return options;
}

std::string spelled(const Option& option) {
    const auto value = option.choices.empty() ? option.value : option.choices;
    return std::string(option.name) + (value.empty() ? "" : " ") + std::string(value);
}

// "a, b or c" of "a|b|c".
std::string listed(std::string_view choices) {
    const auto parts = split(choices, "|");
    std::string text;
    for (std::size_t i = 0; i < parts.size(); ++i)
        text.append(i == 0 ? "" : i + 1 == parts.size() ? " or " : ", ").append(parts[i]);
    return text;
}

// "tidemark NAME OPTIONS WORDS", with `words` for the command's words.
std::string usageWith(const Command& command, std::string_view words) {
    std::string usage = "tidemark";
    const auto append = [&usage](std::string_view part) {
        if (!part.empty())
            usage.append(" ").append(part);
    };
    append(command.name);
    for (const auto& option : optionsOf(command))
        append(option.required ? spelled(option) : "[" + spelled(option) + "]");
    append(words);
    return usage;
}

Refusal refusal(const Command& command, const std::string& reason) {
    const std::string name = command.name.empty() ? "" : " " + std::string(command.name);
    return {"tidemark" + name + ": " + reason};
}

std::optional<Refusal> checkWords(const Command& command, const std::vector<std::string>& words) {
    const auto forms = formsOf(command.words);
    Form form = forms.empty() ? Form{} : forms.front();
    std::size_t given = words.size();
    if (!form.verb.empty()) {
        const auto whole = "usage: " + usageWith(command, command.words);
        if (words.empty())
            return refusal(command, whole);
        const auto match = std::find_if(forms.begin(), forms.end(),
                                        [&](const Form& f) { return f.verb == words.front(); });
        if (match == forms.end())
            return refusal(command, "unknown sub-command '" + text::printable(words.front()) +
                                        "'; " + whole);
        form = *match;
        --given;
    }
    if (given < form.required || given > form.required + form.optional)
        return refusal(command, "usage: " + usageWith(command, form.text));
    return std::nullopt;
}

} // namespace

std::optional<std::string> Invocation::option(std::string_view name) const {
    const auto found = options.find(name);
    if (found == options.end())
        return std::nullopt;
    return found->second;
}

std::variant<Invocation, Refusal> checkArguments(const Command& command,
                                                 const std::vector<std::string>& args) {
    Invocation call;
    if (std::find(args.begin(), args.end(), "--help") != args.end()) {
        call.help = true;
        return call;
    }
    const auto options = optionsOf(command);
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!arg.starts_with("--")) {
            call.words.push_back(arg);
            continue;
        }
        const auto equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        const auto option = std::find_if(options.begin(), options.end(),
                                         [&](const Option& o) { return o.name == name; });
        if (option == options.end())
            return refusal(command, "unknown option '" + text::printable(arg) + "'");
        std::string value;
        if (equals != std::string::npos) {
            if (option->value.empty())
                return refusal(command, name + " takes no value");
            value = arg.substr(equals + 1);
        } else if (!option->value.empty()) {
            // Another option is no value: "--out --scale 2" has forgotten the file.
            if (i + 1 == args.size() || args[i + 1].starts_with("--"))
                return refusal(command, name + " needs " + std::string(option->value));
            value = args[++i];
        }
        if (const auto choices = split(option->choices, "|");
            !choices.empty() && std::find(choices.begin(), choices.end(), value) == choices.end())
            return refusal(command, name + " takes " + listed(option->choices) + ", not '" +
                                        text::printable(value) + "'");
        call.options.emplace(name, std::move(value));
    }
    for (const auto& option : options)
        if (option.required && !call.flag(option.name))
            return refusal(command, spelled(option) + " is required");
    if (auto refused = checkWords(command, call.words))
        return *std::move(refused);
    return call;
}

std::string usageLine(const Command& command) {
    const auto usage = usageWith(command, command.words);
    return usage.substr(std::min(usage.size(), std::string_view("tidemark ").size()));
}

std::string helpText(const Command& command) {
    std::string text =
        "Usage: " + usageWith(command, command.words) + "\n" + std::string(command.summary) + "\n";
    const auto options = optionsOf(command);
    std::size_t width = 0;
    for (const auto& option : options)
        width = std::max(width, spelled(option).size());
    if (!options.empty())
        text += "\n";
    for (const auto& option : options) {
        const auto left = spelled(option);
        text += "  " + left + std::string(width + 2 - left.size(), ' ') + std::string(option.help);
        if (option.name == "--scenario" && !command.defaultScenario.empty())
            text += " (default " + std::string(command.defaultScenario) + ")";
        text += "\n";
    }
    if (!command.details.empty())
        text += "\n" + std::string(command.details);
    return text;
}

} // namespace tidemark::cli
