// The oval and events diagrams of several designs on one set of axes, drawn by the diagrams' own
// pieces, with a key that names each design in its colour.
#include "analysis/Comparison.h"

#include "analysis/Ovalplt.h"
#include "analysis/OvalpltParts.h"
#include "plot/Canvas.h"
#include "plot/Glib1.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace linkwright {

namespace {

// One name of the key: a short stroke in the design's colour and line style, then the name.
struct KeyEntry {
    std::string name;
    int colour = 0;
    bool dashed = false;
    int x = 0;
    int row = 0;
};

struct Key {
    std::vector<KeyEntry> entries;
    int rows = 0;
    int line = 13;
    int margin = 3;
    int stroke = 26; // the sample stroke's length
};

// The last character of a UTF-8 text, with every byte it is written in.
void PopCharacter(std::string& text) {
    while (!text.empty() && (static_cast<unsigned char>(text.back()) & 0xC0) == 0x80)
        text.pop_back();
    if (!text.empty()) text.pop_back();
}

// The entries from the left edge along as many rows as the picture's width needs; a name too long
// for a row on its own is shortened to fit.
Key LayOutKey(const Canvas* canvas, int width, std::vector<KeyEntry> entries) {
    Key key;
    if (canvas == nullptr || entries.empty()) return key;
    key.line = std::max(1, canvas->TextHeight("Key"));
    key.margin = std::max(2, key.line / 4);
    key.stroke = 2 * key.line;
    const int left = static_cast<int>(std::lround(width / 100.0));
    const int right = std::max(left + 1, width - key.margin);
    const int space = right - left - key.stroke - key.margin;
    int x = left;
    int row = 0;
    for (KeyEntry& entry : entries) {
        if (canvas->TextWidth(entry.name) > space) {
            while (!entry.name.empty() && canvas->TextWidth(entry.name + "...") > space)
                PopCharacter(entry.name);
            entry.name += "...";
        }
        const int entryWidth = key.stroke + key.margin + canvas->TextWidth(entry.name);
        if (x > left && x + entryWidth > right) {
            x = left;
            ++row;
        }
        entry.x = x;
        entry.row = row;
        x += entryWidth + key.stroke;
    }
    key.rows = row + 1;
    key.entries = std::move(entries);
    return key;
}

// The key's rows from `top` down; the pen is left solid.
void DrawKey(Glib1& plot, Canvas& canvas, const Key& key, int top) {
    for (const KeyEntry& entry : key.entries) {
        const int y = top + entry.row * key.line;
        plot.SetColour(entry.colour);
        plot.SetLineStyle(entry.dashed ? 1 : 0);
        canvas.MoveTo(entry.x, y + key.line / 2);
        canvas.LineTo(entry.x + key.stroke, y + key.line / 2);
        plot.SetLineStyle(0);
        canvas.TextOut(entry.x + key.stroke + key.margin, y, entry.name);
    }
}

} // namespace

void DrawOvalComparison(Glib1& plot, int width, int height, std::span<const OvalDesign> designs) {
    std::vector<ovalplt::OvalCurves> curves;
    std::vector<KeyEntry> entries;
    float q = 0;
    for (const OvalDesign& design : designs) {
        curves.push_back({design.piston, design.valve, &design.events, design.Nsteps, design.colour});
        entries.push_back({design.name, design.colour, false});
        const float edge = ovalplt::PortOuterEdge(design.events);
        if (std::isfinite(edge)) q = std::max(q, std::fabs(edge));
    }
    if (!(q > 0)) q = 1; // no design with ports: a window all the same

    // From the top: the key, the valve axis's title where it stands over the axis, then the plot.
    Canvas* canvas = plot.PlotBitmap();
    const Key key = LayOutKey(canvas, width, std::move(entries));
    float top = 85;
    if (key.rows > 0) {
        const int titleGap = std::max(2, key.line / 3);
        const int plotTop = key.margin + key.rows * key.line + key.margin + key.line + titleGap;
        top = std::clamp(100.0f -
                             100.0f * static_cast<float>(plotTop) / static_cast<float>(std::max(height, 1)),
                         50.0f, 85.0f);
    }
    // The frames and axes black, as the oval diagram's, whatever the picture before.
    plot.SetColour(1);
    ovalplt::DrawOvalPanels(plot, width, height, top, q, curves, 1);
    if (canvas != nullptr) DrawKey(plot, *canvas, key, key.margin);
}

void DrawEventsComparison(Glib1& plot, int width, int height, std::span<const EventsDesign> designs) {
    std::vector<KeyEntry> entries;
    for (std::size_t d = 0; d < designs.size(); ++d)
        entries.push_back({designs[d].name, designs[d].colour, d > 0});
    Canvas* canvas = plot.PlotBitmap();
    const Key key = LayOutKey(canvas, width, std::move(entries));
    const ovalplt::EventsLayout layout = ovalplt::LayOutEvents(canvas, height, key.rows);
    ovalplt::DrawEventsAxes(plot, width, height, layout,
                            designs.empty() ? SimulationState{} : designs[0].state);
    if (canvas == nullptr) return;
    ovalplt::DrawEventsLegend(plot, *canvas, layout);
    DrawKey(plot, *canvas, key, layout.keyRow);

    std::vector<ovalplt::EndLabel> labels;
    for (std::size_t d = 0; d < designs.size(); ++d) {
        const EventsDesign& design = designs[d];
        if (design.family == nullptr) continue;
        plot.SetLineStyle(d > 0 ? 1 : 0);
        std::vector<ovalplt::EndLabel> ends = ovalplt::DrawEventLines(
            plot, *canvas, design.piston, *design.family, design.state, design.colour);
        if (d == 0) labels = std::move(ends);
    }
    plot.SetLineStyle(0);
    ovalplt::DrawEndLabels(plot, *canvas, std::move(labels), layout);
}

} // namespace linkwright
