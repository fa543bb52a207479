// The tabbed editor form of a gear kind, laid out from its field table: ungrouped fields and group
// boxes arranged in columns on each page, notes beside or below them, OK and Cancel under the pages,
// Print beside them or on the page the table names.
#include "ui/EditorForm.h"

#include "gears/EditorFields.h"
#include "ui/ErrorGuard.h"
#include "ui/Printing.h"
#include "ui/ScreenFit.h"
#include "windows/Dialogs.h"

#include <QCheckBox>
#include <QDate>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QShowEvent>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace linkwright {

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

QString JoinLines(const std::vector<std::string>& lines) {
    QStringList joined;
    for (const std::string& line : lines)
        joined << Q(line);
    return joined.join(QLatin1Char('\n'));
}

// Whether an edit's text converts as the session will convert it.
bool Converts(const EditorField& field, const std::string& text) {
    if (field.control != ControlKind::Edit) return true;
    if (field.conversion == FieldConversion::Text || field.storage.Kind() == FieldRef::Type::Text)
        return true;
    if (field.conversion == FieldConversion::Integer || field.storage.Kind() == FieldRef::Type::Int32)
        return ParseInteger(text).has_value();
    return ParseReal(text).has_value();
}

// A run of rows on a page: the label column, the control column and a third column for a check
// box that sits beside the edit it computes.
class RowGrid {
public:
    explicit RowGrid(QWidget* owner) : grid_(new QGridLayout(owner)) {
        grid_->setColumnStretch(1, 1);
        grid_->setHorizontalSpacing(8);
        grid_->setVerticalSpacing(4);
    }
    QGridLayout* grid() const { return grid_; }
    int NextRow() { return row_++; }
    int LastRow() const { return row_ - 1; }

private:
    QGridLayout* grid_;
    int row_ = 0;
};

} // namespace

struct EditorForm::Control {
    const EditorField* field = nullptr;
    QLabel* label = nullptr;
    QLineEdit* edit = nullptr;
    QCheckBox* check = nullptr;
    QRadioButton* radios[2] = {nullptr, nullptr};
    QScrollBar* scroll = nullptr;
    QWidget* page = nullptr;
};

