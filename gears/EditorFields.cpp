// Filling, strict conversion and storing of the gear editors' fields, shared by every kind's form.
#include "gears/EditorFields.h"

#include "common/NumberFormat.h"
#include "gears/GearModel.h"
#include "state/SimulationState.h"
#include "windows/Dialogs.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <numbers>

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

std::string FormatField(const EditorField& field, int decimals) {
    if (field.control != ControlKind::Edit) return {};
    if (field.format == FieldFormat::Text || field.conversion == FieldConversion::Text)
        return field.storage.ReadText();
    if (field.format == FieldFormat::Integer || field.conversion == FieldConversion::Integer)
        return I(field.storage.ReadInt32(), 4);

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
    const int shownDecimals = field.format == FieldFormat::TwoDecimals ? 2 : decimals;
    return F(value, 8, shownDecimals);
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
    double stored = number.value_or(0.0);
    switch (field.conversion) {
    case FieldConversion::Degrees:
        stored = stored * std::numbers::pi / 180.0;
        break;
    case FieldConversion::DegreesOver180:
        stored = stored / 180.0 * std::numbers::pi;
        break;
    case FieldConversion::Doubled:
        stored = stored / 2.0;
        break;
    default:
        break;
    }
    field.storage.WriteFloat(static_cast<float>(stored));
    return number.has_value();
}

} // namespace

EditorSession::EditorSession(GearModel& model, SimulationState& state, Dialogs& dialogs)
    : model_(model), state_(state), dialogs_(dialogs), table_(model.Editor()) {}

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
    bool syntaxError = false;
    const ControlValue empty;
    for (std::size_t i = 0; i < table_.fields.size(); ++i) {
        const ControlValue& value = i < values.size() ? values[i] : empty;
        if (!StoreField(table_.fields[i], value)) syntaxError = true;
    }
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
