// linkwright-cli as a user runs it: render and solve of the example, the listing and CSV it writes,
// the numbers matching the model solved directly, and the errors it reports.
#include "gears/EditorFields.h"
#include "gears/GearKinds.h"
#include "gears/wal1/Wal1.h"
#include "tests/cli/CliRun.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TestSupport.h"
#include "windows/MessagesFile.h"

#include <QImage>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include <sys/stat.h>

namespace linkwright::testing {
namespace {

std::vector<std::vector<std::string>> ReadCsv(const std::filesystem::path& file) {
    std::vector<std::vector<std::string>> rows;
    for (const std::string& line : ReadLines(file)) {
        std::vector<std::string> cells;
        std::stringstream stream(line);
        std::string cell;
        while (std::getline(stream, cell, ','))
            cells.push_back(cell);
        rows.push_back(cells);
    }
    return rows;
}

TEST(CliTest, RendersTheExampleAsPngSvgAndPdf) {
    ScratchDir dir;
    CliResult run = RunCliIn(dir.path(), "render --annotate --angle 30 --size 640x400 --out gear.png");
    ASSERT_EQ(run.status, 0) << run.err;
    QImage image(QString::fromStdString((dir / "gear.png").string()));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.width(), 640);
    EXPECT_EQ(image.height(), 400);
    // Green rods are on the picture.
    int green = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            green += image.pixel(x, y) == qRgb(0, 128, 0);
    EXPECT_GT(green, 100);

    run = RunCliIn(dir.path(), "render --out gear.svg");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(ReadTextFile(dir / "gear.svg").find("<svg"), std::string::npos);
    run = RunCliIn(dir.path(), "render --out gear.pdf");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadTextFile(dir / "gear.pdf").substr(0, 5), "%PDF-");

    // Turning the crank to an angle draws the pins' labels only when they are asked for.
    for (const bool annotate : {false, true}) {
        run = RunCliIn(dir.path(),
                       std::string("render --angle 40 --out angle.svg") + (annotate ? " --annotate" : ""));
        ASSERT_EQ(run.status, 0) << run.err;
        const std::string svg = ReadTextFile(dir / "angle.svg");
        for (const char* label : {">G</text>", ">V</text>", ">X</text>"})
            EXPECT_EQ(svg.find(label) != std::string::npos, annotate) << label;
    }
}

TEST(CliTest, SolveWritesTheListingMessagesAndTheStepArrays) {
    ScratchDir dir;
    const CliResult run = RunCliIn(dir.path(), "solve --steps 60 --setting 0.5 --slack 0.02 --csv steps.csv");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.rfind("*************************************************\n"
                            "**** Walschaerts 1 gear initialisation **********\n",
                            0),
              0u);
    const std::vector<std::string> listing = ReadLines(dir / "Wal1Output.txt");
    ASSERT_EQ(listing.size(), 2u + 61u);
    EXPECT_EQ(listing[0], "Results from last calculation of a cycle");

    const auto rows = ReadCsv(dir / "steps.csv");
    ASSERT_EQ(rows.size(), 1u + 61u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"index", "crank_angle_rad", "piston_pct", "valve_pos"}));

    // The same gear solved directly, with the valve where the desktop's redraws leave it: the
    // start-up picture (full gear, no slack), the one editor OK with the slack and the steps, and
    // the typed gear setting, all at crank angle 0.
    ScratchDir own;
    WorkingDirectory cwd(own.path());
    SimulationState state{};
    state.fwd = 1;
    state.Decimals = 4;
    MessagesFile messages(own / "Messages.txt");
    messages.Create();
    ScriptedDialogs dialogs;
    Wal1 model(GearEnvironment{state, messages, dialogs});
    model.SetExample();
    model.InitialiseGear();
    model.CalcGear(0.0f, 1.0f);
    model.Slack = 0.02f;
    model.InitialiseGear();
    model.CalcGear(0.0f, 1.0f);
    model.CalcGear(0.0f, 0.5f);
    StepArrays steps;
    EventRecord events{};
    model.SolveRevolution(steps, 60, events, 0.5f);
    for (int i = 0; i <= 60; ++i) {
        ASSERT_EQ(rows[std::size_t(i + 1)].size(), 4u);
        EXPECT_EQ(std::stoi(rows[std::size_t(i + 1)][0]), i);
        EXPECT_EQ(std::stof(rows[std::size_t(i + 1)][1]), steps.StepCrankAngle[std::size_t(i)]);
        EXPECT_EQ(std::stof(rows[std::size_t(i + 1)][2]), steps.StepPistonPct[std::size_t(i)]);
        EXPECT_NEAR(std::stof(rows[std::size_t(i + 1)][3]), steps.StepValvePos[std::size_t(i)], 1e-6) << i;
    }
    EXPECT_EQ(ReadLines(own / "Wal1Output.txt"), listing);
}

