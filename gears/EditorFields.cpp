// Filling, strict conversion and storing of the gear editors' fields, shared by every kind's form.
#include "gears/EditorFields.h"

#include "common/NumberFormat.h"
#include "gears/GearKinds.h"
#include "gears/GearModel.h"
#include "state/SimulationState.h"
#include "windows/Dialogs.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <numbers>
#include <span>
#include <type_traits>
#include <utility>

namespace linkwright {

// ---- ShortString ---------------------------------------------------------------------------------

void ShortString::Assign(std::string_view text) {
    std::size_t length = std::min<std::size_t>(text.size(), Chars.size());
    // Step back over continuation bytes so that a multi-byte character is kept whole or not at all.
    if (length < text.size()) {
        while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80)
            --length;
    }
    Chars.fill('\0');
    std::memcpy(Chars.data(), text.data(), length);
    Length = static_cast<std::uint8_t>(length);
}

// ---- FieldRef ------------------------------------------------------------------------------------

float FieldRef::ReadFloat() const {
    float value = 0;
    std::memcpy(&value, address_, sizeof value);
    return value;
}

void FieldRef::WriteFloat(float value) const {
    std::memcpy(address_, &value, sizeof value);
}

std::int32_t FieldRef::ReadInt32() const {
    std::int32_t value = 0;
    std::memcpy(&value, address_, sizeof value);
    return value;
}

void FieldRef::WriteInt32(std::int32_t value) const {
    std::memcpy(address_, &value, sizeof value);
}

std::uint8_t FieldRef::ReadFlag() const {
    std::uint8_t value = 0;
    std::memcpy(&value, address_, sizeof value);
    return value;
}

void FieldRef::WriteFlag(std::uint8_t value) const {
    std::memcpy(address_, &value, sizeof value);
}

std::string FieldRef::ReadText() const {
    ShortString text;
    std::memcpy(&text, address_, sizeof text);
    return text.Text();
}

void FieldRef::WriteText(std::string_view text) const {
    ShortString value;
    value.Assign(text);
    std::memcpy(address_, &value, sizeof value);
}

// ---- table ---------------------------------------------------------------------------------------

const EditorField* EditorTable::Find(std::string_view component) const {
    for (const EditorField& field : fields) {
        if (field.component == component) return &field;
        if (field.control == ControlKind::RadioPair &&
            (field.choices[0].component == component || field.choices[1].component == component))
            return &field;
    }
    return nullptr;
}

const std::string& EditorPages::OpeningTab(const EditorTable& table) const {
    const auto last = lastTabs_.find(table.formName);
    return last != lastTabs_.end() ? last->second : table.firstTab;
}

void EditorPages::Remember(const EditorTable& table, std::string tab) {
    lastTabs_[table.formName] = std::move(tab);
}

// ---- builders ------------------------------------------------------------------------------------

EditorTable StartEditorTable(GearKind kind, std::string firstTab, PrintPlacement print,
                             std::string printTab) {
    const GearKindRow& row = KindRow(kind);
    EditorTable table;
    table.caption = row.editorCaption;
    table.formName = row.editorFormName;
    table.tabs = {ConditionsTab, GeometryTab, ValvingTab, OtherTab};
    table.firstTab = std::move(firstTab);
    table.print = print;
    table.printTab = std::move(printTab);
    return table;
}

namespace {

EditorField PlacedField(const FieldPlace& place, std::string component, std::string label, std::string hint,
                        ControlKind control, FieldFormat format, FieldConversion conversion,
                        FieldRef storage) {
    EditorField field;
    field.tab = place.tab;
    field.group = place.group;
    field.component = std::move(component);
    field.label = std::move(label);
    field.hint = std::move(hint);
    field.control = control;
    field.format = format;
    field.conversion = conversion;
    field.storage = storage;
    return field;
}

} // namespace

