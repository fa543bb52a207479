// --set, --fields, the fields command and save: what the command line types into the editor is
// what a user's hands would type, the fields it shows type back to the same record, and every text
// or name the editor cannot take stops the command with its name.
#include "app/Simulation.h"
#include "common/NumberFormat.h"
#include "gears/GearKinds.h"
#include "tests/cli/CliRun.h"
#include "tests/support/RecordingCanvas.h"
#include "tests/support/ScriptedDialogs.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fstream>
#include <map>

namespace linkwright::testing {
namespace {

using Texts = std::vector<std::pair<std::string, std::string>>;

// Texts for some of a kind's controls, chosen from its own table so that every kind is covered
// the same way: the first check box turned over, the admission radio pair on its other button, the
// movie speed, the description, every edit that converts its value (degrees, a doubled crank
// radius) and the last two plain edits, each moved by a round amount; with `conditions` the steps
// too, and the first check box may be one of the Conditions tab.
Texts ChangedTexts(const EditorTable& table, const std::vector<ControlValue>& values, bool conditions) {
    Texts texts;
    bool checkBox = false;
    std::vector<std::size_t> plain;
    for (std::size_t i = 0; i < table.fields.size(); ++i) {
        const EditorField& field = table.fields[i];
        const ControlValue& value = values[i];
        if (field.tab == ConditionsTab && !conditions) continue;
        if (field.control == ControlKind::CheckBox && !checkBox) {
            checkBox = true;
            texts.emplace_back(field.component, value.checked ? "false" : "true");
        } else if (field.control == ControlKind::RadioPair) {
            texts.emplace_back(field.component, field.choices[value.checked ? 1 : 0].component);
        } else if (field.control == ControlKind::MovieSpeed) {
            texts.emplace_back(field.component, "3");
        } else if (field.component == "Descr") {
            texts.emplace_back(field.component, "Tried again = with more lap");
        } else if (field.component == "Nsteps") { // on the Conditions tab
            texts.emplace_back(field.component, "123");
        } else if (field.control == ControlKind::Edit && field.conversion != FieldConversion::Plain &&
                   field.conversion != FieldConversion::Integer &&
                   field.conversion != FieldConversion::Text) {
            texts.emplace_back(field.component, F(std::stod(value.text) + 0.5, 0, 4));
        } else if (field.control == ControlKind::Edit && field.conversion == FieldConversion::Plain &&
                   field.tab != ConditionsTab) {
            plain.push_back(i);
        }
    }
    for (std::size_t k = plain.size() >= 2 ? plain.size() - 2 : 0; k < plain.size(); ++k)
        texts.emplace_back(table.fields[plain[k]].component,
                           F(std::stod(values[plain[k]].text) + 0.125, 0, 4));
    return texts;
}

// A kind picked in a fresh program, its editor filled by hand (the form's values, then `change`
// decides the texts) and OKed once, then File > Save into `file`. Answers the texts it typed.
Texts SavedByHand(GearKind kind, const std::filesystem::path& file, const std::filesystem::path& dir,
                  const std::function<Texts(const EditorTable&, const std::vector<ControlValue>&)>& change) {
    ScriptedDialogs dialogs;
    RecordingCanvas canvas(800, 600);
    Simulation sim(dialogs, dir / "own-Messages.txt");
    sim.Plot.AttachCanvas(canvas);
    sim.Redraw(803, 603, 0);
    sim.ValveGear2Click();
    EXPECT_TRUE(sim.ComboBox1Change(static_cast<int>(kind)));
    Texts texts;
    sim.Edit1Click([&](EditorSession& session) {
        const EditorTable& table = session.Table();
        std::vector<ControlValue> values = session.Fill();
        texts = change(table, values);
        for (const auto& [name, text] : texts) {
            const EditorField* field = table.Find(name);
            ASSERT_NE(field, nullptr) << name;
            ControlValue& value = values[static_cast<std::size_t>(field - table.fields.data())];
            if (field->control == ControlKind::CheckBox) value.checked = text == "true";
            if (field->control == ControlKind::RadioPair) value.checked = text == field->choices[0].component;
            if (field->control == ControlKind::MovieSpeed) value.position = std::stoi(text);
            if (field->control == ControlKind::Edit) value.text = text;
        }
        EXPECT_EQ(session.Ok(values), EditorOutcome::Close);
    });
    EXPECT_EQ(sim.CurrentModel().SaveGearFile(file.string()), SaveResult::Saved);
    return texts;
}

std::string SetOptions(const Texts& texts) {
    std::string options;
    for (const auto& [name, text] : texts)
        options += " '--set' '" + name + "=" + text + "'";
    return options;
}

std::string FileName(const GearKindRow& row, const std::string& stem) {
    return stem + "." + row.extension;
}

TEST(EditorFieldsCommand, SetTypesWhatAUsersHandsTypeIntoTheEditorOfEveryKind) {
    ScratchDir dir;
    for (const GearKindRow& row : GearKinds()) {
        if (!row.Built()) continue;
        SCOPED_TRACE(row.name);
        // The slack option is typed in the same showing of the editor as the --set texts.
        const auto texts = SavedByHand(row.kind, dir / FileName(row, "hand"), dir.path(),
                                       [](const EditorTable& table, const std::vector<ControlValue>& values) {
                                           Texts changed = ChangedTexts(table, values, true);
                                           changed.emplace_back("Slack1", "0.015625");
                                           return changed;
                                       });
        ASSERT_GE(texts.size(), 7u);
        const Texts sets(texts.begin(), texts.end() - 1);
        const CliResult run = RunCliIn(dir.path(), std::string("save --kind ") + row.name +
                                                       " --slack 0.015625" + SetOptions(sets) + " --out cli");
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err.find("overwrite"), std::string::npos) << run.err;
        EXPECT_EQ(ReadBytes(dir / FileName(row, "cli")), ReadBytes(dir / FileName(row, "hand")));
    }
}

TEST(EditorFieldsCommand, FieldsOfAFileTypedBackGiveItsRecordForEveryKind) {
    ScratchDir dir;
    for (const GearKindRow& row : GearKinds()) {
        if (!row.Built()) continue;
        SCOPED_TRACE(row.name);
        // The conditions are the program's for the run, not the file's: a file written with them
        // holds what they computed, which no load gives back.
        SavedByHand(row.kind, dir / FileName(row, "original"), dir.path(),
                    [](const EditorTable& table, const std::vector<ControlValue>& values) {
                        return ChangedTexts(table, values, false);
                    });
        const std::string kind = std::string(" --kind ") + row.name;
        const CliResult shown =
            RunCliIn(dir.path(), "fields" + kind + " --file " + FileName(row, "original"));
        ASSERT_EQ(shown.status, 0) << shown.err;
        ASSERT_EQ(
            RunCliIn(dir.path(), "fields" + kind + " --file " + FileName(row, "original") + " --json a.json")
                .status,
            0);
        // The file holds what the listing shows, in the same order.
        std::ifstream in(dir / "a.json");
        const nlohmann::json json = nlohmann::json::parse(in);
        EXPECT_EQ(json["kind"], row.name);
        std::string listed;
        for (const nlohmann::json& field : json["fields"])
            listed += field["name"].get<std::string>() + "\t" + field["label"].get<std::string>() + "\t" +
                      field["text"].get<std::string>() + "\n";
        EXPECT_EQ(listed, shown.out);

        // A replaced file is replaced without a question.
        WriteBytes(dir / FileName(row, "back"), {1, 2, 3});
        const CliResult saved =
            RunCliIn(dir.path(), "save" + kind + " --fields a.json --out " + FileName(row, "back"));
        ASSERT_EQ(saved.status, 0) << saved.err;
        EXPECT_EQ(saved.err.find("overwrite"), std::string::npos) << saved.err;
        const std::vector<unsigned char> original = ReadBytes(dir / FileName(row, "original"));
        const std::vector<unsigned char> back = ReadBytes(dir / FileName(row, "back"));
        ASSERT_EQ(back.size(), row.FileSize());
        ASSERT_EQ(original.size(), row.FileSize());
        EXPECT_TRUE(
            std::equal(original.begin(), original.begin() + static_cast<long>(row.recordSize), back.begin()));
    }
}

TEST(EditorFieldsCommand, SetOverridesTheConditionOptionsWhichOverrideTheFieldsFile) {
    ScratchDir dir;
    ASSERT_EQ(RunCliIn(dir.path(), "fields --slack 0.5 --wheel-lift 0.25 --set GC=9 --json a.json").status,
              0);
    const CliResult run = RunCliIn(dir.path(), "fields --fields a.json --slack 0.125 --wheel-lift 0.125 "
                                               "--set WheelLift1=0.0625 --set Outside=true --set cbDU=0");
    ASSERT_EQ(run.status, 0) << run.err;
    for (const char* line : {"\nSlack1\tBacklash\t0.1250\n", "\nWheelLift1\tWheel Lift\t0.0625\n",
                             "\nGC\tGC Connecting Rod\t9.0000\n", "\nAdmission\tSteam Admission\tOutside\n",
                             "\ncbDU\tAuto\tfalse\n"})
        EXPECT_NE(("\n" + run.out).find(line), std::string::npos) << line << run.out;

    // A fields file written by hand may give a number or a truth as JSON's own.
    std::ofstream(dir / "typed.json")
        << R"({"fields": [{"name": "GC", "text": 8.5}, {"name": "cbDU", "text": false}]})";
    const CliResult typed = RunCliIn(dir.path(), "fields --fields typed.json --json -");
    ASSERT_EQ(typed.status, 0) << typed.err;
    std::map<std::string, std::string> texts;
    const nlohmann::json shown = nlohmann::json::parse(typed.out);
    for (const nlohmann::json& field : shown.at("fields"))
        texts[field.at("name").get<std::string>()] = field.at("text").get<std::string>();
    EXPECT_EQ(texts["GC"], "8.5000");
    EXPECT_EQ(texts["cbDU"], "false");
}

TEST(EditorFieldsCommand, WhatTheEditorCannotTakeStopsTheCommandAndIsNamed) {
    ScratchDir dir;
    std::ofstream(dir / "broken.json") << "{\"fields\": [";
    std::ofstream(dir / "other.json") << R"({"kind": "Bakers1", "fields": [{"name": "GC", "text": "9"}]})";
    std::ofstream(dir / "bad.json") << R"({"fields": [{"name": "PistStroke", "text": "long"}]})";
    const struct {
        const char* options;
        const char* said;
    } cases[] = {
        {"--set Joy=1", "--set Joy=1: the editor \"Edit Walschaert 1\" has no control Joy"},
        {"--set GC", "--set must be NAME=TEXT, such as GC=8.5, not \"GC\""},
        {"--set cbDU=yes",
         "--set cbDU=yes: the check box \"Auto\" (cbDU) takes true or false (or 1 or 0), not \"yes\""},
        {"--set Admission=Middle",
         "--set Admission=Middle: the radio buttons \"Steam Admission\" (Admission) take "
         "Inside or Outside (or true or false for Inside), not \"Middle\""},
        {"--set Inside=2",
         "--set Inside=2: the radio button Inside of \"Steam Admission\" (Admission) takes true"},
        {"--set ScrollBar1=11",
         "--set ScrollBar1=11: the scroll bar \"Movie Speed\" (ScrollBar1) takes a whole "
         "number 1 .. 10, not \"11\""},
        {"--set GC=9 --set 'FLAAd=forty'", "\nlinkwright-cli: --set FLAAd=forty: \"forty\" is not a number "
                                           "the field \"Full Lifting Arm Angle\" "
                                           "(FLAAd) takes\n"},
        {"--fields bad.json",
         "\nlinkwright-cli: --fields bad.json: \"long\" is not a number the field \"Piston "
         "Stroke\" (PistStroke) takes\n"},
        {"--fields bad.json --set PistStroke=x", "--set PistStroke=x: \"x\" is not a number"},
        {"--fields broken.json", "--fields broken.json: not JSON"},
        {"--fields other.json",
         "--fields other.json: the fields are of a Bakers1 gear, not of a Walschaerts1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options);
        const CliResult run = RunCliIn(dir.path(), std::string("save ") + c.options + " --out gear.L1");
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find(c.said), std::string::npos) << run.err;
        EXPECT_FALSE(std::filesystem::exists(dir / "gear.L1"));
    }
    // A text that does not convert is the editor's syntax error, with the field under it.
    const CliResult run = RunCliIn(dir.path(), "solve --set GC=long");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err,
              std::string("linkwright-cli: ") + SyntaxErrorMessage +
                  "\nlinkwright-cli: --set GC=long: \"long\" is not a number the field \"GC Connecting "
                  "Rod\" (GC) takes\n");
}

} // namespace
} // namespace linkwright::testing