TEST(CliTest, SolvingBackwardStoresTheStepsInReverse) {
    ScratchDir dir;
    const CliResult run = RunCliIn(dir.path(), "solve --backward --setting -1 --steps 40 --csv -");
    ASSERT_EQ(run.status, 0) << run.err;
    const std::size_t header = run.out.find("index,crank_angle_rad");
    ASSERT_NE(header, std::string::npos);
    EXPECT_NE(run.out.find("\n0,6.2831855,", header), std::string::npos);
    EXPECT_NE(run.out.find("\n40,0,", header), std::string::npos);
}

TEST(CliTest, ErrorsGoToStderrWithAFailingStatus) {
    ScratchDir dir;
    CliResult run = RunCliIn(dir.path(), "render --out x.png --bogus");
    EXPECT_NE(run.status, 0);
    EXPECT_FALSE(run.err.empty());
    run = RunCliIn(dir.path(), "render --out x.png --angle abc");
    EXPECT_NE(run.status, 0);
    run = RunCliIn(dir.path(), "solve --setting half");
    EXPECT_NE(run.status, 0);
    run = RunCliIn(dir.path(), "render --out x.bmp");
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.err.find(".png, .svg or .pdf"), std::string::npos);
    run = RunCliIn(dir.path(), "render --out x.png --size 12by5");
    EXPECT_NE(run.status, 0);

    WriteBytes(dir / "bad.L1", std::vector<unsigned char>(100, 0));
    run = RunCliIn(dir.path(), "solve --file bad.L1");
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.err.find("Sorry, old version or corrupted data file"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir / "Wal1Output.txt"));
}

// --kind takes the names and numbers of the kinds table; a kind not built yet, a number beyond the
// table and an auto-setting for a kind without one are refused with the reason.
TEST(CliTest, KindsAreChosenByNameOrNumberAsTheKindsTableHasThem) {
    ScratchDir dir;
    const CliResult help = RunCliIn(dir.path(), "solve --help");
    for (const GearKindRow& row : GearKinds()) {
        SCOPED_TRACE(row.name);
        EXPECT_NE(help.out.find(row.name), std::string::npos);
        if (row.listingFileName != nullptr) {
            EXPECT_EQ(help.out.find(row.listingFileName) != std::string::npos, row.Built());
        }
        const std::string number = std::to_string(static_cast<int>(row.kind));
        // Without --kind, a data file's extension chooses it.
        const std::string file = std::string("gear.") + row.extension;
        ASSERT_EQ(RunCliIn(dir.path(), "save --kind " + number + " --out gear").status, 0);
        const CliResult copied = RunCliIn(dir.path(), "save --file " + file + " --out copy");
        EXPECT_EQ(copied.status, 0) << copied.err;
        EXPECT_EQ(ReadTextFile(dir / ("copy." + std::string(row.extension))), ReadTextFile(dir / file));
        for (const std::string& kind : {std::string(row.name), number}) {
            const CliResult run =
                RunCliIn(dir.path(), "solve --kind " + kind + (row.autoSetting ? "" : " --autosetting"));
            if (row.Built() && row.autoSetting) {
                EXPECT_EQ(run.status, 0) << run.err;
            } else {
                EXPECT_EQ(run.status, 1);
                const std::string reason = row.Built() ? " has no auto setting" : " is not available";
                EXPECT_NE(run.err.find(std::string("The gear kind ") + row.name + reason), std::string::npos)
                    << run.err;
            }
        }
    }
    for (const std::string& number : {std::to_string(GearKindCount), std::string("9")}) {
        const CliResult run = RunCliIn(dir.path(), "solve --kind " + number);
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find("Gear kind " + number + " does not exist"), std::string::npos);
    }
    const CliResult run = RunCliIn(dir.path(), "solve --kind Walschaerts");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("Unknown gear kind \"Walschaerts\""), std::string::npos);
}