EditorForm::EditorForm(EditorSession& session, EditorPages& pages, Dialogs& dialogs, QPrinter& printer,
                       QWidget* parent)
    : QDialog(parent), session_(session), pages_(pages), dialogs_(dialogs), printer_(printer) {
    const EditorTable& table = session_.Table();
    setObjectName(Q(table.formName));
    setWindowTitle(Q(table.caption));
    setModal(true);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));

    btnOK = new QPushButton(QStringLiteral("OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    connect(btnOK, &QPushButton::clicked, this, &EditorForm::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &EditorForm::btnCancelClick);

    BuildPages();

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    // Print joins OK and Cancel unless a page of the table carries it.
    if (Print1 == nullptr) {
        CreatePrintButton(this);
        buttons->addWidget(Print1);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PageControl1);
    layout->addLayout(buttons);
    // The form opens large enough to show its largest page whole; only a screen too small for
    // that makes the pages scroll.
    QSize largestPage;
    QSize scrolls;
    for (int i = 0; i < PageControl1->count(); ++i) {
        const auto* scroll = static_cast<const QScrollArea*>(PageControl1->widget(i));
        largestPage = largestPage.expandedTo(scroll->widget()->sizeHint());
        scrolls = scrolls.expandedTo(scroll->sizeHint());
    }
    resize(sizeHint() + (largestPage - scrolls).expandedTo(QSize(0, 0)) + QSize(2, 2));

    // The page shown first: where the user left this form, else the table's first page.
    const QString opening = Q(pages_.OpeningTab(table));
    for (int page = 0; page < PageControl1->count(); ++page)
        if (PageControl1->widget(page)->objectName() == opening) PageControl1->setCurrentIndex(page);
    connect(PageControl1, &QTabWidget::currentChanged, this, [this](int index) {
        if (QWidget* page = PageControl1->widget(index))
            pages_.Remember(session_.Table(), page->objectName().toStdString());
    });
}

void EditorForm::CreatePrintButton(QWidget* parent) {
    Print1 = new QPushButton(QStringLiteral("Print"), parent);
    Print1->setObjectName(QStringLiteral("Print1"));
    Print1->setToolTip(QStringLiteral("Print this form"));
    connect(Print1, &QPushButton::clicked, this, &EditorForm::Print1Click);
}

EditorForm::~EditorForm() = default;

void EditorForm::BuildPages() {
    const EditorTable& table = session_.Table();
    controls_.resize(table.fields.size());
    for (std::size_t i = 0; i < table.fields.size(); ++i) {
        controls_[i] = std::make_unique<Control>();
        controls_[i]->field = &table.fields[i];
    }

    // Pages in table order, then any tab a field names that the list left out.
    std::vector<std::string> tabs = table.tabs;
    for (const EditorField& field : table.fields)
        if (std::find(tabs.begin(), tabs.end(), field.tab) == tabs.end()) tabs.push_back(field.tab);

    for (const std::string& tabName : tabs) {
        // Each page scrolls, so that the form fits a small or scaled screen.
        auto* scroll = new QScrollArea(PageControl1);
        scroll->setObjectName(Q(tabName));
        scroll->setWidgetResizable(true);
        scroll->setFrameShape(QFrame::NoFrame);
        auto* page = new QWidget;
        page->setObjectName(Q(tabName));
        const QString tab = Q(tabName);

        // The blocks of the page in the order they first appear: its own fields, then each group.
        std::vector<std::string> groups;
        bool pageFields = false;
        for (const EditorField& field : table.fields) {
            if (field.tab != tabName) continue;
            if (field.group.empty()) {
                pageFields = true;
            } else if (std::find(groups.begin(), groups.end(), field.group) == groups.end()) {
                groups.push_back(field.group);
            }
        }
        for (const EditorNote& note : table.notes)
            if (note.tab == tabName && !note.group.empty() &&
                std::find(groups.begin(), groups.end(), note.group) == groups.end())
                groups.push_back(note.group);

        std::vector<std::pair<QWidget*, int>> blocks; // widget and its height in rows
        if (pageFields) {
            QWidget* block = BuildGroup(tab, std::string(), page);
            blocks.emplace_back(block, block->layout()->count());
        }
        for (const std::string& group : groups) {
            QWidget* block = BuildGroup(tab, group, page);
            blocks.emplace_back(block, block->layout()->count() + 2);
        }

        std::vector<QLabel*> pageNotes;
        for (const EditorNote& note : table.notes) {
            if (note.tab != tabName || !note.group.empty()) continue;
            auto* label = new QLabel(JoinLines(note.lines), page);
            label->setObjectName(Q(note.component));
            label->setFrameShape(QFrame::StyledPanel);
            label->setMargin(6);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            pageNotes.push_back(label);
        }

        auto* pageLayout = new QGridLayout(page);
        pageLayout->setHorizontalSpacing(12);
        // Notes of a page without groups go beside its fields; on a page of groups, below them.
        const bool notesBeside = groups.empty();
        if (notesBeside)
            for (QLabel* note : pageNotes)
                blocks.emplace_back(note, static_cast<int>(note->text().count('\n')) + 1);

        const int columns = blocks.size() <= 1 ? 1 : (blocks.size() <= 4 ? 2 : 3);
        int total = 0;
        for (const auto& block : blocks)
            total += block.second;
        std::vector<QVBoxLayout*> columnLayouts;
        for (int c = 0; c < columns; ++c) {
            columnLayouts.push_back(new QVBoxLayout);
            pageLayout->addLayout(columnLayouts.back(), 0, c);
        }
        // Fill the columns in reading order, moving on once a column holds its share of rows.
        int column = 0;
        int inColumn = 0;
        for (std::size_t b = 0; b < blocks.size(); ++b) {
            const int remainingBlocks = static_cast<int>(blocks.size() - b);
            const int remainingColumns = columns - column;
            if (inColumn > 0 && column + 1 < columns &&
                (inColumn + blocks[b].second / 2 > total / columns || remainingBlocks < remainingColumns)) {
                ++column;
                inColumn = 0;
            }
            columnLayouts[column]->addWidget(blocks[b].first);
            inColumn += blocks[b].second;
        }
        for (QVBoxLayout* layout : columnLayouts)
            layout->addStretch();
        if (!notesBeside) {
            int row = 1;
            for (QLabel* note : pageNotes)
                pageLayout->addWidget(note, row++, 0, 1, columns);
        }
        pageLayout->setRowStretch(pageLayout->rowCount(), 1);
        // An empty last column takes the spare width, so the blocks keep their natural size.
        pageLayout->setColumnStretch(columns, 1);

        // Print on a page sits at its bottom right.
        if (table.print == PrintPlacement::OnTab && tabName == table.printTab && Print1 == nullptr) {
            CreatePrintButton(page);
            pageLayout->addWidget(Print1, pageLayout->rowCount(), 0, 1, columns + 1, Qt::AlignRight);
        }
        scroll->setWidget(page);
        PageControl1->addTab(scroll, tab);
        for (const auto& control : controls_)
            if (control->page == page) control->page = scroll;
    }
}

QWidget* EditorForm::BuildGroup(const QString& tab, const std::string& group, QWidget* parent) {
    const EditorTable& table = session_.Table();
    QWidget* box = nullptr;
    if (group.empty()) {
        box = new QWidget(parent);
    } else {
        auto* groupBox = new QGroupBox(Q(group), parent);
        box = groupBox;
    }
    RowGrid rows(box);
    if (group.empty()) rows.grid()->setContentsMargins(0, 0, 0, 0);
    const int editWidth = QFontMetrics(font()).horizontalAdvance(QStringLiteral("-00000.0000")) + 14;

    // Rows in reading order: the number edits (each with the check box that computes it beside
    // it), then text edits, then the other controls; the table's own order is the storing order.
    auto pass = [](const EditorField& field) {
        if (field.control == ControlKind::Edit)
            return (field.format == FieldFormat::Text || field.conversion == FieldConversion::Text) ? 1 : 0;
        return 2;
    };
    std::vector<std::size_t> order;
    for (int p = 0; p < 3; ++p) {
        for (std::size_t i = 0; i < table.fields.size(); ++i) {
            const EditorField& field = table.fields[i];
            if (Q(field.tab) != tab || field.group != group) continue;
            const bool besidePrevious =
                field.control == ControlKind::CheckBox && i > 0 &&
                table.fields[i - 1].control == ControlKind::Edit && table.fields[i - 1].group == group &&
                table.fields[i - 1].tab == field.tab &&
                std::find(field.disables.begin(), field.disables.end(), table.fields[i - 1].component) !=
                    field.disables.end();
            const int fieldPass = besidePrevious ? pass(table.fields[i - 1]) : pass(field);
            if (fieldPass == p) order.push_back(i);
        }
    }

    const EditorField* previous = nullptr;
    for (const std::size_t i : order) {
        const EditorField& field = table.fields[i];
        Control& control = *controls_[i];
        control.page = parent;
        const QString hint = Q(field.hint);
        const QString labelHint = field.labelHint.empty() ? hint : Q(field.labelHint);

        switch (field.control) {
        case ControlKind::Edit: {
            const int row = rows.NextRow();
            control.label = new QLabel(Q(field.label.empty() ? field.component : field.label), box);
            control.label->setObjectName(Q(field.component) + QStringLiteral("Label"));
            control.label->setToolTip(labelHint);
            control.edit = new QLineEdit(box);
            control.edit->setObjectName(Q(field.component));
            control.edit->setToolTip(hint);
            if (field.format == FieldFormat::Text || field.conversion == FieldConversion::Text) {
                control.edit->setMaxLength(255);
                control.edit->setMinimumWidth(editWidth * 3);
            } else {
                control.edit->setAlignment(Qt::AlignRight);
                control.edit->setFixedWidth(editWidth);
            }
            rows.grid()->addWidget(control.label, row, 0);
            rows.grid()->addWidget(control.edit, row, 1, Qt::AlignLeft);
            break;
        }
        case ControlKind::CheckBox: {
            control.check = new QCheckBox(Q(field.label), box);
            control.check->setObjectName(Q(field.component));
            control.check->setToolTip(hint);
            connect(control.check, &QCheckBox::toggled, this, [this] { UpdateEnabled(); });
            // Beside the edit it computes, when that is the row above; else a row of its own.
            const bool beside = previous != nullptr && previous->control == ControlKind::Edit &&
                                std::find(field.disables.begin(), field.disables.end(),
                                          previous->component) != field.disables.end();
            if (beside)
                rows.grid()->addWidget(control.check, rows.LastRow(), 2);
            else
                rows.grid()->addWidget(control.check, rows.NextRow(), 0, 1, 3);
            break;
        }
        case ControlKind::RadioPair: {
            auto* pair = new QGroupBox(Q(field.label), box);
            pair->setObjectName(Q(field.component));
            pair->setToolTip(hint);
            auto* pairLayout = new QHBoxLayout(pair);
            for (int r = 0; r < 2; ++r) {
                const RadioChoice& choice = field.choices[static_cast<std::size_t>(r)];
                control.radios[r] =
                    new QRadioButton(Q(choice.caption.empty() ? choice.component : choice.caption), pair);
                control.radios[r]->setObjectName(Q(choice.component));
                control.radios[r]->setToolTip(choice.hint.empty() ? hint : Q(choice.hint));
                pairLayout->addWidget(control.radios[r]);
            }
            pairLayout->addStretch();
            rows.grid()->addWidget(pair, rows.NextRow(), 0, 1, 3);
            break;
        }
        case ControlKind::MovieSpeed: {
            const int row = rows.NextRow();
            auto* line = new QWidget(box);
            auto* lineLayout = new QHBoxLayout(line);
            lineLayout->setContentsMargins(0, 0, 0, 0);
            auto* slow = new QLabel(QStringLiteral("Slow"), line);
            slow->setObjectName(QStringLiteral("SlowLabel"));
            auto* fast = new QLabel(QStringLiteral("Fast"), line);
            fast->setObjectName(QStringLiteral("FastLabel"));
            control.scroll = new QScrollBar(Qt::Horizontal, line);
            control.scroll->setObjectName(Q(field.component));
            control.scroll->setRange(MovieSpeedMin, MovieSpeedMax);
            control.scroll->setSingleStep(1);
            control.scroll->setPageStep(1);
            control.scroll->setMinimumWidth(editWidth * 2);
            control.scroll->setToolTip(hint);
            lineLayout->addWidget(slow);
            lineLayout->addWidget(control.scroll, 1);
            lineLayout->addWidget(fast);
            // The group box already carries the caption when it has the same name.
            if (!field.label.empty() && field.label != group) {
                control.label = new QLabel(Q(field.label), box);
                control.label->setToolTip(labelHint);
                rows.grid()->addWidget(control.label, row, 0);
                rows.grid()->addWidget(line, row, 1, 1, 2);
            } else {
                rows.grid()->addWidget(line, row, 0, 1, 3);
            }
            break;
        }
        }
        previous = &field;
    }

    for (const EditorNote& note : table.notes) {
        if (Q(note.tab) != tab || note.group != group || group.empty()) continue;
        auto* label = new QLabel(JoinLines(note.lines), box);
        label->setObjectName(Q(note.component));
        rows.grid()->addWidget(label, rows.NextRow(), 0, 1, 3);
    }
    return box;
}

void EditorForm::FormActivate() {
    const std::vector<ControlValue> values = session_.Fill();
    for (std::size_t i = 0; i < controls_.size() && i < values.size(); ++i)
        ShowValue(i, values[i]);
    UpdateEnabled();
    filled_ = true;
}

void EditorForm::ShowValue(std::size_t index, const ControlValue& value) {
    Control& control = *controls_[index];
    if (control.edit != nullptr) control.edit->setText(Q(value.text));
    if (control.check != nullptr) {
        const QSignalBlocker quiet(control.check);
        control.check->setChecked(value.checked);
    }
    if (control.radios[0] != nullptr) {
        control.radios[0]->setChecked(value.checked);
        control.radios[1]->setChecked(!value.checked);
    }
    if (control.scroll != nullptr) control.scroll->setValue(value.position);
}

std::vector<ControlValue> EditorForm::ControlValues() const {
    std::vector<ControlValue> values(controls_.size());
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        const Control& control = *controls_[i];
        if (control.edit != nullptr) values[i].text = control.edit->text().toStdString();
        if (control.check != nullptr) values[i].checked = control.check->isChecked();
        if (control.radios[0] != nullptr) values[i].checked = control.radios[0]->isChecked();
        if (control.scroll != nullptr) values[i].position = control.scroll->value();
    }
    return values;
}

