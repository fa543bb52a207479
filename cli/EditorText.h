// The editor's controls as text on the command line: what --set types into a control, what the
// fields command shows of it, and the fields file that --fields applies and fields --json writes.
#pragma once

#include "gears/EditorFields.h"

#include <nlohmann/json.hpp>

#include <optional>
#include <string>
#include <vector>

namespace linkwright {

// A control's value as text: an edit's text as the form shows it with `decimals` (a number without
// the blanks that right-align it, and with more decimals where the form's would not give the
// field's value back: see ExactFieldText), a check box "true" or "false", a radio pair the name of
// its checked button ("Inside" or "Outside"), the movie speed scroll bar its position 1 .. 10.
// `value` is the control's as the form was filled from the fields.
std::string ControlText(const EditorField& field, const ControlValue& value, int decimals);

// Types `text` into the control `name` of the table, as the user would: an edit takes any text
// (the editor's OK converts it or reports it), a check box true or false (or 1 or 0), a radio
// pair the name of either button, or true or false (1 or 0) for its first button being checked,
// a radio button's own name true or false for itself, the movie speed a whole number 1 .. 10.
// Answers why not when the table has no such control or the control cannot take the text.
std::optional<std::string> TypeControlText(const EditorTable& table, std::vector<ControlValue>& values,
                                           const std::string& name, const std::string& text);

// The name of the control a typing reaches: a radio button's stands for its pair's.
std::string ControlNameOf(const EditorTable& table, const std::string& name);

// One line of the fields file: a control and the text typed into it.
struct TypedField {
    std::string name;
    std::string text;
};

// The fields file: {"kind": "Walschaerts1", "fields": [{"name", "label", "text"}, ...]} for every
// control in the order the form stores them.
nlohmann::ordered_json FieldsJson(const char* kind, const EditorTable& table,
                                  const std::vector<ControlValue>& values, int decimals);

// A fields file read back: its kind (empty when it names none) and its typings in order; a text
// may also be given as a JSON boolean or number. Throws std::invalid_argument for a file that is
// not of that shape.
struct FieldsFile {
    std::string kind;
    std::vector<TypedField> fields;
};
FieldsFile ReadFieldsFile(const std::string& file);

} // namespace linkwright