EditorField EditField(const FieldPlace& place, std::string component, std::string label, std::string hint,
                      float* field, FieldConversion conversion, FieldFormat format) {
    return PlacedField(place, std::move(component), std::move(label), std::move(hint), ControlKind::Edit,
                       format, conversion, FieldRef::Float(field));
}

EditorField EditField(const FieldPlace& place, std::string component, std::string label, std::string hint,
                      std::int32_t* field) {
    return PlacedField(place, std::move(component), std::move(label), std::move(hint), ControlKind::Edit,
                       FieldFormat::Integer, FieldConversion::Integer, FieldRef::Int32(field));
}

EditorField EditField(const FieldPlace& place, std::string component, std::string label, std::string hint,
                      ShortString* field) {
    return PlacedField(place, std::move(component), std::move(label), std::move(hint), ControlKind::Edit,
                       FieldFormat::Text, FieldConversion::Text, FieldRef::Text(field));
}

EditorField TwoHintEditField(const FieldPlace& place, std::string component, std::string label,
                             std::string labelHint, std::string hint, float* field,
                             FieldConversion conversion) {
    EditorField edit =
        EditField(place, std::move(component), std::move(label), std::move(hint), field, conversion);
    edit.labelHint = std::move(labelHint);
    return edit;
}

EditorField CheckBoxField(const FieldPlace& place, std::string component, std::string label, std::string hint,
                          std::uint8_t* flag, std::vector<std::string> disables) {
    EditorField box =
        PlacedField(place, std::move(component), std::move(label), std::move(hint), ControlKind::CheckBox,
                    FieldFormat::None, FieldConversion::CheckBox, FieldRef::Flag(flag));
    box.disables = std::move(disables);
    return box;
}

EditorField RadioPairField(const FieldPlace& place, std::string component, std::string label,
                           std::string hint, std::uint8_t* flag, RadioChoice first, RadioChoice second) {
    EditorField pair =
        PlacedField(place, std::move(component), std::move(label), std::move(hint), ControlKind::RadioPair,
                    FieldFormat::None, FieldConversion::RadioPair, FieldRef::Flag(flag));
    pair.choices = {std::move(first), std::move(second)};
    return pair;
}

EditorField MovieSpeedField(const FieldPlace& place, std::string label, std::string hint, float* movieStep) {
    return PlacedField(place, "ScrollBar1", std::move(label), std::move(hint), ControlKind::MovieSpeed,
                       FieldFormat::None, FieldConversion::MovieSpeed, FieldRef::Float(movieStep));
}

namespace {

// A kind's caption, or the one all kinds share.
std::string Label(const FieldText& text, const char* common) {
    return text.label.empty() ? std::string(common) : text.label;
}

// A kind's hint, or the one all kinds share.
std::string Hint(const FieldText& text, const char* common) {
    return text.hint ? *text.hint : std::string(common);
}

} // namespace