TEST(CliTest, HelpIsShownForEachCommand) {
    ScratchDir dir;
    for (const char* command : {"render", "solve"}) {
        const CliResult run = RunCliIn(dir.path(), std::string(command) + " --help");
        EXPECT_EQ(run.status, 0) << command;
        EXPECT_NE(run.out.find("--slack"), std::string::npos) << command;
    }
    EXPECT_NE(RunCliIn(dir.path(), "solve --help").out.find("--csv"), std::string::npos);
}

TEST(CliTest, ASavedFileIsLoadedAsFileOpenDoes) {
    ScratchDir dir;
    {
        WorkingDirectory cwd(dir.path());
        SimulationState state{};
        MessagesFile messages(dir / "own-Messages.txt");
        messages.Create();
        ScriptedDialogs dialogs;
        Wal1 model(GearEnvironment{state, messages, dialogs});
        model.SetExample();
        model.GearRecord.PistStroke = 3.0f;
        ASSERT_EQ(model.SaveGearFile((dir / "long.L1").string()), SaveResult::Saved);
        // An angle of 1e37 radians shows as more degrees than a Single holds, so OK refuses it.
        model.GearRecord.FLAA = 1e37f;
        ASSERT_EQ(model.SaveGearFile((dir / "wide.L1").string()), SaveResult::Saved);
    }
    const CliResult run = RunCliIn(dir.path(), "solve --file long.L1 --steps 30 --csv steps.csv");
    ASSERT_EQ(run.status, 0) << run.err;
    const auto rows = ReadCsv(dir / "steps.csv");
    ASSERT_EQ(rows.size(), 32u);
    EXPECT_NEAR(std::stof(rows[16][2]), 100.0, 1e-3); // half a turn: the full (new) stroke

    // The editor's syntax error, and under it the field that caused it and where its text came from.
    for (const char* options : {"--steps 30", "--slack 0.01"}) {
        const CliResult refused = RunCliIn(dir.path(), std::string("solve --file wide.L1 ") + options);
        EXPECT_EQ(refused.status, 1);
        EXPECT_NE(refused.err.find(std::string(SyntaxErrorMessage) + "\nlinkwright-cli: the field \"Full "
                                                                     "Lifting Arm Angle\" (FLAAd) shows \""),
                  std::string::npos)
            << refused.err;
        EXPECT_EQ(refused.err.find("--steps"), std::string::npos) << refused.err;
    }
}

