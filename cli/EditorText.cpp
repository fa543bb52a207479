// Typing text into the editor's controls and reading it back out of them, for --set, --fields and
// the fields command.
#include "cli/EditorText.h"

#include "gears/EditorFields.h"

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace linkwright {

namespace {

// true / false as a check box takes them; nothing for any other text.
std::optional<bool> Truth(const std::string& text) {
    if (text == "true" || text == "1") return true;
    if (text == "false" || text == "0") return false;
    return std::nullopt;
}

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

// The whole of a fields file. A pipe, a device or a folder is refused at once rather than waited
// on, and so is a file far larger than the fields of any gear take.
template <typename Refused> std::string ReadFieldsText(const std::string& file, const Refused& refused) {
    constexpr std::size_t Largest = 16 << 20;
    const int descriptor = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0) throw refused(std::string("cannot be read: ") + std::strerror(errno));
    struct stat status {};
    const bool known = ::fstat(descriptor, &status) == 0;
    std::string reason;
    if (!known)
        reason = std::string("cannot be read: ") + std::strerror(errno);
    else if (S_ISDIR(status.st_mode))
        reason = "a folder, not a fields file";
    else if (!S_ISREG(status.st_mode))
        reason = "not a plain file (a pipe or a device), so not a fields file";
    else if (static_cast<std::size_t>(status.st_size) > Largest)
        reason = std::to_string(status.st_size) + " bytes, more than a fields file holds";
    std::string text;
    if (reason.empty()) {
        text.resize(static_cast<std::size_t>(status.st_size));
        std::size_t got = 0;
        while (got < text.size()) {
            const ssize_t n = ::read(descriptor, text.data() + got, text.size() - got);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) reason = std::string("cannot be read: ") + std::strerror(errno);
            if (n <= 0) break;
            got += static_cast<std::size_t>(n);
        }
        text.resize(got);
    }
    ::close(descriptor);
    if (!reason.empty()) throw refused(reason);
    return text;
}

} // namespace

std::string ControlText(const EditorField& field, const ControlValue& value, int decimals) {
    switch (field.control) {
    case ControlKind::CheckBox:
        return value.checked ? "true" : "false";
    case ControlKind::RadioPair:
        return field.choices[value.checked ? 0 : 1].component;
    case ControlKind::MovieSpeed:
        return std::to_string(value.position);
    case ControlKind::Edit:
        break;
    }
    if (field.format == FieldFormat::Text) return value.text;
    // A number is right-aligned by blanks the conversion skips again.
    const std::string text = ExactFieldText(field, decimals);
    const std::size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : text.substr(first);
}

std::string ControlNameOf(const EditorTable& table, const std::string& name) {
    const EditorField* field = table.Find(name);
    return field != nullptr ? field->component : name;
}

std::optional<std::string> TypeControlText(const EditorTable& table, std::vector<ControlValue>& values,
                                           const std::string& name, const std::string& text) {
    const EditorField* field = table.Find(name);
    if (field == nullptr) return "the editor \"" + table.caption + "\" has no control " + name;
    ControlValue& value = values.at(static_cast<std::size_t>(field - table.fields.data()));
    const std::string control = Quoted(field->label) + " (" + field->component + ")";
    switch (field->control) {
    case ControlKind::Edit:
        value.text = text;
        return std::nullopt;
    case ControlKind::CheckBox:
        if (const std::optional<bool> checked = Truth(text)) {
            value.checked = *checked;
            return std::nullopt;
        }
        return "the check box " + control + " takes true or false (or 1 or 0), not " + Quoted(text);
    case ControlKind::RadioPair: {
        const std::string& first = field->choices[0].component;
        const std::string& second = field->choices[1].component;
        const std::optional<bool> truth = Truth(text);
        if (name == field->component) {
            if (text == first || text == second) {
                value.checked = text == first;
                return std::nullopt;
            }
            if (truth) {
                value.checked = *truth;
                return std::nullopt;
            }
            return "the radio buttons " + control + " take " + first + " or " + second +
                   " (or true or false for " + first + "), not " + Quoted(text);
        }
        if (truth) {
            value.checked = name == first ? *truth : !*truth;
            return std::nullopt;
        }
        return "the radio button " + name + " of " + control + " takes true or false (or 1 or 0), not " +
               Quoted(text);
    }
    case ControlKind::MovieSpeed: {
        const std::optional<std::int32_t> position = ParseInteger(text);
        if (position && *position >= MovieSpeedMin && *position <= MovieSpeedMax) {
            value.position = *position;
            return std::nullopt;
        }
        return "the scroll bar " + control + " takes a whole number " + std::to_string(MovieSpeedMin) +
               " .. " + std::to_string(MovieSpeedMax) + ", not " + Quoted(text);
    }
    }
    return std::nullopt;
}

nlohmann::ordered_json FieldsJson(const char* kind, const EditorTable& table,
                                  const std::vector<ControlValue>& values, int decimals) {
    nlohmann::ordered_json fields = nlohmann::ordered_json::array();
    for (std::size_t i = 0; i < table.fields.size() && i < values.size(); ++i) {
        const EditorField& field = table.fields[i];
        fields.push_back({{"name", field.component},
                          {"label", field.label},
                          {"text", ControlText(field, values[i], decimals)}});
    }
    return {{"kind", kind}, {"fields", fields}};
}

FieldsFile ReadFieldsFile(const std::string& file) {
    const auto refused = [&](const std::string& why) {
        return std::invalid_argument("--fields " + file + ": " + why);
    };
    const std::string text = ReadFieldsText(file, refused);
    nlohmann::json json;
    try {
        json = nlohmann::json::parse(text);
    } catch (const nlohmann::json::exception& error) {
        throw refused(std::string("not JSON: ") + error.what());
    }
    if (!json.is_object() || !json.contains("fields") || !json["fields"].is_array())
        throw refused(
            "not a fields file: it must be an object with a list \"fields\" of {\"name\", \"text\"}");
    FieldsFile fields;
    if (json.contains("kind")) {
        if (!json["kind"].is_string()) throw refused("\"kind\" must be the name of a gear kind");
        fields.kind = json["kind"].get<std::string>();
    }
    for (const nlohmann::json& entry : json["fields"]) {
        if (!entry.is_object() || !entry.contains("name") || !entry["name"].is_string() ||
            !entry.contains("text"))
            throw refused("every entry of \"fields\" needs a \"name\" and a \"text\": " + entry.dump());
        const nlohmann::json& text = entry["text"];
        TypedField typed{entry["name"].get<std::string>(), {}};
        if (text.is_string())
            typed.text = text.get<std::string>();
        else if (text.is_boolean() || text.is_number())
            typed.text = text.dump();
        else
            throw refused("the text of " + typed.name + " must be a string, a number or true or false");
        fields.fields.push_back(std::move(typed));
    }
    return fields;
}

} // namespace linkwright