void AppendCommonHead(EditorTable& table, GearModel& model, SimulationState& state,
                      const CommonRecordFields& record, const CommonFieldTexts& texts) {
    const FieldPlace conditions{ConditionsTab, ""};
    const FieldPlace valving{ValvingTab, ""};
    const FieldPlace other{OtherTab, ""};
    const FieldPlace cylinder{GeometryTab, CylinderGroup};
    std::vector<EditorField>& f = table.fields;

    f.push_back(MovieSpeedField(
        {OtherTab, MovieSpeedGroup}, Label(texts.movieSpeed, MovieSpeedGroup),
        Hint(texts.movieSpeed,
             "Crank angle advanced per frame of the animation, from Slow (0.1 degree) to Fast (1 degree)"),
        &state.MovieStep));
    if (model.HasAutoSetting())
        f.push_back(
            CheckBoxField(conditions, "AutoSetting1", Label(texts.autoSetting, "Auto Setting"),
                          Hint(texts.autoSetting,
                               "Let the program set the return crank (AE) and eccentric rod (EX) itself"),
                          &model.AutoSetting));

    f.push_back(EditField(other, "Descr", Label(texts.descr, "Gear Description"),
                          Hint(texts.descr, "Free description of this gear"), record.Descr));
    f.push_back(EditField(other, "ExhaustPressure", Label(texts.exhaustPressure, "Exhaust Pressure"),
                          Hint(texts.exhaustPressure, "Absolute exhaust pressure"), record.ExhaustPressure,
                          FieldConversion::Plain, FieldFormat::TwoDecimals));
    f.push_back(EditField(other, "SteamChestPressure",
                          Label(texts.steamChestPressure, "Steam Chest Pressure"),
                          Hint(texts.steamChestPressure, "Absolute steam chest pressure"),
                          record.SteamChestPressure, FieldConversion::Plain, FieldFormat::TwoDecimals));
    f.push_back(EditField(other, "Gamma", Label(texts.gamma, "Gamma"),
                          Hint(texts.gamma, "Adiabatic expansion index of the steam"), record.Gamma,
                          FieldConversion::Plain, FieldFormat::TwoDecimals));

    f.push_back(EditField(conditions, "Nsteps", Label(texts.nsteps, "Solution Steps"),
                          Hint(texts.nsteps, "Solutions per revolution used for the analysis (30 to 550)"),
                          &state.Nsteps));
    f.push_back(EditField(conditions, "WheelLift1", Label(texts.wheelLift, "Wheel Lift"),
                          Hint(texts.wheelLift, "Vertical movement of the axle from its normal place"),
                          &model.WheelLift));
    f.push_back(EditField(conditions, "WheelDisp1", Label(texts.wheelDisp, "Wheel Displacement"),
                          Hint(texts.wheelDisp, "Horizontal movement of the axle (worn axleboxes)"),
                          &model.WheelDisp));
    f.push_back(EditField(
        conditions, "Slack1", Label(texts.slack, "Backlash"),
        Hint(texts.slack, "Accumulated backlash in the gear: width of the dead band of the valve drive"),
        &model.Slack));

    f.push_back(EditField(valving, "PortWidth", Label(texts.portWidth, "Port Width"),
                          Hint(texts.portWidth, "Width of each cylinder port"), record.PortWidth));
    f.push_back(EditField(valving, "BobbinWidth", Label(texts.bobbinWidth, "Bobbin Width"),
                          Hint(texts.bobbinWidth, "Width of each bobbin face (piston valve) or land"),
                          record.BobbinWidth));
    f.push_back(EditField(valving, "PortSpacing", Label(texts.portSpacing, "Port Spacing"),
                          Hint(texts.portSpacing, "Distance between the inner edges of the ports"),
                          record.PortSpacing));
    f.push_back(EditField(valving, "BobbinSpacing", Label(texts.bobbinSpacing, "Bobbin Spacing"),
                          Hint(texts.bobbinSpacing, "Spacing between the bobbin faces or lands"),
                          record.BobbinSpacing));
    f.push_back(EditField(valving, "AdjValveX", Label(texts.adjValveX, "Adjust Valve X"),
                          Hint(texts.adjValveX, "Fixed shift of the valve along its rod"), record.AdjValveX));
    f.push_back(
        RadioPairField(valving, "Admission", Label(texts.admission, "Steam Admission"),
                       Hint(texts.admission,
                            "Steam admitted between the bobbins (inside) or at their outer edges (outside)"),
                       record.Inside,
                       RadioChoice{"Inside", Label(texts.inside, "Inside"),
                                   Hint(texts.inside, "Inside admission: steam between the bobbins")},
                       RadioChoice{"Outside", Label(texts.outside, "Outside"),
                                   Hint(texts.outside, "Outside admission: steam at the outer edges")}));

    f.push_back(EditField(
        cylinder, "Clearance", Label(texts.clearance, "Clearance"),
        Hint(texts.clearance, "Dead volume of each cylinder end and passage, percent of swept volume"),
        record.Clearance));
    f.push_back(EditField(cylinder, "PistStroke", Label(texts.pistStroke, "Piston Stroke"),
                          Hint(texts.pistStroke, "Piston stroke: twice the crank radius"), record.Stroke,
                          record.strokeIsCrankRadius ? FieldConversion::Doubled : FieldConversion::Plain));
}