// No output is its own undoing and no lost output passes for success: the messages copied into the
// working folder itself, a full standard output, a picture path that cannot be taken, a link
// planted at an output's name.
TEST(CliTest, OutputsAreWrittenWholeOnceAndEveryFailureIsReported) {
    ScratchDir dir;
    for (const char* out : {".", "./", "\"$PWD\""}) {
        SCOPED_TRACE(out);
        const CliResult run = RunCliIn(dir.path(), std::string("analyse --out ") + out);
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_NE(ReadTextFile(dir / "Messages.txt").find("Valve events"), std::string::npos);
    }

    for (const char* arguments : {"solve", "solve --csv -", "analyse --out res"}) {
        SCOPED_TRACE(arguments);
        const std::string command = "cd '" + dir.path().string() + "' && '" LINKWRIGHT_CLI_PATH "' " +
                                    arguments + " > /dev/full 2> stderr.txt";
        const int raw = std::system(command.c_str());
        EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, 1);
        EXPECT_NE(ReadTextFile(dir / "stderr.txt").find("Cannot write to standard output"),
                  std::string::npos);
    }

    // A folder for the outputs where a file stands is refused with the reason.
    std::ofstream(dir / "plain.txt") << "a file, not a folder";
    ASSERT_EQ(RunCliIn(dir.path(), "save --out a.L1").status, 0);
    for (const char* command : {"analyse", "family", "compare a.L1 a.L1"}) {
        SCOPED_TRACE(command);
        const CliResult run = RunCliIn(dir.path(), std::string(command) + " --out plain.txt/sub");
        EXPECT_EQ(run.status, 1);
        const char* const reason = R"(Cannot create the folder "plain.txt/sub": Not a directory)";
        EXPECT_NE(run.err.find(reason), std::string::npos) << run.err;
    }

    std::filesystem::create_directory(dir / "taken.png");
    const CliResult folder = RunCliIn(dir.path(), "render --out taken.png");
    EXPECT_EQ(folder.status, 1);
    EXPECT_NE(folder.err.find("Cannot create \"taken.png\""), std::string::npos) << folder.err;
    // Refused before anything was drawn: Qt had nothing to complain about.
    EXPECT_EQ(folder.err.find("QPainter"), std::string::npos) << folder.err;

    std::filesystem::remove_all(dir / "res");
    std::filesystem::create_directory(dir / "res");
    std::ofstream(dir / "victim.txt") << "keep me";
    std::filesystem::create_symlink(dir / "victim.txt", dir / "res" / "steps.csv");
    ASSERT_EQ(RunCliIn(dir.path(), "analyse --out res").status, 0);
    EXPECT_EQ(ReadTextFile(dir / "victim.txt"), "keep me");
    EXPECT_FALSE(std::filesystem::is_symlink(dir / "res" / "steps.csv"));
    EXPECT_EQ(ReadLines(dir / "res" / "steps.csv").size(), 552u);
}

// Two files of one command that are one file, one of them written, are refused before anything is
// written: no output replaces another, the listing or the data file read. A data file saved over
// the one opened, fields over the fields read and the messages copied onto themselves are no loss.
TEST(CliTest, FilesOfOneCommandThatAreOneFileAreRefusedBeforeAnythingIsWritten) {
    ScratchDir dir;
    ASSERT_EQ(RunCliIn(dir.path(), "save --out g.L1").status, 0);
    ASSERT_EQ(RunCliIn(dir.path(), "solve").status, 0);
    ASSERT_EQ(RunCliIn(dir.path(), "fields --json f.json").status, 0);
    std::filesystem::create_hard_link(dir / "g.L1", dir / "hard.L1");
    const std::string gear = ReadTextFile(dir / "g.L1");
    const std::string listing = ReadTextFile(dir / "Wal1Output.txt");
    const std::string fields = ReadTextFile(dir / "f.json");
    const struct {
        const char* arguments;
        const char* said;
    } cases[] = {
        {"solve --csv Wal1Output.txt", R"(--csv "Wal1Output.txt" is also the listing)"},
        {"solve --pins ./Messages.txt", R"(--pins "./Messages.txt" is also the messages file)"},
        {"solve --csv p.csv --pins p.csv", R"(--pins "p.csv" is also --csv)"},
        {"solve --file g.L1 --csv g.L1", R"(--csv "g.L1" is also the data file of --file, which)"},
        {"fields --file hard.L1 --json g.L1", R"(--json "g.L1" is also the data file of --file)"},
        {"analyse --out . --json steps.csv", R"(--json "steps.csv" is also the steps table)"},
        {"analyse --out a --png --json a/oval.png", R"("a/oval.png" is also a diagram of --out)"},
        {"family --out . --json events.csv", R"(--json "events.csv" is also the events table of)"},
        {"family --out f --json Messages.txt", R"(--json "Messages.txt" is also the messages)"},
        {"save --fields f.json --out f.json", R"(--out "f.json" is also the fields file)"},
        {"tune --file g.L1 --vary GC --target equal-lead --json g.L1", R"(--json "g.L1" is also)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        const CliResult run = RunCliIn(dir.path(), c.arguments);
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find(c.said), std::string::npos) << run.err;
        EXPECT_EQ(run.out.find("Evaluations"), std::string::npos) << run.out;
        EXPECT_EQ(ReadTextFile(dir / "g.L1"), gear);
        EXPECT_EQ(ReadTextFile(dir / "Wal1Output.txt"), listing);
        EXPECT_EQ(ReadTextFile(dir / "f.json"), fields);
        EXPECT_FALSE(std::filesystem::exists(dir / "p.csv"));
    }
    for (const char* allowed : {"save --file g.L1 --out g", "fields --fields f.json --json f.json",
                                "tune --file g.L1 --vary GC --target equal-lead --out g.L1"}) {
        SCOPED_TRACE(allowed);
        const CliResult run = RunCliIn(dir.path(), allowed);
        EXPECT_EQ(run.status, 0) << run.err;
    }
}

