// The gear editors: one modal tabbed form built from a kind's field table. The form only shows the
// controls and hands their contents to the EditorSession, which converts, stores and decides.
#pragma once

#include "state/SimulationState.h"

#include <QDialog>
#include <QString>

#include <memory>
#include <vector>

class QAbstractButton;
class QCheckBox;
class QLineEdit;
class QPrinter;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QTabWidget;
class QWidget;

namespace linkwright {

class Dialogs;
class EditorSession;
struct ControlValue;

class EditorForm : public QDialog {
    Q_OBJECT
public:
    // `formName` is the object name ("EdWal1"); the caption, pages and controls come from the
    // session's table. Print asks `dialogs` for confirmation and prints on `printer`.
    EditorForm(const QString& formName, EditorSession& session, Dialogs& dialogs, QPrinter& printer,
               QWidget* parent = nullptr);
    ~EditorForm() override;

    // Fills every control from its field and sets which edits are enabled (done when first shown).
    void FormActivate();

    // The buttons' handlers. OK stores every field; with a syntax error the message is shown, the
    // fields that did not convert show their stored zero, and the form stays open.
    void btnOKClick();
    void btnCancelClick();
    void Print1Click();

    // What the controls hold now, one value per field of the table.
    std::vector<ControlValue> ControlValues() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    struct Control;

    void BuildPages();
    QWidget* BuildGroup(const QString& tab, const std::string& group, QWidget* parent);
    void ShowValue(std::size_t index, const ControlValue& value);
    void UpdateEnabled();

    EditorSession& session_;
    Dialogs& dialogs_;
    QPrinter& printer_;
    QTabWidget* PageControl1 = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;
    QPushButton* Print1 = nullptr;
    std::vector<std::unique_ptr<Control>> controls_; // one per field, in table order
    bool filled_ = false;
};

// The five editors, one per gear kind, as the program names them.
class TEdWal1 final : public EditorForm {
    Q_OBJECT
public:
    TEdWal1(EditorSession& session, Dialogs& dialogs, QPrinter& printer, QWidget* parent = nullptr)
        : EditorForm(QStringLiteral("EdWal1"), session, dialogs, printer, parent) {}
};
class TEdSte1 final : public EditorForm {
    Q_OBJECT
public:
    TEdSte1(EditorSession& session, Dialogs& dialogs, QPrinter& printer, QWidget* parent = nullptr)
        : EditorForm(QStringLiteral("EdSte1"), session, dialogs, printer, parent) {}
};
class TEdBak1 final : public EditorForm {
    Q_OBJECT
public:
    TEdBak1(EditorSession& session, Dialogs& dialogs, QPrinter& printer, QWidget* parent = nullptr)
        : EditorForm(QStringLiteral("EdBak1"), session, dialogs, printer, parent) {}
};
class TEdWal2 final : public EditorForm {
    Q_OBJECT
public:
    TEdWal2(EditorSession& session, Dialogs& dialogs, QPrinter& printer, QWidget* parent = nullptr)
        : EditorForm(QStringLiteral("EdWal2"), session, dialogs, printer, parent) {}
};
class TEdSte2 final : public EditorForm {
    Q_OBJECT
public:
    TEdSte2(EditorSession& session, Dialogs& dialogs, QPrinter& printer, QWidget* parent = nullptr)
        : EditorForm(QStringLiteral("EdSte2"), session, dialogs, printer, parent) {}
};

// The editor form of a kind, for one showing.
std::unique_ptr<EditorForm> MakeEditorForm(GearKind kind, EditorSession& session, Dialogs& dialogs,
                                           QPrinter& printer, QWidget* parent = nullptr);

// Builds the kind's form, shows it modally until OK or Cancel closes it. Suits Simulation::Edit1Click.
void RunEditorForm(GearKind kind, EditorSession& session, Dialogs& dialogs, QPrinter& printer,
                   QWidget* parent = nullptr);

} // namespace linkwright
