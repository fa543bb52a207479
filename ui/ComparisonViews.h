// What the tuner's dialog and the comparison window show alike: a picture drawn through the plot
// library at the widget's own size, drawn again on every resize, and the events table of designs
// side by side.
#pragma once

#include "plot/Glib1.h"
#include "ui/QtCanvas.h"

#include <QImage>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QTableWidget;

namespace linkwright {

struct EventsTable;

class DrawingView : public QWidget {
    Q_OBJECT
public:
    // Draws onto `plot` at width x height pixels; false when there is nothing to draw.
    using Drawing = std::function<bool(Glib1& plot, int width, int height)>;

    explicit DrawingView(QWidget* parent = nullptr);
    // The drawing shown from now on (drawn at once); an empty one leaves the view blank.
    void SetDrawing(Drawing drawing);
    // Draws again, as after a resize (the designs behind the drawing have changed).
    void Redraw();
    // The last picture drawn, null while there is none.
    const QImage& Picture() const { return picture_; }

    QSize sizeHint() const override { return {420, 300}; }
    QSize minimumSizeHint() const override { return {160, 120}; }
    // What the view says while it has no picture.
    void SetPlaceholder(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    Drawing drawing_;
    std::unique_ptr<QtCanvas> canvas_;
    Glib1 plot_;
    QImage picture_;
    QString placeholder_;
};

// How the events table is laid out: as it is, a row per operating point and end and a column per
// quantity and design; or turned, a column per point and end and a row per quantity and design,
// which suits a narrow view of a few points.
enum class TableLayout : std::uint8_t { AsIs, Turned };

// Fills `view` with the table, read-only. The name of the design a quantity is of, one of
// `names`, goes on a line of its own under the quantity's, so the columns stay narrow.
void ShowEventsTable(QTableWidget& view, const EventsTable& table, const std::vector<std::string>& names,
                     TableLayout layout = TableLayout::AsIs);

} // namespace linkwright