// ---- conversions ---------------------------------------------------------------------------------

namespace {

std::size_t SkipBlanks(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    return i;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Length of the optional sign and the digits of an integer starting at `start`; 0 if none.
std::size_t ScanDigits(std::string_view text, std::size_t i) {
    const std::size_t start = i;
    while (i < text.size() && IsDigit(text[i]))
        ++i;
    return i - start;
}

// The decimal exponent of the number's first significant digit, clamped; used only to tell an
// overflow from an underflow. `number` is well formed and has no leading blanks.
long DecimalMagnitude(std::string_view number) {
    std::size_t i = 0;
    if (i < number.size() && (number[i] == '+' || number[i] == '-')) ++i;
    long magnitude = 0;
    bool significant = false;
    bool fraction = false;
    for (; i < number.size() && number[i] != 'e' && number[i] != 'E'; ++i) {
        if (number[i] == '.') {
            fraction = true;
            continue;
        }
        if (!significant && number[i] == '0') {
            if (fraction) --magnitude;
            continue;
        }
        if (!significant) {
            significant = true;
            if (fraction) --magnitude;
        }
        if (!fraction) ++magnitude;
    }
    if (!significant) return 0;
    if (i < number.size()) {
        ++i;
        const bool negative = i < number.size() && number[i] == '-';
        if (i < number.size() && (number[i] == '+' || number[i] == '-')) ++i;
        long exponent = 0;
        for (; i < number.size(); ++i)
            exponent = std::min(exponent * 10 + (number[i] - '0'), 1000000L);
        magnitude += negative ? -exponent : exponent;
    }
    return magnitude;
}

constexpr double DegreesPerRadian = 180.0 / std::numbers::pi;

} // namespace

std::optional<double> ParseReal(std::string_view text) {
    std::size_t i = SkipBlanks(text);
    const std::size_t numberStart = i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    const std::size_t integerDigits = ScanDigits(text, i);
    i += integerDigits;
    std::size_t fractionDigits = 0;
    if (i < text.size() && text[i] == '.') {
        ++i;
        fractionDigits = ScanDigits(text, i);
        i += fractionDigits;
    }
    if (integerDigits + fractionDigits == 0) return std::nullopt;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        const std::size_t exponentDigits = ScanDigits(text, i);
        if (exponentDigits == 0) return std::nullopt;
        i += exponentDigits;
    }
    if (i != text.size()) return std::nullopt;

    // from_chars takes no leading '+'.
    std::size_t from = numberStart;
    if (text[from] == '+') ++from;
    double value = 0;
    const auto result = std::from_chars(text.data() + from, text.data() + text.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Too large for a double is refused; too small reads as zero.
        if (DecimalMagnitude(text.substr(from)) > 0) return std::nullopt;
        value = 0;
    } else if (result.ec != std::errc() || result.ptr != text.data() + text.size()) {
        return std::nullopt;
    }
    // Values up to half a unit beyond the largest Single still round to it; the rest would be
    // infinite as a Single.
    constexpr double SingleLimit = std::numeric_limits<float>::max() + 0x1p103;
    if (!std::isfinite(value) || !(std::fabs(value) < SingleLimit)) return std::nullopt;
    return value;
}

std::optional<std::int32_t> ParseInteger(std::string_view text) {
    std::size_t i = SkipBlanks(text);
    std::size_t from = i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    const std::size_t digits = ScanDigits(text, i);
    if (digits == 0 || i + digits != text.size()) return std::nullopt;
    if (text[from] == '+') ++from;
    std::int32_t value = 0;
    const auto result = std::from_chars(text.data() + from, text.data() + text.size(), value);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size()) return std::nullopt;
    return value;
}