// A --file that is no data file is refused at once, and the reason follows the program's message;
// a picture too large to hold is refused before it is allocated.
TEST(CliTest, InputsThatCannotBeUsedAreRefusedAtOnceWithTheirReason) {
    ScratchDir dir;
    ASSERT_EQ(::mkfifo((dir / "pipe.L1").c_str(), 0600), 0);
    std::ofstream(dir / "short.L1") << "not a gear";
    const struct {
        const char* arguments;
        const char* reason;
    } cases[] = {
        {"solve --file pipe.L1", "\"pipe.L1\": not a plain file (a pipe or a device), so not a data file"},
        {"solve --file /dev/zero", "not a plain file"},
        {"solve --file short.L1", "\"short.L1\": 10 bytes, where a Walschaerts1 file has 5012"},
        {"render --size 8001x8000 --out big.png", "--size 8001x8000 is too large"},
        {"solve --setting nan", "--setting must be a decimal number such as 0.75, not \"nan\""},
        {"solve --setting 0x1p0", "--setting must be a decimal number"},
        {"solve --setting 3.5e38", "--setting must be a decimal number"},
        {"solve --angle 1e308", "--angle must be a finite number a Single can hold"},
        {"solve --wheel-disp 3.5e38", "--wheel-disp must be a finite number a Single can hold"},
        {"save --fields pipe.L1 --out s", "--fields pipe.L1: not a plain file (a pipe or a device)"},
        {"save --fields /dev/zero --out s", "so not a fields file"},
        {"save --out sub/", R"(--out "sub/" names a folder, not a data file)"},
        {R"(save --out "")", R"(--out "" names a folder, not a data file)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        // A command that blocked would be stopped, and fail, after two minutes.
        const CliResult run = RunCliIn(dir.path(), std::string(c.arguments));
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find(c.reason), std::string::npos) << run.err;
        if (std::string(c.arguments).find("--file ") != std::string::npos) {
            EXPECT_NE(run.err.find("Sorry, old version or corrupted data file"), std::string::npos);
        }
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "big.png"));
    EXPECT_FALSE(std::filesystem::exists(dir / ".L1"));
    // The largest picture and the smallest are still ones.
    EXPECT_EQ(RunCliIn(dir.path(), "render --size 8000x8000 --out largest.svg").status, 0);
    const CliResult smallest = RunCliIn(dir.path(), "render --size 1x1 --out one.png");
    EXPECT_EQ(smallest.status, 0) << smallest.err;
    EXPECT_EQ(QImage(QString::fromStdString((dir / "one.png").string())).size(), QSize(1, 1));
}

} // namespace
} // namespace linkwright::testing
