// The core of the gear editors: each kind describes its form once as a table of fields, and an
// EditorSession fills the controls from the fields and stores them back on OK, with strict conversion.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace linkwright {

class Dialogs;
class GearModel;
struct SimulationState;
enum class GearKind : std::uint8_t;

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

// Where a control's value is kept: a field of one of four types. The records are packed, so a
// field's address may be unaligned; it is only ever read and written with memcpy.
class FieldRef {
public:
    enum class Type : std::uint8_t { None, Float, Int32, Flag, Text };

    FieldRef() = default;
    static FieldRef Float(float* field) { return FieldRef(Type::Float, field); }
    static FieldRef Int32(std::int32_t* field) { return FieldRef(Type::Int32, field); }
    static FieldRef Flag(std::uint8_t* field) { return FieldRef(Type::Flag, field); }
    static FieldRef Text(ShortString* field) { return FieldRef(Type::Text, field); }

    // The same field, taken as the same type.
    bool operator==(const FieldRef&) const = default;

    Type Kind() const { return type_; }
    // Whether the field lies within the `size` bytes from `begin` (a record, say).
    bool Inside(const void* begin, std::size_t size) const {
        const auto at = reinterpret_cast<std::uintptr_t>(address_);
        const auto first = reinterpret_cast<std::uintptr_t>(begin);
        return at >= first && at - first < size;
    }
    float ReadFloat() const;
    void WriteFloat(float value) const;
    std::int32_t ReadInt32() const;
    void WriteInt32(std::int32_t value) const;
    std::uint8_t ReadFlag() const;
    void WriteFlag(std::uint8_t value) const;
    std::string ReadText() const;
    void WriteText(std::string_view text) const;

private:
    template <typename Field>
    FieldRef(Type type, Field* field) : type_(type), address_(reinterpret_cast<std::byte*>(field)) {}
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
    std::string hint;      // on the control, and on its label unless labelHint is given
    std::string labelHint; // a hint of the label's own, when it explains something else than the edit
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

// Where a form's Print button goes.
enum class PrintPlacement : std::uint8_t {
    BesideOkCancel, // in the button row under the pages
    OnTab,          // at the foot of the page the table names (printTab)
};

struct EditorTable {
    std::string caption;           // "Edit Walschaert 1"
    std::string formName;          // the form's object name, "EdWal1"; its remembered page goes by it
    std::vector<std::string> tabs; // in page order
    std::string firstTab;          // the page shown the first time the form opens
    PrintPlacement print = PrintPlacement::BesideOkCancel;
    std::string printTab;            // the page that carries Print, when it sits on one
    std::vector<EditorField> fields; // in the order the OK button stores them
    std::vector<EditorNote> notes;