int MovieSpeedPosition(float movieStep) {
    const double position = static_cast<double>(movieStep) * DegreesPerRadian * 10.0;
    // The scroll bar cannot show a position outside its range.
    if (!(position >= MovieSpeedMin)) return MovieSpeedMin;
    if (position >= MovieSpeedMax) return MovieSpeedMax;
    return static_cast<int>(RoundHalfEven(position));
}

float MovieStepFromPosition(int position) {
    return static_cast<float>(position * std::numbers::pi / 180.0 / 10.0);
}

namespace {

bool IsTextField(const EditorField& field) {
    return field.format == FieldFormat::Text || field.conversion == FieldConversion::Text;
}

bool IsIntegerField(const EditorField& field) {
    return field.format == FieldFormat::Integer || field.conversion == FieldConversion::Integer;
}

// A Single as its edit shows it, before the formatting.
double ShownValue(const EditorField& field) {
    double value = field.storage.ReadFloat();
    switch (field.conversion) {
    case FieldConversion::Degrees:
    case FieldConversion::DegreesOver180:
        value = value * 180.0 / std::numbers::pi;
        break;
    case FieldConversion::Doubled:
        value = 2.0 * value;
        break;
    default:
        break;
    }
    return value;
}

// What an edit's number stores into its Single field.
float StoredValue(const EditorField& field, double number) {
    switch (field.conversion) {
    case FieldConversion::Degrees:
        number = number * std::numbers::pi / 180.0;
        break;
    case FieldConversion::DegreesOver180:
        number = number / 180.0 * std::numbers::pi;
        break;
    case FieldConversion::Doubled:
        number = number / 2.0;
        break;
    default:
        break;
    }
    return static_cast<float>(number);
}

} // namespace

std::string FormatField(const EditorField& field, int decimals) {
    if (field.control != ControlKind::Edit) return {};
    if (IsTextField(field)) return field.storage.ReadText();
    if (IsIntegerField(field)) return I(field.storage.ReadInt32(), 4);
    const int shownDecimals = field.format == FieldFormat::TwoDecimals ? 2 : decimals;
    return F(ShownValue(field), 8, shownDecimals);
}

void HoldExactValues(const EditorTable& table, std::vector<ControlValue>& values, int decimals) {
    for (std::size_t i = 0; i < table.fields.size() && i < values.size(); ++i)
        if (table.fields[i].control == ControlKind::Edit)
            values[i].text = ExactFieldText(table.fields[i], decimals);
}

std::string ExactFieldText(const EditorField& field, int decimals) {
    const std::string shown = FormatField(field, decimals);
    if (field.control != ControlKind::Edit || IsTextField(field) || IsIntegerField(field)) return shown;
    const float stored = field.storage.ReadFloat();
    const auto givesBack = [&](const std::string& text) {
        const std::optional<double> number = ParseReal(text);
        if (!number) return false;
        const float value = StoredValue(field, *number);
        return std::memcmp(&value, &stored, sizeof value) == 0;
    };
    if (givesBack(shown)) return shown;
    // A double's 17 significant digits always give it back; a Single needs no more.
    for (int more = field.format == FieldFormat::TwoDecimals ? 3 : decimals + 1; more <= 60; ++more) {
        const std::string text = F(ShownValue(field), 8, more);
        if (givesBack(text)) return text;
    }
    return shown;
}

// ---- session -------------------------------------------------------------------------------------

namespace {

// Stores one field from its control; false when the text does not convert (the field is then 0).
bool StoreField(const EditorField& field, const ControlValue& value) {
    switch (field.control) {
    case ControlKind::CheckBox:
    case ControlKind::RadioPair:
        field.storage.WriteFlag(value.checked ? 1 : 0);
        return true;
    case ControlKind::MovieSpeed:
        field.storage.WriteFloat(
            MovieStepFromPosition(std::clamp(value.position, MovieSpeedMin, MovieSpeedMax)));
        return true;
    case ControlKind::Edit:
        break;
    }

    if (field.conversion == FieldConversion::Text || field.storage.Kind() == FieldRef::Type::Text) {
        field.storage.WriteText(value.text);
        return true;
    }
    if (field.conversion == FieldConversion::Integer || field.storage.Kind() == FieldRef::Type::Int32) {
        const std::optional<std::int32_t> number = ParseInteger(value.text);
        field.storage.WriteInt32(number.value_or(0));
        return number.has_value();
    }

    const std::optional<double> number = ParseReal(value.text);
    field.storage.WriteFloat(StoredValue(field, number.value_or(0.0)));
    return number.has_value();
}

} // namespace

