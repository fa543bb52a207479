// The gear editors: one modal tabbed form built from a kind's field table. The form only shows the
// controls and hands their contents to the EditorSession, which converts, stores and decides.
#pragma once

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
class EditorPages;
class EditorSession;
struct ControlValue;

class EditorForm : public QDialog {
    Q_OBJECT
public:
    // The object name ("EdWal1"), caption, pages, first page, Print button and controls all come
    // from the session's table. The form opens on the page `pages` remembers for it and tells it
    // every page the user turns to. Print asks `dialogs` for confirmation and prints on `printer`.
    EditorForm(EditorSession& session, EditorPages& pages, Dialogs& dialogs, QPrinter& printer,
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

    // Cancel, Escape and the window's close box: the gear goes back to what it was when the form
    // opened (an OK that stopped at a syntax error has stored its fields already).
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    struct Control;

    void BuildPages();
    void CreatePrintButton(QWidget* parent);
    QWidget* BuildGroup(const QString& tab, const std::string& group, QWidget* parent);
    void ShowValue(std::size_t index, const ControlValue& value);
    void UpdateEnabled();

    EditorSession& session_;
    EditorPages& pages_;
    Dialogs& dialogs_;
    QPrinter& printer_;
    QTabWidget* PageControl1 = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;
    QPushButton* Print1 = nullptr;
    std::vector<std::unique_ptr<Control>> controls_; // one per field, in table order
    bool filled_ = false;
};

// Builds the form of the session's kind and shows it modally until OK or Cancel closes it. Suits
// Simulation::Edit1Click.
void RunEditorForm(EditorSession& session, EditorPages& pages, Dialogs& dialogs, QPrinter& printer,
                   QWidget* parent = nullptr);

} // namespace linkwright