    // The field of a component name (a radio pair also answers to its buttons' names); nullptr if none.
    const EditorField* Find(std::string_view component) const;
};

// The page each form showed last, by form name: a form opens on it again, and on its table's first
// page until the user has turned to another.
class EditorPages {
public:
    const std::string& OpeningTab(const EditorTable& table) const;
    void Remember(const EditorTable& table, std::string tab);

private:
    std::map<std::string, std::string> lastTabs_; // form name -> tab
};

// ---- building a kind's table ---------------------------------------------------------------------

// The pages of every kind's form, and the group its cylinder fields sit in.
inline constexpr const char* ConditionsTab = "Conditions";
inline constexpr const char* GeometryTab = "Geometry";
inline constexpr const char* ValvingTab = "Valving";
inline constexpr const char* OtherTab = "Other";
inline constexpr const char* CylinderGroup = "Cylinder";
inline constexpr const char* MovieSpeedGroup = "Movie Speed";

// A kind's table before its fields: the caption and form name of its row in the kinds table, the
// four pages, the page it opens on the first time, and where Print goes (`printTab` for OnTab).
EditorTable StartEditorTable(GearKind kind, std::string firstTab, PrintPlacement print,
                             std::string printTab = {});

// Where a control sits: its page, and its group box (empty for none).
struct FieldPlace {
    std::string tab;
    std::string group;
};

// An edit of a Single, shown F(x, 8, Decimals) or F(x, 8, 2); `conversion` is Plain, Degrees,
// DegreesOver180 or Doubled.
EditorField EditField(const FieldPlace& place, std::string component, std::string label, std::string hint,
                      float* field, FieldConversion conversion = FieldConversion::Plain,
                      FieldFormat format = FieldFormat::Decimals);
// An edit of a count, shown I(n, 4).
EditorField EditField(const FieldPlace& place, std::string component, std::string label, std::string hint,
                      std::int32_t* field);
// An edit of the description, cut to 255 characters.
EditorField EditField(const FieldPlace& place, std::string component, std::string label, std::string hint,
                      ShortString* field);
// An edit of a Single whose label has a hint of its own: `labelHint` on the label, `hint` on the edit.
EditorField TwoHintEditField(const FieldPlace& place, std::string component, std::string label,
                             std::string labelHint, std::string hint, float* field,
                             FieldConversion conversion = FieldConversion::Plain);
// A check box; while it is ticked the edits named in `disables` are disabled.
EditorField CheckBoxField(const FieldPlace& place, std::string component, std::string label, std::string hint,
                          std::uint8_t* flag, std::vector<std::string> disables = {});
// Two radio buttons over one flag: the first is checked when the flag is set.
EditorField RadioPairField(const FieldPlace& place, std::string component, std::string label,
                           std::string hint, std::uint8_t* flag, RadioChoice first, RadioChoice second);
// The scroll bar ScrollBar1 over MovieStep, Slow 1 .. Fast 10.
EditorField MovieSpeedField(const FieldPlace& place, std::string label, std::string hint, float* movieStep);

// A caption and its hint.
struct FieldText {
    std::string label = {};
    std::optional<std::string> hint = {}; // "" for a control without a hint
};

// The captions and hints of the common head where a kind words them its own way; a label left empty
// or a hint left out takes the one all kinds share ("Solution Steps", "Wheel Lift", ...).
struct CommonFieldTexts {
    FieldText movieSpeed = {};
    FieldText autoSetting = {};
    FieldText descr = {};
    FieldText exhaustPressure = {};
    FieldText steamChestPressure = {};
    FieldText gamma = {};
    FieldText nsteps = {};
    FieldText wheelLift = {};
    FieldText wheelDisp = {};
    FieldText slack = {};
    FieldText portWidth = {};
    FieldText bobbinWidth = {};
    FieldText portSpacing = {};
    FieldText bobbinSpacing = {};
    FieldText adjValveX = {};
    FieldText admission = {};
    FieldText inside = {};
    FieldText outside = {};
    FieldText clearance = {};
    FieldText pistStroke = {};
};

// The record fields of the common head. A record keeps either the piston stroke or (the Baker and
// Stephenson records) the crank radius, which the editor shows doubled.
struct CommonRecordFields {
    ShortString* Descr = nullptr;
    float* ExhaustPressure = nullptr;
    float* SteamChestPressure = nullptr;
    float* Gamma = nullptr;
    float* PortWidth = nullptr;
    float* BobbinWidth = nullptr;
    float* PortSpacing = nullptr;
    float* BobbinSpacing = nullptr;
    float* AdjValveX = nullptr;
    std::uint8_t* Inside = nullptr;
    float* Clearance = nullptr;
    float* Stroke = nullptr; // PistStroke or CrankRadius
    bool strokeIsCrankRadius = false;
};

// Whether a record keeps the piston stroke itself (else the crank radius).
template <typename Record>
concept KeepsPistStroke = requires(Record& record) {
    record.PistStroke;
};

// The common head's fields of a record, under the names every kind's record gives them.
template <typename Record> CommonRecordFields CommonFieldsOf(Record& g) {
    CommonRecordFields fields;
    fields.Descr = &g.Descr;
    fields.ExhaustPressure = &g.ExhaustPressure;
    fields.SteamChestPressure = &g.SteamChestPressure;
    fields.Gamma = &g.Gamma;
    fields.PortWidth = &g.PortWidth;
    fields.BobbinWidth = &g.BobbinWidth;
    fields.PortSpacing = &g.PortSpacing;
    fields.BobbinSpacing = &g.BobbinSpacing;
    fields.AdjValveX = &g.AdjValveX;
    fields.Inside = &g.Inside;
    fields.Clearance = &g.Clearance;
    if constexpr (KeepsPistStroke<Record>) {
        fields.Stroke = &g.PistStroke;
    } else {
        fields.Stroke = &g.CrankRadius;
        fields.strokeIsCrankRadius = true;
    }
    return fields;
}

// The fields every kind's OK button stores first, in the order all of them store them:
// ScrollBar1, AutoSetting1 (only for a kind with an auto-setting), Descr, ExhaustPressure,
// SteamChestPressure, Gamma, Nsteps, WheelLift1, WheelDisp1, Slack1, PortWidth, BobbinWidth,
// PortSpacing, BobbinSpacing, AdjValveX, Admission (Inside / Outside), Clearance, PistStroke.
// The scroll bar and Nsteps are the main state's, the conditions the model's unit variables.
void AppendCommonHead(EditorTable& table, GearModel& model, SimulationState& state,
                      const CommonRecordFields& record, const CommonFieldTexts& texts);

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
// The same text when typing it stores the field's value back unchanged; for a value the form's
// decimals do not hold (one the program computed, say) the number with as many more decimals as
// it takes to give the value back.
std::string ExactFieldText(const EditorField& field, int decimals);

// What a control shows or holds: the text of an edit, the state of a check box or of the first
// radio button, the position of the scroll bar.
struct ControlValue {
    std::string text;
    bool checked = false;
    int position = 0;
};

// Every edit of `values` (one per field of `table`) given ExactFieldText, so that an OK stores back
// exactly what the fields hold: what a program types when only some controls are to change.
void HoldExactValues(const EditorTable& table, std::vector<ControlValue>& values, int decimals);

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
    // The fields (table indices) whose text did not convert at the last Ok, with the text given.
    struct Refusal {
        std::size_t field;
        std::string text;
    };
    const std::vector<Refusal>& Refused() const { return refused_; }
    // Cancel: the record, the unit variables and the main state go back to what they were when the
    // session began, so that an OK that stopped at a syntax error leaves nothing behind.
    void Cancel();

private:
    GearModel& model_;
    SimulationState& state_;
    Dialogs& dialogs_;
    const EditorTable& table_;
    std::vector<Refusal> refused_;
    // What the session began with.
    std::vector<std::uint8_t> recordAtStart_;
    std::vector<std::uint8_t> stateAtStart_;
    float wheelLiftAtStart_ = 0;
    float wheelDispAtStart_ = 0;
    float slackAtStart_ = 0;
    std::uint8_t autoSettingAtStart_ = 0;
};

} // namespace linkwright
