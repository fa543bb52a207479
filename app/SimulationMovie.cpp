// The animation of View > Movie: the crank turns frame after frame until a click or a key stops it.
#include "app/Simulation.h"

#include <cmath>
#include <numbers>

namespace linkwright {

float Simulation::NextMovieAngle(float angle, float step) {
    constexpr double fullTurn = 2.0 * std::numbers::pi;
    double next = static_cast<double>(angle) + static_cast<double>(step);
    if (next > fullTurn) next -= fullTurn;
    if (next < 0.0) next += fullTurn;
    return static_cast<float>(next);
}

long Simulation::Movie1Click(const std::function<void()>& frame) {
    Annotate = 0;
    MovieStopped = 0;
    const float step = State.fwd != 0 ? State.MovieStep : -State.MovieStep;
    long frames = 0;
    // Whatever ends the loop (the stop flag, or an exception out of a frame), the animation is over.
    struct StopOnExit {
        std::uint8_t& stopped;
        ~StopOnExit() { stopped = 1; }
    } stopOnExit{MovieStopped};
    while (MovieStopped == 0) {
        CrankAngle = NextMovieAngle(CrankAngle, step);
        CurrentModel().DrawGear(Plot, DrawWidth, DrawHeight, false, CrankAngle, State.GearSetting);
        Mapping = Plot.GetMapping();
        ++frames;
        if (frame) frame();
    }
    return frames;
}

} // namespace linkwright
