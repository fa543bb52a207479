// The whole program on one input, without a window: the bytes become a data file of the kind their
// first byte chooses, which is loaded, drawn with its labels, solved, analysed with its listings
// and diagrams, swept as a family, tuned briefly and drawn overlaid with its tuned design, edited
// and saved and loaded again. Every coordinate a drawing hands the canvas must be a sane pixel,
// and no listing, messages file or step may hold a value that is no number; a breach aborts, so
// that a fuzzer or a test sees it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace linkwright::fuzzing {

// Runs the pipeline in the working folder (the program writes its messages file and listings
// there).
void RunGearPipeline(std::span<const std::uint8_t> input);

// The input that loads the built-in example of kind `kind` (0 .. 4): the kind's byte, then its
// data file.
std::vector<std::uint8_t> ExampleInput(int kind);

} // namespace linkwright::fuzzing
