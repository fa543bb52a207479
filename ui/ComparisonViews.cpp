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

void DrawingView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().base());
    if (!picture_.isNull()) painter.drawImage(QPointF(0, 0), picture_);
}

void DrawingView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (event->size() != event->oldSize()) Redraw();
}

void ShowEventsTable(QTableWidget& view, const EventsTable& table, const std::vector<std::string>& names) {
    view.clear();
    view.setColumnCount(static_cast<int>(table.columns.size()));
    view.setRowCount(static_cast<int>(table.rows.size()));
    QStringList headers;
    for (const std::string& column : table.columns) {
        // "Cut-off % Before" heads its column in two lines, so the columns stay narrow.
        std::string header = column;
        for (const std::string& name : names)
            if (header.size() > name.size() + 1 && header.ends_with(" " + name)) {
                header[header.size() - name.size() - 1] = '\n';
                break;
            }
        headers << QString::fromStdString(header);
    }
    view.setHorizontalHeaderLabels(headers);
    for (std::size_t r = 0; r < table.rows.size(); ++r)
        for (std::size_t c = 0; c < table.rows[r].size() && c < table.columns.size(); ++c) {
            auto* item = new QTableWidgetItem(QString::fromStdString(table.rows[r][c]));
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            item->setTextAlignment(c < 3 ? Qt::AlignLeft | Qt::AlignVCenter
                                         : Qt::AlignRight | Qt::AlignVCenter);
            view.setItem(static_cast<int>(r), static_cast<int>(c), item);
        }
    view.verticalHeader()->setVisible(false);
    view.setEditTriggers(QAbstractItemView::NoEditTriggers);
    view.resizeColumnsToContents();
}

} // namespace linkwright
