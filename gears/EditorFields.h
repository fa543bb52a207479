// The core of the gear editors: each kind describes its form once as a table of fields, and an
// EditorSession fills the controls from the fields and stores them back on OK, with strict conversion.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace linkwright {

class Dialogs;
class GearModel;
struct SimulationState;

// A record's description: a length byte followed by up to 255 characters (256 bytes).
#pragma pack(push, 1)
struct ShortString {
    std::uint8_t Length = 0;
    std::array<char, 255> Chars{};

    std::string Text() const { return std::string(Chars.data(), Length); }
    // Keeps the first 255 bytes, never splitting a UTF-8 sequence; the unused tail is zeroed.
    void Assign(std::string_view text);
};
#pragma pack(pop)
static_assert(sizeof(ShortString) == 256);

// Where a control's value is kept. The records are packed, so a field is reached by its address and
// copied with memcpy; an alignment is never assumed.
class FieldRef {
public:
    enum class Type : std::uint8_t { None, Float, Int32, Flag, Text };

    FieldRef() = default;
    static FieldRef Float(void* address) { return FieldRef(Type::Float, address); }
    static FieldRef Int32(void* address) { return FieldRef(Type::Int32, address); }
    static FieldRef Flag(void* address) { return FieldRef(Type::Flag, address); } // one byte
    static FieldRef Text(void* address) { return FieldRef(Type::Text, address); } // a ShortString

    Type Kind() const { return type_; }
    float ReadFloat() const;
    void WriteFloat(float value) const;
    std::int32_t ReadInt32() const;
    void WriteInt32(std::int32_t value) const;
    std::uint8_t ReadFlag() const;
    void WriteFlag(std::uint8_t value) const;
    std::string ReadText() const;
    void WriteText(std::string_view text) const;

private:
    FieldRef(Type type, void* address) : type_(type), address_(static_cast<std::byte*>(address)) {}
    Type type_ = Type::None;
    std::byte* address_ = nullptr;
};

enum class ControlKind : std::uint8_t {
    Edit,
    CheckBox,
    RadioPair,  // two radio buttons; the first is checked when the flag is 1
    MovieSpeed, // the "Movie Speed" scroll bar, positions 1 (Slow) .. 10 (Fast)
};

// How an edit shows its value.
enum class FieldFormat : std::uint8_t {
    Decimals,    // F(x, 8, Decimals)
    TwoDecimals, // F(x, 8, 2)
    Integer,     // I(n, 4)
    Text,        // as is
    None,        // check boxes, radio pairs, the scroll bar
};

// How a control's text or state maps onto its field.
enum class FieldConversion : std::uint8_t {
    Plain,
    Degrees,        // shown as radians x 180 / pi, stored as degrees x pi / 180
    DegreesOver180, // shown as radians x 180 / pi, stored as degrees / 180 x pi
    Doubled,        // the record keeps half of what is shown (CrankRadius behind PistStroke)
    Integer,
    Text, // cut to 255 characters
    CheckBox,
    RadioPair,
    MovieSpeed, // position = nearest integer of MovieStep x 180 / pi x 10
};

struct RadioChoice {
    std::string component; // "Inside"
    std::string caption;   // "Inside"
    std::string hint;
};

struct EditorField {
    std::string tab;       // "Conditions", "Geometry", "Valving", "Other"
    std::string group;     // group box caption, empty when the control sits on the page itself
    std::string component; // the form's component name: "PistStroke", "cbDU", "Admission", "ScrollBar1"
    std::string label;     // the caption beside (or of) the control
    std::string hint;
    ControlKind control = ControlKind::Edit;
    FieldFormat format = FieldFormat::Decimals;
    FieldConversion conversion = FieldConversion::Plain;
    FieldRef storage;
    std::vector<std::string> disables;    // check boxes: the edits disabled while it is ticked
    std::array<RadioChoice, 2> choices{}; // radio pairs only
};

// A fixed text of the form (static labels or a memo), one entry per line.
struct EditorNote {
    std::string tab;
    std::string group; // empty for a note on the page itself
    std::string component;
    std::vector<std::string> lines;
};

struct EditorTable {
    std::string caption;             // "Edit Walschaert 1"
    std::vector<std::string> tabs;   // in page order
    std::string firstTab;            // the page shown the first time the form opens
    std::vector<EditorField> fields; // in the order the OK button stores them
    std::vector<EditorNote> notes;

    // The field of a component name (a radio pair also answers to its buttons' names); nullptr if none.
    const EditorField* Find(std::string_view component) const;
};

inline constexpr const char* SyntaxErrorMessage =
    "There is a syntax error in one of the input fields!  Go back and fix it!  (It will be zeroed)";
inline constexpr int MovieSpeedMin = 1;
inline constexpr int MovieSpeedMax = 10;

// Strict conversions of an edit's text: leading blanks, an optional sign, digits, an optional
// fraction and exponent, nothing after. A real must fit a Single (no infinity, NaN or overflow).
std::optional<double> ParseReal(std::string_view text);
std::optional<std::int32_t> ParseInteger(std::string_view text);

// The scroll bar position shown for a MovieStep (kept within 1..10), and the step of a position.
int MovieSpeedPosition(float movieStep);
float MovieStepFromPosition(int position);

// The text an edit shows for its field's current value.
std::string FormatField(const EditorField& field, int decimals);

// What a control shows or holds: the text of an edit, the state of a check box or of the first
// radio button, the position of the scroll bar.
struct ControlValue {
    std::string text;
    bool checked = false;
    int position = 0;
};

enum class EditorOutcome : std::uint8_t { StayOpen, Close };

// One showing of a kind's editor. The Qt form and the tests use it alike: Fill when the form is
// activated, Enabled after every check-box click, Ok when the OK button is pressed.
class EditorSession {
public:
    EditorSession(GearModel& model, SimulationState& state, Dialogs& dialogs);

    const EditorTable& Table() const { return table_; }

    // One value per field of the table, in table order.
    std::vector<ControlValue> Fill() const;
    // Whether each field's control is enabled, given the current values (same order): an edit is
    // disabled while a check box that computes it is ticked.
    std::vector<bool> Enabled(const std::vector<ControlValue>& values) const;
    // Stores every field in table order (a field that does not convert becomes 0), recomputes the
    // derived fields, clears AnalysisValid, then either shows the syntax-error message and keeps
    // the form open, or runs InitialiseGear and lets the form close. `values` must have one entry
    // per field; missing entries count as empty texts.
    EditorOutcome Ok(const std::vector<ControlValue>& values);

private:
    GearModel& model_;
    SimulationState& state_;
    Dialogs& dialogs_;
    const EditorTable& table_;
};

} // namespace linkwright
