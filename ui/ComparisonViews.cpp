// The picture and the events table of the tuner's dialog and the comparison window.
#include "ui/ComparisonViews.h"

#include "tuning/EventsTable.h"

#include <QHeaderView>
#include <QPainter>
#include <QResizeEvent>
#include <QTableWidget>

#include <algorithm>

namespace linkwright {

DrawingView::DrawingView(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent, true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void DrawingView::SetDrawing(Drawing drawing) {
    drawing_ = std::move(drawing);
    Redraw();
}

void DrawingView::Redraw() {
    picture_ = QImage();
    const int width = std::max(1, this->width());
    const int height = std::max(1, this->height());
    if (drawing_) {
        const double ratio = devicePixelRatioF();
        if (!canvas_ || canvas_->DevicePixelRatio() != ratio) {
            canvas_ = std::make_unique<QtCanvas>(width, height, ratio);
            plot_.AttachCanvas(*canvas_);
        }
        if (drawing_(plot_, width, height)) picture_ = canvas_->Image().copy();
    }
    update();
}

void DrawingView::SetPlaceholder(const QString& text) {
    placeholder_ = text;
    update();
}

void DrawingView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().base());
    if (!picture_.isNull())
        painter.drawImage(QPointF(0, 0), picture_);
    else if (!placeholder_.isEmpty()) {
        painter.setPen(palette().color(QPalette::PlaceholderText));
        painter.drawText(rect().adjusted(12, 12, -12, -12), Qt::AlignCenter | Qt::TextWordWrap, placeholder_);
    }
}

void DrawingView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (event->size() != event->oldSize()) Redraw();
}

namespace {

// "Cut-off % interpolated Before" as "Cut-off %", "interpolated", "Before": the design's name on a
// line of its own, the quantity's words in lines of some fourteen characters.
QString Heading(const std::string& column, const std::vector<std::string>& names) {
    std::string quantity = column;
    std::string design;
    for (const std::string& name : names)
        if (column.size() > name.size() + 1 && column.ends_with(" " + name)) {
            quantity = column.substr(0, column.size() - name.size() - 1);
            design = name;
            break;
        }
    QStringList lines;
    QString line;
    for (const QString& word : QString::fromStdString(quantity).split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (!line.isEmpty() && line.size() + 1 + word.size() > 14) {
            lines << line;
            line.clear();
        }
        line += (line.isEmpty() ? QString() : QStringLiteral(" ")) + word;
    }
    if (!line.isEmpty()) lines << line;
    if (!design.empty()) lines << QString::fromStdString(design);
    return lines.join(QLatin1Char('\n'));
}

QTableWidgetItem* Cell(const std::string& text, Qt::Alignment alignment) {
    auto* item = new QTableWidgetItem(QString::fromStdString(text));
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    item->setTextAlignment(alignment | Qt::AlignVCenter);
    return item;
}

// The columns that say where a row is: setting, direction, end.
constexpr std::size_t PlaceColumns = 3;

} // namespace

void ShowEventsTable(QTableWidget& view, const EventsTable& table, const std::vector<std::string>& names,
                     TableLayout layout) {
    view.clear();
    view.setEditTriggers(QAbstractItemView::NoEditTriggers);
    const std::size_t columns = table.columns.size();
    const std::size_t rows = table.rows.size();
    if (layout == TableLayout::AsIs) {
        view.setColumnCount(static_cast<int>(columns));
        view.setRowCount(static_cast<int>(rows));
        QStringList headers;
        for (std::size_t c = 0; c < columns; ++c)
            headers << (c < PlaceColumns ? QString::fromStdString(table.columns[c])
                                         : Heading(table.columns[c], names));
        view.setHorizontalHeaderLabels(headers);
        view.verticalHeader()->setVisible(false);
        view.horizontalHeader()->setVisible(true);
        for (std::size_t r = 0; r < rows; ++r)
            for (std::size_t c = 0; c < columns && c < table.rows[r].size(); ++c)
                view.setItem(static_cast<int>(r), static_cast<int>(c),
                             Cell(table.rows[r][c], c < PlaceColumns ? Qt::AlignLeft : Qt::AlignRight));
    } else {
        // A column per row of the table, headed by its place; a row per quantity and design.
        const std::size_t quantities = columns > PlaceColumns ? columns - PlaceColumns : 0;
        view.setColumnCount(static_cast<int>(rows));
        view.setRowCount(static_cast<int>(quantities));
        QStringList headers;
        for (const std::vector<std::string>& row : table.rows) {
            QStringList place;
            for (std::size_t c = 0; c < PlaceColumns && c < row.size(); ++c)
                place << QString::fromStdString(row[c]);
            headers << place.join(QLatin1Char(' '));
        }
        view.setHorizontalHeaderLabels(headers);
        QStringList quantityHeaders;
        for (std::size_t q = 0; q < quantities; ++q)
            quantityHeaders << QString::fromStdString(table.columns[PlaceColumns + q]);
        view.setVerticalHeaderLabels(quantityHeaders);
        view.verticalHeader()->setVisible(true);
        view.horizontalHeader()->setVisible(true);
        for (std::size_t r = 0; r < rows; ++r)
            for (std::size_t q = 0; q < quantities && PlaceColumns + q < table.rows[r].size(); ++q)
                view.setItem(static_cast<int>(q), static_cast<int>(r),
                             Cell(table.rows[r][PlaceColumns + q], Qt::AlignRight));
    }
    view.verticalHeader()->setDefaultSectionSize(view.fontMetrics().height() + 6);
    view.resizeColumnsToContents();
}

} // namespace linkwright