void EditorForm::UpdateEnabled() {
    const std::vector<bool> enabled = session_.Enabled(ControlValues());
    for (std::size_t i = 0; i < controls_.size() && i < enabled.size(); ++i)
        if (controls_[i]->edit != nullptr) controls_[i]->edit->setEnabled(enabled[i]);
}

void EditorForm::btnOKClick() {
    const std::vector<ControlValue> values = ControlValues();
    EditorOutcome outcome = EditorOutcome::StayOpen;
    // A failure inside (the initialisation report cannot be written) leaves the form open.
    if (!RunGuarded(dialogs_, [&] { outcome = session_.Ok(values); })) return;
    if (outcome == EditorOutcome::Close) {
        accept();
        return;
    }
    // The fields are stored now, the bad ones as zero; show what is stored and go to the first one.
    FormActivate();
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        const Control& control = *controls_[i];
        if (control.edit == nullptr || Converts(*control.field, values[i].text)) continue;
        PageControl1->setCurrentWidget(control.page);
        control.edit->setFocus();
        control.edit->selectAll();
        break;
    }
}

void EditorForm::btnCancelClick() {
    reject();
}

void EditorForm::reject() {
    session_.Cancel();
    QDialog::reject();
}

void EditorForm::Print1Click() {
    RunGuarded(dialogs_, [&] {
        if (!dialogs_.ConfirmPrint()) return;
        // Every page of the form, so that the printout holds all the dimensions.
        std::vector<QWidget*> pages;
        for (int i = 0; i < PageControl1->count(); ++i)
            pages.push_back(static_cast<QScrollArea*>(PageControl1->widget(i))->widget());
        PrintWidgets(printer_,
                     Q(session_.Table().caption) + QStringLiteral(" \u2014 ") +
                         QDate::currentDate().toString(Qt::ISODate),
                     pages);
    });
}

void EditorForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!filled_) FormActivate();
}

void RunEditorForm(EditorSession& session, EditorPages& pages, Dialogs& dialogs, QPrinter& printer,
                   QWidget* parent) {
    EditorForm form(session, pages, dialogs, printer, parent);
    // Beside the main window where there is room, so that the gear stays in sight while editing.
    if (parent != nullptr) PlaceBesideOwner(form, *parent->window());
    form.exec();
}

} // namespace linkwright