EditorSession::EditorSession(GearModel& model, SimulationState& state, Dialogs& dialogs)
    : model_(model), state_(state), dialogs_(dialogs), table_(model.Editor()) {
    static_assert(std::is_trivially_copyable_v<SimulationState>);
    const std::span<const std::uint8_t> record = model.RecordBytes();
    recordAtStart_.assign(record.begin(), record.end());
    const auto* stateBytes = reinterpret_cast<const std::uint8_t*>(&state);
    stateAtStart_.assign(stateBytes, stateBytes + sizeof(SimulationState));
    wheelLiftAtStart_ = model.WheelLift;
    wheelDispAtStart_ = model.WheelDisp;
    slackAtStart_ = model.Slack;
    autoSettingAtStart_ = model.AutoSetting;
}

void EditorSession::Cancel() {
    const std::span<std::uint8_t> record = model_.RecordBytes();
    std::memcpy(record.data(), recordAtStart_.data(), std::min(record.size(), recordAtStart_.size()));
    std::memcpy(&state_, stateAtStart_.data(), sizeof(SimulationState));
    model_.WheelLift = wheelLiftAtStart_;
    model_.WheelDisp = wheelDispAtStart_;
    model_.Slack = slackAtStart_;
    model_.AutoSetting = autoSettingAtStart_;
    refused_.clear();
}

std::vector<ControlValue> EditorSession::Fill() const {
    std::vector<ControlValue> values;
    values.reserve(table_.fields.size());
    for (const EditorField& field : table_.fields) {
        ControlValue value;
        switch (field.control) {
        case ControlKind::Edit:
            value.text = FormatField(field, state_.Decimals);
            break;
        case ControlKind::CheckBox:
        case ControlKind::RadioPair:
            value.checked = field.storage.ReadFlag() != 0;
            break;
        case ControlKind::MovieSpeed:
            value.position = MovieSpeedPosition(field.storage.ReadFloat());
            break;
        }
        values.push_back(std::move(value));
    }
    return values;
}

std::vector<bool> EditorSession::Enabled(const std::vector<ControlValue>& values) const {
    std::vector<bool> enabled(table_.fields.size(), true);
    for (std::size_t box = 0; box < table_.fields.size() && box < values.size(); ++box) {
        const EditorField& field = table_.fields[box];
        if (field.control != ControlKind::CheckBox || !values[box].checked) continue;
        for (const std::string& name : field.disables) {
            for (std::size_t i = 0; i < table_.fields.size(); ++i)
                if (table_.fields[i].component == name) enabled[i] = false;
        }
    }
    return enabled;
}

EditorOutcome EditorSession::Ok(const std::vector<ControlValue>& values) {
    refused_.clear();
    const ControlValue empty;
    for (std::size_t i = 0; i < table_.fields.size(); ++i) {
        const ControlValue& value = i < values.size() ? values[i] : empty;
        if (!StoreField(table_.fields[i], value)) refused_.push_back({i, value.text});
    }
    const bool syntaxError = !refused_.empty();
    model_.AfterEditorOk();
    // The stored fields have changed either way, so the last analysis no longer belongs to them.
    state_.AnalysisValid = 0;
    if (syntaxError) {
        dialogs_.Information(SyntaxErrorMessage);
        return EditorOutcome::StayOpen;
    }
    model_.InitialiseGear();
    return EditorOutcome::Close;
}

} // namespace linkwright
